// Start-up as the user sees it: one copy only, the colours from their files, the
// year in the title, and a clear message when the year's database cannot be opened.

#include "entries/frmPrincipal.h"
#include "startup/AppState.h"
#include "startup/Program.h"
#include "startup/Settings.h"
#include "store/Funciones.h"
#include "store/Sqlite.h"
#include "support/TestLedger.h"
#include "support/TestServices.h"
#include "ui/MessageService.h"

#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTest>

using namespace velmora;
using velmora::test::TestLedger;
using velmora::test::TestServices;

class TestProgram : public QObject {
    Q_OBJECT
private slots:
    void normalStart();
    void secondCopyIsRefused();
    void lockLeftByACrashedCopy_data();
    void lockLeftByACrashedCopy();
    void databaseCannotBeOpened();
};

namespace {

void putFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

void TestProgram::normalStart() {
    TestLedger ledger;
    const SettingsFiles settings(ledger.programFolder());
    putFile(settings.pathOf(QStringLiteral("color.ini")), QByteArray(" 12632256 \r\n"));

    RecordingMessageService messages;
    TestServices programServices(messages);
    Program program(ledger.programFolder(), programServices.services);
    QCOMPARE(program.start(), std::optional<int>());
    QCOMPARE(messages.texts(), QStringList());
    QCOMPARE(program.state().mainColour, 12632256);
    QCOMPARE(program.state().mainColor(), QColor(192, 192, 192));
    QCOMPARE(program.state().sectionColour, 0);
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

    // Once the first copy has ended, the program starts again.
    first.reset();
    RecordingMessageService laterMessages;
    TestServices laterServices(laterMessages);
    Program later(ledger.programFolder(), laterServices.services);
    QCOMPARE(later.start(), std::optional<int>());
    QCOMPARE(laterMessages.texts(), QStringList());
    QVERIFY(later.mainWindow() != nullptr);
}

// A copy that crashed, or a power cut, leaves the lock file behind, and a program
// folder copied while open carries it along. Whatever it holds, no live process holds
// the lock, so the program starts.
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
