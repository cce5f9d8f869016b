#pragma once

// The year gathered for the income-tax return: the income and expense accounts
// with what each brought in or took, their totals and the result, and the cash
// accounts with their balances at 1 January and 31 December. "Imprimir" opens
// the report window over the same figures.

#include "ui/FailureReport.h"
#include "ui/WindowKit.h"

#include <memory>

class QLabel;
class QPushButton;
class QTableView;

namespace velmora {

struct AppState;
struct Services;
struct YearSummary;
class SummaryTableModel;
class clsMW;

class frmResumen : public ModalWindow {
    Q_OBJECT
public:
    frmResumen(AppState& state, Services& services, QWidget* parent = nullptr);
    ~frmResumen() override;

    // Reads the figures again; false, with the grid left as it was, when the
    // database fails (the user has been told).
    bool reload();

    const SummaryTableModel& model() const { return *model_; }

protected:
    void opened() override;

private:
    void buildControls();
    void printSummary();

    AppState& state_;
    Services& services_;
    FailureReport report_;
    std::unique_ptr<YearSummary> summary_;
    SummaryTableModel* model_ = nullptr;
    std::unique_ptr<clsMW> wheel_;

    QLabel* lblTitulo = nullptr;
    QTableView* mshDatos = nullptr;
    QPushButton* cmdImprimir = nullptr;
    QPushButton* cmdCerrar = nullptr;
};

} // namespace velmora
