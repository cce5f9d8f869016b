#include "budget/BudgetChart.h"

#include "analysis/MonthlyStatistics.h"
#include "analysis/StatisticsChart.h"

#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QLegend>

#include <QLocale>

namespace velmora {

QChart* buildBudgetChart(const BudgetSeries& series, const QColor& budgetColour) {
    auto* chart = new QChart;
    chart->setLocale(QLocale(QLocale::Spanish, QLocale::Spain));
    chart->setLocalizeNumbers(true);
    chart->setTitle(series.name);
    chart->legend()->setVisible(true);

    QStringList months;
    QList<double> values;
    auto* budget = new QBarSet(QStringLiteral("Presupuesto"));
    auto* actual = new QBarSet(QStringLiteral("Real"));
    for (size_t m = 0; m < 12; ++m) {
        // Two bars a month leave less room than the statistics' one: "Ene", "Feb" …
        // read whole where the names would be cut.
        months.append(monthName(static_cast<int>(m) + 1).left(3));
        budget->append(series.budget[m]);
        actual->append(series.actual[m]);
        values << series.budget[m] << series.actual[m];
    }
    auto* bars = new QBarSeries;
    bars->append(budget);
    bars->append(actual);
    chart->addSeries(bars);
    addMonthAxes(*chart, *bars, months, values);
    // Colours go on after addSeries(), which would otherwise paint over them.
    const QColor actualColour(40, 70, 140);
    budget->setBrush(QBrush(budgetColour, Qt::SolidPattern));
    budget->setPen(QPen(budgetColour.darker(170), 1.5));
    actual->setBrush(QBrush(actualColour, Qt::SolidPattern));
    actual->setPen(QPen(actualColour.darker(170), 1.5));
    return chart;
}

} // namespace velmora
