// A year's database from elsewhere (a backup drive, another machine, an old
// copy) is hostile until checked. What each kind of file does here is written
// down in its row; none crashes, and none is changed by being opened and listed.

#include "app/frmPrincipal.h"
#include "entries/EntryTableModel.h"
#include "store/DatabaseFiles.h"
#include "store/Sqlite.h"
#include "support/Files.h"
#include "support/WindowFixture.h"
#include "years/YearDatabase.h"

#include <sqlite3.h>

using namespace velmora;
using namespace velmora::test;
using namespace Qt::StringLiterals;

class TestHostileFiles : public QObject {
    Q_OBJECT
private slots:
    void opened_data();
    void opened();
};

void TestHostileFiles::opened_data() {
    QTest::addColumn<QString>("sql");     // run by another program on the year's file
    QTest::addColumn<QString>("refusal"); // empty: the year opens
    QTest::addColumn<QList<qint64>>("listed");
    QTest::addColumn<QString>("notice");
    const QString planted = u"contiene %1 que el programa no ha creado; por seguridad no se usa"_s;
    QTest::newRow("trigger that deletes entries")
        << u"CREATE TRIGGER borra AFTER INSERT ON Contas BEGIN DELETE FROM apuntes; END"_s
        << planted.arg(u"un disparador «borra»"_s) << QList<qint64>() << QString();
    QTest::newRow("view named like a table")
        << u"ALTER TABLE Contas RENAME TO Viejas; CREATE VIEW Contas AS SELECT * FROM Viejas"_s
        << planted.arg(u"una vista «Contas»"_s) << QList<qint64>() << QString();
    QTest::newRow("text amount") << u"UPDATE apuntes SET Importe = 'diez' WHERE Id = 2"_s
                                 << QString() << QList<qint64>{3, 2, 1}
                                 << u"apunte de la línea 2 (código 2) no es un número válido"_s;
    QTest::newRow("infinite and missing amounts")
        << u"UPDATE apuntes SET Importe = 9e999 WHERE Id = 2;"
           u"UPDATE apuntes SET Importe = NULL WHERE Id = 3"_s
        << QString() << QList<qint64>{3, 2, 1}
        << u"no son números válidos: líneas 1 (código 3), 2 (código 2)"_s;
    QTest::newRow("no date and a date that is no date")
        << u"UPDATE apuntes SET Data = NULL WHERE Id = 1; UPDATE apuntes SET Data = 'ayer'"
           u" WHERE Id = 3"_s
        << QString() << QList<qint64>{2}
        << u"Los apuntes nº 1, 3 no tienen una fecha que se pueda leer y no aparecen en la "
           u"lista."_s;
    QTest::newRow("largest and lowest numbers")
        << u"UPDATE apuntes SET Id = 9223372036854775807 WHERE Id = 1;"
           u"UPDATE apuntes SET Id = -9223372036854775808 WHERE Id = 3"_s
        << QString()
        << QList<qint64>{Q_INT64_C(-9223372036854775807) - 1, 2, Q_INT64_C(9223372036854775807)}
        << QString();
}

void TestHostileFiles::opened() {
    QFETCH(QString, sql);
    QFETCH(QString, refusal);
    QFETCH(QList<qint64>, listed);
    QFETCH(QString, notice);
    WindowFixture<frmPrincipal> f;
    f.ledger.addAccount(u"Banco"_s, u"C"_s);
    f.ledger.addAccount(u"Luz"_s, u"G"_s);
    for (int id = 1; id <= 3; ++id) {
        f.ledger.addEntry(id, u"0%1/03/2024"_s.arg(id), u"Recibo"_s, u"Luz"_s, u"Banco"_s, 10,
                          u"G"_s);
    }
    {
        // The stock engine, as another program would use it.
        sqlite3* other = nullptr;
        QVERIFY(sqlite3_open(f.ledger.databasePath().toUtf8().constData(), &other) == SQLITE_OK);
        const int rc = sqlite3_exec(other, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
        sqlite3_close(other);
        QCOMPARE(rc, SQLITE_OK);
    }
    const QByteArray before = fileBytes(f.ledger.databasePath());

    try {
        YearDatabase(f.ledger.session()).reopen();
        QVERIFY2(refusal.isEmpty(), qPrintable(refusal));
    } catch (const YearError& error) {
        QVERIFY2(error.message().contains(refusal), qPrintable(error.message()));
        // A backup or safety copy holding it is refused the same way.
        QVERIFY_THROWS_EXCEPTION(DbError, checkLedgerFile(f.ledger.databasePath()));
        QCOMPARE(fileBytes(f.ledger.databasePath()), before);
        return;
    }
    f.open();
    QList<qint64> ids;
    for (const EntryRow& row : f.window->model().list().rows()) {
        ids.append(row.id);
    }
    QCOMPARE(ids, listed);
    QCOMPARE(f.messages.shown().size(), notice.isEmpty() ? 0 : 1);
    if (!notice.isEmpty()) {
        QVERIFY2(f.messages.texts().first().contains(notice), qPrintable(f.messages.texts()[0]));
    }
    f.window.reset();
    YearDatabase(f.ledger.session()).close();
    QCOMPARE(fileBytes(f.ledger.databasePath()), before);
}

QTEST_MAIN(TestHostileFiles)
#include "tst_hostilefiles.moc"
