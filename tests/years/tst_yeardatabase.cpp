// The year's life cycle: whatever fails while a year is opened, created,
// switched to, compacted or replaced, the program ends on a sound year and
// ano.ini agrees.

#include "state/Settings.h"
#include "state/SingleInstance.h"
#include "store/DatabaseFiles.h"
#include "store/Funciones.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "support/Files.h"
#include "support/TestLedger.h"
#include "ui/AppState.h"
#include "years/ConnectionSetup.h"
#include "years/SafetyCopies.h"
#include "years/YearDatabase.h"
#include "years/YearFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <climits>
#include <functional>

#include <sys/stat.h>

using namespace velmora;
using velmora::test::createYear;
using namespace Qt::StringLiterals;

class TestYearDatabase : public QObject {
    Q_OBJECT
private slots:
    void connectionSetup_data();
    void connectionSetup();
    void createRefused_data();
    void createRefused();
    void createKeepsAccountsNotEntries_data();
    void createKeepsAccountsNotEntries();
    void switchTo_data();
    void switchTo();
    void replaceDatabase_data();
    void replaceDatabase();
    void safetyCopies();
};

namespace {

void writeBytes(const QString& path, const QByteArray& bytes) {
    QVERIFY(test::putBytes(path, bytes));
}

qint64 count(Database& db, const char* table) {
    Statement query(db, std::string("SELECT COUNT(*) FROM ") + table, "test: contar");
    query.step();
    return query.columnInt(0);
}

// A ledger of 2008 with two accounts, a company row and 300 entries, and a
// note and a sub-folder of its own in the year's folder.
void fill(test::TestLedger& ledger) {
    ledger.addCashBook(300);
    ledger.addAccount(u"Nómina"_s, u"I"_s);
    ledger.db().exec("INSERT INTO tblTitulos (Empresa) VALUES ('Casa García')", "test");
    writeBytes(ledger.dataRoot() + u"/2008/notas.txt"_s, "recibos en la carpeta azul");
    writeBytes(ledger.dataRoot() + u"/2008/Informes/mayo.txt"_s, "mayo");
}

// A ledger with the tables the program expects; a failure throws.
// What `work` throws as a YearError; null if it throws nothing.
QString yearError(const std::function<void()>& work) {
    try {
        work();
    } catch (const YearError& error) {
        return error.message().isNull() ? u""_s : error.message();
    }
    return {};
}

// `said` is `expected`, or starts as it does when `expected` ends in "…".
void checkMessage(const QString& said, const QString& expected) {
    if (expected.endsWith(u'…')) {
        QVERIFY2(said.startsWith(expected.chopped(1)), qPrintable(said));
    } else {
        QCOMPARE(said, expected);
    }
}

void checkOnYear(test::TestLedger& ledger, const QString& year) {
    AppState& state = ledger.state();
    QCOMPARE(state.session.year(), year);
    QCOMPARE(state.session.databasePath(), databasePathFor(ledger.dataRoot(), year));
    QCOMPARE(test::fileBytes(ledger.programFolder() + u"/ano.ini"_s), year.toUtf8() + "\r\n");
    QVERIFY(state.session.openConnection() != nullptr);
    count(state.db(), "apuntes"); // the connection works
}

} // namespace

// At the start, and whenever ano.ini changes, the set-up follows ruta.ini and
// ano.ini to the year's database; one that cannot be used is refused with the
// reason, and the connection already open stays.
void TestYearDatabase::connectionSetup_data() {
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QString>("reason"); // empty: the new year opens
    const QString notALedger = u"no es una base de datos de contabilidad: "_s;
    QTest::newRow("a ledger") << u"none"_s << QString();
    QTest::newRow("year without folder") << u"no folder"_s << u"el archivo no existe"_s;
    QTest::newRow("text file")
        << u"text"_s << u"el archivo está dañado o no es una base de datos de contabilidad"_s;
    QTest::newRow("empty file") << u"empty"_s << notALedger + u"falta la tabla apuntes"_s;
    QTest::newRow("entries without class")
        << u"no GoI"_s << notALedger + u"faltan columnas en la tabla apuntes"_s;
    // Once this opened the ledger of a folder outside the data root.
    QTest::newRow("year outside the data root")
        << u"outside"_s << u"ano.ini no nombra un año de la carpeta de datos"_s;
    QTest::newRow("locked") << u"locked"_s
                            << u"la base de datos está bloqueada por otro programa"_s;
}

