// The statistics window driven through its real widgets: the table as the grid
// shows it, the kinds that are not available, and the chart drawn for the row
// clicked in each chart type.

#include "analysis/StatisticsTableModel.h"
#include "analysis/frmEstadisticas.h"
#include "store/Sqlite.h"
#include "support/WindowFixture.h"

#include <QtCharts/QtCharts>

#include <QAbstractItemModelTester>

#include <memory>

using namespace velmora;
using namespace velmora::test;

namespace {

const QStringList kMonths{"Enero", "Febrero", "Marzo",      "Abril",   "Mayo",      "Junio",
                          "Julio", "Agosto",  "Septiembre", "Octubre", "Noviembre", "Diciembre"};

// What the chart shows, read back from its one series.
struct Drawn {
    QString kind;
    QString name;
    QStringList labels; // the month axis, or on a pie the legend
    QList<double> values;
    QColor first;
    QColor outline;
};

Drawn drawnOn(const QChart& chart) {
    Drawn d{QStringLiteral("%1 series").arg(chart.series().size()), {}, {}, {}, {}, {}};
    if (chart.series().size() != 1) {
        return d;
    }
    QAbstractSeries* series = chart.series().constFirst();
    for (QAbstractAxis* axis : chart.axes(Qt::Horizontal)) {
        if (auto* months = qobject_cast<QBarCategoryAxis*>(axis)) {
            d.labels = months->categories();
        }
    }
    const auto fromLine = [&d](const QXYSeries& line) {
        for (const QPointF& p : line.points()) {
            d.values.append(p.y());
        }
    };
    if (auto* bars = qobject_cast<QBarSeries*>(series)) {
        const QBarSet* set = bars->barSets().constFirst();
        d = {"bar", set->label(), d.labels, {}, set->brush().color(), set->pen().color()};
        for (int i = 0; i < set->count(); ++i) {
            d.values.append(set->at(i));
        }
    } else if (auto* area = qobject_cast<QAreaSeries*>(series)) {
        d = {"area", area->name(), d.labels, {}, area->brush().color(), area->pen().color()};
        fromLine(*area->upperSeries());
    } else if (auto* line = qobject_cast<QLineSeries*>(series)) {
        d = {"line", line->name(), d.labels, {}, line->brush().color(), line->pen().color()};
        fromLine(*line);
    } else if (auto* pie = qobject_cast<QPieSeries*>(series)) {
        const QPieSlice* first = pie->slices().constFirst();
        d = {"pie", pie->name(), {}, {}, first->brush().color(), first->pen().color()};
        for (const QLegendMarker* marker : chart.legend()->markers(pie)) {
            d.labels.append(marker->label());
        }
        for (const QPieSlice* slice : pie->slices()) {
            d.values.append(slice->value());
        }
    }
    return d;
}

QList<double> months(std::initializer_list<std::pair<int, double>> figures) {
    QList<double> values(12, 0.0);
    for (const auto& [month, value] : figures) {
        values[month - 1] = value;
    }
    return values;
}

struct Fixture : WindowFixture<frmEstadisticas> {
    std::unique_ptr<QAbstractItemModelTester> modelCheck;

