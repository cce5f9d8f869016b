// The cash at each month's end drawn over every year, with the years that could
// not be read named under the chart.

#include "analysis/frmEvolucion.h"
#include "support/Files.h"
#include "support/WindowFixture.h"
#include "years/YearFolders.h"

#include <QLabel>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>

using namespace velmora;
using namespace velmora::test;

class TestFrmEvolucion : public QObject {
    Q_OBJECT
private slots:
    void drawsEveryMonthAndNamesWhatItSkipped();
};

void TestFrmEvolucion::drawsEveryMonthAndNamesWhatItSkipped() {
    WindowFixture<frmEvolucion> f;
    f.ledger.addAccount("Banco", "C");
    f.ledger.addEntry(1, "15/03/2024", "Nómina", "Banco", "Nómina", 1200, "I");
    { auto older = createYear(f.ledger.dataRoot(), "2023"); }
    QVERIFY(putBytes(databasePathFor(f.ledger.dataRoot(), "2022"), QByteArray(4096, 'x')));
    f.open();
    QCOMPARE(f.window->months(), 24);
    auto* series = qobject_cast<QLineSeries*>(
        f.find<QChartView>("mscGrafico")->chart()->series().constFirst());
    QCOMPARE(series->at(23).y(), 1200.0);
    QCOMPARE(series->at(13).y(), 0.0); // February 2024, before the pay
    const QString info = f.find<QLabel>("lblInfo")->text();
    QVERIFY2(info.startsWith(QStringLiteral("No se ha podido leer el año 2022 (")),
             qPrintable(info));
    QVERIFY(f.messages.texts().isEmpty());
}

QTEST_MAIN(TestFrmEvolucion)
#include "tst_frmevolucion.moc"