void TestYearDatabase::connectionSetup() {
    QFETCH(QString, problem);
    QFETCH(QString, reason);
    test::TestLedger ledger;
    ledger.addAccount(u"Caja"_s, u"C"_s);
    AppState& state = ledger.state();
    const Database* before = state.session.openConnection();
    const auto hasCaja = [](Database& db) {
        return ExisteValor(db, u"Contas"_s, u"conNom"_s, u"caja"_s);
    };

    const QString year = problem == u"outside"_s ? u"../fuera"_s : u"2030"_s;
    const QString path = databasePathFor(ledger.dataRoot(), year);
    const QByteArray text =
        QByteArray("Fecha;Concepto;Importe\r\n05/03/2024;Luz;45,10\r\n").repeated(40);
    std::unique_ptr<Database> holder;
    SettingsFiles(ledger.programFolder()).writeYear(year);
    if (problem == u"text"_s || problem == u"empty"_s) {
        writeBytes(path, problem == u"text"_s ? text : QByteArray());
    } else if (problem == u"none"_s || problem == u"outside"_s) {
        createYear(ledger.dataRoot(), year);
    } else if (problem == u"no GoI"_s) {
        createYear(ledger.dataRoot(), year)
            ->exec("ALTER TABLE apuntes DROP COLUMN GoI", "quitar la columna");
    } else if (problem == u"locked"_s) {
        holder = createYear(ledger.dataRoot(), year);
        holder->exec("BEGIN EXCLUSIVE; INSERT INTO Contas (conNom) VALUES ('Banco')", "bloquear");
    }

    try {
        setupConnection(state.session);
        QVERIFY(reason.isEmpty());
    } catch (const ConnectionError& error) {
        QCOMPARE(error.message(),
                 u"No se puede abrir la base de datos "_s + path + u": "_s + reason);
    }
    if (reason.isEmpty()) {
        QCOMPARE(state.session.year(), u"2030"_s);
        QCOMPARE(state.session.databasePath(), path);
        QVERIFY(!hasCaja(state.db()));
        return;
    }
    QCOMPARE(state.session.year(), u"2024"_s);
    QCOMPARE(state.session.databasePath(), ledger.databasePath());
    QCOMPARE(state.session.openConnection(), before);
    QVERIFY(hasCaja(state.db()));
    if (problem == u"text"_s) {
        QCOMPARE(test::fileBytes(path), text);
    }
}

// Whatever stops a new year, the user is told why, nothing is left in the data
// root (nor beside it) and the program stays on its year. Once a link planted as
// the new year's building folder led the removal of what an earlier attempt left
// into the folder it pointed at, and the year was written there; one in the
// year's own place made the year a link.
void TestYearDatabase::createRefused_data() {
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message"); // DATA: the data root; a trailing "…": how it starts
    const QString invalid = u"Nombre de año no válido"_s;
    const QString exists = u"Este año ya está creado"_s;
    const QString failed = u"No se puede crear el año 2009…"_s;
    const QString link = u"No se puede crear el año 2009: DATA/%1 es un enlace a otro sitio, no "
                         "una carpeta del año; quítelo de la carpeta de datos y vuelva a "
                         "intentarlo"_s;
    QTest::newRow("outside the data root") << u"../2009"_s << QString() << invalid;
    QTest::newRow("backslash") << u"20\\09"_s << QString() << invalid;
    QTest::newRow("current year") << u"2008"_s << QString() << exists;
    QTest::newRow("safety copies") << SafetyCopies::folderName() << QString() << exists;
    // Once made and switched to, then never listed again: a hidden folder.
    QTest::newRow("hidden") << u".oculto"_s << QString() << invalid;
    QTest::newRow("blank") << u"   "_s << QString() << u"Ponga un año"_s;
    QTest::newRow("space in front") << u" 2009"_s << QString() << invalid;
    QTest::newRow("control character") << u"20\t09"_s << QString() << invalid;
    QTest::newRow("a folder cannot be copied") << u"2009"_s << u"path too long"_s << failed;
    QTest::newRow("the folder cannot be made") << u"2009"_s << u"file in the way"_s << failed;
    QTest::newRow("ano.ini cannot be written") << u"2009"_s << u"ano.ini is a folder"_s << failed;
    QTest::newRow("building folder a link to a folder")
        << u"2009"_s << u"link .2009.nueva"_s << link.arg(u".2009.nueva"_s);
    QTest::newRow("year folder a link to a folder")
        << u"2009"_s << u"link 2009"_s << link.arg(u"2009"_s);
    QTest::newRow("year folder a link to nothing")
        << u"2009"_s << u"dead link 2009"_s << link.arg(u"2009"_s);
}

