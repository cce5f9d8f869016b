// Start-up as the user sees it: one copy per year only, the colours from their files, the
// year in the title, and a clear message when the year's database cannot be opened.

#include "entries/frmPrincipal.h"
#include "startup/AppState.h"
#include "startup/Program.h"
#include "startup/Settings.h"
#include "startup/SingleInstance.h"
#include "store/Funciones.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "support/TestLedger.h"
#include "support/TestServices.h"
#include "ui/MessageService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora;
using velmora::test::TestLedger;
using velmora::test::TestServices;

class TestProgram : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void normalStart();
    void secondCopyIsRefused();
    void secondCopyFromAnotherProgramFolder_data();
    void secondCopyFromAnotherProgramFolder();
    void lockLeftByACrashedCopy_data();
    void lockLeftByACrashedCopy();
    void databaseCannotBeOpened();

private:
    // The locks of the copies started here, away from the user's own.
    QTemporaryDir runtime_;
};

namespace {

void putFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList lockFilesIn(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.lock")},
                                  QDir::AllEntries | QDir::Hidden | QDir::System);
}

} // namespace

void TestProgram::initTestCase() {
    QVERIFY(runtime_.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
}

void TestProgram::normalStart() {
    TestLedger ledger;
    const SettingsFiles settings(ledger.programFolder());
    putFile(settings.pathOf(QStringLiteral("color.ini")), QByteArray(" 12632256 \r\n"));

    RecordingMessageService messages;
    TestServices programServices(messages);
    Program program(ledger.programFolder(), programServices.services);
    QCOMPARE(program.start(), std::optional<int>());
    QCOMPARE(messages.texts(), QStringList());
    QCOMPARE(program.state().palette.main(), QColor(192, 192, 192));
    QCOMPARE(program.state().palette.sectionValue(), 0);
    QCOMPARE(program.state().databasePath, ledger.databasePath());

    frmPrincipal* window = program.mainWindow();
    QVERIFY(window != nullptr && window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("Velmora ## Año 2024"));
    // Without color2.ini the information lines are black.
    for (const char* name : {"lblInfo", "lblBalance"}) {
        const auto* label = window->findChild<QLabel*>(QString::fromLatin1(name));
        QVERIFY2(label != nullptr, name);
        QCOMPARE(label->palette().color(QPalette::Window), QColor(Qt::black));
    }
}

void TestProgram::secondCopyIsRefused() {
    TestLedger ledger;
    RecordingMessageService firstMessages;
    TestServices firstServices(firstMessages);
    auto first = std::make_unique<Program>(ledger.programFolder(), firstServices.services);
    QCOMPARE(first->start(), std::optional<int>());
    frmPrincipal* window = first->mainWindow();
    const Database* connection = first->state().connection.get();
    const QString title = window->windowTitle();
    // The lock is not in the program folder, which a system-wide install cannot write.
    QCOMPARE(lockFilesIn(ledger.programFolder()), QStringList());
    const QFileInfo lock(SingleInstance::lockPathFor(ledger.databasePath()));
    QVERIFY(lock.exists());
    QCOMPARE(lock.absolutePath(), runtime_.path());

    RecordingMessageService secondMessages;
    {
        TestServices secondServices(secondMessages);
        Program second(ledger.programFolder(), secondServices.services);
        QCOMPARE(second.start(), std::optional<int>(0));
        QCOMPARE(second.mainWindow(), nullptr);
        QVERIFY(!second.state().connection);
    }
    QCOMPARE(secondMessages.shown().size(), 1);
    const Message& shown = secondMessages.shown().first();
    QCOMPARE(shown.text, QStringLiteral("Ya se está ejecutando el programa"));
    QCOMPARE(shown.title, QStringLiteral("Velmora"));
    QCOMPARE(shown.icon, MessageIcon::None);
    QCOMPARE(shown.buttons, MessageButtons::Ok);

    // The running copy is as it was, and still keeps others out.
    QCOMPARE(firstMessages.texts(), QStringList());
    QCOMPARE(first->mainWindow(), window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), title);
    QCOMPARE(first->state().connection.get(), connection);
    QCOMPARE(ProximoNumero(first->state().db(), QStringLiteral("apuntes"), QStringLiteral("Id")),
             qint64{1});
    RecordingMessageService thirdMessages;
    TestServices thirdServices(thirdMessages);
    QCOMPARE(Program(ledger.programFolder(), thirdServices.services).start(),
             std::optional<int>(0));
    QCOMPARE(thirdMessages.shown().size(), 1);
    QCOMPARE(lockFilesIn(ledger.programFolder()), QStringList());

    // Once the first copy has ended, the program starts again.
    first.reset();
    RecordingMessageService laterMessages;
    TestServices laterServices(laterMessages);
    Program later(ledger.programFolder(), laterServices.services);
    QCOMPARE(later.start(), std::optional<int>());
    QCOMPARE(laterMessages.texts(), QStringList());
    QVERIFY(later.mainWindow() != nullptr);
}

