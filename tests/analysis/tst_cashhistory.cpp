// The cash in hand at each month's end, over every year: the balances window's
// own figure at each month's last day, and a year that cannot be read named.

#include "analysis/AccountBalances.h"
#include "analysis/CashHistory.h"
#include "store/OpeningBalances.h"
#include "store/Sqlite.h"
#include "support/Files.h"
#include "support/TestLedger.h"
#include "years/YearFolders.h"
#include "years/YearSearch.h"

#include <QTest>

using namespace velmora;
using namespace velmora::test;

class TestCashHistory : public QObject {
    Q_OBJECT
private slots:
    void everyMonthAsTheBalancesSay_data();
    void everyMonthAsTheBalancesSay();
    void everyYearOfTheDataRoot();
};

void TestCashHistory::everyMonthAsTheBalancesSay_data() {
    QTest::addColumn<QStringList>("entries"); // date|into|out of|amount
    QTest::addColumn<QString>("december");    // the last month's figure
    QTest::newRow("pay, bills and a transfer between cash accounts")
        << QStringList{"05/01/2024|Banco|Nómina|1200", "10/02/2024|Luz|banco|450.5",
                       "11/03/2024|Caja|BANCO|300", "20/03/2024|Luz|Caja|20"}
        << "1.729,50"; // 1.000 opening + 1.200 - 450,50 - 20
    QTest::newRow("before the year, after it, and the largest")
        << QStringList{"20/12/2023|Banco|Nómina|10", "02/01/2025|Banco|Nómina|99",
                       "03/06/2024|Banco|Nómina|999999999999.99"}
        << "1.000.000.001.009,99";
}

void TestCashHistory::everyMonthAsTheBalancesSay() {
    QFETCH(QStringList, entries);
    TestLedger ledger;
    for (const char* cash : {"Banco", "Caja"}) {
        ledger.addAccount(cash, "C");
    }
    ledger.addAccount("Nómina", "I");
    ledger.addAccount("Luz", "G");
    int id = 1;
    for (const QString& line : entries) {
        const QStringList f = line.split(QLatin1Char('|'));
        ledger.addEntry(id++, f[0], "x", f[1], f[2], f[3].toDouble(), "T");
    }
    setOpeningBalance(ledger.db(), "Banco", 100000);
    const std::vector<MonthEndCash> months = monthEndCash(ledger.db(), "2024");
    QCOMPARE(months.size(), size_t(12));
    for (const MonthEndCash& month : months) {
        const AmountTotal expected =
            balancesAt(ledger.db(), QDate(2024, 1, 1), month.monthEnd).cashTotal();
        QCOMPARE(month.total.text(), expected.text());
    }
    QCOMPARE(months.back().monthEnd, QDate(2024, 12, 31));
    QTEST(months.back().total.text(), "december");
}

// Calendar years in order, a year named otherwise over the months of its
// entries, and a damaged one named with its reason.
void TestCashHistory::everyYearOfTheDataRoot() {
    TestLedger ledger;
    ledger.addAccount("Banco", "C");
    ledger.addEntry(1, "15/03/2024", "x", "Banco", "Nómina", 50, "I");
    {
        auto casa = createYear(ledger.dataRoot(), "Casa");
        insertAccount(*casa, {"Hucha", {}, "C"});
        casa->exec("INSERT INTO apuntes (Id, Data, Des, EntraEn, SaleDe, Importe, GoI)"
                   " VALUES (1, '2023-11-02', 'x', 'hucha', 'Regalo', 5, 'I'),"
                   " (2, '2024-01-09', 'x', 'Hucha', 'Regalo', 7, 'I')",
                   "test");
        auto older = createYear(ledger.dataRoot(), "2023");
    }
    QVERIFY(putBytes(databasePathFor(ledger.dataRoot(), "2022"), QByteArray(4096, 'x')));
    const CashHistory history = cashHistory(ledger.dataRoot());
    QStringList shown;
    for (const MonthEndCash& month : history.months) {
        if (month.monthEnd.month() == 12 || month.year == QLatin1String("Casa")) {
            shown.append(
                QStringLiteral("%1 %2 %3")
                    .arg(month.year, month.monthEnd.toString("dd/MM/yyyy"), month.total.text()));
        }
    }
    QCOMPARE(shown,
             (QStringList{"2023 31/12/2023 0,00", "2024 31/12/2024 50,00", "Casa 30/11/2023 5,00",
                          "Casa 31/12/2023 5,00", "Casa 31/01/2024 12,00"}));
    QCOMPARE(history.skipped.size(), size_t(1));
    QCOMPARE(history.skipped.front().year, QStringLiteral("2022"));
}

QTEST_GUILESS_MAIN(TestCashHistory)
#include "tst_cashhistory.moc"