void TestYearDatabase::createRefused() {
    QFETCH(QString, year);
    QFETCH(QString, fault);
    QFETCH(QString, message);
    test::TestLedger ledger(u"2008"_s);
    fill(ledger);
    const QString root = ledger.dataRoot();
    SafetyCopies(root, u"2008"_s).write(ledger.db(), QDateTime({2008, 5, 1}, {0, 0}));
    QTemporaryDir elsewhere;
    writeBytes(elsewhere.filePath(u"valioso.txt"_s), "de otro");
    const QString link = root + u'/' + fault.section(u' ', -1);
    if (fault == u"path too long"_s) {
        // A folder whose path the system takes, but not its copy's, which is built
        // under the longer ".2009.nueva".
        QString deep = root + u"/2008/"_s;
        const qsizetype length = PATH_MAX - 4;
        while (deep.size() + 201 < length) {
            deep += QString(200, u'x') + u'/';
        }
        deep += QString(length - deep.size(), u'x');
        QVERIFY(QDir().mkpath(deep));
    } else if (fault == u"file in the way"_s) {
        writeBytes(root + u"/.2009.nueva"_s, "no es una carpeta");
    } else if (fault == u"ano.ini is a folder"_s) {
        // QSaveFile cannot rename over a folder.
        const QString ano = ledger.programFolder() + u"/ano.ini"_s;
        QVERIFY(QFile::remove(ano));
        QVERIFY(QDir().mkpath(ano + u"/dentro"_s));
    } else if (fault.contains(u"link"_s)) {
        const bool dead = fault.startsWith(u"dead"_s);
        QVERIFY(QFile::link(dead ? elsewhere.filePath(u"nada"_s) : elsewhere.path(), link));
    }
    const auto entries = [](const QString& folder) {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden);
    };
    const QStringList before = entries(root);
    const QStringList beside = entries(root + u"/.."_s);

    const QString error = yearError([&] { YearDatabase(ledger.session()).create(year); });
    checkMessage(error, message.replace(u"DATA"_s, root));
    QCOMPARE(entries(root), before);
    QCOMPARE(entries(root + u"/.."_s), beside);
    QCOMPARE(entries(elsewhere.path()), (QStringList{u"."_s, u".."_s, u"valioso.txt"_s}));
    QCOMPARE(test::fileBytes(elsewhere.filePath(u"valioso.txt"_s)), "de otro");
    QVERIFY(!fault.contains(u"link"_s) || QFileInfo(link).isSymLink());
    QCOMPARE(ledger.state().session.year(), u"2008"_s);
    QCOMPARE(count(ledger.state().db(), "apuntes"), 300);
    if (fault != u"ano.ini is a folder"_s) {
        checkOnYear(ledger, u"2008"_s);
    }
}

