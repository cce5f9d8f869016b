// Monthly sums per account over a real ledger: which entries count, where they
// land, and a totals row that adds up what the user reads.

#include "analysis/MonthlyStatistics.h"
#include "support/TestLedger.h"

#include <QTest>

using namespace velmora;
using velmora::test::TestLedger;

namespace {

// "Nómina Marzo=1.000,00 Mayo=500,00 TOTAL=1.500,00": the row's name and the
// cells that are not empty.
QStringList rendered(const MonthlyTable& table) {
    QStringList lines;
    for (int r = 0; r < table.rowCount(); ++r) {
        const StatisticsRow& row = table.row(r);
        QString line = row.name;
        for (size_t m = 0; m < row.months.size(); ++m) {
            if (row.months[m]) {
                line += QLatin1Char(' ') + monthName(static_cast<int>(m) + 1) + QLatin1Char('=') +
                        row.months[m]->text();
            }
        }
        if (row.total) {
            line += QStringLiteral(" TOTAL=") + row.total->text();
        }
        lines.append(line);
    }
    return lines;
}

// Each entry as "dd/MM/yyyy|goes into|comes out of|amount|class".
void addEntries(TestLedger& ledger, const QStringList& entries) {
    qint64 id = 1;
    for (const QString& entry : entries) {
        const QStringList f = entry.split(QLatin1Char('|'));
        ledger.addEntry(id++, f[0], QStringLiteral("x"), f[1], f[2], f[3].toDouble(), f[4]);
    }
}

} // namespace

class TestMonthlyStatistics : public QObject {
    Q_OBJECT
private slots:
    void table_data();
    void table();
};

void TestMonthlyStatistics::table_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("rows");
    const int income = static_cast<int>(StatisticsKind::IncomeByMonth);
    const int expense = static_cast<int>(StatisticsKind::ExpenseByMonth);

    QTest::newRow("March and May only, two accounts")
        << income
        << QStringList{"15/03/2024|Banco|Nómina|1000|I", "02/03/2024|Caja|Nómina|200|I",
                       "20/05/2024|Banco|Nómina|500.25|I", "10/01/2024|Banco|Regalos|50|I"}
        << QStringList{"Nómina Marzo=1.200,00 Mayo=500,25 TOTAL=1.700,25",
                       "Regalos Enero=50,00 TOTAL=50,00",
                       "TOTAL Enero=50,00 Marzo=1.200,00 Mayo=500,25 TOTAL=1.750,25"};
    QTest::newRow("expenses by the account the money goes into, transfers nowhere")
        << expense
        << QStringList{"01/02/2024|Luz|Banco|60|G", "05/02/2024|Agua|Caja|20|G",
                       "06/02/2024|Caja|Banco|300|T", "07/02/2024|Banco|Nómina|900|I",
                       "09/06/2024|Luz|Caja|30.5|G"}
        << QStringList{"Agua Febrero=20,00 TOTAL=20,00",
                       "Luz Febrero=60,00 Junio=30,50 TOTAL=90,50",
                       "TOTAL Febrero=80,00 Junio=30,50 TOTAL=110,50"};
    QTest::newRow("other letter case is the same account, Spanish order")
        << income << QStringList{"01/04/2024|Banco|nómina|10|I", "01/04/2024|Banco|NÓMINA|5|I",
                                 "01/07/2024|Banco|Nómina|1|I",  "01/04/2024|Banco|Ñandú|2|I",
                                 "01/04/2024|Banco|Zapatos|3|I", "01/04/2024|Banco|ahorro|4|I"}
        << QStringList{"ahorro Abril=4,00 TOTAL=4,00", "NÓMINA Abril=15,00 Julio=1,00 TOTAL=16,00",
                       "Ñandú Abril=2,00 TOTAL=2,00", "Zapatos Abril=3,00 TOTAL=3,00",
                       "TOTAL Abril=24,00 Julio=1,00 TOTAL=25,00"};
    // 0,004 shows 0,00 and 0,005 shows 0,01: three of each add up to nothing in
    // January and to 0,03 in February, where the bare sums would show 0,01 and 0,02.
    QTest::newRow("totals of shown figures")
        << income << QStringList{"01/01/2024|Banco|A|0.004|I", "01/01/2024|Banco|B|0.004|I",
                                 "01/01/2024|Banco|C|0.004|I", "01/02/2024|Banco|A|0.005|I",
                                 "01/02/2024|Banco|B|0.005|I", "01/02/2024|Banco|C|0.005|I"}
        << QStringList{"A Enero=0,00 Febrero=0,01 TOTAL=0,01",
                       "B Enero=0,00 Febrero=0,01 TOTAL=0,01",
                       "C Enero=0,00 Febrero=0,01 TOTAL=0,01", "TOTAL Febrero=0,03 TOTAL=0,03"};
    // 0,1 + 0,2 - 0,3 is not exactly 0 in binary; the shown figures are.
    QTest::newRow("figures that cancel out leave the total empty")
        << income
        << QStringList{"01/08/2024|Banco|A|0.1|I", "01/08/2024|Banco|B|0.2|I",
                       "01/08/2024|Banco|C|-0.3|I", "01/09/2024|Banco|C|7|I"}
        << QStringList{"A Agosto=0,10 TOTAL=0,10", "B Agosto=0,20 TOTAL=0,20",
                       "C Agosto=-0,30 Septiembre=7,00 TOTAL=6,70",
                       "TOTAL Septiembre=7,00 TOTAL=7,00"};
    // An amount that is no number used to count as 0 in its month and totals.
    QTest::newRow("unreadable amount")
        << income
        << QStringList{"01/08/2024|Banco|A|5|I", "02/08/2024|Banco|A|inf|I",
                       "01/09/2024|Banco|B|7|I"}
        << QStringList{"A Agosto=¡ERROR! TOTAL=¡ERROR!", "B Septiembre=7,00 TOTAL=7,00",
                       "TOTAL Agosto=¡ERROR! Septiembre=7,00 TOTAL=¡ERROR!"};
}

void TestMonthlyStatistics::table() {
    QFETCH(int, kind);
    QFETCH(QStringList, entries);
    TestLedger ledger;
    addEntries(ledger, entries);
    const MonthlyTable table =
        loadMonthlyStatistics(ledger.db(), static_cast<StatisticsKind>(kind));
    QTEST(rendered(table), "rows");
    // The entries to put right are named.
    const bool unreadable = QTest::currentDataTag() == QByteArray("unreadable amount");
    QCOMPARE(table.unreadable, unreadable ? std::vector<qint64>{2} : std::vector<qint64>{});
}

QTEST_MAIN(TestMonthlyStatistics)
#include "tst_monthlystatistics.moc"
