// The account store: a rename reaches the entries in any letter case and is all
// or nothing; a change of concept or kind alone never touches an entry; a deleted
// account goes back exactly as stored, never beside another of its name; the
// opening balance of a cash account follows the rename, the delete and the undo.

#include "AccountLedger.h"
#include "store/AccountStore.h"
#include "store/OpeningBalances.h"

#include <QTest>

using namespace velmora;
using namespace velmora::test;

namespace {
const QStringList kOpenings{"Caja|-300", "Regalos|400"};

QStringList openingRows(TestLedger& ledger) {
    return ledger.rows("SELECT Cuenta || '|' || Centimos FROM saldosiniciales ORDER BY Cuenta");
}
} // namespace

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
    QTest::addColumn<QStringList>("openings"); // Caja starts at 12,50
    QTest::newRow("rename: quotes, Spanish letters, any letter case")
        << "nómina" << QStringList{"Nómina d'Ángel", "Sueldo 'neto'", "I"} << QByteArray() << false
        << QStringList{"Caja>Nómina d'Ángel", "Luz>CAJA", "caja>Nómina d'Ángel"}
        << QStringList{"Caja|Dinero en efectivo|C", "Luz|Electricidad|G",
                       "Nómina d'Ángel|Sueldo 'neto'|I"}
        << QStringList{"Caja|1250"};
    // The renamed cash account started the year at 0,00.
    QTest::newRow("cash account renamed: its opening balance follows")
        << "CAJA" << QStringList{"Efectivo", "Billetes", "C"} << QByteArray() << false
        << QStringList{"Efectivo>Nómina", "Luz>Efectivo", "Efectivo>NÓMINA"}
        << QStringList{"Efectivo|Billetes|C", "Luz|Electricidad|G", "Nómina|Sueldo|I"}
        << QStringList{"Efectivo|1250"};
    QTest::newRow("concept and kind only: entries untouched")
        << "Luz" << QStringList{"Luz", "Luz y gas", "C"}
        << QByteArray("CREATE TEMP TRIGGER t BEFORE UPDATE ON apuntes"
                      " BEGIN SELECT RAISE(ABORT, 'apunte tocado'); END")
        << false << kEntriesBefore
        << QStringList{"Caja|Dinero en efectivo|C", "Luz|Luz y gas|C", "Nómina|Sueldo|I"}
        << QStringList{"Caja|1250"};
    // The account row is written last, after the entries were renamed.
    QTest::newRow("account row refused")
        << "Caja" << QStringList{"Efectivo", "Billetes", "C"}
        << QByteArray("CREATE TRIGGER t BEFORE UPDATE ON Contas BEGIN SELECT RAISE(ABORT,'x'); END")
        << true << kEntriesBefore << kAccountsBefore << QStringList{"Caja|1250"};
    QTest::newRow("account deleted meanwhile")
        << "Caja" << QStringList{"Efectivo", "Billetes", "C"}
        << QByteArray("DELETE FROM Contas WHERE conNom = 'Caja'") << true << kEntriesBefore
        << kAccountsBefore.mid(1) << QStringList{"Caja|1250"};
}

void TestAccountStore::update() {
    QFETCH(QString, original);
    QFETCH(QStringList, changed);
    QFETCH(QByteArray, before);
    QFETCH(bool, fails);
    TestLedger ledger;
    fillAccounts(ledger);
    setOpeningBalance(ledger.db(), QStringLiteral("Caja"), 1250);
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
    QTEST(openingRows(ledger), "openings");
}

void TestAccountStore::takeAndPutBack_data() {
    QTest::addColumn<QString>("name"); // as the list hands it over
    QTest::addColumn<QByteArray>("meanwhile");
    QTest::addColumn<bool>("back");
    QTest::addColumn<QStringList>("accounts"); // each column as stored, at the end
    QTest::addColumn<QStringList>("openings"); // Caja starts at -3,00, Regalos at 4,00
    const QStringList before{"'Caja'|'Dinero en efectivo'|'C'", "'Luz'|'Electricidad'|'G'",
                             "'Nómina'|'Sueldo'|'I'", "'Regalos'|NULL|''"};
    QTest::newRow("no concept, empty kind, other letter case")
        << "REGALOS" << QByteArray() << true << before << kOpenings;
    // The undo brought the account back at 0,00.
    QTest::newRow("cash account: its opening balance back with it")
        << "caja" << QByteArray() << true << before << kOpenings;
    QTest::newRow("cash account made again meanwhile: neither balance lost")
        << "Caja"
        << QByteArray("INSERT INTO Contas VALUES ('CAJA', 'Nueva', 'C');"
                      "INSERT INTO saldosiniciales VALUES ('CAJA', 700)")
        << false << QStringList{"'CAJA'|'Nueva'|'C'", before[1], before[2], before[3]}
        << QStringList{"CAJA|700", "Regalos|400"};
    QTest::newRow("name taken meanwhile in other letter case")
        << "Luz" << QByteArray("INSERT INTO Contas VALUES ('LUZ', 'Otra', 'C')") << false
        << QStringList{before[0], "'LUZ'|'Otra'|'C'", before[2], before[3]} << kOpenings;
    QTest::newRow("no such account") << "Gas" << QByteArray() << false << before << kOpenings;
}

void TestAccountStore::takeAndPutBack() {
    QFETCH(QString, name);
    QFETCH(QByteArray, meanwhile);
    QFETCH(bool, back);
    TestLedger ledger;
    fillAccounts(ledger);
    ledger.db().exec("INSERT INTO Contas VALUES ('Regalos', NULL, '')", "test");
    setOpeningBalance(ledger.db(), QStringLiteral("Caja"), -300);
    setOpeningBalance(ledger.db(), QStringLiteral("Regalos"), 400);
    const std::optional<StoredAccount> taken = takeAccount(ledger.db(), name);
    QCOMPARE(accountNameTaken(ledger.db(), name), false);
    if (!meanwhile.isEmpty()) {
        ledger.db().exec(meanwhile.constData(), "test");
    }
    QCOMPARE(taken && putBackAccount(ledger.db(), *taken), back);
    QTEST(ledger.rows("SELECT quote(conNom) || '|' || quote(conCon) || '|' || quote(conTipo)"
                      " FROM Contas ORDER BY conNom"),
          "accounts");
    QTEST(openingRows(ledger), "openings");
    QCOMPARE(entryAccounts(ledger), kEntriesBefore);
}

QTEST_GUILESS_MAIN(TestAccountStore)
#include "tst_accountstore.moc"