    explicit Fixture(int width = 1100) {
        ledger.addEntry(1, "15/03/2024", "a", "Banco", "Nómina", 1000, "I");
        ledger.addEntry(2, "20/05/2024", "b", "Banco", "Nómina", 500, "I");
        ledger.addEntry(3, "24/03/2024", "c", "Caja", "Regalos", 50.5, "I");
        ledger.addEntry(4, "01/02/2024", "d", "Luz", "Banco", 60, "G");
        ledger.addEntry(5, "05/02/2024", "e", "Agua", "Caja", 20, "G");
        ledger.addEntry(6, "06/02/2024", "f", "Caja", "Banco", 300, "T");
        open([&](frmEstadisticas& w) {
            modelCheck = std::make_unique<QAbstractItemModelTester>(
                &w.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
            w.resize(width, 700);
        });
    }
    QString title() { return find<QLabel>("lblTitulo")->text(); }
    Drawn drawn() { return drawnOn(*find<QChartView>("mscGrafico")->chart()); }
    QString row(int r) {
        QStringList cells;
        for (int c = 0; c < grid()->model()->columnCount(); ++c) {
            cells.append(grid()->model()->index(r, c).data().toString());
        }
        return cells.join(QLatin1Char('|'));
    }
    QStringList names() {
        QStringList listed;
        for (int r = 0; r < grid()->model()->rowCount(); ++r) {
            listed.append(grid()->model()->index(r, 1).data().toString());
        }
        return listed;
    }
    void filter(int kind) {
        find<QListWidget>("lstTipo")->setCurrentRow(kind);
        click("cmdFiltrar");
    }
    void clickOption(int type) { click(QStringLiteral("optTipoGrafico%1").arg(type)); }
    void clickRow(int r) {
        const QRect cell = grid()->visualRect(grid()->model()->index(r, 1));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cell.center());
    }
};

} // namespace

class TestFrmEstadisticas : public QObject {
    Q_OBJECT
private slots:
    void openingShowsIncome();
    void figuresAreNeverCut_data();
    void figuresAreNeverCut();
    void kinds_data();
    void kinds();
    void chart_data();
    void chart();
    void emptyTableKeepsTheChart();
};

void TestFrmEstadisticas::openingShowsIncome() {
    Fixture f;
    QCOMPARE(f.title(), QStringLiteral("INGRESOS MES"));
    QAbstractItemModel* model = f.grid()->model();
    QCOMPARE(f.row(0), QStringLiteral("1|Nómina|||1.000,00||500,00||||||||1.500,00"));
    QCOMPARE(f.row(1), QStringLiteral("2|Regalos|||50,50||||||||||50,50"));
    QCOMPARE(f.row(2), QStringLiteral("|TOTAL|||1.050,50||500,00||||||||1.550,50"));
    for (int c = 1; c < 15; ++c) {
        QCOMPARE(model->index(0, c).data(Qt::BackgroundRole).value<QColor>(), QColor(Qt::white));
        QCOMPARE(model->index(1, c).data(Qt::BackgroundRole).value<QColor>(),
                 f.ledger.state().palette.main());
        QCOMPARE(model->index(2, c).data(Qt::BackgroundRole).value<QColor>(), QColor(Qt::white));
    }
    QCOMPARE(f.grid()->currentIndex(), model->index(0, 1));
    const Drawn drawn = f.drawn();
    QCOMPARE(drawn.kind + drawn.name, QStringLiteral("barNómina"));
    QCOMPARE(drawn.values, months({{3, 1000}, {5, 500}}));
    QCOMPARE(drawn.first, f.ledger.state().palette.section());
}

// With the columns at their shares of the width, a month of 43.510,12 showed as
// "43.510,..." and "Septiembre" as "eptiembre", even 1280 pixels wide.
void TestFrmEstadisticas::figuresAreNeverCut_data() {
    QTest::addColumn<int>("width");
    QTest::newRow("1280 pixels") << 1280;
    QTest::newRow("small window") << 640;
}

void TestFrmEstadisticas::figuresAreNeverCut() {
    QFETCH(int, width);
    Fixture f(width);
    f.ledger.addEntry(7, "10/09/2024", "g", "Banco", "Nómina", 43510.12, "I");
    f.ledger.addEntry(8, "11/09/2024", "h", "Banco", "Regalos", 999999999.99, "I");
    f.filter(0);
    QTableView* grid = f.grid();
    QAbstractItemModel* model = grid->model();
    for (int c = StatisticsTableModel::NameColumn; c < model->columnCount(); ++c) {
        QVERIFY2(grid->columnWidth(c) >= grid->horizontalHeader()->sectionSizeHint(c),
                 qPrintable(model->headerData(c, Qt::Horizontal).toString()));
        for (int r = 0; r < model->rowCount(); ++r) {
            const QModelIndex cell = model->index(r, c);
            QVERIFY2(grid->visualRect(cell).width() >= grid->sizeHintForIndex(cell).width(),
                     qPrintable(cell.data().toString()));
        }
    }
    QCOMPARE(model->index(2, 10).data().toString(), QStringLiteral("1.000.043.510,11"));
}