// Two program folders may share one data folder; what matters is the year's database.
void TestProgram::secondCopyFromAnotherProgramFolder_data() {
    QTest::addColumn<QString>("dataRoot"); // relative to the installation's folder
    QTest::addColumn<QString>("year");
    QTest::addColumn<bool>("refused");
    QTest::newRow("same year") << QStringLiteral("data") << QStringLiteral("2024") << true;
    QTest::newRow("same year, spelled otherwise")
        << QStringLiteral("bin/.././data/") << QStringLiteral("2024") << true;
    QTest::newRow("same year through a link")
        << QStringLiteral("link") << QStringLiteral("2024") << true;
    QTest::newRow("another year") << QStringLiteral("data") << QStringLiteral("2025") << false;
}

void TestProgram::secondCopyFromAnotherProgramFolder() {
    QFETCH(QString, dataRoot);
    QFETCH(QString, year);
    QFETCH(bool, refused);
    TestLedger ledger;
    const QString installation = QFileInfo(ledger.dataRoot()).absolutePath();
    QVERIFY(QFile::link(ledger.dataRoot(), installation + QStringLiteral("/link")));
    QVERIFY(QDir(ledger.dataRoot()).mkdir(QStringLiteral("2025")));
    {
        Database created(ledger.dataRoot() + QStringLiteral("/2025/Devedur.mdb"),
                         Database::Mode::CreateIfMissing);
        createLedgerSchema(created);
    }
    QTemporaryDir otherFolder;
    const SettingsFiles otherSettings(otherFolder.path());
    otherSettings.writeDataRoot(installation + QLatin1Char('/') + dataRoot);
    otherSettings.writeYear(year);

    RecordingMessageService firstMessages;
    TestServices firstServices(firstMessages);
    Program first(ledger.programFolder(), firstServices.services);
    QCOMPARE(first.start(), std::optional<int>());

    RecordingMessageService otherMessages;
    TestServices otherServices(otherMessages);
    Program other(otherFolder.path(), otherServices.services);
    if (refused) {
        QCOMPARE(other.start(), std::optional<int>(0));
        QCOMPARE(otherMessages.texts(),
                 QStringList{QStringLiteral("Ya se está ejecutando el programa")});
        QCOMPARE(other.mainWindow(), nullptr);
    } else {
        QCOMPARE(other.start(), std::optional<int>());
        QCOMPARE(otherMessages.texts(), QStringList());
        QVERIFY(other.mainWindow() != nullptr);
    }
    QCOMPARE(lockFilesIn(otherFolder.path()), QStringList());
}

// A copy that crashed, or a power cut, leaves the lock file behind. Whatever it holds,
// no live process holds the lock, so the program starts.
void TestProgram::lockLeftByACrashedCopy_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("garbage") << QByteArray("\x01\xff no es un bloqueo\n");
    QTest::newRow("another host") << QByteArray("4242\nvelmora\notro-equipo\n\n");

    QProcess ended;
    ended.start(QStringLiteral("true"), {});
    QVERIFY(ended.waitForStarted());
    const qint64 pid = ended.processId();
    QVERIFY(ended.waitForFinished());
    QTest::newRow("ended process") << QByteArray::number(pid) + QByteArray("\nvelmora\n\n\n\n");
}

void TestProgram::lockLeftByACrashedCopy() {
    QFETCH(QByteArray, content);
    TestLedger ledger;
    putFile(SingleInstance::lockPathFor(ledger.databasePath()), content);
    // Older versions kept the lock in the program folder; one may still be there.
    putFile(ledger.programFolder() + QStringLiteral("/velmora.lock"), content);

    RecordingMessageService messages;
    TestServices programServices(messages);
    Program program(ledger.programFolder(), programServices.services);
    QCOMPARE(program.start(), std::optional<int>());
    QCOMPARE(messages.texts(), QStringList());
    QVERIFY(program.mainWindow() != nullptr);
}

void TestProgram::databaseCannotBeOpened() {
    TestLedger ledger;
    SettingsFiles(ledger.programFolder()).writeYear(QStringLiteral("2031"));
    const QString path = ledger.dataRoot() + QStringLiteral("/2031/Devedur.mdb");

    RecordingMessageService messages;
    TestServices programServices(messages);
    Program program(ledger.programFolder(), programServices.services);
    const std::optional<int> exitCode = program.start();
    QVERIFY(exitCode.has_value() && *exitCode != 0);
    QCOMPARE(program.mainWindow(), nullptr);
    QVERIFY(!program.state().connection);
    QCOMPARE(messages.shown().size(), 1);
    const Message& shown = messages.shown().first();
    QCOMPARE(shown.text, QStringLiteral("No se puede abrir la base de datos ") + path +
                             QStringLiteral(": el archivo no existe"));
    QCOMPARE(shown.title, QStringLiteral("Velmora"));
    QCOMPARE(shown.icon, MessageIcon::Critical);
    QCOMPARE(shown.buttons, MessageButtons::Ok);
}

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
