#pragma once

// How much there was in the cash accounts at the end of each month, over every
// year of the data root, as a line through time. It only reads.

#include "ui/WindowKit.h"

class QLabel;
class QPushButton;

class QChartView;

namespace velmora {

struct AppState;
struct Services;

class frmEvolucion : public ModalWindow {
    Q_OBJECT
public:
    frmEvolucion(AppState& state, Services& services, QWidget* parent = nullptr);

    // The months drawn, for the tests and the title.
    int months() const { return months_; }

protected:
    void opened() override;

private:
    AppState& state_;
    Services& services_;
    int months_ = 0;

    QChartView* mscGrafico = nullptr;
    QLabel* lblInfo = nullptr;
    QPushButton* cmdSalir = nullptr;
};

} // namespace velmora
