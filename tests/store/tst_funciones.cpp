// The small generic questions windows ask: the next entry number, an account's
// kind, whether a name exists, and the names that fill the account lists.

#include "store/AccountStore.h"
#include "store/EntryStore.h"
#include "store/Funciones.h"
#include "store/Sqlite.h"
#include "support/TestLedger.h"

#include <QTest>

using namespace velmora;
using velmora::test::TestLedger;

class TestFunciones : public QObject {
    Q_OBJECT
private slots:
    void proximoNumero_data();
    void proximoNumero();
    void lookups_data();
    void lookups();
    void unknownNamesNeverReachSql_data();
    void unknownNamesNeverReachSql();
    void accountNames_data();
    void accountNames();
};

void TestFunciones::proximoNumero_data() {
    QTest::addColumn<QList<qint64>>("ids");
    QTest::addColumn<QList<qint64>>("deleted");
    QTest::addColumn<qint64>("next");
    QTest::newRow("empty") << QList<qint64>{} << QList<qint64>{} << qint64{1};
    QTest::newRow("with a gap") << QList<qint64>{1, 2, 7} << QList<qint64>{} << qint64{8};
    QTest::newRow("highest deleted") << QList<qint64>{1, 2, 3} << QList<qint64>{3} << qint64{3};
    QTest::newRow("lower deleted") << QList<qint64>{1, 2, 3} << QList<qint64>{1} << qint64{4};
    QTest::newRow("all deleted") << QList<qint64>{1, 2} << QList<qint64>{2, 1} << qint64{1};
}

void TestFunciones::proximoNumero() {
    QFETCH(QList<qint64>, ids);
    QFETCH(QList<qint64>, deleted);
    QFETCH(qint64, next);
    TestLedger ledger;
    for (qint64 id : ids) {
        ledger.addEntry(id, QStringLiteral("05/03/2024"), QStringLiteral("x"),
                        QStringLiteral("Caja"), QStringLiteral("Nómina"), 10.0,
                        QStringLiteral("I"));
    }
    for (qint64 id : deleted) {
        deleteEntry(ledger.db(), id);
    }
    QCOMPARE(ProximoNumero(ledger.db(), QStringLiteral("apuntes"), QStringLiteral("Id")), next);
    // The windows spell table and column names in either case.
    QCOMPARE(ProximoNumero(ledger.db(), QStringLiteral("APUNTES"), QStringLiteral("id")), next);
}

namespace {

void pairRow(const char* name, const char* first, const char* second) {
    QTest::newRow(name) << QString::fromUtf8(first) << QString::fromUtf8(second);
}

} // namespace

void TestFunciones::lookups_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    pairRow("exact", "Caja", "C");
    pairRow("upper case", "CAJA", "C");
    pairRow("eñe in other case", "AÑO NUEVO", "G");
    pairRow("acute in other case", "águeda", "I");
    pairRow("quote", "o'brien", "G");
    pairRow("unknown", "Banco", "0");
    pairRow("accent is another name", "Agueda", "0");
    pairRow("wildcard is plain text", "Caj%", "0");
}

void TestFunciones::lookups() {
    QFETCH(QString, name);
    QFETCH(QString, kind);
    TestLedger ledger;
    ledger.addAccount(QStringLiteral("Caja"), QStringLiteral("C"));
    ledger.addAccount(QStringLiteral("Año nuevo"), QStringLiteral("G"));
    ledger.addAccount(QStringLiteral("ÁGUEDA"), QStringLiteral("I"));
    ledger.addAccount(QStringLiteral("O'Brien"), QStringLiteral("G"));

    QCOMPARE(BuscaDescripcion(ledger.db(), QStringLiteral("contas"), QStringLiteral("conTipo"),
                              QStringLiteral("conNom"), name),
             kind);
    QCOMPARE(ExisteValor(ledger.db(), QStringLiteral("Contas"), QStringLiteral("ConNom"), name),
             kind != QLatin1String("0"));
}

void TestFunciones::unknownNamesNeverReachSql_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    pairRow("unknown table", "Cuentas", "conNom");
    pairRow("column of another table", "Contas", "Importe");
    pairRow("statement text", "Contas; DROP TABLE Contas", "conNom FROM Contas; --");
}

void TestFunciones::unknownNamesNeverReachSql() {
    QFETCH(QString, table);
    QFETCH(QString, column);
    TestLedger ledger;
    ledger.addAccount(QStringLiteral("Caja"), QStringLiteral("C"));
    const QString caja = QStringLiteral("Caja");
    QVERIFY_THROWS_EXCEPTION(DbError, ProximoNumero(ledger.db(), table, column));
    QVERIFY_THROWS_EXCEPTION(DbError, BuscaDescripcion(ledger.db(), table, column, column, caja));
    QVERIFY_THROWS_EXCEPTION(DbError, ExisteValor(ledger.db(), table, column, caja));
    QVERIFY_THROWS_EXCEPTION(DbError, ListaCombo(ledger.db(), table, column, column));
    QVERIFY(ExisteValor(ledger.db(), QStringLiteral("Contas"), QStringLiteral("conNom"), caja));
}

void TestFunciones::accountNames_data() {
    QTest::addColumn<QStringList>("accounts");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("no accounts") << QStringList{} << QStringList{};
    QTest::newRow("spanish order")
        << QStringList{"Nómina", "caja", "Ágape", "ñoquis", "Agua", "nube"}
        << QStringList{"Ágape", "Agua", "caja", "Nómina", "nube", "ñoquis"};
}

void TestFunciones::accountNames() {
    QFETCH(QStringList, accounts);
    QFETCH(QStringList, names);
    TestLedger ledger;
    for (const QString& name : accounts) {
        ledger.addAccount(name, QStringLiteral("C"));
    }
    QCOMPARE(velmora::accountNames(ledger.db()), names);
    // Another text column follows the order of the code column, row by row.
    QCOMPARE(ListaCombo(ledger.db(), QStringLiteral("contas"), QStringLiteral("conNom"),
                        QStringLiteral("conCon")),
             names);
}

QTEST_MAIN(TestFunciones)
#include "tst_funciones.moc"
