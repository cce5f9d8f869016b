// Opening balances kept in the year's file: written, found in any letter case,
// carried by a rename, refused past the largest amount with nothing lost.

#include "store/OpeningBalances.h"
#include "store/Sqlite.h"
#include "support/TestLedger.h"

#include <QTest>

using namespace velmora;
using velmora::test::TestLedger;

class TestOpeningBalances : public QObject {
    Q_OBJECT
private slots:
    void storedAndRead_data();
    void storedAndRead();
    void followsTheCallersTransaction();
};

void TestOpeningBalances::storedAndRead_data() {
    QTest::addColumn<QStringList>("steps"); // set|account|cents, rename|from|to
    QTest::addColumn<QString>("read");      // the account asked for
    QTest::addColumn<qint64>("cents");
    QTest::addColumn<QStringList>("table");
    QTest::newRow("a file without the table")
        << QStringList{} << "Banco" << qint64(0) << QStringList{};
    QTest::newRow("any letter case, set again")
        << QStringList{"set|Caja Ahorro|150", "set|CAJA AHORRO|-2500"} << "caja ahorro"
        << qint64(-2500) << QStringList{"CAJA AHORRO|-2500"};
    QTest::newRow("Spanish letters")
        << QStringList{"set|Año|1"} << "AÑO" << qint64(1) << QStringList{"Año|1"};
    QTest::newRow("zero removes") << QStringList{"set|Banco|5", "set|banco|0"} << "Banco"
                                  << qint64(0) << QStringList{};
    QTest::newRow("largest amounts")
        << QStringList{"set|Banco|99999999999999", "set|Caja|-99999999999999"} << "Caja"
        << qint64(-99999999999999) << QStringList{"Banco|99999999999999", "Caja|-99999999999999"};
    QTest::newRow("past the largest: refused, the old one kept")
        << QStringList{"set|Banco|7", "set|Banco|100000000000000"} << "Banco" << qint64(7)
        << QStringList{"Banco|7"};
    QTest::newRow("renamed") << QStringList{"set|Banco|7", "rename|BANCO|Banco Rural"}
                             << "banco rural" << qint64(7) << QStringList{"Banco Rural|7"};
    // A balance left behind under the new name made the rename fail on the key.
    QTest::newRow("renamed onto a stale one")
        << QStringList{"set|Banco|7", "set|Ahorro|9", "rename|Banco|Ahorro"} << "ahorro"
        << qint64(7) << QStringList{"Ahorro|7"};
    QTest::newRow("deleted with its account")
        << QStringList{"set|Banco|7", "set|Caja|8", "rename|banco|"} << "Banco" << qint64(0)
        << QStringList{"Caja|8"};
    QTest::newRow("a quote in the name")
        << QStringList{"set|O'Brien|3"} << "o'brien" << qint64(3) << QStringList{"O'Brien|3"};
}

void TestOpeningBalances::storedAndRead() {
    QFETCH(QStringList, steps);
    QFETCH(QString, read);
    QFETCH(qint64, cents);
    QFETCH(QStringList, table);
    TestLedger ledger;
    Database& db = ledger.db();
    for (const QString& step : steps) {
        const QStringList part = step.split(QLatin1Char('|'));
        try {
            if (part[0] == QLatin1String("set")) {
                setOpeningBalance(db, part[1], part[2].toLongLong());
            } else {
                renameOpeningBalance(db, part[1], part[2]);
            }
        } catch (const DbError& error) {
            QCOMPARE(error.code(), 0);
            QVERIFY(!error.detail().isEmpty());
        }
    }
    QCOMPARE(openingBalance(db, read), cents);
    QStringList stored;
    for (const OpeningBalance& balance : openingBalances(db)) {
        stored.append(QStringLiteral("%1|%2").arg(balance.account).arg(balance.cents));
    }
    QCOMPARE(stored, table);
}

void TestOpeningBalances::followsTheCallersTransaction() {
    TestLedger ledger;
    Database& db = ledger.db();
    setOpeningBalance(db, QStringLiteral("Banco"), 100);
    {
        Transaction change(db);
        setOpeningBalance(db, QStringLiteral("Banco"), 200);
        setOpeningBalance(db, QStringLiteral("Caja"), 300);
        // Not committed: both go back with the caller's change.
    }
    QCOMPARE(openingBalance(db, QStringLiteral("Banco")), qint64(100));
    QCOMPARE(openingBalance(db, QStringLiteral("Caja")), qint64(0));
}

QTEST_GUILESS_MAIN(TestOpeningBalances)
#include "tst_openingbalances.moc"
