#pragma once

// The receipts due in the open year up to today, to be written as entries: the
// user ticks them, corrects a date or an amount (typed for one that varies) and
// accepts; all the ticked ones are written in one go, or none. A receipt written
// meanwhile by another copy of the program is said so, and the list is read
// again.

#include "receipts/DueDates.h"
#include "ui/WindowKit.h"

class QHBoxLayout;
class QLabel;
class QPushButton;
class QTableView;

namespace velmora {

struct AppState;
struct Services;
class AmountField;
class Clock;
class DateField;
class DueReceiptModel;

// From the open year's 1 January to today, or to its 31 December once it is over.
DuePeriod openYearDuePeriod(const AppState& state, const Clock& clock);

// "Hay 3 recibos pendientes", "Hay 1 recibo pendiente".
QString pendingText(qsizetype count);

// When receipts are due, asks whether to write them now and opens the pending
// window on yes. Gives how many were written. A file whose receipts cannot be
// read is logged and asks nothing: it is never a reason not to start.
int offerPendingReceipts(AppState& state, Services& services, QWidget& owner);

class frmRecibosPendientes : public ModalWindow {
    Q_OBJECT
public:
    frmRecibosPendientes(AppState& state, Services& services, QWidget* parent = nullptr);
    ~frmRecibosPendientes() override;

    // How many were written while the window was open.
    int written() const { return written_; }

protected:
    void opened() override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void arrangeControls();
    bool load();
    void showCurrent();
    void dateTyped();
    void amountTyped();
    void aceptar();
    std::optional<int> currentRow() const;

    AppState& state_;
    Services& services_;
    DueReceiptModel* model_ = nullptr;
    DuePeriod period_;
    int written_ = 0;
    bool showing_ = false;

    QLabel* lblInfo = nullptr;
    QTableView* mshDatos = nullptr;
    DateField* mskFecha = nullptr;
    AmountField* txtImporte = nullptr;
    QPushButton* cmdAceptar = nullptr;
    QPushButton* cmdCancelar = nullptr;
    QHBoxLayout* buttonRow_ = nullptr;
};

} // namespace velmora
