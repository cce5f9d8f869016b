// Start-up as the user sees it: where the settings are read, the first start that makes
// an installation, one copy per year only, the colours from their files, the year in the
// title, and a clear message when the year's database cannot be opened.

#include "app/Program.h"
#include "app/frmPrincipal.h"
#include "state/Settings.h"
#include "state/SingleInstance.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "support/Files.h"
#include "support/TestLedger.h"
#include "support/TestServices.h"
#include "ui/AppState.h"
#include "ui/MessageService.h"
#include "years/Installation.h"
#include "years/SafetyCopies.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace velmora;
using namespace Qt::StringLiterals;
using velmora::test::TestLedger;

class TestProgram : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void normalStart();
    void firstStart_data();
    void firstStart();
    void secondCopy_data();
    void secondCopy();
    void databaseCannotBeOpened_data();
    void databaseCannotBeOpened();
    void dailySafetyCopy();
    void adminSettingsFolder_data();
    void adminSettingsFolder();

private:
    // The configuration folder the program would fall back on; a start from a
    // program folder with its settings leaves it alone.
    QTemporaryDir config_;
};

namespace {

// A copy of the program started from a program folder, and what it told the user
// as "title|text|icon|buttons".
struct Copy {
    explicit Copy(const QString& folder) : program(folder, services.services) {}
    QStringList said() const {
        QStringList lines;
        for (const Message& m : messages.shown()) {
            lines << u"%1|%2|%3|%4"_s.arg(m.title, m.text).arg(int(m.icon)).arg(int(m.buttons));
        }
        return lines;
    }
    RecordingMessageService messages;
    test::TestServices services{messages};
    Program program;
};

// A message as Copy::said() gives it.
QString message(const QString& text, MessageIcon icon, MessageButtons buttons) {
    return u"Velmora|%1|%2|%3"_s.arg(text).arg(int(icon)).arg(int(buttons));
}

QStringList lockFilesIn(const QString& folder) {
    return QDir(folder).entryList({u"*.lock"_s}, QDir::AllEntries | QDir::Hidden | QDir::System);
}

} // namespace

void TestProgram::initTestCase() {
    QVERIFY(config_.isValid());
    test::privateRuntimeFolder(); // the locks of the copies started here
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
    QCoreApplication::setApplicationName(u"Velmora"_s); // as the program names itself
}

