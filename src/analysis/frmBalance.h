#pragma once

// The balance of one account over a date range of the year: money in, money
// out and the difference. It only reads.

#include "ui/FailureReport.h"
#include "ui/WindowKit.h"

class QFrame;
class QLabel;
class QPushButton;

namespace velmora {

struct AppState;
struct Services;
class DateField;
class ListField;

class frmBalance : public ModalWindow {
    Q_OBJECT
public:
    frmBalance(AppState& state, Services& services, QWidget* parent = nullptr);

    // Computes and shows the three figures; nothing while a date is not valid.
    void calcular();

protected:
    void opened() override;

private:
    void buildControls();

    AppState& state_;
    Services& services_;
    FailureReport report_;

    ListField* cmbConta = nullptr;
    DateField* mskDesde = nullptr;
    DateField* mskHasta = nullptr;
    QPushButton* cmdCalcular = nullptr;
    QFrame* shpDatos = nullptr;
    QLabel* lblEntradas = nullptr;
    QLabel* lblSalidas = nullptr;
    QLabel* lblBalance = nullptr;
};

} // namespace velmora
