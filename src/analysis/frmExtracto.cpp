#include "analysis/frmExtracto.h"

#include "analysis/AccountRegister.h"
#include "analysis/RegisterReport.h"
#include "analysis/RegisterTableModel.h"
#include "analysis/UnreadableAmounts.h"
#include "entries/frmApuntesDetalle.h"
#include "reports/frmInformeListado.h"
#include "state/Logging.h"
#include "store/Amount.h"
#include "store/CompanyStore.h"
#include "store/Formats.h"
#include "ui/AppState.h"
#include "ui/Fields.h"
#include "ui/Icons.h"
#include "ui/ListFlow.h"
#include "ui/ListGrid.h"
#include "ui/MessageService.h"
#include "ui/Services.h"
#include "ui/clsMW.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

namespace velmora {

frmExtracto::frmExtracto(AppState& state, Services& services, QWidget* parent)
    : ModalWindow(parent), state_(state), services_(services),
      report_(*this, services.messages, lcAnalysis()) {
    setObjectName(QStringLiteral("frmExtracto"));
    buildControls();
    // Fits an 800x600 screen; the grid takes what a larger window gives.
    resize(twips(11000), twips(7000));
}

frmExtracto::~frmExtracto() = default;

void frmExtracto::setAccount(const QString& account) {
    account_ = account;
    setWindowTitle(QStringLiteral("Extracto de ") + account);
}

void frmExtracto::buildControls() {
    lblInfo = new QLabel(this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));

    model_ = new RegisterTableModel(state_.palette, this);
    mshDatos = makeListGrid(this, model_, "mshDatos");
    mshDatos->installEventFilter(this);
    connect(mshDatos, &QAbstractItemView::doubleClicked, this, &frmExtracto::editSelected);
    wheel_ = std::make_unique<clsMW>(services_.messages);
    wheel_->InitMouseWheel(mshDatos);
    list_ = std::make_unique<ListFlow>(*this, *mshDatos, services_,
                                       RegisterTableModel::DescriptionColumn,
                                       [this] { return reload(); });

    cmdImprimir = commandButton(*this, "cmdImprimir", QStringLiteral("&Imprimir"));
    cmdImprimir->setIcon(commandIcon(Command::Print));
    connect(cmdImprimir, &QPushButton::clicked, this, &frmExtracto::printRegister);

    auto* top = new QHBoxLayout;
    top->addWidget(lblInfo, 1);
    top->addWidget(cmdImprimir);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(twips(120), twips(60), twips(120), twips(120));
    layout->addLayout(top);
    layout->addWidget(mshDatos, 1);
    setTabChain({mshDatos, cmdImprimir});
}

void frmExtracto::applyColumnWidths() {
    QHeaderView* header = mshDatos->horizontalHeader();
    if (header->count() <= RegisterTableModel::DescriptionColumn) {
        return;
    }
    header->setSectionResizeMode(RegisterTableModel::DescriptionColumn, QHeaderView::Stretch);
    const QList<int> widest = model_->widestRows();
    setColumnWidthToFit(*mshDatos, RegisterTableModel::DateColumn, twips(1100), widest);
    setColumnWidthToFit(*mshDatos, RegisterTableModel::OtherAccountColumn, twips(1800), {});
    for (int column : {int(RegisterTableModel::InColumn), int(RegisterTableModel::OutColumn),
                       int(RegisterTableModel::BalanceColumn)}) {
        setColumnWidthToFit(*mshDatos, column, twips(1300), widest);
    }
}

bool frmExtracto::reload() {
    AccountRegister read;
    if (!report_.attempt(QStringLiteral("No se puede leer el extracto de la cuenta"),
                         [&] { read = accountRegister(state_.db(), account_); })) {
        return false;
    }
    const std::vector<qint64> unreadable = read.unreadable;
    const QString closing =
        read.lines.empty() ? formatCents(read.openingCents) : read.lines.back().balance.text();
    const size_t count = read.lines.size();

    mshDatos->setUpdatesEnabled(false);
    model_->setRegister(std::move(read));
    applyColumnWidths();
    showReloadedGrid(*mshDatos, RegisterTableModel::DescriptionColumn);
    lblInfo->setText(QStringLiteral("%1 apuntes · Saldo final: %2").arg(count).arg(closing));
    mshDatos->setUpdatesEnabled(true);

    // Told once, not again on every return from the editor while nothing changed.
    const QString notice = unreadable.empty() ? QString() : unreadableFiguresNotice(unreadable);
    if (notice != unreadableNotice_ && !notice.isEmpty()) {
        services_.messages.warn(this, notice);
    }
    unreadableNotice_ = notice;
    return true;
}

void frmExtracto::editSelected() {
    const std::optional<int> row = list_->selectedRow();
    const std::optional<qint64> id = row ? model_->entryAt(*row) : std::nullopt;
    if (!id) {
        return; // the opening balance is no entry
    }
    state_.returnRow = *row + 1;
    frmApuntesDetalle editor(state_, services_, this);
    editor.setEstado(frmApuntesDetalle::Existing);
    editor.setId(*id);
    editor.setWindowTitle(QStringLiteral("Modificando apunte nº %1").arg(*id));
    list_->edit(editor, state_.returnRow);
}

void frmExtracto::printRegister() {
    std::optional<Company> company;
    if (!report_.attempt(QStringLiteral("No se pueden leer los datos de la empresa"),
                         [&] { company = loadCompany(state_.db()); })) {
        return;
    }
    // The opening balance the window shows; the entries the report reads itself.
    frmInformeListado window(state_, services_, this);
    window.setRequest(registerReport(account_, model_->accountRegister().openingCents,
                                     company ? (*company)[0] : QString()));
    runWithWaitCursor(*this, services_.dialogs, window);
}

void frmExtracto::opened() {
    reload();
    mshDatos->setFocus(Qt::OtherFocusReason);
}

bool frmExtracto::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mshDatos && isEnterPress(*event)) {
        editSelected();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace velmora
