#pragma once

// Taking the year's opening balances again from the year it was made from, once
// late entries have changed where that year ended. Shows each cash account's
// opening balance now and the one it would take, and writes only when the user
// says yes. With nothing to change, or no previous year to read, it says so and
// closes without writing.

#include "ui/WindowKit.h"

#include <memory>

class QLabel;
class QPushButton;
class QTableView;

namespace velmora {

struct AppState;
struct Services;
struct CarryOverPlan;
class CarryOverTableModel;

class frmArrastre : public ModalWindow {
    Q_OBJECT
public:
    frmArrastre(AppState& state, Services& services, QWidget* parent = nullptr);
    ~frmArrastre() override;

    void tomar();

protected:
    void opened() override;

private:
    void buildControls();
    // Why nothing can be taken, when nothing can; the plan otherwise.
    bool load();
    void leave(const QString& notice);

    AppState& state_;
    Services& services_;
    std::unique_ptr<CarryOverPlan> plan_;

    CarryOverTableModel* model_ = nullptr;
    QLabel* lblTitulo = nullptr;
    QTableView* mshDatos = nullptr;
    QLabel* lblFaltan = nullptr;
    QPushButton* cmdTomar = nullptr;
    QPushButton* cmdSalir = nullptr;
};

} // namespace velmora
