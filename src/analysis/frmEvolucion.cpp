#include "analysis/frmEvolucion.h"

#include "analysis/CashHistory.h"
#include "state/Logging.h"
#include "store/Formats.h"
#include "ui/AppState.h"
#include "ui/MessageService.h"
#include "ui/Services.h"
#include "years/YearSearch.h"

#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>

namespace velmora {

frmEvolucion::frmEvolucion(AppState& state, Services& services, QWidget* parent)
    : ModalWindow(parent), state_(state), services_(services) {
    setObjectName(QStringLiteral("frmEvolucion"));
    setWindowTitle(QStringLiteral("Dinero en caja a fin de mes"));
    mscGrafico = new QChartView(this);
    mscGrafico->setObjectName(QStringLiteral("mscGrafico"));
    mscGrafico->setRenderHint(QPainter::Antialiasing);
    mscGrafico->setMinimumSize(360, 220);
    lblInfo = new QLabel(this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setWordWrap(true);
    lblInfo->setTextFormat(Qt::PlainText);
    cmdSalir = commandButton(*this, "cmdSalir", QStringLiteral("&Salir"));
    connect(cmdSalir, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(mscGrafico, 1);
    layout->addWidget(lblInfo);
    layout->addWidget(cmdSalir, 0, Qt::AlignRight);
    resize(760, 480);
}

void frmEvolucion::opened() {
    CashHistory history;
    {
        WaitCursor wait(*this);
        history = cashHistory(state_.session.dataRoot());
    }
    auto* series = new QLineSeries;
    series->setName(QStringLiteral("Total en cuentas de caja"));
    double low = 0;
    double high = 0;
    QStringList unreadable;
    for (const MonthEndCash& month : history.months) {
        const std::optional<qint64> cents = month.total.cents();
        if (!cents) {
            unreadable.append(
                QStringLiteral("%1 (%2)").arg(formatDate(month.monthEnd), month.year));
            continue;
        }
        const double value = double(*cents) / 100.0;
        series->append(double(QDateTime(month.monthEnd, QTime(12, 0)).toMSecsSinceEpoch()), value);
        low = std::min(low, value);
        high = std::max(high, value);
    }
    months_ = int(series->count());

    auto* chart = new QChart;
    chart->addSeries(series);
    auto* time = new QDateTimeAxis;
    time->setFormat(QStringLiteral("MM/yyyy"));
    time->setTickCount(std::clamp(months_, 2, 8));
    chart->addAxis(time, Qt::AlignBottom);
    series->attachAxis(time);
    auto* money = new QValueAxis;
    money->setRange(low, high > low ? high : low + 1);
    money->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(money, Qt::AlignLeft);
    series->attachAxis(money);
    chart->legend()->setAlignment(Qt::AlignTop);
    // Figures as the rest of the program writes them: 12.500, not 12500.
    chart->setLocalizeNumbers(true);
    QChart* previous = mscGrafico->chart();
    mscGrafico->setChart(chart);
    // The view gives the previous chart back rather than deleting it.
    delete previous;

    QStringList notes;
    if (months_ == 0) {
        notes.append(QStringLiteral("No hay meses que mostrar."));
    }
    if (!unreadable.isEmpty()) {
        notes.append(QStringLiteral("Quedan fuera los meses con importes que no son un número: %1.")
                         .arg(unreadable.join(QStringLiteral(", "))));
    }
    const QString skipped =
        skippedYearsLine(history.skipped, QStringLiteral("No se ha podido leer el año "));
    if (!skipped.isEmpty()) {
        notes.append(skipped);
    }
    lblInfo->setText(notes.join(QLatin1Char(' ')));
    lblInfo->setVisible(!notes.isEmpty());
}

} // namespace velmora
