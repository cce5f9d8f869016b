#include "accounts/frmCuentas.h"

#include "accounts/AccountTableModel.h"
#include "accounts/frmCuentasFicha.h"
#include "state/Logging.h"
#include "store/AccountStore.h"
#include "store/Formats.h"
#include "store/SpanishText.h"
#include "store/Sqlite.h"
#include "ui/AppState.h"
#include "ui/Fields.h"
#include "ui/ListFlow.h"
#include "ui/ListGrid.h"
#include "ui/MessageService.h"
#include "ui/Services.h"
#include "ui/clsMW.h"

#include <QAction>
#include <QBoxLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include <algorithm>
#include <cmath>

namespace velmora {

frmCuentas::frmCuentas(AppState& state, Services& services, QWidget* parent)
    : ModalWindow(parent), state_(state), services_(services),
      report_(*this, services.messages, lcAccounts()) {
    setObjectName(QStringLiteral("frmCuentas"));
    setWindowTitle(QStringLiteral("CUENTAS"));
    buildControls();
    arrangeControls();
    resize(twips(10500), twips(6600));
    layoutControls();
}

frmCuentas::~frmCuentas() = default;

void frmCuentas::buildControls() {
    lblFiltro = new QLabel(QStringLiteral("Filtrar nombre"), this);
    lblFiltro->setObjectName(QStringLiteral("lblFiltro"));

    txtFiltro = new FilterField(state_.palette, FilterField::OnLeave::White, this);
    txtFiltro->setObjectName(QStringLiteral("txtFiltro"));
    txtFiltro->installEventFilter(this);
    connect(txtFiltro, &QLineEdit::returnPressed, this, [this] { reload(); });

    // Ctrl+Z anywhere in the window; the filter box undoes its own typing first.
    auto* undo = new QAction(this);
    undo->setShortcut(QKeySequence::Undo);
    connect(undo, &QAction::triggered, this, &frmCuentas::undoDelete);
    addAction(undo);

    lblInfo = new QLabel(this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));

    // No default button: Enter in the filter box filters, nothing else.
    const auto makeButton = [this](const char* name, const char* caption) {
        return commandButton(*this, name, QString::fromUtf8(caption));
    };
    cmdFiltrar = makeButton("cmdFiltrar", "&Filtrar");
    cmdNovo = makeButton("cmdNovo", "&Nuevo");
    cmdEditar = makeButton("cmdEditar", "&Editar");
    cmdBorrar = makeButton("cmdBorrar", "&Borrar");
    cmdInformes = makeButton("cmdInformes", "&Informe");
    connect(cmdFiltrar, &QPushButton::clicked, this, [this] { reload(); });
    connect(cmdNovo, &QPushButton::clicked, this, &frmCuentas::newAccount);
    connect(cmdEditar, &QPushButton::clicked, this, &frmCuentas::editSelected);
    connect(cmdBorrar, &QPushButton::clicked, this, &frmCuentas::deleteSelected);
    connect(cmdInformes, &QPushButton::clicked, this,
            [this] { services_.messages.inform(this, QStringLiteral("En preparación")); });

    model_ = new AccountTableModel(state_.palette, this);
    mshDatos = makeListGrid(this, model_, "mshDatos");
    mshDatos->installEventFilter(this);
    connect(mshDatos, &QAbstractItemView::doubleClicked, this, &frmCuentas::editSelected);
    wheel_ = std::make_unique<clsMW>(services_.messages);
    wheel_->InitMouseWheel(mshDatos);
    list_ = std::make_unique<ListFlow>(*this, *mshDatos, services_, AccountTableModel::NameColumn,
                                       [this] { return reload(); });
    list_->setOnReturn([this] { txtFiltro->setFocus(Qt::OtherFocusReason); });

    setTabChain({txtFiltro, cmdFiltrar, mshDatos, cmdNovo, cmdEditar, cmdBorrar, cmdInformes});
}

// The filter and the count on the left, the commands beside the filter box, and
// the list below taking whatever the window gives.
void frmCuentas::arrangeControls() {
    auto* top = new QGridLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->setVerticalSpacing(2);
    top->addWidget(lblFiltro, 0, 0);
    top->addWidget(txtFiltro, 1, 0);
    top->addWidget(lblInfo, 2, 0);
    top->setColumnStretch(0, 1);
    int column = 1;
    for (QPushButton* command : {cmdFiltrar, cmdNovo, cmdEditar, cmdBorrar, cmdInformes}) {
        top->addWidget(command, 1, column++);
    }
    txtFiltro->setMinimumWidth(twips(1500));

    mshDatos->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(twips(120), twips(60), twips(120), twips(120));
    layout->addLayout(top);
    layout->addWidget(mshDatos, 1);
}

void frmCuentas::layoutControls() {
    paintBackground(*lblInfo, state_.palette.section());
    applyColumnWidths();
}