// A new year takes the accounts, the company and the files of the year's folder,
// not the entries. What a link there leads to is never read into the new year:
// the link is made again as the same link. A pipe, which a copy would wait on
// for ever, is no file of the year and is left out.
void TestYearDatabase::createKeepsAccountsNotEntries_data() {
    test::addTextRows("entry", {{"files and folders", ""},
                                {"link to a file", "file"},
                                {"link to a folder", "folder"},
                                {"pipe", "pipe"}});
}

void TestYearDatabase::createKeepsAccountsNotEntries() {
    QFETCH(QString, entry);
    test::TestLedger ledger(u"2008"_s);
    fill(ledger);
    QTemporaryDir elsewhere;
    writeBytes(elsewhere.filePath(u"secreto.txt"_s), "no es del año");
    const QString in2008 = ledger.dataRoot() + u"/2008/"_s + entry;
    if (entry == u"pipe"_s) {
        QCOMPARE(::mkfifo(QFile::encodeName(in2008).constData(), 0644), 0);
    } else if (!entry.isEmpty()) {
        QVERIFY(QFile::link(
            entry == u"file"_s ? elsewhere.filePath(u"secreto.txt"_s) : elsewhere.path(), in2008));
    }
    YearDatabase(ledger.session()).create(u"2009"_s);

    checkOnYear(ledger, u"2009"_s);
    Database& db = ledger.state().db();
    QCOMPARE(count(db, "apuntes"), 0);
    QCOMPARE(count(db, "Contas"), 2);
    Statement company(db, "SELECT Empresa FROM tblTitulos", "test");
    QVERIFY(company.step());
    QCOMPARE(company.columnText(0), u"Casa García"_s);
    QCOMPARE(test::fileBytes(ledger.dataRoot() + u"/2009/notas.txt"_s),
             "recibos en la carpeta azul");
    QCOMPARE(test::fileBytes(ledger.dataRoot() + u"/2009/Informes/mayo.txt"_s), "mayo");
    // The year it came from keeps every entry, and nothing half-made is left.
    Database old(databasePathFor(ledger.dataRoot(), u"2008"_s));
    QCOMPARE(count(old, "apuntes"), 300);
    QCOMPARE(QDir(ledger.dataRoot()).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList({u"2008"_s, u"2009"_s, u"Informes"_s}));
    const QString in2009 = ledger.dataRoot() + u"/2009/"_s + entry;
    if (entry == u"pipe"_s) {
        QVERIFY(!QFileInfo::exists(in2009));
    } else if (!entry.isEmpty()) {
        QVERIFY(QFileInfo(in2009).isSymLink());
        QCOMPARE(QFileInfo(in2009).symLinkTarget(), QFileInfo(in2008).symLinkTarget());
    }
    QCOMPARE(QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{u"secreto.txt"_s});
}

// The lock that keeps a second copy of the program off a year goes with the
// program: taken on the new year before the old one is let go. A year that
// cannot be opened, or that another copy works on, is refused, the program
// staying where it was.
void TestYearDatabase::switchTo_data() {
    QTest::addColumn<QString>("to");      // " new": made, not switched to
    QTest::addColumn<QString>("refusal"); // empty: the switch is made
    const QString cannotOpen = u"No se puede abrir la base de datos…"_s;
    QTest::newRow("another year") << u"2007"_s << QString();
    QTest::newRow("the current year") << u"2008"_s << QString();
    QTest::newRow("a new year") << u"2009 new"_s << QString();
    QTest::newRow("a damaged ledger") << u"2006"_s << cannotOpen;
    QTest::newRow("a year another copy has open")
        << u"2007 held"_s
        << u"Otra copia del programa está trabajando en el año 2007. Ciérrela antes de pasar a "
           "ese año."_s;
}

