#include "analysis/StatisticsChart.h"

#include <QtCharts/QAreaSeries>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>
#include <QtCharts/QPieSeries>
#include <QtCharts/QPieSlice>
#include <QtCharts/QValueAxis>

#include <QFontMetrics>
#include <QLocale>

#include <algorithm>

namespace velmora {

namespace {

QLineSeries* monthsLine(const ChartDescription& description) {
    auto* line = new QLineSeries;
    line->setName(description.seriesName);
    for (qsizetype i = 0; i < description.values.size(); ++i) {
        line->append(static_cast<double>(i), description.values[i]);
    }
    return line;
}

} // namespace

void addMonthAxes(QChart& chart, QAbstractSeries& series, const QStringList& months,
                  const QList<double>& values) {
    auto* monthAxis = new QBarCategoryAxis;
    monthAxis->append(months);
    chart.addAxis(monthAxis, Qt::AlignBottom);
    series.attachAxis(monthAxis);
    // A narrow chart would cut the longer month names: they turn upright instead.
    QObject::connect(&chart, &QChart::plotAreaChanged, monthAxis, [monthAxis](const QRectF& area) {
        const QFontMetrics metrics(monthAxis->labelsFont());
        int widest = 0;
        for (const QString& label : monthAxis->categories()) {
            widest = std::max(widest, metrics.horizontalAdvance(label));
        }
        // The axis keeps a margin of its own around each label.
        const qreal room = area.width() / std::max<qsizetype>(monthAxis->count(), 1);
        const int angle = widest > 0.75 * room ? -90 : 0;
        if (monthAxis->labelsAngle() != angle) {
            monthAxis->setLabelsAngle(angle);
        }
    });

    double low = 0;
    double high = 0;
    for (double v : values) {
        low = std::min(low, v);
        high = std::max(high, v);
    }
    if (low == high) {
        high = 1; // all twelve at zero still gets a scale
    }
    auto* amounts = new QValueAxis;
    amounts->setRange(low, high);
    amounts->applyNiceNumbers();
    chart.addAxis(amounts, Qt::AlignLeft);
    series.attachAxis(amounts);
}

ChartDescription describeRow(const StatisticsRow& row, ChartType type) {
    ChartDescription description;
    description.type = type;
    description.seriesName = row.name;
    for (size_t m = 0; m < row.months.size(); ++m) {
        description.labels.append(monthName(static_cast<int>(m) + 1));
        // An unreadable month, shown as such in the table, stands at zero here.
        const std::optional<qint64> cents = row.months[m] ? row.months[m]->cents() : std::nullopt;
        description.values.append(static_cast<double>(cents.value_or(0)) / 100.0);
    }
    return description;
}

QChart* buildChart(const ChartDescription& description, const QColor& firstColour) {
    auto* chart = new QChart;
    chart->setLocale(QLocale(QLocale::Spanish, QLocale::Spain));
    chart->setLocalizeNumbers(true);
    chart->legend()->setVisible(true);
    const QBrush solid(firstColour, Qt::SolidPattern);
    // A pale section colour would vanish on the white: every filled shape gets an
    // outline a shade darker than its fill.
    const auto outline = [](const QColor& fill) { return QPen(fill.darker(170), 1.5); };

    // Colours go on after addSeries(), which would otherwise paint over them
    // with the theme's own.
    switch (description.type) {
    case ChartType::Bar: {
        auto* set = new QBarSet(description.seriesName);
        set->append(description.values);
        auto* bars = new QBarSeries;
        bars->append(set);
        chart->addSeries(bars);
        addMonthAxes(*chart, *bars, description.labels, description.values);
        set->setBrush(solid);
        set->setPen(outline(firstColour));
        break;
    }
    case ChartType::Line: {
        QLineSeries* line = monthsLine(description);
        chart->addSeries(line);
        addMonthAxes(*chart, *line, description.labels, description.values);
        // A line has nothing to fill but its points; the line itself is drawn a
        // shade darker so that a pale colour still shows on the white.
        QPen pen = outline(firstColour);
        pen.setWidth(3);
        line->setPen(pen);
        line->setBrush(solid);
        line->setPointsVisible(true);
        break;
    }
    case ChartType::Area: {
        QLineSeries* upper = monthsLine(description);
        auto* area = new QAreaSeries(upper);
        if (upper->parent() == nullptr) {
            upper->setParent(area);
        }
        area->setName(description.seriesName);
        chart->addSeries(area);
        addMonthAxes(*chart, *area, description.labels, description.values);
        area->setBrush(solid);
        area->setPen(outline(firstColour));
        break;
    }
    case ChartType::Pie: {
        auto* pie = new QPieSeries;
        pie->setName(description.seriesName);
        for (qsizetype i = 0; i < description.values.size(); ++i) {
            pie->append(description.labels.value(i), description.values[i]);
        }
        chart->addSeries(pie);
        // Twelve names do not fit across the top.
        chart->legend()->setAlignment(Qt::AlignRight);
        if (!pie->slices().isEmpty()) {
            pie->slices().constFirst()->setBrush(solid);
        }
        for (QPieSlice* slice : pie->slices()) {
            slice->setPen(outline(slice->brush().color()));
        }
        break;
    }
    }
    return chart;
}

} // namespace velmora
