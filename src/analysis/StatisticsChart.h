#pragma once

// What the statistics window draws for one row of its table, kept apart from
// the drawing so it can be checked without a chart: a bar, line or area series
// of the twelve months named after the row, or a pie of twelve slices, one per
// month. Each value is the figure the row shows, an empty month counting as 0.

#include "analysis/MonthlyStatistics.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

class QAbstractSeries;
class QChart;

namespace velmora {

// The order of the window's four chart-type buttons.
enum class ChartType { Bar = 0, Line, Area, Pie };

struct ChartDescription {
    ChartType type = ChartType::Bar;
    QString seriesName;   // the account, or "TOTAL"
    QStringList labels;   // "Enero" … "Diciembre"
    QList<double> values; // twelve, in the order of the labels
};

ChartDescription describeRow(const StatisticsRow& row, ChartType type);

// The months along the bottom, turned upright when a narrow chart would cut their
// names, and the amounts up the side from zero so that the heights compare, with
// room for every value; both attached to the series, which the chart holds.
void addMonthAxes(QChart& chart, QAbstractSeries& series, const QStringList& months,
                  const QList<double>& values);

// A new chart with the legend shown; the first series (on a pie, the first
// slice) is painted solid in `firstColour`, and every filled shape is outlined
// a shade darker than its fill. The caller owns it.
QChart* buildChart(const ChartDescription& description, const QColor& firstColour);

} // namespace velmora
