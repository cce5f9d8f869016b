// A process killed at any moment of a compaction, a year creation or a restore
// leaves a year that opens, passes the integrity check and holds every entry.
// The work runs in a child copy of this executable, killed with SIGKILL after a
// random delay, again and again over the same installation.

#include "state/Settings.h"
#include "state/YearSession.h"
#include "store/DatabaseFiles.h"
#include "store/Sqlite.h"
#include "support/Files.h"
#include "support/TestLedger.h"
#include "years/ConnectionSetup.h"
#include "years/YearDatabase.h"
#include "years/YearFolders.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cstdio>

using namespace velmora;
using namespace Qt::StringLiterals;

namespace {

constexpr int kKills = 8;
constexpr int kEntries = 300;

// The child: the operation over and over until it is killed.
int runChild(const QString& operation, const QString& programFolder) {
    YearSession state(programFolder);
    setupConnection(state);
    const QString original = state.year();
    const QString dataRoot = state.dataRoot();
    std::puts("ready");
    std::fflush(stdout);
    for (int round = 0;; ++round) {
        YearDatabase years(state);
        if (operation == u"compact"_s) {
            years.compact();
        } else if (operation == u"restore"_s) {
            years.replaceWith(dataRoot + (round % 2 == 0 ? u"/menos.mdb"_s : u"/todos.mdb"_s));
        } else {
            years.create(u"K%1-%2"_s.arg(QCoreApplication::applicationPid()).arg(round));
            years.switchTo(original);
        }
    }
}

} // namespace

class TestKilled : public QObject {
    Q_OBJECT
private slots:
    void killedAnywhere_data();
    void killedAnywhere();
};

void TestKilled::killedAnywhere_data() {
    test::addTextRows(
        "operation",
        {{"compaction", "compact"}, {"year creation", "create"}, {"restore", "restore"}});
}

void TestKilled::killedAnywhere() {
    QFETCH(QString, operation);
    test::TestLedger ledger(u"2008"_s);
    ledger.addCashBook(kEntries);
    compactDatabase(ledger.db(), ledger.dataRoot() + u"/todos.mdb"_s);
    ledger.db().exec("DELETE FROM apuntes WHERE Id > 250", "test");
    compactDatabase(ledger.db(), ledger.dataRoot() + u"/menos.mdb"_s);
    ledger.db().exec("DELETE FROM apuntes", "test");
    YearDatabase(ledger.state().session).close();
    QFile::remove(ledger.databasePath());
    QFile::copy(ledger.dataRoot() + u"/todos.mdb"_s, ledger.databasePath());

    for (int kill = 0; kill < kKills; ++kill) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {u"--child"_s, operation, ledger.programFolder()});
        QVERIFY(child.waitForReadyRead(20000));
        QThread::msleep(QRandomGenerator::global()->bounded(5, 400));
        QVERIFY2(child.state() == QProcess::Running, child.readAllStandardError().constData());
        child.kill();
        QVERIFY(child.waitForFinished(20000));

        // The year ano.ini names opens and is whole.
        const QString year = SettingsFiles(ledger.programFolder()).readYear();
        const qint64 entries = test::entriesIn(databasePathFor(ledger.dataRoot(), year));
        if (operation == u"create"_s && year != u"2008"_s) {
            QCOMPARE(entries, 0);
        } else if (operation == u"restore"_s) {
            QVERIFY2(entries == 250 || entries == kEntries, qPrintable(QString::number(entries)));
        } else {
            QCOMPARE(entries, kEntries);
        }
        if (operation != u"restore"_s) {
            QCOMPARE(test::entriesIn(ledger.databasePath()), kEntries);
        }
        if (year != u"2008"_s) {
            SettingsFiles(ledger.programFolder()).writeYear(u"2008"_s);
        }
    }
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--child") == 0) {
        return runChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    TestKilled test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_killed.moc"
