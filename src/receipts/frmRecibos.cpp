#include "receipts/frmRecibos.h"

#include "receipts/ReceiptStore.h"
#include "receipts/ReceiptTableModel.h"
#include "receipts/frmRecibosFicha.h"
#include "receipts/frmRecibosPendientes.h"
#include "state/Logging.h"
#include "store/AccountStore.h"
#include "store/Formats.h"
#include "store/Sqlite.h"
#include "ui/AppState.h"
#include "ui/FailureReport.h"
#include "ui/Fields.h"
#include "ui/ListFlow.h"
#include "ui/ListGrid.h"
#include "ui/MessageService.h"
#include "ui/Services.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

namespace velmora {

frmRecibos::frmRecibos(AppState& state, Services& services, QWidget* parent)
    : ModalWindow(parent), state_(state), services_(services) {
    setObjectName(QStringLiteral("frmRecibos"));
    setWindowTitle(QStringLiteral("Recibos"));
    buildControls();
    arrangeControls();
    resize(twips(11500), twips(5400));
}

frmRecibos::~frmRecibos() = default;

void frmRecibos::buildControls() {
    lblInfo = new QLabel(this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setWordWrap(true);

    const ListCommands commands = makeListCommands(*this);
    cmdAnadir = commands.add;
    cmdModificar = commands.edit;
    cmdBorrar = commands.remove;
    cmdCerrar = commands.close;
    cmdPendientes =
        commandButton(*this, "cmdPendientes", QStringLiteral("Apuntar &pendientes ..."));
    connect(cmdAnadir, &QPushButton::clicked, this, &frmRecibos::addReceipt);
    connect(cmdModificar, &QPushButton::clicked, this, &frmRecibos::editSelected);
    connect(cmdBorrar, &QPushButton::clicked, this, &frmRecibos::deleteSelected);
    connect(cmdPendientes, &QPushButton::clicked, this, &frmRecibos::writePending);

    model_ = new ReceiptTableModel(state_.palette, this);
    mshDatos = makeListGrid(this, model_, "mshDatos");
    mshDatos->installEventFilter(this);
    connect(mshDatos, &QAbstractItemView::doubleClicked, this, &frmRecibos::editSelected);
    list_ = std::make_unique<ListFlow>(*this, *mshDatos, services_,
                                       ReceiptTableModel::DescriptionColumn,
                                       [this] { return showReceipts(); });

    setTabChain({mshDatos, cmdAnadir, cmdModificar, cmdBorrar, cmdPendientes, cmdCerrar});
}

void frmRecibos::arrangeControls() {
    auto* commands = new QHBoxLayout;
    commands->setContentsMargins(0, 0, 0, 0);
    for (QPushButton* command : {cmdAnadir, cmdModificar, cmdBorrar}) {
        commands->addWidget(command);
    }
    commands->addSpacing(twips(120));
    commands->addWidget(cmdPendientes);
    commands->addStretch(1);
    commands->addWidget(cmdCerrar);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(twips(120), twips(60), twips(120), twips(120));
    layout->addWidget(lblInfo);
    layout->addLayout(commands);
    layout->addWidget(mshDatos, 1);
}

bool frmRecibos::showReceipts() {
    std::vector<Receipt> receipts;
    qsizetype due = 0;
    const FailureReport report(*this, services_.messages, lcEntries());
    const bool read = report.attempt(QStringLiteral("No se pueden leer los recibos"), [&] {
        receipts = listReceipts(state_.db());
        due =
            qsizetype(dueReceipts(state_.db(), openYearDuePeriod(state_, services_.clock)).size());
    });
    const qsizetype count = qsizetype(receipts.size());
    model_->setReceipts(std::move(receipts));
    for (int column = 0; column < ReceiptTableModel::ColumnCount; ++column) {
        if (column != ReceiptTableModel::DescriptionColumn) {
            setColumnWidthToFit(*mshDatos, column, twips(400), allRows(*mshDatos));
        }
    }
    if (mshDatos->horizontalHeader()->count() > ReceiptTableModel::DescriptionColumn) {
        mshDatos->horizontalHeader()->setSectionResizeMode(ReceiptTableModel::DescriptionColumn,
                                                           QHeaderView::Stretch);
    }
    showReloadedGrid(*mshDatos, ReceiptTableModel::DescriptionColumn);
    lblInfo->setText(QStringLiteral("%1. %2.").arg(
        count == 1 ? QStringLiteral("1 recibo") : QStringLiteral("%1 recibos").arg(count),
        due == 0 ? QStringLiteral("No hay recibos pendientes") : pendingText(due)));
    paintBackground(*lblInfo, state_.palette.section());
    cmdPendientes->setEnabled(due > 0);
    return read;
}

bool frmRecibos::save(const Receipt& receipt) {
    const FailureReport report(*this, services_.messages, lcEntries());
    return report.attempt(QStringLiteral("No se puede guardar el recibo"),
                          [&] { saveReceipt(state_.db(), receipt); });
}

void frmRecibos::edit(const Receipt* receipt, int returnRow) {
    std::vector<Account> accounts;
    const FailureReport report(*this, services_.messages, lcEntries());
    if (!report.attempt(QStringLiteral("No se puede leer la lista de cuentas"),
                        [&] { accounts = listAccounts(state_.db(), QString()); })) {
        return;
    }
    frmRecibosFicha card(
        state_.palette, services_.messages, std::move(accounts),
        [this](const Receipt& changed) { return save(changed); }, this);
    if (receipt) {
        card.setReceipt(*receipt);
    } else {
        card.setFirstDate(services_.clock.today());
    }
    list_->edit(card, returnRow);
}

void frmRecibos::addReceipt() {
    edit(nullptr, model_->rowCount() + 1);
}

void frmRecibos::editSelected() {
    if (const std::optional<int> row = list_->selectedRow()) {
        const Receipt receipt = model_->receipts()[size_t(*row)];
        edit(&receipt, *row + 1);
    }
}

void frmRecibos::deleteSelected() {
    const std::optional<int> row = list_->selectedRow();
    if (!row) {
        return;
    }
    const Receipt& receipt = model_->receipts()[size_t(*row)];
    const qint64 id = receipt.id;
    list_->remove(QStringLiteral("¿Borrar el recibo «%1»? Los apuntes que ya escribió se quedan.")
                      .arg(receipt.description),
                  [&] {
                      const FailureReport report(*this, services_.messages, lcEntries());
                      return report.attempt(QStringLiteral("No se puede borrar el recibo"),
                                            [&] { removeReceipt(state_.db(), id); });
                  });
}

void frmRecibos::writePending() {
    frmRecibosPendientes pending(state_, services_, this);
    list_->open(pending);
    written_ += pending.written();
}

void frmRecibos::opened() {
    showReceipts();
    mshDatos->setFocus(Qt::OtherFocusReason);
}

void frmRecibos::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    paintBackground(*lblInfo, state_.palette.section());
}

bool frmRecibos::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mshDatos && isEnterPress(*event)) {
        editSelected();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace velmora
