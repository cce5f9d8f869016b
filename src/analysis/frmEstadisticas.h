#pragma once

// Monthly income per source account or monthly expense per expense account, as
// a table with row and column totals, and one row of it drawn as a bar, line,
// area or pie chart. The table is recomputed only on "&Filtrar"; choosing
// another kind in the list alone changes nothing. The chart follows the grid's
// selected row: after each refresh, on a click on the grid and on each chart
// type chosen.

#include "analysis/StatisticsChart.h"
#include "ui/FailureReport.h"
#include "ui/WindowKit.h"

#include <memory>
#include <optional>

class QChartView;
class QLabel;
class QListWidget;
class QPushButton;
class QTableView;
class QToolButton;

namespace velmora {

struct AppState;
struct Services;
class StatisticsTableModel;
class clsMW;

class frmEstadisticas : public ModalWindow {
    Q_OBJECT
public:
    frmEstadisticas(AppState& state, Services& services, QWidget* parent = nullptr);
    ~frmEstadisticas() override;

    // Draws row `row` of the table (1 = first account, the last = the totals row)
    // in the chosen chart type. Nothing when the kind selected in the list has no
    // table or the table is empty.
    void PonGrafico(int row);
    // What the chart shows now; nothing before the first drawing.
    const std::optional<ChartDescription>& chartShown() const { return drawn_; }

    StatisticsTableModel& model() const { return *model_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
    void layoutControls();
    void applyColumnWidths();
    void filter();
    void refresh();
    bool chartRow(int row);
    bool chartSelectedRow();
    void chooseChartType(ChartType type);
    void draw(const ChartDescription& description);
    std::optional<StatisticsKind> selectedKind() const;

    AppState& state_;
    Services& services_;
    FailureReport report_;
    StatisticsTableModel* model_ = nullptr;
    ChartType chartType_ = ChartType::Bar;
    // What the chart shows now, so that a type chosen over an empty table
    // redraws it in that type.
    std::optional<ChartDescription> drawn_;
    std::unique_ptr<clsMW> wheel_;

    QListWidget* lstTipo = nullptr;
    QPushButton* cmdFiltrar = nullptr;
    QLabel* lblTitulo = nullptr;
    QTableView* mshDatos = nullptr;
    QChartView* mscGrafico = nullptr;
    QToolButton* optTipoGrafico[4] = {};
};

} // namespace velmora
