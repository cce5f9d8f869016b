#include "receipts/frmRecibosPendientes.h"

#include "receipts/DueReceiptModel.h"
#include "receipts/ReceiptStore.h"
#include "state/Logging.h"
#include "store/Amount.h"
#include "store/Formats.h"
#include "store/Sqlite.h"
#include "ui/AcceptCancel.h"
#include "ui/AppState.h"
#include "ui/FailureReport.h"
#include "ui/Fields.h"
#include "ui/ListGrid.h"
#include "ui/MessageService.h"
#include "ui/Services.h"
#include "ui/TickDelegate.h"
#include "years/YearFolders.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

namespace velmora {

DuePeriod openYearDuePeriod(const AppState& state, const Clock& clock) {
    const QDate today = clock.today();
    return yearDuePeriod(calendarYearOf(state.session.year(), today), today);
}

QString pendingText(qsizetype count) {
    return count == 1 ? QStringLiteral("Hay 1 recibo pendiente")
                      : QStringLiteral("Hay %1 recibos pendientes").arg(count);
}

int offerPendingReceipts(AppState& state, Services& services, QWidget& owner) {
    qsizetype due = 0;
    try {
        due = qsizetype(dueReceipts(state.db(), openYearDuePeriod(state, services.clock)).size());
    } catch (const DbError& error) {
        qCWarning(lcEntries).noquote() << "no se han podido leer los recibos:" << error.what();
        return 0;
    }
    if (due == 0 ||
        !services.messages.ask(&owner, pendingText(due) + QStringLiteral(". ¿Apuntarlos ahora?"),
                               MessageIcon::Question)) {
        return 0;
    }
    frmRecibosPendientes pending(state, services, &owner);
    runWithWaitCursor(owner, services.dialogs, pending);
    return pending.written();
}

frmRecibosPendientes::frmRecibosPendientes(AppState& state, Services& services, QWidget* parent)
    : ModalWindow(parent), state_(state), services_(services),
      period_(openYearDuePeriod(state, services.clock)) {
    setObjectName(QStringLiteral("frmRecibosPendientes"));
    setWindowTitle(QStringLiteral("Recibos pendientes"));
    buildControls();
    arrangeControls();
    // Narrower, the line on top would need more lines than the window gives it.
    setMinimumWidth(twips(7500));
    resize(twips(10500), twips(5400));
}

frmRecibosPendientes::~frmRecibosPendientes() = default;

void frmRecibosPendientes::buildControls() {
    const Palette& palette = state_.palette;
    lblInfo = new QLabel(this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setWordWrap(true);

    model_ = new DueReceiptModel(palette, this);
    mshDatos = makeListGrid(this, model_, "mshDatos");
    mshDatos->installEventFilter(this);
    mshDatos->setItemDelegateForColumn(DueReceiptModel::TickColumn, new TickDelegate(mshDatos));
    connect(mshDatos->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &frmRecibosPendientes::showCurrent);

    mskFecha = new DateField(palette, services_.messages, DateField::Mask::Always, this);
    mskFecha->setObjectName(QStringLiteral("mskFecha"));
    connect(mskFecha, &QLineEdit::textChanged, this, &frmRecibosPendientes::dateTyped);
    txtImporte = new AmountField(palette, services_.messages, this);
    txtImporte->setObjectName(QStringLiteral("txtImporte"));
    connect(txtImporte, &QLineEdit::textChanged, this, &frmRecibosPendientes::amountTyped);

    const AcceptCancel buttons = makeAcceptCancel(*this);
    cmdAceptar = buttons.accept;
    cmdCancelar = buttons.cancel;
    buttonRow_ = buttons.row;
    connect(cmdAceptar, &QPushButton::clicked, this, &frmRecibosPendientes::aceptar);
    setTabChain({mshDatos, mskFecha, txtImporte, cmdAceptar, cmdCancelar});
}

void frmRecibosPendientes::arrangeControls() {
    auto* fields = new QHBoxLayout;
    fields->addWidget(new QLabel(QStringLiteral("Fecha"), this));
    fields->addWidget(mskFecha);
    fields->addSpacing(twips(240));
    fields->addWidget(new QLabel(QStringLiteral("Importe"), this));
    fields->addWidget(txtImporte);
    fields->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(twips(120), twips(60), twips(120), twips(120));
    layout->addWidget(lblInfo);
    layout->addWidget(mshDatos, 1);
    layout->addLayout(fields);
    layout->addLayout(buttonRow_);
}

bool frmRecibosPendientes::load() {
    std::vector<DueReceipt> due;
    const FailureReport report(*this, services_.messages, lcEntries());
    const bool read = report.attempt(QStringLiteral("No se pueden leer los recibos"),
                                     [&] { due = dueReceipts(state_.db(), period_); });
    model_->setDue(due);
    for (int column = 0; column < DueReceiptModel::ColumnCount; ++column) {
        if (column != DueReceiptModel::DescriptionColumn) {
            setColumnWidthToFit(*mshDatos, column, twips(600), allRows(*mshDatos));
        }
    }
    if (mshDatos->horizontalHeader()->count() > DueReceiptModel::DescriptionColumn) {
        mshDatos->horizontalHeader()->setSectionResizeMode(DueReceiptModel::DescriptionColumn,
                                                           QHeaderView::Stretch);
    }
    showReloadedGrid(*mshDatos, DueReceiptModel::DescriptionColumn);
    lblInfo->setText(
        due.empty()
            ? QStringLiteral("No hay recibos pendientes hasta el %1.")
                  .arg(formatDate(period_.until))
            : QStringLiteral("%1 hasta el %2. Marque los que se apuntan, corrija la fecha o el "
                             "importe si hace falta y pulse Aceptar.")
                  .arg(pendingText(qsizetype(due.size())), formatDate(period_.until)));
    paintBackground(*lblInfo, state_.palette.section());
    showCurrent();
    return read;
}

std::optional<int> frmRecibosPendientes::currentRow() const {
    const QModelIndex current = mshDatos->currentIndex();
    if (!current.isValid()) {
        return std::nullopt;
    }
    return current.row();
}

// The fields show the selected receipt's date and amount, and change them.
void frmRecibosPendientes::showCurrent() {
    const std::optional<int> row = currentRow();
    showing_ = true;
    if (row) {
        const PendingReceipt& receipt = model_->pending()[size_t(*row)];
        mskFecha->setText(formatDate(receipt.date));
        txtImporte->setText(receipt.cents ? formatCents(*receipt.cents) : QString());
    } else {
        mskFecha->clear();
        txtImporte->clear();
    }
    showing_ = false;
    mskFecha->setEnabled(row.has_value());
    txtImporte->setEnabled(row.has_value());
}

void frmRecibosPendientes::dateTyped() {
    const std::optional<int> row = currentRow();
    if (showing_ || !row) {
        return;
    }
    if (const std::optional<QDate> date = mskFecha->date()) {
        model_->setDate(*row, *date);
    }
}

void frmRecibosPendientes::amountTyped() {
    const std::optional<int> row = currentRow();
    if (showing_ || !row) {
        return;
    }
    std::optional<qint64> cents = amountCents(txtImporte->amount().value_or(0.0));
    if (cents && *cents <= 0) {
        cents.reset();
    }
    model_->setCents(*row, cents);
}

void frmRecibosPendientes::aceptar() {
    if (const std::optional<int> row = model_->firstWithoutAmount()) {
        const PendingReceipt& receipt = model_->pending()[size_t(*row)];
        services_.messages.warn(
            this, QStringLiteral("Escriba un importe mayor que 0 para «%1» "
                                 "del %2")
                      .arg(receipt.due.receipt.description, formatDate(receipt.due.due)));
        mshDatos->setCurrentIndex(model_->index(*row, DueReceiptModel::AmountColumn));
        txtImporte->setFocus(Qt::OtherFocusReason);
        return;
    }
    const std::vector<ReceiptWrite> writes = model_->writes();
    if (writes.empty()) {
        accept();
        return;
    }
    const FailureReport report(*this, services_.messages, lcEntries());
    std::vector<qint64> ids;
    if (!report.attempt(QStringLiteral("No se ha apuntado ningún recibo"),
                        [&] { ids = writeReceipts(state_.db(), writes); })) {
        // Another copy may have written some meanwhile: show what is still due.
        load();
        return;
    }
    written_ += int(ids.size());
    services_.messages.inform(
        this, ids.size() == 1 ? QStringLiteral("Se ha apuntado 1 recibo")
                              : QStringLiteral("Se han apuntado %1 recibos").arg(ids.size()));
    accept();
}

void frmRecibosPendientes::opened() {
    load();
    mshDatos->setFocus(Qt::OtherFocusReason);
}

void frmRecibosPendientes::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    paintBackground(*lblInfo, state_.palette.section());
}

// Space ticks or unticks the selected receipt, as a click on its box does.
bool frmRecibosPendientes::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mshDatos && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        if (const std::optional<int> row = currentRow()) {
            model_->setTicked(*row, !model_->pending()[size_t(*row)].ticked);
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace velmora