void frmCuentas::applyColumnWidths() {
    // Shares of what the rows get, so that no column lies under the scroll bar.
    const double w = mshDatos->viewport()->width();
    const auto share = [w](double fraction) { return static_cast<int>(std::lround(fraction * w)); };
    // The concept takes what the other columns leave; the header has no sections
    // until the model has given its columns.
    QHeaderView* header = mshDatos->horizontalHeader();
    if (header->count() > AccountTableModel::ConceptColumn) {
        header->setSectionResizeMode(AccountTableModel::ConceptColumn, QHeaderView::Stretch);
    }
    mshDatos->setColumnWidth(AccountTableModel::LineColumn, twips(500));
    mshDatos->setColumnWidth(AccountTableModel::NameColumn, share(0.25));
    // The kind's header and words are short: never cut them on a narrow window.
    setColumnWidthToFit(*mshDatos, AccountTableModel::KindColumn, share(0.15), allRows(*mshDatos));
}

bool frmCuentas::reload() {
    std::vector<Account> accounts;
    if (!report_.attempt(QStringLiteral("No se puede leer la lista de cuentas"),
                         [&] { accounts = listAccounts(state_.db(), txtFiltro->text()); })) {
        return false;
    }

    mshDatos->setUpdatesEnabled(false);
    const size_t count = accounts.size();
    model_->setAccounts(std::move(accounts));
    applyColumnWidths();
    showReloadedGrid(*mshDatos, AccountTableModel::NameColumn);
    lblInfo->setText(QString::number(count) + QStringLiteral(" registros"));
    mshDatos->setUpdatesEnabled(true);
    return true;
}

void frmCuentas::newAccount() {
    frmCuentasFicha card(state_, services_, this);
    card.setEstado(frmCuentasFicha::New);
    card.setWindowTitle(QStringLiteral("Nueva cuenta"));
    list_->open(card);
}

void frmCuentas::editSelected() {
    const std::optional<int> row = list_->selectedRow();
    if (!row) {
        return;
    }
    state_.returnRow = *row + 1;
    const QString name = model_->accounts()[static_cast<size_t>(*row)].name;
    frmCuentasFicha card(state_, services_, this);
    card.setEstado(frmCuentasFicha::Existing);
    card.setId(name);
    card.setWindowTitle(QStringLiteral("Modificando ") + name.toUpper());
    list_->edit(card, state_.returnRow);
}

void frmCuentas::deleteSelected() {
    const std::optional<int> row = list_->selectedRow();
    if (!row) {
        return;
    }
    const QString name = model_->accounts()[static_cast<size_t>(*row)].name;
    list_->remove(QStringLiteral("¿Borrar ") + name + QLatin1Char('?'), [&] {
        return report_.attempt(QStringLiteral("No se puede borrar la cuenta"), [&] {
            if (std::optional<StoredAccount> taken = takeAccount(state_.db(), name)) {
                state_.deletedAccounts.push_back(std::move(*taken));
            }
        });
    });
}

void frmCuentas::undoDelete() {
    std::vector<StoredAccount>& deleted = state_.deletedAccounts;
    if (deleted.empty()) {
        return;
    }
    const QString name = deleted.back().name;
    bool restored = false;
    if (!report_.attempt(QStringLiteral("No se puede recuperar la cuenta borrada"),
                         [&] { restored = putBackAccount(state_.db(), deleted.back()); })) {
        return; // still there to try again
    }
    if (restored) {
        deleted.pop_back();
    }
    // The account put back, or the one in its way, selected.
    if (reload()) {
        const std::vector<Account>& accounts = model_->accounts();
        const auto found =
            std::find_if(accounts.begin(), accounts.end(),
                         [&](const Account& account) { return sameText(account.name, name); });
        if (found != accounts.end()) {
            selectLineAtTop(*mshDatos, int(found - accounts.begin()) + 1,
                            AccountTableModel::NameColumn);
        }
    }
    if (!restored) {
        // Kept: once the other account is renamed, Ctrl+Z brings this one back.
        services_.messages.warn(this, QStringLiteral("No se puede recuperar la cuenta «%1»: ya hay "
                                                     "otra cuenta con ese nombre. Cámbiele el "
                                                     "nombre a la otra y pulse de nuevo Ctrl+Z.")
                                          .arg(name));
    }
}

void frmCuentas::opened() {
    reload();
    txtFiltro->setFocus(Qt::OtherFocusReason);
}

void frmCuentas::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    paintBackground(*lblInfo, state_.palette.section());
}

bool frmCuentas::eventFilter(QObject* watched, QEvent* event) {
    // The layout gives the list its size after the window's own resize.
    if (watched == mshDatos->viewport() && event->type() == QEvent::Resize) {
        applyColumnWidths();
    }
    // With no typing of its own to undo, the filter box lets Ctrl+Z reach the window.
    if (watched == txtFiltro && event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Undo) &&
        !txtFiltro->isUndoAvailable()) {
        event->ignore();
        return true;
    }
    if (watched == mshDatos && isEnterPress(*event)) {
        editSelected();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace velmora
