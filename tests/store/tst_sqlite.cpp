// The RAII layer over SQLite: failures the user reads in Spanish while the log keeps
// the engine's words, transactions that never half-happen, and no database made by
// accident out of a mistyped path.

#include "store/DbErrorText.h"
#include "store/Sqlite.h"
#include "support/Files.h"
#include "support/TestLedger.h"

#include <QFileInfo>
#include <QTest>

#include <optional>

using namespace velmora;
using namespace Qt::StringLiterals;

class TestSqlite : public QObject {
    Q_OBJECT
private slots:
    void failures_data();
    void failures();
    void transaction_data();
    void transaction();
};

namespace {

void insertEntry(Database& db, qint64 id) {
    Statement insert(db, "INSERT INTO apuntes (Id, Des) VALUES (?1, 'x')", "añadir");
    insert.bind(1, static_cast<int64_t>(id)).run();
}

} // namespace

void TestSqlite::failures_data() {
    QTest::addColumn<QString>("file"); // the ledger, a text file, or none at all
    QTest::addColumn<QByteArray>("sql");
    QTest::addColumn<QString>("engineText");
    QTest::addColumn<QString>("reason");
    const QString clash = u"los datos chocan con otros ya guardados"_s;
    QTest::newRow("same number twice")
        << u"ledger"_s << QByteArray("INSERT INTO apuntes (Id) VALUES (1)")
        << u"UNIQUE constraint failed"_s << clash;
    QTest::newRow("no such table")
        << u"ledger"_s << QByteArray("SELECT * FROM cuentas") << u"no such table"_s
        << u"la base de datos no tiene la forma que el programa espera; puede que otro programa "
           "la haya cambiado"_s;
    // Another program's trigger, with its own English words.
    QTest::newRow("refused by a trigger")
        << u"ledger"_s << QByteArray("DELETE FROM apuntes") << u"entries are kept"_s << clash;
    QTest::newRow("not a database")
        << u"text"_s << QByteArray("SELECT * FROM apuntes") << u"file is not a database"_s
        << u"el archivo está dañado o no es una base de datos de contabilidad"_s;
    QTest::newRow("missing file") << u"none"_s << QByteArray() << u"unable to open"_s
                                  << u"el archivo no existe o no se puede abrir"_s;
}

void TestSqlite::failures() {
    QFETCH(QString, file);
    QFETCH(QByteArray, sql);
    QFETCH(QString, engineText);
    QFETCH(QString, reason);
    test::TestLedger ledger;
    insertEntry(ledger.db(), 1);
    ledger.db().exec("CREATE TEMP TRIGGER keep BEFORE DELETE ON apuntes"
                     " BEGIN SELECT RAISE(ABORT, 'entries are kept'); END",
                     "test");
    const QString other = ledger.dataRoot() + u"/Devedur.mdb"_s;
    if (file == u"text"_s) {
        QVERIFY(test::putBytes(other, QByteArray("Fecha;Concepto;Importe\r\n").repeated(200)));
    }
    std::optional<Database> opened;
    try {
        Database& db = file == u"ledger"_s ? ledger.db() : opened.emplace(other);
        Statement(db, sql.toStdString(), "guardar el apunte").run();
        QFAIL("no failure");
    } catch (const DbError& error) {
        // The engine's English words go to the log, beside the operation; the user
        // reads one of our Spanish reasons.
        QVERIFY2(error.detail().contains(engineText), qPrintable(error.detail()));
        const QString what = QString::fromUtf8(error.what());
        QVERIFY(what.startsWith(error.operation()) && what.contains(error.detail()));
        QCOMPARE(error.operation(),
                 file == u"none"_s ? u"abrir la base de datos"_s : u"guardar el apunte"_s);
        QCOMPARE(describeFailure(error), reason);
        QVERIFY(!describeFailure(error).contains(error.detail(), Qt::CaseInsensitive));
    }
    QCOMPARE(ledger.countEntries(), 1);
    // A mistyped path never becomes an empty new database.
    QCOMPARE(QFileInfo::exists(other), file == u"text"_s);
}

void TestSqlite::transaction_data() {
    QTest::addColumn<bool>("secondFails");
    QTest::addColumn<int>("expected");
    QTest::newRow("committed") << false << 3;
    QTest::newRow("second write fails") << true << 1;
}

void TestSqlite::transaction() {
    QFETCH(bool, secondFails);
    QFETCH(int, expected);
    test::TestLedger ledger;
    Database& db = ledger.db();
    insertEntry(db, 1);
    try {
        Transaction transaction(db);
        insertEntry(db, 2);
        insertEntry(db, secondFails ? 1 : 3);
        transaction.commit();
    } catch (const DbError&) {
        QVERIFY(secondFails);
    }
    QCOMPARE(ledger.countEntries(), expected);
    // Nothing was left open: a later write is stored for good.
    insertEntry(db, 10);
    QCOMPARE(test::entriesIn(ledger.databasePath()), expected + 1);
}

QTEST_GUILESS_MAIN(TestSqlite)
#include "tst_sqlite.moc"
