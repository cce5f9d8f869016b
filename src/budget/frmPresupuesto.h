#pragma once

// The budget against what happened, for one month or the whole year: per income
// and expense account the budget, the actual figure and their difference, with
// the totals of each side and the result of both; a chart of the selected row's
// twelve months, budget beside actual. An account's budget is set in its own
// small window, opened by its button, a double-click or Enter on the account;
// every change is read back from the file at once.

#include "budget/BudgetFigures.h"
#include "ui/FailureReport.h"
#include "ui/WindowKit.h"

#include <memory>
#include <optional>

class QChartView;
class QComboBox;
class QPushButton;
class QTableView;

namespace velmora {

struct AppState;
struct Services;
class BudgetTableModel;
class clsMW;

class frmPresupuesto : public ModalWindow {
    Q_OBJECT
public:
    frmPresupuesto(AppState& state, Services& services, QWidget* parent = nullptr);
    ~frmPresupuesto() override;

    // 1 to 12, or 0 for the whole year; shown at once once the window is open.
    void setMonth(int month);
    int month() const;

    // Reads the year's figures and budget again, keeping the month and the row;
    // names the entries whose amount is no number when a figure could not be
    // added up.
    void reload();

    BudgetTableModel& model() const { return *model_; }
    // What the chart shows now; nothing before the first drawing.
    const std::optional<BudgetSeries>& chartShown() const { return drawn_; }

protected:
    void opened() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void showSheet();
    void chartSelectedRow();
    // The account of the selected row, when it is one that takes a budget.
    std::optional<QString> selectedAccount() const;
    void editBudget();
    void removeBudget();

    AppState& state_;
    Services& services_;
    FailureReport report_;
    BudgetYear year_;
    BudgetTableModel* model_ = nullptr;
    std::optional<BudgetSeries> drawn_;
    std::unique_ptr<clsMW> wheel_;

    QComboBox* cmbMes = nullptr;
    QTableView* mshDatos = nullptr;
    QChartView* mscGrafico = nullptr;
    QPushButton* cmdPresupuesto = nullptr;
    QPushButton* cmdQuitar = nullptr;
    QPushButton* cmdCerrar = nullptr;
};

} // namespace velmora
