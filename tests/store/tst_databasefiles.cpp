// Whole-file work on a ledger: a copy is one consistent snapshot, and a file put
// in place of another is either all new or all old.

#include "store/DatabaseFiles.h"
#include "store/DbErrorText.h"
#include "store/Sqlite.h"
#include "support/Files.h"
#include "support/TestLedger.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora;
using namespace Qt::StringLiterals;

class TestDatabaseFiles : public QObject {
    Q_OBJECT
private slots:
    void copyIsCommittedState();
};

// Another program in the middle of a save: the copy holds what was committed,
// and a copy never lands on a file that is there already.
void TestDatabaseFiles::copyIsCommittedState() {
    test::TestLedger ledger;
    ledger.addCashBook(5);
    const QString path = ledger.databasePath();
    Database& ours = ledger.db();
    Database other(path);
    QTemporaryDir dir;
    other.exec("BEGIN IMMEDIATE; DELETE FROM apuntes", "test");

    copyDatabase(ours, dir.filePath(u"copia.mdb"_s));
    QCOMPARE(test::entriesIn(dir.filePath(u"copia.mdb"_s)), 5);
    compactDatabase(ours, dir.filePath(u"compacta.mdb"_s));
    QCOMPARE(test::entriesIn(dir.filePath(u"compacta.mdb"_s)), 5);

    QFile::copy(path, dir.filePath(u"vieja.mdb"_s));
    const QByteArray old = test::fileBytes(dir.filePath(u"vieja.mdb"_s));
    QVERIFY_THROWS_EXCEPTION(DbError, copyDatabase(ours, dir.filePath(u"vieja.mdb"_s)));
    QCOMPARE(test::fileBytes(dir.filePath(u"vieja.mdb"_s)), old);
    try {
        copyDatabase(ours, dir.filePath(u"no/existe/copia.mdb"_s));
        QFAIL("copied into a missing folder");
    } catch (const DbError& error) {
        QCOMPARE(describeFailure(error), u"el archivo no existe o no se puede abrir"_s);
    }
}

QTEST_GUILESS_MAIN(TestDatabaseFiles)
#include "tst_databasefiles.moc"
