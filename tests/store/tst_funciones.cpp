// The small generic questions windows ask: the next entry number, an account's
// kind, whether a name exists, and the names that fill the account lists.

#include "store/AccountStore.h"
#include "store/DbErrorText.h"
#include "store/EntryStore.h"
#include "store/Funciones.h"
#include "store/Sqlite.h"
#include "support/TestLedger.h"

#include <QTest>

#include <functional>

using namespace velmora;
using namespace Qt::StringLiterals;

class TestFunciones : public QObject {
    Q_OBJECT
private slots:
    void proximoNumero_data();
    void proximoNumero();
    void lookups_data();
    void lookups();
    void unknownNamesNeverReachSql_data();
    void unknownNamesNeverReachSql();
    void accountNames();
};

void TestFunciones::proximoNumero_data() {
    QTest::addColumn<QByteArray>("sql"); // run on the ledger first
    QTest::addColumn<QString>("next");   // or why there is none
    QTest::newRow("empty") << QByteArray() << u"1"_s;
    QTest::newRow("with a gap") << QByteArray("INSERT INTO apuntes (Id) VALUES (1), (2), (7)")
                                << u"8"_s;
    QTest::newRow("highest deleted") << QByteArray("INSERT INTO apuntes (Id) VALUES (1), (2), (3);"
                                                   "DELETE FROM apuntes WHERE Id = 3")
                                     << u"3"_s;
    // Once wrapped round to a negative number.
    QTest::newRow("largest number taken")
        << QByteArray("INSERT INTO apuntes (Id) VALUES (1), (9223372036854775807)")
        << u"no quedan números libres: el mayor número guardado, 9223372036854775807, es el "
           "último posible"_s;
}

void TestFunciones::proximoNumero() {
    QFETCH(QByteArray, sql);
    QFETCH(QString, next);
    test::TestLedger ledger;
    Database& db = ledger.db();
    if (!sql.isEmpty()) {
        db.exec(sql.constData(), "test");
    }
    const auto answer = [](const std::function<qint64()>& ask) {
        try {
            return QString::number(ask());
        } catch (const DbError& error) {
            return describeFailure(error);
        }
    };
    QCOMPARE(answer([&] { return ProximoNumero(db, u"apuntes"_s, u"Id"_s); }), next);
    // The windows spell table and column names in either case.
    QCOMPARE(answer([&] { return ProximoNumero(db, u"APUNTES"_s, u"id"_s); }), next);
    QCOMPARE(answer([&] { return nextEntryId(db); }), next);
}

void TestFunciones::lookups_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::newRow("eñe in other case") << u"AÑO NUEVO"_s << u"G"_s;
    QTest::newRow("quote") << u"o'brien"_s << u"G"_s;
    QTest::newRow("unknown") << u"Banco"_s << u"0"_s;
    QTest::newRow("wildcard is plain text") << u"Caj%"_s << u"0"_s;
}

void TestFunciones::lookups() {
    QFETCH(QString, name);
    QFETCH(QString, kind);
    test::TestLedger ledger;
    ledger.addAccount(u"Caja"_s, u"C"_s);
    ledger.addAccount(u"Año nuevo"_s, u"G"_s);
    ledger.addAccount(u"O'Brien"_s, u"G"_s);
    QCOMPARE(BuscaDescripcion(ledger.db(), u"contas"_s, u"conTipo"_s, u"conNom"_s, name), kind);
    QCOMPARE(ExisteValor(ledger.db(), u"Contas"_s, u"ConNom"_s, name), kind != u"0"_s);
}

void TestFunciones::unknownNamesNeverReachSql_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    QTest::newRow("unknown table") << u"Cuentas"_s << u"conNom"_s;
    QTest::newRow("column of another table") << u"Contas"_s << u"Importe"_s;
    QTest::newRow("statement text")
        << u"Contas; DROP TABLE Contas"_s << u"conNom FROM Contas; --"_s;
}

void TestFunciones::unknownNamesNeverReachSql() {
    QFETCH(QString, table);
    QFETCH(QString, column);
    test::TestLedger ledger;
    Database& db = ledger.db();
    const QString caja = u"Caja"_s;
    ledger.addAccount(caja, u"C"_s);
    QVERIFY_THROWS_EXCEPTION(DbError, ProximoNumero(db, table, column));
    QVERIFY_THROWS_EXCEPTION(DbError, BuscaDescripcion(db, table, column, column, caja));
    QVERIFY_THROWS_EXCEPTION(DbError, ExisteValor(db, table, column, caja));
    QVERIFY_THROWS_EXCEPTION(DbError, ListaCombo(db, table, column, column));
    QVERIFY(ExisteValor(db, u"Contas"_s, u"conNom"_s, caja));
}

void TestFunciones::accountNames() {
    test::TestLedger ledger;
    for (const char* name : {"Nómina", "caja", "Ágape", "ñoquis", "Agua", "nube"}) {
        ledger.addAccount(QString::fromUtf8(name), u"C"_s);
    }
    const QStringList names{"Ágape", "Agua", "caja", "Nómina", "nube", "ñoquis"};
    QCOMPARE(velmora::accountNames(ledger.db()), names);
    // Another text column follows the order of the code column, row by row.
    QCOMPARE(ListaCombo(ledger.db(), u"contas"_s, u"conNom"_s, u"conCon"_s), names);
}

QTEST_MAIN(TestFunciones)
#include "tst_funciones.moc"