void TestYearDatabase::switchTo() {
    QFETCH(QString, to);
    QFETCH(QString, refusal);
    test::TestLedger ledger(u"2008"_s);
    createYear(ledger.dataRoot(), u"2007"_s);
    writeBytes(databasePathFor(ledger.dataRoot(), u"2006"_s),
               QByteArray("SQLite format 3").repeated(99));
    const auto held = [&](const QString& year) {
        return !SingleInstance(databasePathFor(ledger.dataRoot(), year)).acquire();
    };
    // As the program holds it from its start.
    AppState& state = ledger.state();
    QVERIFY(lockYear(state.session, ledger.databasePath()));
    const Database* before = state.session.openConnection();
    const QString year = to.section(u' ', 0, 0);
    std::optional<SingleInstance> otherCopy;
    if (to.endsWith(u" held"_s)) {
        otherCopy.emplace(databasePathFor(ledger.dataRoot(), year));
        QVERIFY(otherCopy->acquire());
    } else {
        // Rewritten whether the year opens or not.
        writeBytes(ledger.programFolder() + u"/ano.ini"_s, "2008\n");
    }

    const QString error = yearError([&] {
        if (to.endsWith(u" new"_s)) {
            YearDatabase(state.session).create(year);
        } else {
            YearDatabase(state.session).switchTo(year);
        }
    });
    if (refusal.isEmpty()) {
        QVERIFY2(error.isNull(), qPrintable(error));
        checkOnYear(ledger, year);
        // Even on the same year the connection is a new one.
        QVERIFY(state.session.openConnection() != before);
        QVERIFY(held(year));
        QCOMPARE(held(u"2008"_s), year == u"2008"_s);
        return;
    }
    checkMessage(error, refusal);
    checkOnYear(ledger, u"2008"_s);
    QVERIFY(held(u"2008"_s));
    otherCopy.reset();
    QVERIFY(!held(year));
}

// A compaction or a restore puts a new file in place of the year's database.
// Whatever stops it, the file and the connection stay as they were, and no
// half-written file is left.
void TestYearDatabase::replaceDatabase_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("done");
    const QString compact = u"compact"_s;
    const QString restore = u"restore"_s;
    QTest::newRow("compaction twice in a row") << compact << QString() << true;
    QTest::newRow("compaction after one killed") << compact << u"leftovers"_s << true;
    QTest::newRow("compaction, work folder missing") << compact << u"no Datos"_s << false;
    QTest::newRow("compaction, another program writing") << compact << u"writer"_s << false;
    // Once this closed the program's connection for good.
    QTest::newRow("compaction, another program holding the database")
        << compact << u"holder"_s << false;
    QTest::newRow("restore of a sound ledger") << restore << QString() << true;
    QTest::newRow("restore of a damaged file") << restore << u"damaged"_s << false;
    QTest::newRow("restore of no ledger") << restore << u"text"_s << false;
    QTest::newRow("restore of a missing file") << restore << u"missing"_s << false;
    QTest::newRow("restore, another program holding the database")
        << restore << u"holder"_s << false;
}

