#pragma once

// One account's budget: the same amount every month, or one per month. It opens
// with what the account has; "&Aceptar" checks every amount, stores the budget in
// one go and closes; a bad amount, or a store that fails, keeps the window open
// with what the user typed.

#include "ui/FailureReport.h"
#include "ui/WindowKit.h"

#include <array>

class QLabel;
class QPushButton;
class QRadioButton;

namespace velmora {

struct AppState;
struct Services;
class AmountField;

class frmPresupuestoFicha : public ModalWindow {
    Q_OBJECT
public:
    frmPresupuestoFicha(AppState& state, Services& services, const QString& account,
                        QWidget* parent = nullptr);

protected:
    void opened() override;

private:
    void showMode();
    void aceptar();
    // The cents of a field, or nothing after telling the user.
    std::optional<qint64> centsOf(AmountField& field);

    AppState& state_;
    Services& services_;
    FailureReport report_;
    QString account_;

    QLabel* lblCuenta = nullptr;
    QRadioButton* optMismo = nullptr;
    QRadioButton* optPorMes = nullptr;
    AmountField* txtImporte = nullptr;
    std::array<AmountField*, 12> txtMes{};
    QPushButton* cmdAceptar = nullptr;
    QPushButton* cmdCancelar = nullptr;
};

} // namespace velmora
