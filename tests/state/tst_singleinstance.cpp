// The single-copy lock against a copy running in another process, and where no lock
// file can be made at all.

#include "state/SingleInstance.h"
#include "support/TestLedger.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace velmora;

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void heldByAKilledProcess();
    void noRoomForTheLock();
};

namespace {

const char* const kHoldLock = "--hold-lock";

// The other copy, run as a child of the test: takes the lock, says so, and keeps it
// until it is killed.
int holdLock(const QString& databasePath) {
    SingleInstance instance(databasePath);
    if (!instance.acquire()) {
        return 2;
    }
    std::fputs("held\n", stdout);
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}

} // namespace

// A copy that crashes leaves its lock file behind, but not the lock.
void TestSingleInstance::heldByAKilledProcess() {
    QTemporaryDir folder;
    const QString database = folder.path() + QStringLiteral("/2024/Devedur.mdb");
    QProcess holder;
    holder.start(QCoreApplication::applicationFilePath(),
                 {QString::fromLatin1(kHoldLock), database});
    QVERIFY(holder.waitForReadyRead(30000));
    QCOMPARE(holder.readAll(), QByteArray("held\n"));
    QVERIFY(!SingleInstance(database).acquire());

    holder.kill();
    QVERIFY(holder.waitForFinished(30000));
    QVERIFY(QFile::exists(SingleInstance::lockPathFor(database)));
    SingleInstance next(database);
    QVERIFY(next.acquire());
    // And the one that starts now keeps the others out in turn.
    QVERIFY(!SingleInstance(database).acquire());
}

// A lock file that cannot be made must not keep the program from starting; the
// reason goes to the log.
void TestSingleInstance::noRoomForTheLock() {
    const QString database = QStringLiteral("/nowhere/2024/Devedur.mdb");
    QVERIFY(QDir().mkdir(SingleInstance::lockPathFor(database)));
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^no se puede crear el bloqueo")));
    QVERIFY(SingleInstance(database).acquire());
}

int main(int argc, char* argv[]) {
    if (argc == 3 && qstrcmp(argv[1], kHoldLock) == 0) {
        return holdLock(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    test::privateRuntimeFolder(); // the child processes inherit it
    TestSingleInstance test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleinstance.moc"