// A copy that crashed, or a power cut, leaves the lock file behind. Whatever it holds,
// no live process holds the lock, so the program starts. A colour file that cannot be
// used costs only its colour, and the user is told which. A copy killed while it wrote
// a safety copy leaves the partial file and its journal among the copies; the start
// removes them, in every year's folder, except where another running copy may be
// writing one now.
void TestProgram::normalStart() {
    TestLedger ledger;
    const QStringList left = {u"Devedur-20240102-100000.mdb.nueva"_s,
                              u"Devedur-20240102-100000.mdb.nueva-journal"_s};
    const QStringList kept = {u"Devedur-20240101-100000.mdb"_s, u"notas.txt"_s};
    const auto copiesOf = [&](const char* year) {
        return SafetyCopies(ledger.dataRoot(), QLatin1String(year)).folder();
    };
    for (const char* year : {"2022", "2023", "2024"}) {
        for (const QString& name : left + kept) {
            QVERIFY(test::putBytes(copiesOf(year) + u'/' + name, "x"));
        }
    }
    SingleInstance otherCopy(ledger.dataRoot() + u"/2022/Devedur.mdb"_s);
    QVERIFY(otherCopy.acquire());
    // Red in the lowest byte.
    QVERIFY(test::putBytes(ledger.programFolder() + u"/color.ini"_s, " 12648447 \r\n"));
    const QByteArray leftLock("\x01\xff no es un bloqueo\n");
    QVERIFY(test::putBytes(SingleInstance::lockPathFor(ledger.databasePath()), leftLock));
    // Older versions kept the lock in the program folder; one may still be there.
    QVERIFY(test::putBytes(ledger.programFolder() + u"/velmora.lock"_s, leftLock));
    const QString pipe = ledger.programFolder() + u"/color2.ini"_s;
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    Copy copy(ledger.programFolder());
    QCOMPARE(copy.program.start(), std::optional<int>());
    QCOMPARE(copy.said(), QStringList{message(u"Estos archivos de ajustes no se pueden usar y se "
                                              "han tomado como si no existieran:\n%1 es una "
                                              "tubería, no un archivo"_s.arg(pipe),
                                              MessageIcon::Warning, MessageButtons::Ok)});
    // The settings beside the program are the ones used, and nothing goes elsewhere.
    QCOMPARE(QDir(config_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList());
    QCOMPARE(copy.program.state().palette.main(), QColor(255, 255, 192));
    frmPrincipal* window = copy.program.mainWindow();
    QVERIFY(window != nullptr && window->isVisible());
    // Without a usable color2.ini the information lines are black.
    QCOMPARE(window->findChild<QLabel*>(u"lblInfo"_s)->palette().color(QPalette::Window),
             QColor(Qt::black));
    for (const char* year : {"2022", "2023", "2024"}) {
        QStringList expected = kept + (qstrcmp(year, "2022") == 0 ? left : QStringList());
        expected.sort();
        QCOMPARE(QDir(copiesOf(year)).entryList(QDir::Files, QDir::Name), expected);
    }
}

// Installed, the program folder cannot be written and holds no ruta.ini: the settings
// live in the configuration folder, and the first start offers to make a data root in
// the home folder. A failure leaves no settings that lead nowhere.
void TestProgram::firstStart_data() {
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("before"); // what is in the way, or already there
    QTest::addColumn<int>("exitCode");   // -1: the main window shows
    QTest::addColumn<QStringList>("said");
    const QString create = message(u"No se encuentra la carpeta de datos de Velmora.\n\n¿Desea "
                                   "crear una en HOME/Velmora para el año 2024?"_s,
                                   MessageIcon::Question, MessageButtons::YesNo);
    const QString use = message(u"No se encuentran los ajustes de Velmora, pero en HOME/Velmora "
                                "ya hay datos del año 2024.\n\n¿Desea usarlos?"_s,
                                MessageIcon::Question, MessageButtons::YesNo);
    const QString failed =
        message(u"No se ha podido preparar la carpeta de datos de Velmora.\n\nREASON."_s,
                MessageIcon::Critical, MessageButtons::Ok);
    QTest::newRow("sí") << true << QString() << -1 << QStringList{create};
    QTest::newRow("no") << false << QString() << 0 << QStringList{create};
    QTest::newRow("el año ya existe") << true << u"ledger"_s << -1 << QStringList{use};
    // What is taken back after a failure is velmora-admin init's test.
    QTest::newRow("un archivo en lugar de la carpeta de datos")
        << true << u"file"_s << 1
        << QStringList{create,
                       QString(failed).replace(
                           u"REASON"_s, u"No se puede crear la carpeta HOME/Velmora/2024"_s)};
}

void TestProgram::firstStart() {
    QFETCH(bool, yes);
    QFETCH(QString, before);
    QFETCH(int, exitCode);
    QFETCH(QStringList, said);
    QTemporaryDir home, configHome, program;
    const QByteArray userHome = qgetenv("HOME");
    const auto restoreFolders = qScopeGuard([&] {
        qputenv("HOME", userHome);
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
    });
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
    const QString config = configHome.path() + u"/Velmora"_s;
    const QString root = home.path() + u"/Velmora"_s;
    const QString ledger = root + u"/2024/Devedur.mdb"_s;
    if (before == u"ledger"_s) {
        QVERIFY(QDir().mkpath(root + u"/2024"_s));
        Database created(ledger, Database::Mode::CreateIfMissing);
        createLedgerSchema(created);
        created.exec("INSERT INTO apuntes (Id, Data, Des, Importe) VALUES (1, '2024-01-02', 'ya "
                     "estaba', 12.5)",
                     "test");
    } else if (before == u"file"_s) {
        QVERIFY(test::putBytes(root, "no es una carpeta"));
    }
    // As installed: nothing can be written there. Root writes all the same, so what
    // counts is that the folder stays empty.
    QVERIFY(QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::ExeOwner));
    const auto writable = qScopeGuard([&] {
        QFile::setPermissions(program.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    said.replaceInStrings(u"HOME"_s, QDir::toNativeSeparators(home.path()));

    {
        Copy copy(program.path());
        copy.messages.answerNext(yes ? MessageAnswer::Yes : MessageAnswer::No);
        QCOMPARE(copy.program.start(),
                 exitCode < 0 ? std::optional<int>() : std::optional<int>(exitCode));
        QCOMPARE(copy.said(), said);
        QCOMPARE(QDir(program.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
        if (exitCode >= 0) {
            QCOMPARE(copy.program.mainWindow(), nullptr);
            QVERIFY(!QFileInfo::exists(config + u"/ruta.ini"_s));
            if (before.isEmpty()) {
                QVERIFY(!QFileInfo::exists(config));
                QCOMPARE(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                         QStringList());
            } else {
                QCOMPARE(test::fileBytes(root), QByteArray("no es una carpeta"));
            }
            return;
        }
        QCOMPARE(copy.program.mainWindow()->windowTitle(), u"Velmora ## Año 2024"_s);
    }
    // A year that was there keeps its entries.
    QCOMPARE(test::entriesIn(ledger), before.isEmpty() ? 0 : 1);

    // The next start finds the settings in the configuration folder and asks nothing.
    Copy next(program.path());
    QCOMPARE(next.program.start(), std::optional<int>());
    QCOMPARE(next.said(), QStringList());
    QCOMPARE(next.program.state().session.databasePath(), ledger);
}

// Two program folders may share one data folder; what matters is the year's database.
void TestProgram::secondCopy_data() {
    QTest::addColumn<QString>("dataRoot"); // relative to the installation's folder; empty:
    QTest::addColumn<QString>("year");     // started from the same program folder
    QTest::addColumn<bool>("refused");
    QTest::newRow("same program folder") << QString() << QString() << true;
    QTest::newRow("same year, spelled otherwise") << u"bin/.././data/"_s << u"2024"_s << true;
    QTest::newRow("same year through a link") << u"link"_s << u"2024"_s << true;
    QTest::newRow("another year") << u"data"_s << u"2025"_s << false;
}

void TestProgram::secondCopy() {
    QFETCH(QString, dataRoot);
    QFETCH(QString, year);
    QFETCH(bool, refused);
    TestLedger ledger;
    const QString installation = QFileInfo(ledger.dataRoot()).absolutePath();
    QVERIFY(QFile::link(ledger.dataRoot(), installation + u"/link"_s));
    QVERIFY(QDir(ledger.dataRoot()).mkdir(u"2025"_s));
    {
        Database created(ledger.dataRoot() + u"/2025/Devedur.mdb"_s,
                         Database::Mode::CreateIfMissing);
        createLedgerSchema(created);
    }
    QTemporaryDir otherFolder;
    QString folder = ledger.programFolder();
    if (!dataRoot.isEmpty()) {
        folder = otherFolder.path();
        SettingsFiles(folder).writeDataRootAndYear(installation + u'/' + dataRoot, year);
    }

    auto first = std::make_unique<Copy>(ledger.programFolder());
    QCOMPARE(first->program.start(), std::optional<int>());
    frmPrincipal* window = first->program.mainWindow();
    {
        Copy second(folder);
        QCOMPARE(second.program.start(), refused ? std::optional<int>(0) : std::nullopt);
        QCOMPARE(second.said(), refused
                                    ? QStringList{message(u"Ya se está ejecutando el programa"_s,
                                                          MessageIcon::None, MessageButtons::Ok)}
                                    : QStringList());
        QCOMPARE(second.program.mainWindow() != nullptr, !refused);
        QCOMPARE(second.program.state().session.openConnection() != nullptr, !refused);
    }
    // The running copy is as it was.
    QCOMPARE(first->said(), QStringList());
    QVERIFY(window->isVisible());
    // The lock is not in a program folder, which a system-wide install cannot write.
    QCOMPARE(lockFilesIn(ledger.programFolder()) + lockFilesIn(folder), QStringList());
    const QFileInfo lock(SingleInstance::lockPathFor(ledger.databasePath()));
    QVERIFY(lock.exists());
    QCOMPARE(lock.absolutePath(), test::privateRuntimeFolder());

    // Once the first copy has ended, the program starts again.
    first.reset();
    Copy later(folder);
    QCOMPARE(later.program.start(), std::optional<int>());
    QCOMPARE(later.said(), QStringList());
}

// Without a ledger to open, the program ends with one message that says why. A
// pipe in place of ruta.ini once held the start before any window, forever; a
// data root of 64 KB read from ruta.ini once filled the whole message box.
void TestProgram::databaseCannotBeOpened_data() {
    QTest::addColumn<QString>("dataRoot");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QStringList>("said"); // pieces of the message, in order; PROGRAM
    // A path too long to read keeps its start and its end.
    QTest::newRow("data root of 64 KB, no such year")
        << (u"/datos"_s + u"/carpeta"_s.repeated(8000)) << u"2024"_s
        << QStringList{u"Velmora|No se puede abrir la base de datos /datos/carpeta/"_s, u"…"_s,
                       u"/carpeta/2024/Devedur.mdb: el archivo no existe|%1|%2"_s
                           .arg(int(MessageIcon::Critical))
                           .arg(int(MessageButtons::Ok))};
    QTest::newRow("ruta.ini a pipe")
        << u"pipe"_s << QString()
        << QStringList{u"PROGRAM/ruta.ini es una tubería, no un archivo"_s};
}

void TestProgram::databaseCannotBeOpened() {
    QFETCH(QString, dataRoot);
    QFETCH(QString, year);
    QFETCH(QStringList, said);
    TestLedger ledger;
    const QString ruta = ledger.programFolder() + u"/ruta.ini"_s;
    if (dataRoot == u"pipe"_s) {
        QVERIFY(QFile::remove(ruta));
        QCOMPARE(::mkfifo(QFile::encodeName(ruta).constData(), 0644), 0);
    } else {
        SettingsFiles(ledger.programFolder()).writeDataRootAndYear(dataRoot, year);
    }
    Copy copy(ledger.programFolder());
    QCOMPARE(copy.program.start(), std::optional<int>(1));
    QCOMPARE(copy.program.mainWindow(), nullptr);
    QVERIFY(!copy.program.state().session.openConnection());
    QCOMPARE(copy.said().size(), 1);
    const QString shown = copy.said().value(0);
    QVERIFY2(shown.size() < 300, qPrintable(shown.left(300)));
    qsizetype from = 0;
    for (QString piece : said) {
        piece.replace(u"PROGRAM"_s, ledger.programFolder());
        from = shown.indexOf(piece, from);
        QVERIFY2(from >= 0, qPrintable(shown + u"\nlacks: "_s + piece));
    }
}

// The first start of each day keeps a copy of the year; one that cannot be
// written never keeps the program from starting.
void TestProgram::dailySafetyCopy() {
    TestLedger ledger;
    const SafetyCopies copies(ledger.dataRoot(), u"2024"_s);
    const auto startOn = [&](QDate day) {
        Copy copy(ledger.programFolder());
        copy.services.clock.day = day;
        QCOMPARE(copy.program.start(), std::optional<int>());
        QCoreApplication::processEvents(); // the copy follows the first showing
        QCOMPARE(copy.said(), QStringList());
    };
    startOn({2024, 5, 17});
    startOn({2024, 5, 17});
    QCOMPARE(copies.list().size(), 1);
    startOn({2024, 5, 18});
    QCOMPARE(copies.list().size(), 2);
    QVERIFY(QFileInfo(copies.list().first()).fileName().startsWith(u"Devedur-20240518-"_s));

    QVERIFY(QDir(ledger.dataRoot() + u'/' + SafetyCopies::folderName()).removeRecursively());
    QVERIFY(
        test::putBytes(ledger.dataRoot() + u'/' + SafetyCopies::folderName(), "no es una carpeta"));
    startOn({2024, 5, 19});
}

// velmora-admin sets up a build or an unpacked copy beside itself; only the
// installed one writes where an installed program reads.
void TestProgram::adminSettingsFolder_data() {
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("holdsRuta");
    QTest::addColumn<bool>("besideItself");
    QTest::newRow("a build") << false << false << true;
    QTest::newRow("installed") << true << false << false;
    QTest::newRow("installed, a folder set up by hand") << true << true << true;
}

void TestProgram::adminSettingsFolder() {
    QFETCH(bool, installed);
    QFETCH(bool, holdsRuta);
    QFETCH(bool, besideItself);
    QTemporaryDir bin;
    if (holdsRuta) {
        QVERIFY(test::putBytes(bin.filePath(u"ruta.ini"_s), "/datos\r\n"));
    }
    const QString chosen = velmora::adminSettingsFolder(
        bin.path() + u"/"_s, {u"/usr/local/bin"_s, installed ? bin.path() : u"/usr/bin"_s});
    QCOMPARE(QDir::cleanPath(chosen),
             besideItself ? bin.path() : QDir::cleanPath(config_.filePath(u"Velmora"_s)));
}

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
