// One account's money in, money out and balance over a date range.

#include "analysis/Balance.h"
#include "support/TestLedger.h"

#include <QTest>

using namespace velmora;
using velmora::test::TestLedger;

class TestBalance : public QObject {
    Q_OBJECT
private slots:
    void sums_data();
    void sums();
};

void TestBalance::sums_data() {
    QTest::addColumn<QString>("account");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QString>("figures"); // in | out | balance
    const QDate first(2024, 1, 1);
    const QDate last(2024, 12, 31);
    QTest::newRow("only outgoing") << "Luz" << first << last << "120,25|0,00|120,25";
    // Its entries name it in other letter cases too.
    QTest::newRow("both ways") << "Banco" << first << last << "3.000,50|1.420,25|1.580,25";
    QTest::newRow("only incoming, in Spanish capitals")
        << "NÓMINA" << first << last << "0,00|3.000,50|-3.000,50";
    QTest::newRow("range ends count")
        << "Banco" << QDate(2024, 3, 1) << QDate(2024, 3, 31) << "1.000,00|300,00|700,00";
    QTest::newRow("one day out each side")
        << "Banco" << QDate(2024, 3, 2) << QDate(2024, 3, 30) << "0,00|0,00|0,00";
}

void TestBalance::sums() {
    QFETCH(QString, account);
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    TestLedger ledger;
    ledger.addEntry(1, "01/03/2024", "Nómina marzo", "Banco", "Nómina", 1000, "I");
    ledger.addEntry(2, "31/03/2024", "Retirada", "Caja", "Banco", 300, "T");
    ledger.addEntry(3, "15/06/2024", "Nómina junio", "banco", "Nómina", 2000.5, "I");
    ledger.addEntry(4, "20/06/2024", "Recibo luz", "Luz", "Banco", 120.25, "G");
    ledger.addEntry(5, "20/07/2024", "Alquiler", "Alquiler", "BANCO", 1000, "G");
    // The next year's first day never counts.
    ledger.addEntry(6, "01/01/2025", "Nómina enero", "Banco", "Nómina", 5000, "I");

    const BalanceFigures figures = accountBalance(ledger.db(), account, from, to);
    QTEST(figures.moneyIn.text() + u'|' + figures.moneyOut.text() + u'|' + figures.balance().text(),
          "figures");
}

QTEST_GUILESS_MAIN(TestBalance)
#include "tst_balance.moc"
