// The single-copy lock against a copy running in another process, and where no lock
// file can be made at all.

#include "startup/SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace velmora;

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void heldByAnotherProcess_data();
    void heldByAnotherProcess();
    void noRoomForTheLock();
};

namespace {

const char* const kHoldLock = "--hold-lock";

// The other copy, run as a child of the test: takes the lock, says so, and keeps it
// until its input closes or it is killed.
int holdLock(const QString& programFolder) {
    SingleInstance instance(programFolder);
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

void TestSingleInstance::heldByAnotherProcess_data() {
    QTest::addColumn<bool>("crash");
    QTest::newRow("ends normally") << false;
    QTest::newRow("is killed") << true;
}

void TestSingleInstance::heldByAnotherProcess() {
    QFETCH(bool, crash);
    QTemporaryDir folder;
    QProcess holder;
    holder.start(QCoreApplication::applicationFilePath(),
                 {QString::fromLatin1(kHoldLock), folder.path()});
    QVERIFY(holder.waitForReadyRead(30000));
    QCOMPARE(holder.readAll(), QByteArray("held\n"));

    QVERIFY(!SingleInstance(folder.path()).acquire());

    if (crash) {
        holder.kill();
    } else {
        holder.closeWriteChannel();
    }
    QVERIFY(holder.waitForFinished(30000));
    QCOMPARE(holder.exitStatus(), crash ? QProcess::CrashExit : QProcess::NormalExit);
    SingleInstance next(folder.path());
    QVERIFY(next.acquire());
    // And the one that starts now keeps the others out in turn.
    QVERIFY(!SingleInstance(folder.path()).acquire());
}

// A lock file that cannot be made must not keep the program from starting; the
// reason goes to the log.
void TestSingleInstance::noRoomForTheLock() {
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("velmora.lock")));
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^no se puede crear el bloqueo")));
    QVERIFY(SingleInstance(folder.path()).acquire());
}

int main(int argc, char* argv[]) {
    if (argc == 3 && qstrcmp(argv[1], kHoldLock) == 0) {
        return holdLock(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    TestSingleInstance test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleinstance.moc"
