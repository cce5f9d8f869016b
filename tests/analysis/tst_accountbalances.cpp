// Where every account stands at a date: cash from its opening balance, income
// and expense over the range, names in any letter case.

#include "analysis/AccountBalances.h"
#include "analysis/Balance.h"
#include "store/AccountStore.h"
#include "store/OpeningBalances.h"
#include "store/Sqlite.h"
#include "support/TestLedger.h"

#include <QTest>

using namespace velmora;
using velmora::test::TestLedger;

namespace {

QStringList linesOf(const std::vector<AccountFigures>& accounts) {
    QStringList lines;
    for (const AccountFigures& a : accounts) {
        lines.append(QStringLiteral("%1 %2 +%3 -%4 = %5")
                         .arg(a.account, a.opening.text(), a.moneyIn.text(), a.moneyOut.text(),
                              a.figure().text()));
    }
    return lines;
}

} // namespace

class TestAccountBalances : public QObject {
    Q_OBJECT
private slots:
    void sheet_data();
    void sheet();
    void renamedAccountKeepsItsBalance();
};

void TestAccountBalances::sheet_data() {
    // Entries as date|into|out of|amount, over accounts Banco, Caja (cash), Nómina
    // (income) and Luz (expense); the sheet at 30/06/2024 from 01/01/2024.
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<qint64>("bankOpening");
    QTest::addColumn<QStringList>("cash");
    QTest::addColumn<QStringList>("others"); // income then expense
    QTest::addColumn<QString>("total");
    QTest::newRow("nothing yet") << QStringList{} << qint64(0)
                                 << QStringList{"Banco 0,00 +0,00 -0,00 = 0,00",
                                                "Caja 0,00 +0,00 -0,00 = 0,00"}
                                 << QStringList{"Nómina 0,00 +0,00 -0,00 = 0,00",
                                                "Luz 0,00 +0,00 -0,00 = 0,00"}
                                 << "0,00";
    QTest::newRow("opening, income, expense and a transfer")
        << QStringList{"05/01/2024|Banco|Nómina|1200", "10/02/2024|Luz|Banco|450.5",
                       "11/03/2024|Caja|banco|300"}
        << qint64(100000)
        << QStringList{"Banco 1.000,00 +1.200,00 -750,50 = 1.449,50",
                       "Caja 0,00 +300,00 -0,00 = 300,00"}
        << QStringList{"Nómina 0,00 +0,00 -1.200,00 = 1.200,00", "Luz 0,00 +450,50 -0,00 = 450,50"}
        << "1.749,50";
    // Before the range: in the cash balance, not in the year's income. After the
    // date: in neither.
    QTest::newRow("before the year and after the date")
        << QStringList{"20/12/2023|Banco|Nómina|10", "01/07/2024|Banco|Nómina|20",
                       "30/06/2024|Banco|NÓMINA|5"}
        << qint64(-1)
        << QStringList{"Banco -0,01 +15,00 -0,00 = 14,99", "Caja 0,00 +0,00 -0,00 = 0,00"}
        << QStringList{"Nómina 0,00 +0,00 -5,00 = 5,00", "Luz 0,00 +0,00 -0,00 = 0,00"} << "14,99";
    QTest::newRow("the largest amounts")
        << QStringList{"01/02/2024|Banco|Nómina|999999999999.99",
                       "02/02/2024|Luz|Caja|999999999999.99"}
        << qint64(99999999999999)
        << QStringList{"Banco 999.999.999.999,99 +999.999.999.999,99 -0,00 = "
                       "1.999.999.999.999,98",
                       "Caja 0,00 +0,00 -999.999.999.999,99 = -999.999.999.999,99"}
        << QStringList{"Nómina 0,00 +0,00 -999.999.999.999,99 = 999.999.999.999,99",
                       "Luz 0,00 +999.999.999.999,99 -0,00 = 999.999.999.999,99"}
        << "999.999.999.999,99";
}

void TestAccountBalances::sheet() {
    QFETCH(QStringList, entries);
    QFETCH(qint64, bankOpening);
    QFETCH(QStringList, cash);
    QFETCH(QStringList, others);
    QFETCH(QString, total);
    TestLedger ledger;
    ledger.addAccount("Banco", "C");
    ledger.addAccount("Caja", "C");
    ledger.addAccount("Nómina", "I");
    ledger.addAccount("Luz", "G");
    ledger.addAccount("Sin tipo", "");
    int id = 1;
    for (const QString& line : entries) {
        const QStringList f = line.split(QLatin1Char('|'));
        ledger.addEntry(id++, f[0], "x", f[1], f[2], f[3].toDouble(), "T");
    }
    if (bankOpening != 0) {
        setOpeningBalance(ledger.db(), "BANCO", bankOpening);
    }
    const QDate date(2024, 6, 30);
    const BalanceSheet sheet = balancesAt(ledger.db(), QDate(2024, 1, 1), date);
    QCOMPARE(linesOf(sheet.cash), cash);
    QCOMPARE(linesOf(sheet.income) + linesOf(sheet.expense), others);
    QCOMPARE(sheet.cashTotal().text(), total);
    // One account alone gives the same figure, and so does the balance window
    // over the whole file plus the opening balance.
    for (const AccountFigures& account : sheet.cash) {
        QCOMPARE(cashBalanceAt(ledger.db(), account.account, date).text(), account.figure().text());
        AmountTotal window = account.opening;
        window.add(accountBalance(ledger.db(), account.account, QDate(1, 1, 1), date).balance());
        QCOMPARE(window.text(), account.figure().text());
    }
}

// A rename moves the entries and the opening balance together: the figure
// stays, under the new name, and nothing is left under the old one.
void TestAccountBalances::renamedAccountKeepsItsBalance() {
    TestLedger ledger;
    ledger.addAccount("Banco", "C");
    ledger.addAccount("Nómina", "I");
    ledger.addEntry(1, "05/01/2024", "x", "banco", "Nómina", 1200, "I");
    setOpeningBalance(ledger.db(), "Banco", 5000);
    const QDate date(2024, 12, 31);
    QCOMPARE(cashBalanceAt(ledger.db(), "Banco", date).text(), QStringLiteral("1.250,00"));
    updateAccount(ledger.db(), "BANCO", {"Banco Rural", "", "C"});
    QCOMPARE(linesOf(balancesAt(ledger.db(), QDate(2024, 1, 1), date).cash),
             QStringList{"Banco Rural 50,00 +1.200,00 -0,00 = 1.250,00"});
    QCOMPARE(cashBalanceAt(ledger.db(), "Banco", date).text(), QStringLiteral("0,00"));
}

QTEST_GUILESS_MAIN(TestAccountBalances)
#include "tst_accountbalances.moc"
