// The account store: a rename reaches the entries in any letter case and is all
// or nothing; a change of concept or kind alone never touches an entry; a deleted
// account goes back exactly as stored, never beside another of its name.

#include "AccountLedger.h"
#include "store/AccountStore.h"

#include <QTest>

using namespace velmora;
using namespace velmora::test;

class TestAccountStore : public QObject {
    Q_OBJECT
private slots:
    void update_data();
    void update();
    void takeAndPutBack_data();
    void takeAndPutBack();
};

void TestAccountStore::update_data() {
    QTest::addColumn<QString>("original");
    QTest::addColumn<QStringList>("changed"); // name, concept, kind
    QTest::addColumn<QByteArray>("before");   // run on the ledger first
    QTest::addColumn<bool>("fails");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("accounts");
    QTest::newRow("rename: quotes, Spanish letters, any letter case")
        << "nómina" << QStringList{"Nómina d'Ángel", "Sueldo 'neto'", "I"} << QByteArray() << false
        << QStringList{"Caja>Nómina d'Ángel", "Luz>CAJA", "caja>Nómina d'Ángel"}
        << QStringList{"Caja|Dinero en efectivo|C", "Luz|Electricidad|G",
                       "Nómina d'Ángel|Sueldo 'neto'|I"};
    QTest::newRow("concept and kind only: entries untouched")
        << "Luz" << QStringList{"Luz", "Luz y gas", "C"}
        << QByteArray("CREATE TEMP TRIGGER t BEFORE UPDATE ON apuntes"
                      " BEGIN SELECT RAISE(ABORT, 'apunte tocado'); END")
        << false << kEntriesBefore
        << QStringList{"Caja|Dinero en efectivo|C", "Luz|Luz y gas|C", "Nómina|Sueldo|I"};
    // The account row is written last, after the entries were renamed.
    QTest::newRow("account row refused")
        << "Caja" << QStringList{"Efectivo", "Billetes", "C"}
        << QByteArray("CREATE TRIGGER t BEFORE UPDATE ON Contas BEGIN SELECT RAISE(ABORT,'x'); END")
        << true << kEntriesBefore << kAccountsBefore;
    QTest::newRow("account deleted meanwhile")
        << "Caja" << QStringList{"Efectivo", "Billetes", "C"}
        << QByteArray("DELETE FROM Contas WHERE conNom = 'Caja'") << true << kEntriesBefore
        << kAccountsBefore.mid(1);
}

void TestAccountStore::update() {
    QFETCH(QString, original);
    QFETCH(QStringList, changed);
    QFETCH(QByteArray, before);
    QFETCH(bool, fails);
    TestLedger ledger;
    fillAccounts(ledger);
    if (!before.isEmpty()) {
        ledger.db().exec(before.constData(), "test");
    }
    try {
        updateAccount(ledger.db(), original, Account{changed[0], changed[1], changed[2]});
        QVERIFY(!fails);
    } catch (const DbError&) {
        QVERIFY(fails);
    }
    QTEST(entryAccounts(ledger), "entries");
    QTEST(accountRows(ledger), "accounts");
}

void TestAccountStore::takeAndPutBack_data() {
    QTest::addColumn<QString>("name"); // as the list hands it over
    QTest::addColumn<QByteArray>("meanwhile");
    QTest::addColumn<bool>("back");
    QTest::addColumn<QStringList>("accounts"); // each column as stored, at the end
    const QStringList before{"'Caja'|'Dinero en efectivo'|'C'", "'Luz'|'Electricidad'|'G'",
                             "'Nómina'|'Sueldo'|'I'", "'Regalos'|NULL|''"};
    QTest::newRow("no concept, empty kind, other letter case")
        << "REGALOS" << QByteArray() << true << before;
    QTest::newRow("name taken meanwhile in other letter case")
        << "Luz" << QByteArray("INSERT INTO Contas VALUES ('LUZ', 'Otra', 'C')") << false
        << QStringList{before[0], "'LUZ'|'Otra'|'C'", before[2], before[3]};
    QTest::newRow("no such account") << "Gas" << QByteArray() << false << before;
}

void TestAccountStore::takeAndPutBack() {
    QFETCH(QString, name);
    QFETCH(QByteArray, meanwhile);
    QFETCH(bool, back);
    TestLedger ledger;
    fillAccounts(ledger);
    ledger.db().exec("INSERT INTO Contas VALUES ('Regalos', NULL, '')", "test");
    const std::optional<StoredAccount> taken = takeAccount(ledger.db(), name);
    QCOMPARE(accountNameTaken(ledger.db(), name), false);
    if (!meanwhile.isEmpty()) {
        ledger.db().exec(meanwhile.constData(), "test");
    }
    QCOMPARE(taken && putBackAccount(ledger.db(), *taken), back);
    QTEST(ledger.rows("SELECT quote(conNom) || '|' || quote(conCon) || '|' || quote(conTipo)"
                      " FROM Contas ORDER BY conNom"),
          "accounts");
    QCOMPARE(entryAccounts(ledger), kEntriesBefore);
}

QTEST_GUILESS_MAIN(TestAccountStore)
#include "tst_accountstore.moc"