void TestYearDatabase::replaceDatabase() {
    QFETCH(QString, operation);
    QFETCH(QString, fault);
    QFETCH(bool, done);
    test::TestLedger ledger(u"2008"_s);
    fill(ledger);
    const QString path = ledger.databasePath();
    const QString work = ledger.programFolder() + u"/Datos"_s;
    const QString file = ledger.dataRoot() + u"/copia.mdb"_s; // every entry
    const bool restore = operation == u"restore"_s;
    if (restore && fault != u"text"_s && fault != u"missing"_s) {
        compactDatabase(ledger.db(), file);
    }
    ledger.db().exec("DELETE FROM apuntes WHERE Id > 10", "test");
    if (fault == u"damaged"_s) {
        QByteArray bytes = test::fileBytes(file);
        bytes.truncate(bytes.size() / 2);
        QFile::remove(file);
        writeBytes(file, bytes);
    } else if (fault == u"text"_s) {
        writeBytes(file, "Fecha;Importe\r\n");
    } else if (fault == u"leftovers"_s) {
        // Killed after writing the compacted file, before the rename.
        writeBytes(work + u"/DevedurC.mdb"_s, "a medias");
        writeBytes(path + u".nueva"_s, "a medias");
    } else if (fault == u"no Datos"_s) {
        QVERIFY(QDir(work).removeRecursively());
    }
    if (restore) {
        // A journal nobody owns would mix the old pages into the new file.
        writeBytes(path + u"-journal"_s, QByteArray(512, '\0'));
    }
    const QByteArray before = test::fileBytes(path);
    std::unique_ptr<Database> other;
    if (fault == u"writer"_s || fault == u"holder"_s) {
        other = std::make_unique<Database>(path);
        other->exec(fault == u"writer"_s ? "BEGIN IMMEDIATE; DELETE FROM apuntes WHERE Id = 1"
                                         : "BEGIN EXCLUSIVE",
                    "test");
    }
    const Database* connection = ledger.state().session.openConnection();

    YearDatabase years(ledger.session());
    const QString error = yearError([&] {
        if (restore) {
            years.replaceWith(file);
        } else {
            for (int i = 0; i < (fault.isEmpty() ? 2 : 1); ++i) {
                years.compact();
            }
        }
    });
    if (done) {
        QVERIFY2(error.isNull(), qPrintable(error));
        QVERIFY(restore || test::fileBytes(path).size() < before.size() / 2);
        QVERIFY(!QFileInfo::exists(path + u"-journal"_s));
    } else {
        QVERIFY2(!error.isEmpty(), qPrintable(fault));
        QCOMPARE(test::fileBytes(path), before);
        // Nothing was closed: the program goes on as it was.
        QCOMPARE(ledger.state().session.openConnection(), connection);
    }
    other.reset();
    checkOnYear(ledger, u"2008"_s);
    QCOMPARE(count(ledger.state().db(), "apuntes"), restore && done ? 300 : 10);
    QCOMPARE(count(ledger.state().db(), "Contas"), 2);
    QVERIFY(!QFileInfo::exists(path + u".nueva"_s));
}

void TestYearDatabase::safetyCopies() {
    test::TestLedger ledger(u"2008"_s);
    fill(ledger);
    const SafetyCopies copies(ledger.dataRoot(), u"2008"_s);
    QStringList written;
    for (int day = 1; day <= SafetyCopies::kKept + 1; ++day) {
        written.prepend(copies.write(ledger.db(), QDateTime({2008, 5, day}, {9, 30})));
    }
    // The eleventh removed the oldest; newest first.
    QCOMPARE(copies.list(), written.first(SafetyCopies::kKept));
    QVERIFY(!QFileInfo::exists(written.last()));
    QVERIFY(copies.madeOn({2008, 5, 11}));
    QVERIFY(!copies.madeOn({2008, 5, 1}));
    QCOMPARE(QFileInfo(written.first()).fileName(), u"Devedur-20080511-093000.mdb"_s);
    Database copy(written.first());
    QCOMPARE(count(copy, "apuntes"), 300);

    // Two in the same second both stay.
    const QString again = copies.write(ledger.db(), QDateTime({2008, 5, 11}, {9, 30}));
    QCOMPARE(QFileInfo(again).fileName(), u"Devedur-20080511-093001.mdb"_s);

    // A copy cut short is never taken for one, and the next write clears it away.
    writeBytes(copies.folder() + u"/Devedur-20080512-080000.mdb.nueva"_s, "a medias");
    QVERIFY(!copies.madeOn({2008, 5, 12}));
    const SafetyCopies nowhere(ledger.dataRoot() + u"/notas.txt"_s, u"2008"_s);
    writeBytes(ledger.dataRoot() + u"/notas.txt"_s, "un archivo, no una carpeta");
    QVERIFY_THROWS_EXCEPTION(DbError, nowhere.write(ledger.db(), QDateTime({2008, 5, 12}, {0, 0})));
    copies.write(ledger.db(), QDateTime({2008, 5, 12}, {8, 0}));
    QVERIFY(!QFileInfo::exists(copies.folder() + u"/Devedur-20080512-080000.mdb.nueva"_s));
}

QTEST_GUILESS_MAIN(TestYearDatabase)
#include "tst_yeardatabase.moc"
