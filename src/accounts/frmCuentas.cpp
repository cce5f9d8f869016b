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
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

// What the count, the filter box and the commands beside them leave free.
constexpr int kCommandsWidth = 5800;
constexpr int kButtonWidth = 1000;
constexpr int kButtonStep = 1100;

} // namespace

frmCuentas::frmCuentas(AppState& state, Services& services, QWidget* parent)
    : ModalWindow(parent), state_(state), services_(services),
      report_(*this, services.messages, lcAccounts()) {
    setObjectName(QStringLiteral("frmCuentas"));
    setWindowTitle(QStringLiteral("CUENTAS"));
    buildControls();
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

void frmCuentas::layoutControls() {
    // A window squeezed smaller than the fixed parts leaves each part at its smallest.
    const int width = this->width();
    const int height = this->height();
    const int fieldWidth = std::max(width - twips(kCommandsWidth), 0);
    paintBackground(*lblInfo, state_.palette.section());

    lblFiltro->setGeometry(twips(120), twips(60), twips(1500), twips(252));
    txtFiltro->setGeometry(twips(120), twips(312), fieldWidth, twips(372));
    lblInfo->setGeometry(twips(120), twips(780), fieldWidth, twips(312));
    const int commandsLeft = twips(120) + fieldWidth + twips(120);
    const QList<QPushButton*> commands = {cmdFiltrar, cmdNovo, cmdEditar, cmdBorrar, cmdInformes};
    for (qsizetype i = 0; i < commands.size(); ++i) {
        commands[i]->setGeometry(commandsLeft + twips(kButtonStep) * static_cast<int>(i),
                                 twips(300), twips(kButtonWidth), twips(420));
    }
    mshDatos->setGeometry(twips(120), twips(1200), std::max(width - twips(350), 0),
                          std::max(height - twips(1500), 0));
    applyColumnWidths();
}

void frmCuentas::applyColumnWidths() {
    const double w = mshDatos->width();
    const auto share = [w](double fraction) { return static_cast<int>(std::lround(fraction * w)); };
    mshDatos->setColumnWidth(AccountTableModel::LineColumn, twips(500));
    mshDatos->setColumnWidth(AccountTableModel::NameColumn, share(0.25));
    mshDatos->setColumnWidth(AccountTableModel::ConceptColumn, share(0.4));
    mshDatos->setColumnWidth(AccountTableModel::KindColumn, share(0.15));
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
    layoutControls();
}

bool frmCuentas::eventFilter(QObject* watched, QEvent* event) {
    // With no typing of its own to undo, the filter box lets Ctrl+Z reach the window.
    if (watched == txtFiltro && event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Undo) &&
        !txtFiltro->isUndoAvailable()) {
        event->ignore();
        return true;
    }
    if (watched == mshDatos && event->type() == QEvent::KeyPress &&
        isEnter(*static_cast<QKeyEvent*>(event))) {
        editSelected();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace velmora