void TestFrmEstadisticas::kinds_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("filter");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("charted");
    const QStringList income{"Nómina", "Regalos", "TOTAL"};
    QTest::newRow("Gastos MES") << 2 << true << "GASTOS MES" << QStringList{}
                                << QStringList{"Agua", "Luz", "TOTAL"} << "Agua";
    QTest::newRow("Gastos AÑO keeps the table")
        << 3 << true << "GASTOS AÑO" << QStringList{"Opción no disponible"} << income << "Nómina";
    QTest::newRow("choosing without Filtrar")
        << 2 << false << "INGRESOS MES" << QStringList{} << income << "Nómina";
}

void TestFrmEstadisticas::kinds() {
    QFETCH(int, kind);
    QFETCH(bool, filter);
    Fixture f;
    if (filter) {
        f.filter(kind);
    } else {
        f.find<QListWidget>("lstTipo")->setCurrentRow(kind);
    }
    QTEST(f.title(), "title");
    QTEST(f.messages.texts(), "messages");
    QTEST(f.names(), "names");
    QTEST(f.drawn().name, "charted");
}

void TestFrmEstadisticas::chart_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<double>>("values");
    const QList<double> nomina = months({{3, 1000}, {5, 500}});
    const QList<double> regalos = months({{3, 50.5}});
    const QList<double> totals = months({{3, 1050.5}, {5, 500}});
    QTest::newRow("bar, second account") << 0 << 1 << QString("bar") << "Regalos" << regalos;
    QTest::newRow("line, totals row") << 1 << 2 << QString("line") << "TOTAL" << totals;
    QTest::newRow("area, first account") << 2 << 0 << QString("area") << "Nómina" << nomina;
    QTest::newRow("pie, totals row") << 3 << 2 << QString("pie") << "TOTAL" << totals;
}

void TestFrmEstadisticas::chart() {
    QFETCH(int, type);
    QFETCH(int, row);
    QFETCH(QString, kind);
    Fixture f;
    f.clickOption(type);
    QCOMPARE(f.drawn().kind + f.drawn().name, kind + QStringLiteral("Nómina"));
    f.clickRow(row);
    const Drawn drawn = f.drawn();
    QCOMPARE(drawn.kind, kind);
    QTEST(drawn.name, "name");
    QTEST(drawn.values, "values");
    QCOMPARE(drawn.labels, kMonths);
    QCOMPARE(drawn.first, f.ledger.state().palette.section());
    // A pale fill gets a darker outline, so it still shows on white.
    QVERIFY(drawn.outline.lightness() < drawn.first.lightness());

    // The type outlives a refresh, which charts the first account again.
    f.filter(2);
    QCOMPARE(f.drawn().kind + f.drawn().name, kind + QStringLiteral("Agua"));
    QVERIFY(f.find<QToolButton>(QStringLiteral("optTipoGrafico%1").arg(type))->isChecked());
}

void TestFrmEstadisticas::emptyTableKeepsTheChart() {
    Fixture f;
    Statement(f.ledger.db(), "DELETE FROM apuntes WHERE GoI = 'G'", "test: borrar gastos").run();
    f.filter(2);
    QCOMPARE(f.grid()->model()->rowCount(), 0);
    QCOMPARE(f.grid()->model()->columnCount(), 0);
    QVERIFY(!f.grid()->horizontalHeader()->isVisible());
    QVERIFY(f.messages.shown().isEmpty());
    QCOMPARE(f.drawn().kind + f.drawn().name, QStringLiteral("barNómina"));
    // Only the type changes.
    f.clickOption(3);
    QCOMPARE(f.drawn().kind + f.drawn().name, QStringLiteral("pieNómina"));
    QCOMPARE(f.drawn().values, months({{3, 1000}, {5, 500}}));
}

QTEST_MAIN(TestFrmEstadisticas)
#include "tst_frmestadisticas.moc"
