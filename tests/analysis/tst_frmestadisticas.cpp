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
    // "bar Nómina": the chart type and the row it shows.
    QString charted() {
        static const char* const kTypes[] = {"bar", "line", "area", "pie"};
        const ChartDescription& shown = *window->chartShown();
        return QLatin1String(kTypes[int(shown.type)]) + QLatin1Char(' ') + shown.seriesName;
    }
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
    QCOMPARE(f.row(2), QStringLiteral("|TOTAL|||1.050,50||500,00||||||||1.550,50"));
    QCOMPARE(model->index(1, 5).data(Qt::BackgroundRole).value<QColor>(),
             f.ledger.state().palette.main());
    QCOMPARE(f.charted(), QStringLiteral("bar Nómina"));
    QCOMPARE(f.window->chartShown()->values, months({{3, 1000}, {5, 500}}));
    // The bars wear the section colour, outlined a shade darker so that a pale
    // colour still shows on white.
    QChart* chart = f.find<QChartView>("mscGrafico")->chart();
    const QBarSet* bars = qobject_cast<QBarSeries*>(chart->series().constFirst())->barSets()[0];
    QCOMPARE(bars->brush().color(), f.ledger.state().palette.section());
    QVERIFY(bars->pen().color().lightness() < bars->brush().color().lightness());
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
    QTEST(f.window->chartShown()->seriesName, "charted");
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
    QFETCH(QString, name);
    Fixture f;
    f.clickOption(type);
    QCOMPARE(f.charted(), kind + QStringLiteral(" Nómina"));
    f.clickRow(row);
    QCOMPARE(f.charted(), kind + QLatin1Char(' ') + name);
    QTEST(f.window->chartShown()->values, "values");
    QCOMPARE(f.window->chartShown()->labels, kMonths);
    // The type outlives a refresh, which charts the first account again.
    f.filter(2);
    QCOMPARE(f.charted(), kind + QStringLiteral(" Agua"));
}

void TestFrmEstadisticas::emptyTableKeepsTheChart() {
    Fixture f;
    Statement(f.ledger.db(), "DELETE FROM apuntes WHERE GoI = 'G'", "test: borrar gastos").run();
    f.filter(2);
    QCOMPARE(f.grid()->model()->columnCount(), 0);
    QVERIFY(f.messages.shown().isEmpty());
    // Only the type of what is shown changes.
    f.clickOption(3);
    QCOMPARE(f.charted(), QStringLiteral("pie Nómina"));
    QCOMPARE(f.window->chartShown()->values, months({{3, 1000}, {5, 500}}));
}

QTEST_MAIN(TestFrmEstadisticas)
#include "tst_frmestadisticas.moc"
