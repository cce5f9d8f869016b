#include "admin/AdminCommands.h"
#include "entries/MovementRule.h"
#include "exchange/ImportedRows.h"
#include "receipts/ReceiptStore.h"
#include "reports/ReportDefinition.h"
#include "state/SingleInstance.h"
#include "store/AccountStore.h"
#include "store/OpeningBalances.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "support/Files.h"
#include "support/HostilePaths.h"
#include "support/Norma43Statement.h"
#include "support/SheetFiles.h"
#include "support/TestLedger.h"
#include "years/SafetyCopies.h"
#include "years/YearDatabase.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QIODevice>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <new>
#include <optional>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;
using namespace Qt::StringLiterals;

namespace {

struct Outcome {
    int code = 0;
    QString out, err;
};

// The exit code, every line of `out` among those printed, and `err` within the
// complaint (no complaint when empty).
bool printedAsExpected(const Outcome& result, int code, const QStringList& out,
                       const QString& err) {
    [&] {
        QCOMPARE(result.code, code);
        const QStringList printed = result.out.split(u'\n');
        for (const QString& line : out) {
            QVERIFY2(printed.contains(line), qPrintable(result.out));
        }
        QVERIFY2(err.isEmpty() ? result.err.isEmpty() : result.err.contains(err),
                 qPrintable(result.err));
    }();
    return !QTest::currentTestFailed();
}

Outcome runAdmin(const QStringList& args, const QString& programFolder) {
    Outcome result;
    QTextStream out(&result.out), err(&result.err);
    result.code = admin::runAdmin(args, programFolder, out, err);
    out.flush();
    err.flush();
    return result;
}

// `line` is split at blanks; FILE in it stands for `file`.
Outcome runAdmin(const QString& line, const QString& programFolder, const QString& file = {}) {
    QStringList args = line.split(u' ');
    if (!file.isEmpty()) {
        args.replaceInStrings(u"FILE"_s, file);
    }
    return runAdmin(args, programFolder);
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QVERIFY(test::putBytes(path, bytes));
}

qint64 number(Database& db, const char* sql) {
    Statement query(db, sql, "test");
    query.step();
    return query.columnInt(0);
}

// The settings point at an empty ledger of the year in root, beside the reports
// folder, and the colour the user chose (" 255 ") is still there.
void checkInstalled(const QString& program, const QString& root, const QString& year) {
    QCOMPARE(test::fileBytes(program + u"/ruta.ini"_s), root.toUtf8() + "\r\n");
    QCOMPARE(test::fileBytes(program + u"/ano.ini"_s), year.toUtf8() + "\r\n");
    QCOMPARE(test::fileBytes(program + u"/color.ini"_s), QByteArray(" 255 \r\n"));
    // Yellow F5D756, red in the lowest byte.
    QCOMPARE(test::fileBytes(program + u"/color2.ini"_s), QByteArray(" 5691381 \r\n"));
    QVERIFY(QFileInfo(root + u"/Informes"_s).isDir());
    QVERIFY(QFileInfo(program + u"/Datos"_s).isDir()); // where the program compacts a year
    // Nothing half-made beside the ledger.
    QCOMPARE(QDir(root + u'/' + year).entryList(QDir::Files), QStringList{u"Devedur.mdb"_s});
    Database db(root + u'/' + year + u"/Devedur.mdb"_s);
    checkLedgerSchema(db);
    QCOMPARE(number(db, "SELECT COUNT(*) FROM apuntes"), 0);
}

// The classes stored, each checked against the rule's answer for the kinds the two
// accounts have in the ledger: a wrong one shows as "mal".
QSet<QString> storedClasses(Database& db) {
    Statement rows(db,
                   "SELECT DISTINCT a.GoI, i.conTipo, o.conTipo FROM apuntes a"
                   " LEFT JOIN Contas i ON i.conNom = a.EntraEn"
                   " LEFT JOIN Contas o ON o.conNom = a.SaleDe",
                   "test");
    QSet<QString> seen;
    while (rows.step()) {
        const bool right =
            classifyMovement(rows.columnText(1), rows.columnText(2)) == rows.columnText(0);
        seen.insert(right ? rows.columnText(0) : u"mal: "_s + rows.columnText(0));
    }
    return seen;
}

} // namespace

class TestAdmin : public QObject {
    Q_OBJECT

private slots:
    void initKeepsAWorkingInstallation_data();
    void initKeepsAWorkingInstallation();
    void initWritesTheReportFile_data();
    void initWritesTheReportFile();
    void commandLine_data();
    void commandLine();
    void demo_data();
    void demo();
    void yearsTheWindowNames_data();
    void yearsTheWindowNames();
    void copies();
    void restoreCopy_data();
    void restoreCopy();
    void exportWritesTheYear();
    void settingsThatAreNoFiles();
    void exportNeverOverwritesTheProgramsFiles_data();
    void exportNeverOverwritesTheProgramsFiles();
    void importFile_data();
    void importFile();
    void readsOnlyRegularFiles_data();
    void readsOnlyRegularFiles();
    void noMemoryLeftIsToldInSpanish();
    void carryOver_data();
    void carryOver();
    void receipts_data();
    void receipts();
};

void TestAdmin::initKeepsAWorkingInstallation_data() {
    // ROOT holds the installation's 2024 ledger, OTHER is a new folder; in the
    // message, IN_USE, NEW and BIN stand for the ledger in use, the one init would
    // make and the program folder.
    QTest::addColumn<QString>("args");
    QTest::addColumn<QString>("before");  // what became of the installation meanwhile
    QTest::addColumn<QString>("message"); // empty: init goes ahead
    const QString leaving =
        u"la instalación ya usa la base de datos IN_USE y pasaría a usar NEW. No se ha cambiado "
        "nada. Para seguir de todos modos, repita la orden con --force; la base de datos "
        "actual no se borra."_s;
    const QString unwritable = u"No se puede escribir BIN/%1: no se puede abrir el archivo para "
                               "escribir"_s;
    QTest::newRow("otro año") << u"init ROOT 2025"_s << QString() << leaving;
    QTest::newRow("otra carpeta") << u"init OTHER 2024"_s << QString() << leaving;
    QTest::newRow("--force delante, año actual")
        << u"init --force OTHER"_s << QString() << QString();
    QTest::newRow("--force no sustituye")
        << u"init ROOT 2024 --force"_s << QString()
        << u"ya existe la base de datos NEW; no se ha cambiado nada (nunca se sustituye una "
           "base de datos)"_s;
    QTest::newRow("base de datos borrada") << u"init ROOT 2025"_s << u"ledger gone"_s << QString();
    // The ledger just made is removed again: nobody would find it.
    QTest::newRow("ano.ini no se puede escribir")
        << u"init ROOT 2024"_s << u"ano.ini blocked"_s << unwritable.arg(u"ano.ini"_s);
    QTest::newRow("color2.ini no se puede escribir")
        << u"init ROOT 2024"_s << u"color2.ini blocked"_s << unwritable.arg(u"color2.ini"_s);
}

void TestAdmin::initKeepsAWorkingInstallation() {
    QFETCH(QString, args);
    QFETCH(QString, before);
    QFETCH(QString, message);
    QTemporaryDir tmp;
    const QString program = tmp.filePath(u"bin"_s);
    QVERIFY(QDir().mkpath(program));
    writeBytes(program + u"/color.ini"_s, " 255 \r\n");
    const QString root = tmp.filePath(u"datos"_s);
    const QString other = tmp.filePath(u"otros"_s);
    const Outcome first = runAdmin(u"init "_s + tmp.filePath(u"datos/./"_s) + u" 2024"_s, program);
    QCOMPARE(first.code, 0);
    QCOMPARE(first.err, QString());
    checkInstalled(program, root, u"2024"_s);
    const QString inUse = root + u"/2024/Devedur.mdb"_s;
    if (!before.isEmpty()) {
        QVERIFY(QFile::remove(inUse));
    }
    if (before.endsWith(u"blocked"_s)) {
        // Elsewhere, so that a ruta.ini left rewritten would show.
        writeBytes(program + u"/ruta.ini"_s, "/srv/antigua\r\n");
        // Root writes anywhere: a folder in the file's place, or a link into a folder
        // that does not exist, stops the write all the same.
        const QString blocked = program + u'/' + before.section(u' ', 0, 0);
        QVERIFY(QFile::remove(blocked));
        QVERIFY(blocked.endsWith(u"ano.ini"_s)
                    ? QDir().mkdir(blocked)
                    : QFile::link(tmp.filePath(u"no-existe/color2.ini"_s), blocked));
    }
    const QByteArray ledgerBytes = test::fileBytes(inUse);
    const QByteArray routeBytes = test::fileBytes(program + u"/ruta.ini"_s);
    const QByteArray yearBytes = test::fileBytes(program + u"/ano.ini"_s);

    const QString newRoot = args.contains(u"OTHER"_s) ? other : root;
    const QString newYear = args.split(u' ')
                                .filter(QRegularExpression(u"^\\d{4}$"_s))
                                .value(0, QString::number(QDate::currentDate().year()));
    const Outcome result =
        runAdmin(args.replace(u"ROOT"_s, root).replace(u"OTHER"_s, other), program);
    QCOMPARE(test::fileBytes(inUse), ledgerBytes);
    if (message.isEmpty()) {
        QCOMPARE(result.code, 0);
        QCOMPARE(result.err, QString());
        checkInstalled(program, newRoot, newYear);
        return;
    }
    QCOMPARE(result.code, 1);
    message.replace(u"IN_USE"_s, QDir::toNativeSeparators(inUse))
        .replace(u"NEW"_s, QDir::toNativeSeparators(newRoot + u'/' + newYear + u"/Devedur.mdb"_s))
        .replace(u"BIN"_s, QDir::toNativeSeparators(program));
    QCOMPARE(result.err, u"velmora-admin: "_s + message + u'\n');
    QCOMPARE(test::fileBytes(program + u"/ruta.ini"_s), routeBytes);
    QCOMPARE(test::fileBytes(program + u"/ano.ini"_s), yearBytes);
    QCOMPARE(QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             (QStringList{u"2024"_s, u"Informes"_s}));
    QVERIFY(!QFileInfo::exists(other));
}

void TestAdmin::initWritesTheReportFile_data() {
    QTest::addColumn<QByteArray>("existing"); // the report file before; null: none
    QTest::newRow("nuevo") << QByteArray();
    QTest::newRow("editado por el usuario") << QByteArray("Tabla: apuntes\r\n# mío\r\n");
    QTest::newRow("vacío") << QByteArray("");
}

void TestAdmin::initWritesTheReportFile() {
    QFETCH(QByteArray, existing);
    QTemporaryDir tmp;
    const QString root = tmp.filePath(u"datos"_s);
    const QList<std::pair<QString, QByteArray>> reports = {
        {u"Datos.rpt"_s, defaultReportFile()},
        {u"Extracto.rpt"_s, defaultRegisterReportFile()},
        {u"Resumen.rpt"_s, defaultSummaryReportFile()}};
    for (const auto& [name, bytes] : reports) {
        if (!existing.isNull()) {
            writeBytes(root + u"/Informes/"_s + name, existing);
        }
    }

    const Outcome result = runAdmin(u"init "_s + root + u" 2024"_s, tmp.filePath(u"bin"_s));
    QCOMPARE(result.code, 0);
    QCOMPARE(result.err, QString());
    for (const auto& [name, bytes] : reports) {
        const QString report = root + u"/Informes/"_s + name;
        const QString said = QDir::toNativeSeparators(report) +
                             (existing.isNull() ? u""_s : u" (ya existía; se conserva)"_s) + u'\n';
        QVERIFY2(result.out.contains(said), qPrintable(result.out));
        // Byte for byte: the user's edits and line ends stay.
        QCOMPARE(test::fileBytes(report), existing.isNull() ? bytes : existing);
    }
    // Nothing half-written beside them.
    QCOMPARE(QDir(root + u"/Informes"_s)
                 .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             (QStringList{u"Datos.rpt"_s, u"Extracto.rpt"_s, u"Resumen.rpt"_s}));
}

void TestAdmin::commandLine_data() {
    QTest::addColumn<QString>("args"); // split at blanks; DATOS stands for a temporary folder
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("--help") << u"--help"_s << 0 << u"velmora-admin init CARPETA_DE_DATOS [AÑO]"_s;
    QTest::newRow("orden desconocida") << u"borrar"_s << 2 << u"orden desconocida: «borrar»"_s;
    QTest::newRow("init sin carpeta") << u"init"_s << 2 << u"falta la carpeta de datos"_s;
    QTest::newRow("init sobra") << u"init DATOS 2024 x"_s << 2 << u"sobran argumentos: x"_s;
    QTest::newRow("demo sin instalación") << u"demo"_s << 1 << u"no hay instalación en"_s;
    // ano.ini holds the year on one line.
    QTest::newRow("año con salto de línea")
        << u"init DATOS 2024\n"_s << 2 << u"el año «2024\\n» no vale: no puede estar en blanco"_s;
    // The year window refuses it too: a hidden year is never listed again.
    QTest::newRow("año oculto") << u"init DATOS .oculto"_s << 2 << u"el año «.oculto» no vale"_s;
    // ruta.ini holds one line, and a path with control characters is a typing slip anyway.
    for (const char* control : {"\n", "\x7F"}) {
        QTest::addRow("carpeta con el carácter %d", int(*control))
            << u"init DATOS"_s + QLatin1String(control) + u"x 2024"_s << 2
            << u"la carpeta de datos no puede llevar caracteres de control, como saltos de línea "
               "o tabuladores"_s;
    }
    QTest::newRow("copies sobra") << u"copies 2024 x"_s << 2 << u"sobran argumentos: x"_s;
    QTest::newRow("copies año «..»")
        << u"copies .."_s << 2
        << u"el año «..» no vale: no es el nombre de una carpeta de la carpeta de datos"_s;
    QTest::newRow("restore-copy sin archivo")
        << u"restore-copy"_s << 2 << u"falta el archivo de la copia"_s;
    QTest::newRow("restore-copy sin instalación")
        << u"restore-copy DATOS"_s << 1 << u"no hay instalación en"_s;
    for (const char* count : {"0", "1000001"}) {
        QTest::addRow("demo «%s»", count) << u"demo "_s + QLatin1String(count) << 2
                                          << u"el número de apuntes «%1» no vale"_s.arg(count);
    }
}

void TestAdmin::commandLine() {
    QFETCH(QString, args);
    QFETCH(int, code);
    QFETCH(QString, message);
    QTemporaryDir tmp;
    const Outcome result = runAdmin(args.replace(u"DATOS"_s, tmp.filePath(u"datos"_s)), tmp.path());
    QCOMPARE(result.code, code);
    // Help on standard output, complaints on standard error; a wrong command line
    // also says where to find help.
    const QString& said = code == 0 ? result.out : result.err;
    QVERIFY2(said.contains(message), qPrintable(said));
    QCOMPARE(code == 0 ? result.err : result.out, QString());
    QCOMPARE(result.err.contains(u"velmora-admin --help"_s), code == 2);
    QCOMPARE(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
}

void TestAdmin::demo_data() {
    QTest::addColumn<bool>("ownAccounts");
    QTest::addColumn<QString>("said");
    QTest::newRow("año vacío") << false
                               << u"Añadidos 1.500 apuntes de ejemplo (del 1 al 1.500) y 40 "
                                  "cuentas nuevas al año 2024"_s;
    QTest::newRow("con cuentas y apuntes")
        << true << u"Añadidos 1.500 apuntes de ejemplo (del 8 al 1.507) y 38 cuentas nuevas"_s;
}

void TestAdmin::demo() {
    QFETCH(bool, ownAccounts);
    QFETCH(QString, said);
    test::TestLedger ledger(u"2024"_s);
    if (ownAccounts) {
        // Ours are "Banco" and "Tarjeta", both cash: the user's own spelling and kind
        // win, and movements the rule refuses for them are not generated.
        ledger.addAccount(u"BANCO"_s, u"C"_s);
        ledger.addAccount(u"tarjeta"_s, u"I"_s);
        ledger.addEntry(7, u"02/01/2024"_s, u"Saldo inicial"_s, u"BANCO"_s, u"BANCO"_s, 1000,
                        u"T"_s);
    }
    const Outcome result = runAdmin(u"demo 1500"_s, ledger.programFolder());
    QCOMPARE(result.code, 0);
    QVERIFY2(result.out.contains(said), qPrintable(result.out));

    // Numbered on from the largest number, none lost or taken twice.
    Database& db = ledger.db();
    QCOMPARE(number(db, "SELECT COUNT(DISTINCT Id) FROM apuntes"), 1500 + ownAccounts);
    QCOMPARE(number(db, "SELECT COUNT(*) FROM Contas WHERE conNom IN ('BANCO', 'tarjeta')"),
             ownAccounts ? 2 : 0);
    QCOMPARE(number(db, "SELECT COUNT(*) FROM apuntes WHERE SaleDe = 'BANCO'") > 1, ownAccounts);
    QCOMPARE(storedClasses(db), (QSet<QString>{u"I"_s, u"G"_s, u"T"_s}));
    // Dates inside the year from January to December, amounts in whole cents.
    QCOMPARE(number(db, "SELECT COUNT(*) FROM apuntes WHERE (Data LIKE '2024-%'"
                        " AND date(Data, '+0 days') = Data AND Importe > 0"
                        " AND round(Importe, 2) = Importe) IS NOT 1"),
             0);
    QCOMPARE(number(db, "SELECT COUNT(DISTINCT substr(Data, 6, 2)) FROM apuntes"), 12);
}

// velmora-admin once refused every year whose name is not four digits, ano.ini's
// too, though the year window makes such years: one rule holds for both. Their
// dates are those of today's calendar year, as in the main window.
void TestAdmin::yearsTheWindowNames_data() {
    test::addTextRows(
        "year", {{"a word", "Casa"}, {"with a space", "Casa vieja"}, {"two years", "2024-25"}});
}

void TestAdmin::yearsTheWindowNames() {
    QFETCH(QString, year);
    QTemporaryDir tmp;
    const Outcome init = runAdmin({u"init"_s, tmp.filePath(u"datos"_s), year}, tmp.path());
    QCOMPARE(init.code, 0);
    QVERIFY(QFileInfo(tmp.filePath(u"datos/"_s) + year + u"/Devedur.mdb"_s).isFile());

    test::TestLedger ledger(year); // as the year window leaves it, ano.ini naming it
    const Outcome demo = runAdmin(u"demo 10"_s, ledger.programFolder());
    QCOMPARE(demo.code, 0);
    QVERIFY2(demo.out.contains(u"al año "_s + year + u" en "_s), qPrintable(demo.out));
    const QString thisYear = QString::number(QDate::currentDate().year());
    Statement dated(ledger.db(), "SELECT COUNT(*) FROM apuntes WHERE substr(Data, 1, 4) = ?1",
                    "test");
    dated.bind(1, thisYear);
    QVERIFY(dated.step());
    QCOMPARE(dated.columnInt(0), 10);
    QCOMPARE(runAdmin(u"copies"_s, ledger.programFolder()).code, 0);
    const Outcome exported =
        runAdmin(u"export-csv FILE"_s, ledger.programFolder(), tmp.filePath(u"año.csv"_s));
    QCOMPARE(exported.code, 0);
    QVERIFY2(exported.out.startsWith(u"Exportados 10 apuntes"_s), qPrintable(exported.out));
}

void TestAdmin::copies() {
    test::TestLedger ledger(u"2024"_s);
    const SafetyCopies made(ledger.dataRoot(), u"2024"_s);
    // Written out of order: the listing goes by the time in the name.
    for (const char* at : {"2024-03-02T23:59:59", "2024-03-03T08:15:00", "2024-03-01T10:00:00"}) {
        made.write(ledger.db(), QDateTime::fromString(QLatin1String(at), Qt::ISODate));
    }
    const Outcome result = runAdmin(u"copies"_s, ledger.programFolder());
    QCOMPARE(result.code, 0);
    QCOMPARE(result.err, QString());
    // Each line: the time, the size and the path of a copy that is there.
    static const QRegularExpression line(u"^  (\\d\\d/\\d\\d/\\d{4} [\\d:]{8}) +\\d+ KB  (.+)$"_s,
                                         QRegularExpression::MultilineOption);
    QStringList times;
    for (const QRegularExpressionMatch& match : line.globalMatch(result.out)) {
        times << match.captured(1);
        QVERIFY2(QFileInfo(match.captured(2)).isFile(), qPrintable(result.out));
    }
    QCOMPARE(times, (QStringList{u"03/03/2024 08:15:00"_s, u"02/03/2024 23:59:59"_s,
                                 u"01/03/2024 10:00:00"_s}));

    const Outcome other = runAdmin(u"copies 2023"_s, ledger.programFolder());
    QCOMPARE(other.code, 0);
    QCOMPARE(other.out,
             u"No hay copias de seguridad automáticas del año 2023 en %1.\n"_s.arg(
                 QDir::toNativeSeparators(SafetyCopies(ledger.dataRoot(), u"2023"_s).folder())));
}

void TestAdmin::restoreCopy_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("reason"); // empty: the copy is restored
    const QString damaged = u"el archivo está dañado o no es una base de datos de contabilidad"_s;
    QTest::newRow("copia sana") << u"copy"_s << QString();
    // The damaged file is kept as it was, never offered as a copy to go back to.
    QTest::newRow("base de datos actual dañada") << u"copy, current damaged"_s << QString();
    QTest::newRow("páginas dañadas") << u"damaged pages"_s << u"está dañado"_s;
    QTest::newRow("no es una base de datos") << u"text"_s << damaged;
    QTest::newRow("programa abierto") << u"copy, program open"_s << u"el programa está abierto"_s;
    // The lock once stayed on the year the program started with, and the copy went
    // in under the running program.
    QTest::newRow("programa que ha pasado a ese año")
        << u"copy, program switched to 2025"_s << u"el programa está abierto con el año 2025"_s;
    // Each of these once put another year's ledger in place and said "Recuperada".
    QTest::newRow("copia de otro año")
        << u"copy of 2023"_s
        << u"es del año 2023 (según la carpeta de copias en la que está), no del año 2024"_s;
    QTest::newRow("copia de otro año en una unidad")
        << u"drive copy of 2023"_s
        << u"es del año 2023 (según el ano.ini que tiene al lado), no del año 2024"_s;
    QTest::newRow("base de datos de otro año")
        << u"ledger of 2023"_s
        << u"es del año 2023 (según la carpeta del año en la que está), no del año 2024"_s;
    QTest::newRow("apuntes de otros años")
        << u"loose file of 2022 and 2023"_s
        << u"sus apuntes son de los años 2022 y 2023, no del año 2024"_s;
    QTest::newRow("apuntes del año, en otra carpeta") << u"loose file of 2024"_s << QString();
    // Once this said that the copy could not be read.
    QTest::newRow("carpeta del año de solo lectura")
        << u"copy, read-only year folder"_s
        << u"no se puede copiar junto a la base de datos del año 2024 (no hay permiso para "
           "escribir en"_s;
}

namespace {

// Makes folder unwritable, as a read-only drive is, or writable again; false when
// the system cannot. Root writes past chmod, so the folder is made immutable too
// where the system lets it.
bool makeReadOnly(const QString& folder, bool readOnly) {
    QFile::setPermissions(folder, readOnly
                                      ? QFile::ReadOwner | QFile::ExeOwner
                                      : QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
        fd >= 0) {
        int flags = 0;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = readOnly ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        ::close(fd);
    }
    QFile probe(folder + u"/prueba"_s);
    const bool writable = probe.open(QIODevice::WriteOnly);
    probe.remove();
    return writable != readOnly;
}

// A ledger file at path with one entry on each of the days (yyyy-MM-dd).
void writeLedgerWithDates(const QString& path, const QStringList& days) {
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    Database db(path, Database::Mode::CreateIfMissing);
    createLedgerSchema(db);
    int64_t id = 0;
    for (const QString& day : days) {
        Statement insert(db, "INSERT INTO apuntes (Id, Data, Des, Importe) VALUES (?1, ?2, 'x', 1)",
                         "test");
        insert.bind(1, ++id).bind(2, day);
        insert.run();
    }
}

} // namespace

void TestAdmin::restoreCopy() {
    QFETCH(QString, chosen);
    QFETCH(QString, reason);
    test::TestLedger ledger(u"2024"_s);
    ledger.addEntry(1, u"02/01/2024"_s, u"Antes de la copia"_s, u"Banco"_s, u"Banco"_s, 10, u"T"_s);
    const SafetyCopies copies(ledger.dataRoot(), u"2024"_s);
    QString file = copies.write(ledger.db(), QDateTime(QDate(2024, 3, 1), QTime(10, 0)));
    ledger.addEntry(2, u"03/01/2024"_s, u"Después de la copia"_s, u"Banco"_s, u"Banco"_s, 20,
                    u"T"_s);
    QByteArray bytes = test::fileBytes(file);
    QTemporaryDir elsewhere;
    if (chosen == u"damaged pages"_s) {
        // The header stays, so the file still opens; the tables behind it do not read.
        bytes.replace(4096, 4096, QByteArray(4096, 'Z'));
        writeBytes(file, bytes);
    } else if (chosen == u"text"_s) {
        writeBytes(file, "Apuntes de enero\n");
    } else if (chosen == u"copy of 2023"_s) {
        file = SafetyCopies(ledger.dataRoot(), u"2023"_s)
                   .write(ledger.db(), QDateTime(QDate(2023, 3, 1), QTime(10, 0)));
    } else if (chosen == u"drive copy of 2023"_s) {
        file = elsewhere.filePath(u"Datos/Devedur.mdb"_s);
        writeBytes(file, bytes);
        writeBytes(elsewhere.filePath(u"Datos/ano.ini"_s), "2023\r\n");
    } else if (chosen == u"ledger of 2023"_s) {
        file = ledger.dataRoot() + u"/2023/Devedur.mdb"_s;
        writeBytes(file, bytes);
    } else if (chosen.startsWith(u"loose file of "_s)) {
        file = elsewhere.filePath(u"copia.mdb"_s);
        QStringList days;
        for (const QString& year : chosen.mid(14).split(u" and "_s)) {
            days << year + u"-06-01"_s;
        }
        writeLedgerWithDates(file, days);
    }
    QString target = ledger.databasePath();
    std::optional<SingleInstance> running;
    if (chosen.endsWith(u"program open"_s)) {
        running.emplace(ledger.databasePath());
        QVERIFY(running->acquire());
    } else if (chosen.endsWith(u"program switched to 2025"_s)) {
        YearDatabase(ledger.session()).create(u"2025"_s);
        target = ledger.session().databasePath();
    }
    if (chosen.endsWith(u"current damaged"_s)) {
        writeBytes(ledger.databasePath(), "Apuntes de enero\n");
    }
    const QString yearFolder = ledger.dataRoot() + u"/2024"_s;
    const auto writable = qScopeGuard([&] { makeReadOnly(yearFolder, false); });
    if (chosen.endsWith(u"read-only year folder"_s) && !makeReadOnly(yearFolder, true)) {
        QSKIP("this system cannot make a folder read-only for this user");
    }
    const QByteArray before = test::fileBytes(target);

    const Outcome result = runAdmin(u"restore-copy FILE"_s, ledger.programFolder(), file);
    if (!reason.isEmpty()) {
        QCOMPARE(result.code, 1);
        QVERIFY2(result.err.contains(reason), qPrintable(result.err));
        QVERIFY2(result.err.contains(u"no se ha cambiado"_s), qPrintable(result.err));
        QCOMPARE(test::fileBytes(target), before);
        QCOMPARE(copies.list().size(), 1); // and no copy made
        QCOMPARE(QDir(QFileInfo(target).absolutePath()).entryList(QDir::Files),
                 QStringList{u"Devedur.mdb"_s});
        return;
    }
    QCOMPARE(result.code, 0);
    QCOMPARE(result.err, QString());
    Database restored(ledger.databasePath());
    if (chosen == u"loose file of 2024"_s) {
        QCOMPARE(number(restored, "SELECT COUNT(*) FROM apuntes WHERE Data = '2024-06-01'"), 1);
        return;
    }
    QCOMPARE(number(restored, "SELECT COUNT(*) FROM apuntes WHERE Id = 1"), 1);
    QCOMPARE(number(restored, "SELECT COUNT(*) FROM apuntes"), 1);
    // The database it replaced was kept first, with the entry made after the copy.
    static const QRegularExpression keptAt(u"se ha guardado (?:antes|tal cual) en (.+)\\.\\n"_s);
    const QString kept = keptAt.match(result.out).captured(1);
    if (chosen.endsWith(u"current damaged"_s)) {
        QCOMPARE(test::fileBytes(kept), before);
        QCOMPARE(copies.list(), QStringList{file});
        return;
    }
    QCOMPARE(copies.list(), (QStringList{kept, file}));
    Database keptDb(kept);
    QCOMPARE(number(keptDb, "SELECT COUNT(*) FROM apuntes"), 2);
}

namespace {

void addEntry(test::TestLedger& ledger, qint64 id, const QString& date, const QString& description,
              const QString& into, const QString& outOf, double amount) {
    const QString movementClass =
        classifyMovement(accountKind(ledger.db(), into), accountKind(ledger.db(), outOf)).value();
    ledger.addEntry(id, date, description, into, outOf, amount, movementClass);
}

// The three kinds of account the exchange tests move money between and, unless
// `empty`, two purchases from the bank.
void fillExchange(test::TestLedger& ledger, bool empty = false) {
    ledger.addAccount(u"Banco"_s, u"C"_s);
    ledger.addAccount(u"Supermercado"_s, u"G"_s);
    ledger.addAccount(u"Nómina"_s, u"I"_s);
    if (!empty) {
        addEntry(ledger, 1, u"10/01/2024"_s, u"Mercadona"_s, u"Supermercado"_s, u"Banco"_s, 20);
        addEntry(ledger, 2, u"15/01/2024"_s, u"Compra semanal"_s, u"Supermercado"_s, u"Banco"_s,
                 45.12);
    }
}

int safetyCopies(const test::TestLedger& ledger) {
    return int(SafetyCopies(ledger.dataRoot(), ledger.year()).list().size());
}

// FILE, DB, COPY and ROOT in an expected text stand for the file imported, the
// year's database, the newest safety copy and the data folder. In one pass: a
// temporary folder's name may hold "DB" too.
QString withPaths(const QString& text, const QString& file, const test::TestLedger& ledger) {
    const QHash<QString, QString> paths{
        {u"FILE"_s, file},
        {u"DB"_s, ledger.databasePath()},
        {u"COPY"_s, SafetyCopies(ledger.dataRoot(), ledger.year()).list().value(0)},
        {u"ROOT"_s, ledger.dataRoot()}};
    static const QRegularExpression placeholder(u"FILE|DB|COPY|ROOT"_s);
    QString said;
    qsizetype from = 0;
    for (const QRegularExpressionMatch& match : placeholder.globalMatch(text)) {
        said += text.mid(from, match.capturedStart() - from) +
                QDir::toNativeSeparators(paths.value(match.captured()));
        from = match.capturedEnd();
    }
    return said + text.mid(from);
}

// A file with a duplicate of the ledger's purchase of the 15th, a new row, two
// rows of an account the year lacks and two refused rows.
const QByteArray kMixedCsv = "Fecha;Concepto;Entra en;Sale de;Importe\r\n"
                             "15/01/2024;Compra semanal;Supermercado;Banco;45,12\r\n"
                             "20/01/2024;Nómina enero;Banco;nómina;2.100,50\r\n"
                             "21/01/2024;Cuota;Gimnasio;Banco;30,00\r\n"
                             "22/01/2024;Cuota febrero;Gimnasio;Banco;30,00\r\n"
                             "31/02/2024;Fecha mala;Supermercado;Banco;1,00\r\n"
                             "\r\n"
                             "05/03/2023;Otro año;Supermercado;Banco;1,00\r\n";

// A January statement of the account "Banco": a supermarket the year already
// knows, a club it does not.
QByteArray januaryStatement() {
    test::n43::Statement s;
    s.open({.initial = 150000})
        .move({.date = "240115", .cents = -4512, .reference2 = u"MERCADONA 1234"_s})
        .move({.date = "240118", .cents = -3000, .reference2 = u"CUOTA CLUB PADEL"_s})
        .close()
        .end();
    return s.bytes();
}

} // namespace

// The year's entries from its first day to its last, oldest first; how amounts
// and texts travel, and that an import reads them back, has its own tests.
void TestAdmin::exportWritesTheYear() {
    test::TestLedger ledger;
    fillExchange(ledger, true);
    addEntry(ledger, 3, u"31/12/2024"_s, u"Fin de año"_s, u"Supermercado"_s, u"Banco"_s, 0.01);
    addEntry(ledger, 4, u"01/01/2024"_s, u"Herencia"_s, u"Banco"_s, u"Nómina"_s, 1500);
    // Another program wrote text where the amount goes: left out and named.
    addEntry(ledger, 7, u"11/01/2024"_s, u"Ilegible"_s, u"Supermercado"_s, u"Banco"_s, 1);
    Statement(ledger.db(), "UPDATE apuntes SET Importe = 'abc' WHERE Id = 7", "test").run();
    // Another year's entry stays out of the file.
    addEntry(ledger, 8, u"31/12/2023"_s, u"Año anterior"_s, u"Supermercado"_s, u"Banco"_s, 7);

    QTemporaryDir tmp;
    const QString file = tmp.filePath(u"apuntes.csv"_s);
    const Outcome exported = runAdmin(u"export-csv FILE"_s, ledger.programFolder(), file);
    QCOMPARE(exported.err, QString());
    QCOMPARE(exported.code, 0);
    QCOMPARE(exported.out,
             u"Exportados 2 apuntes a %1.\nNo se han exportado 1 apuntes cuyo importe no es un "
             "número (números 7); corríjalos en el programa y exporte de nuevo.\n"_s.arg(
                 QDir::toNativeSeparators(file)));
    QCOMPARE(test::fileBytes(file), "\xEF\xBB\xBF"
                                    "Fecha;Concepto;Entra en;Sale de;Importe\r\n"
                                    "01/01/2024;Herencia;Banco;Nómina;1500,00\r\n"
                                    "31/12/2024;Fin de año;Supermercado;Banco;0,01\r\n");
}

// "copies" with a pipe in place of ruta.ini once waited for a writer forever. The
// settings tests try each settings file; every command reads them alike.
void TestAdmin::settingsThatAreNoFiles() {
    test::TestLedger ledger;
    const QString path = ledger.programFolder() + u"/ruta.ini"_s;
    QVERIFY(QFile::remove(path));
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    QTemporaryDir scratch;
    for (const QString& command : {u"copies"_s, u"export-csv FILE"_s}) {
        const Outcome outcome =
            runAdmin(command, ledger.programFolder(), scratch.filePath(u"x.csv"_s));
        QCOMPARE(outcome.code, 1);
        QCOMPARE(outcome.err, u"velmora-admin: no se pueden leer los ajustes: %1 es una tubería, "
                              "no un archivo\n"_s.arg(path));
    }
    QVERIFY(!QFile::exists(scratch.filePath(u"x.csv"_s)));
}

void TestAdmin::exportNeverOverwritesTheProgramsFiles_data() {
    test::addHostileOutputRows();
}

// Once "export-csv DATA/2031/Devedur.mdb" said "Exportados … apuntes" and the
// year's ledger was CSV text from then on.
void TestAdmin::exportNeverOverwritesTheProgramsFiles() {
    QFETCH(QString, refusal);
    test::TestLedger ledger;
    QTemporaryDir scratch;
    const test::HostilePath target = test::hostileOutput(ledger, scratch.path());
    const QByteArray before = target.ownFile ? test::fileBytes(target.path) : QByteArray();
    const Outcome exported = runAdmin(u"export-csv FILE"_s, ledger.programFolder(), target.path);
    QCOMPARE(exported.code, 1);
    QCOMPARE(exported.out, QString());
    QVERIFY2(exported.err.startsWith(u"velmora-admin: no se exporta: "_s) &&
                 exported.err.contains(refusal) &&
                 exported.err.endsWith(u". No se ha escrito nada.\n"_s),
             qPrintable(exported.err));
    if (target.ownFile) {
        QCOMPARE(test::fileBytes(target.path), before);
    }
}

void TestAdmin::importFile_data() {
    QTest::addColumn<QByteArray>("bytes"); // null: no file at all
    QTest::addColumn<QString>("first");    // a command run before; empty: none
    QTest::addColumn<QString>("args");     // the command checked
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("added"); // the entries the year gained
    // Lines its report holds; on a failure, the one message on standard error, with
    // "..." where the reader's own reason follows (the reader's tests check it).
    QTest::addColumn<QStringList>("said");

    const QString skipped = u"Duplicados (el año ya tiene uno igual): 1; no se añaden (con "
                            "--allow-duplicates se añadirían)."_s;
    const QString dryRun = u"Solo vista previa (--dry-run): no se ha escrito nada."_s;
    const QString nothing = u"No hay apuntes que escribir; la base de datos no se ha cambiado."_s;
    const QString copy = u"Copia de seguridad guardada en COPY."_s;
    const QString salary = u"2024-01-20|Nómina enero|Banco|Nómina|210050|I"_s;
    const QString mercadona = u"2024-01-15|MERCADONA 1234|Supermercado|Banco|4512|G"_s;
    QTest::newRow("CSV, vista previa")
        << kMixedCsv << QString() << u"import-csv --dry-run --allow-duplicates FILE"_s << 0
        << QStringList{}
        << QStringList{
               u"Importación de FILE en el año 2024."_s,
               u"Formato detectado: CSV, separador punto y coma, decimales con coma, fechas "
               "dd/mm/aaaa."_s,
               u"Apuntes para añadir: 2"_s,
               u"Duplicados (el año ya tiene uno igual): 1; se añaden igualmente "
               "(--allow-duplicates)."_s,
               u"Filas rechazadas: 2"_s,
               u"  línea 6: la fecha 31/02/2024 no existe"_s,
               u"  línea 8: la fecha 05/03/2023 no es del año 2024"_s,
               u"Cuentas que el año no tiene: 1"_s,
               u"  «Gimnasio»: 2 filas"_s,
               u"Las filas que las nombran no se importan: cree esas cuentas en el programa "
               "(Opciones, Cuentas, Nuevo), con su tipo, y repita la orden; los apuntes ya "
               "importados saldrán como duplicados."_s,
               dryRun};
    QTest::newRow("CSV, salta el duplicado")
        << kMixedCsv << QString() << u"import-csv FILE"_s << 0 << QStringList{salary}
        << QStringList{u"Apuntes para añadir: 1"_s, skipped, copy,
                       u"Escritos 1 apuntes en el año 2024 (DB)."_s};
    QTest::newRow("CSV, con duplicados")
        << kMixedCsv << QString() << u"import-csv --allow-duplicates FILE"_s << 0
        << QStringList{u"2024-01-15|Compra semanal|Supermercado|Banco|4512|G"_s, salary}
        << QStringList{u"Escritos 2 apuntes en el año 2024 (DB)."_s};
    QTest::newRow("N43, cuenta en minúsculas, delante del año")
        << januaryStatement() << QString() << u"import-n43 --account=banco --year 2024 FILE"_s << 0
        << QStringList{mercadona}
        << QStringList{
               u"Importación de FILE en el año 2024, cuenta «Banco»."_s,
               u"Formato detectado: Norma 43 (cuaderno 43), 1 cuenta del banco."_s,
               u"  0049 1500 0512345678: 2 movimientos del 01/01/2024 al 31/01/2024"_s,
               u"Apuntes para añadir: 1"_s,
               u"Movimientos sin cuenta propuesta, que no se importan: 1"_s,
               u"  línea 3: sin cuenta propuesta: CUOTA CLUB PADEL -30,00"_s,
               u"Apúntelos en el programa; las importaciones siguientes propondrán la cuenta que "
               "usen."_s,
               copy,
               u"Escritos 1 apuntes en el año 2024 (DB)."_s};
    QTest::newRow("N43, dos veces")
        << januaryStatement() << u"import-n43 --account Banco FILE"_s
        << u"import-n43 --account Banco FILE"_s << 0 << QStringList{mercadona}
        << QStringList{u"Apuntes para añadir: 0"_s, skipped, nothing};
    // import-n43 suggested --allow-duplicates and then refused it as unknown.
    QTest::newRow("N43, dos veces, con duplicados")
        << januaryStatement() << u"import-n43 --account Banco FILE"_s
        << u"import-n43 --allow-duplicates --account Banco FILE"_s << 0
        << QStringList{mercadona, mercadona}
        << QStringList{u"Apuntes para añadir: 1"_s,
                       u"Duplicados (el año ya tiene uno igual): 1; se añaden igualmente "
                       "(--allow-duplicates)."_s};
    // Once every refused line was printed, a million of them for a file of bad lines.
    QTest::newRow("CSV, más de mil filas rechazadas")
        << QByteArray("Fecha;Concepto;Entra en;Sale de;Importe\r\n") +
               QByteArray("31/02/2024;Fecha mala;Supermercado;Banco;1,00\r\n").repeated(1005)
        << QString() << u"import-csv --dry-run FILE"_s << 0 << QStringList{}
        << QStringList{u"Filas rechazadas: 1.005"_s,
                       u"  línea 1.001: la fecha 31/02/2024 no existe"_s, u"  … y 5 más"_s};
    // A file's text reached the terminal as it was: an escape sequence in it could
    // clear the screen or retitle the window, a NUL cut the line.
    test::n43::Statement escapes;
    escapes.open()
        .move({.cents = -3000, .reference2 = QString::fromLatin1("\x1B[2JBORRA\x07")})
        .complement(QString::fromLatin1("NUL\0AQUI", 8))
        .close()
        .end();
    QTest::newRow("N43, vista previa, con escapes")
        << escapes.bytes() << QString() << u"import-n43 --dry-run --account Banco FILE"_s << 0
        << QStringList{}
        << QStringList{u"  línea 2: sin cuenta propuesta: NUL\\x00AQUI \\x1B[2JBORRA\\x07 -30,00"_s,
                       dryRun};
    QTest::newRow("CSV, con escapes")
        << QByteArray("Fecha;Concepto;Entra en;Sale de;Importe\r\n"
                      "15/01/2024;Compra;\x1B]2 titulo\x07;Banco;1,00\r\n"
                      "16/01/2024\x1B[31m;Compra;Supermercado;Banco;1,00\r\n")
        << QString() << u"import-csv --dry-run FILE"_s << 0 << QStringList{}
        << QStringList{u"  «\\x1B]2 titulo\\x07»: 1 fila"_s,
                       u"  línea 3: la fecha «16/01/2024\\x1B[31m» no es válida; se esperaba "
                       "dd/mm/aaaa"_s};

    // A bank's own CSV: the purchase finds its account, the club fee does not, and
    // the bank's balance parts from ours where the fee is missing.
    const QByteArray bankFile = "Extracto de movimientos\r\n"
                                "Fecha;Concepto;Importe;Saldo\r\n"
                                "17/01/2024;MERCADONA CENTRO;-30,00;-95,12\r\n"
                                "20/01/2024;CUOTA PADEL;-15,00;-110,12\r\n";
    QTest::newRow("banco, CSV con cabecera abajo")
        << bankFile << QString() << u"import-bank --account banco FILE"_s << 0
        << QStringList{u"2024-01-17|MERCADONA CENTRO|Supermercado|Banco|3000|G"_s}
        << QStringList{
               u"Importación de FILE en el año 2024, cuenta «Banco»."_s,
               u"Formato detectado: CSV del banco, separador punto y coma, cabecera en la línea "
               "2: «Fecha» como fecha, «Concepto» como concepto, «Importe» como importe, "
               "«Saldo» como saldo."_s,
               u"Movimientos leídos: 2, del 17/01/2024 al 20/01/2024."_s,
               u"Apuntes para añadir: 1"_s,
               u"  línea 3: 17/01/2024 MERCADONA CENTRO -30,00 a «Supermercado» (como "
               "«Mercadona» del 10/01/2024)"_s,
               u"Movimientos sin cuenta propuesta, que no se importan: 1"_s,
               u"  línea 4: sin cuenta propuesta: CUOTA PADEL -15,00"_s,
               u"Saldo de Banco antes del 17/01/2024: banco -65,12, Velmora -65,12: coinciden. "
               "Después de importar, al 20/01/2024: banco -110,12, Velmora -95,12: difieren en "
               "15,00. Dejan de coincidir el 20/01/2024 (línea 4)."_s,
               copy,
               u"Escritos 1 apuntes en el año 2024 (DB)."_s};
    QTest::newRow("banco, dos veces")
        << bankFile << u"import-bank --account Banco FILE"_s
        << u"import-bank --dry-run --account Banco FILE"_s << 0
        << QStringList{u"2024-01-17|MERCADONA CENTRO|Supermercado|Banco|3000|G"_s}
        << QStringList{u"  línea 3: 17/01/2024 MERCADONA CENTRO -30,00 a «Supermercado» (como "
                       "«MERCADONA CENTRO» del 17/01/2024), ya está"_s,
                       skipped, dryRun};

    // The same movements as the bank's workbook: dates as serials, amounts as
    // numbers.
    test::XlsxBook book;
    book.grid = {{u"'Extracto de movimientos"_s},
                 {u"Fecha"_s, u"Concepto"_s, u"Importe"_s, u"Saldo"_s},
                 {u"45308"_s, u"MERCADONA CENTRO"_s, u"-30"_s, u"-95.12"_s},
                 {u"45311"_s, u"CUOTA PADEL"_s, u"-15"_s, u"-110.12"_s}};
    QTest::newRow("banco, hoja .xlsx")
        << test::xlsxBytes(book) << QString() << u"import-bank --dry-run --account Banco FILE"_s
        << 0 << QStringList{}
        << QStringList{
               u"Formato detectado: hoja de cálculo .xlsx, cabecera en la línea 2: «Fecha» como "
               "fecha, «Concepto» como concepto, «Importe» como importe, «Saldo» como saldo."_s,
               u"  línea 3: 17/01/2024 MERCADONA CENTRO -30,00 a «Supermercado» (como "
               "«Mercadona» del 10/01/2024)"_s,
               u"Saldo de Banco antes del 17/01/2024: banco -65,12, Velmora -65,12: coinciden. "
               "Después de importar, al 20/01/2024: banco -110,12, Velmora -95,12: difieren en "
               "15,00. Dejan de coincidir el 20/01/2024 (línea 4)."_s,
               dryRun};

    test::n43::Statement wrongTotals;
    wrongTotals.open()
        .move({.cents = -4512, .reference2 = u"MERCADONA"_s})
        .close({.debits = 4513})
        .end();
    const QString usage = u"\nUse «velmora-admin --help» para ver cómo se usa."_s;
    const auto refused = [](const char* name, const QString& args, const QByteArray& bytes,
                            int code, const QString& message) {
        QTest::newRow(name) << bytes << QString() << args << code << QStringList{}
                            << QStringList{message};
    };
    refused("sin cabecera", u"import-csv FILE"_s, "15/01/2024;Compra;Supermercado;Banco;1,00\r\n",
            1, u"no se puede importar FILE: ..."_s);
    refused("extracto como CSV", u"import-csv FILE"_s, januaryStatement(), 1,
            u"FILE es un extracto bancario en Norma 43; impórtelo con «velmora-admin import-n43 "
            "--account CUENTA FILE». No se ha escrito nada."_s);
    refused("totales que no cuadran", u"import-n43 --account Banco FILE"_s, wrongTotals.bytes(), 1,
            u"no se puede importar FILE como extracto Norma 43: línea 3: ..."_s);
    refused("cuenta que no existe", u"import-n43 --account Hucha FILE"_s, januaryStatement(), 1,
            u"el año 2024 no tiene la cuenta «Hucha». Créela en el programa (Opciones, Cuentas, "
            "Nuevo) o nombre en --account una que exista. No se ha escrito nada."_s);
    refused("año sin base de datos", u"import-csv --year 2023 FILE"_s, kMixedCsv, 1,
            u"no existe la base de datos del año 2023: ROOT/2023/Devedur.mdb"_s);
    refused("falta --account", u"import-n43 FILE"_s, januaryStatement(), 2,
            u"falta --account CUENTA: la cuenta del año que es la del banco"_s + usage);
    refused("banco sin --account", u"import-bank FILE"_s, bankFile, 2,
            u"falta --account CUENTA: la cuenta del año en la que se importan los movimientos "
            "del banco"_s +
                usage);
    refused("banco, un extracto Norma 43", u"import-bank --account Banco FILE"_s,
            januaryStatement(), 1,
            u"FILE es un extracto bancario en Norma 43; impórtelo con «velmora-admin import-n43 "
            "--account CUENTA FILE». No se ha escrito nada."_s);
    refused("banco sin cabecera", u"import-bank --account Banco FILE"_s,
            "Movimientos\r\n17/01/2024;COMPRA;-30,00\r\n", 1,
            u"no se puede importar FILE: no se encuentra la fila de cabecera: ..."_s);
    refused("banco, cuenta que no existe", u"import-bank --account Hucha FILE"_s, bankFile, 1,
            u"el año 2024 no tiene la cuenta «Hucha». Créela en el programa (Opciones, Cuentas, "
            "Nuevo) o nombre en --account una que exista. No se ha escrito nada."_s);
    refused("opción de otra orden", u"export-csv --dry-run FILE"_s, QByteArray(), 2,
            u"opción desconocida: «--dry-run»"_s + usage);
    refused("dos archivos", u"import-csv FILE otro.csv"_s, kMixedCsv, 2,
            u"sobran argumentos: otro.csv"_s + usage);
}

void TestAdmin::importFile() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, first);
    QFETCH(QString, args);
    QFETCH(QStringList, added);
    QFETCH(QStringList, said);
    test::TestLedger ledger;
    fillExchange(ledger);
    const QStringList before = test::entryLines(ledger.db(), "Data, Id");
    const QByteArray databaseBytes = test::fileBytes(ledger.databasePath());
    QTemporaryDir tmp;
    const QString file = tmp.filePath(u"movimientos"_s);
    if (!bytes.isNull()) {
        writeBytes(file, bytes);
    }
    // Each run that writes keeps a safety copy of the year first.
    int writes = 0;
    if (!first.isEmpty()) {
        const Outcome earlier = runAdmin(first, ledger.programFolder(), file);
        QCOMPARE(earlier.code, 0);
        writes += earlier.out.contains(u"\nEscritos "_s);
    }
    const Outcome result = runAdmin(args, ledger.programFolder(), file);
    writes += result.out.contains(u"\nEscritos "_s);
    QTEST(result.code, "code");
    QVERIFY(std::none_of(result.out.cbegin(), result.out.cend(),
                         [](QChar c) { return c.unicode() < 0x20 && c != u'\n'; }));
    if (result.code == 0) {
        QCOMPARE(result.err, QString());
        const QStringList lines = result.out.split(u'\n');
        for (const QString& line : said) {
            QVERIFY2(lines.contains(withPaths(line, file, ledger)), qPrintable(result.out));
        }
    } else {
        QCOMPARE(result.out, QString());
        const QString message = u"velmora-admin: "_s + withPaths(said.value(0), file, ledger);
        if (message.endsWith(u"..."_s)) {
            QVERIFY2(result.err.startsWith(message.chopped(3)), qPrintable(result.err));
            QVERIFY(result.err.endsWith(u". No se ha escrito nada.\n"_s));
        } else {
            QCOMPARE(result.err, message + u'\n');
        }
        QCOMPARE(test::fileBytes(ledger.databasePath()), databaseBytes);
    }
    // Under the names the year gives its accounts; the unknown account's never.
    QCOMPARE(test::entryLines(ledger.db(), "Data, Id"), before + added);
    QCOMPARE(safetyCopies(ledger), writes);
    QCOMPARE(writes > 0, !added.isEmpty());
}

void TestAdmin::readsOnlyRegularFiles_data() {
    test::addHostileInputRows(kLargestImportFile);
}

// A pipe named as the file kept a command waiting, restore-copy called a folder a
// missing file, and an import of a gigabyte ended with "error inesperado:
// std::bad_alloc": only a regular file is read, and an import only of a sane size.
void TestAdmin::readsOnlyRegularFiles() {
    QFETCH(QString, refusal);
    test::TestLedger ledger;
    fillExchange(ledger);
    const QByteArray databaseBytes = test::fileBytes(ledger.databasePath());
    QTemporaryDir scratch;
    const QString path = test::hostileInput(scratch.path(), kLargestImportFile).path;
    const QString untouched =
        u". La base de datos %1 no se ha cambiado.\n"_s.arg(ledger.databasePath());
    for (const QString& command :
         {u"import-csv FILE"_s, u"import-n43 --account Banco --dry-run FILE"_s,
          u"restore-copy FILE"_s}) {
        const bool restore = command.startsWith(u"restore"_s);
        if (restore && QFileInfo(path).size() > kLargestImportFile) {
            continue; // a year's ledger may be of any size
        }
        const Outcome result = runAdmin(command, ledger.programFolder(), path);
        QCOMPARE(result.code, 1);
        QCOMPARE(result.out, QString());
        QVERIFY2(result.err.startsWith(restore ? u"velmora-admin: "_s
                                               : u"velmora-admin: no se importa: "_s) &&
                     result.err.contains(refusal) &&
                     result.err.endsWith(restore ? untouched : u". No se ha escrito nada.\n"_s),
                 qPrintable(result.err));
    }
    QCOMPARE(test::fileBytes(ledger.databasePath()), databaseBytes);
}

namespace {

// Output that fails as an allocation would, once: what a command prints last
// (its preview) is where a large import ran out of memory.
class NoMemoryDevice : public QIODevice {
public:
    NoMemoryDevice() { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override {
        if (!failed_) {
            failed_ = true;
            throw std::bad_alloc();
        }
        return size;
    }

private:
    bool failed_ = false;
};

} // namespace

// It ended with "error inesperado: std::bad_alloc", the engine's words. The
// preview of a thousand refused lines is where it runs out here, before a write.
void TestAdmin::noMemoryLeftIsToldInSpanish() {
    test::TestLedger ledger;
    fillExchange(ledger);
    const QByteArray databaseBytes = test::fileBytes(ledger.databasePath());
    QTemporaryDir tmp;
    const QString file = tmp.filePath(u"movimientos"_s);
    QByteArray bytes = "Fecha;Concepto;Entra en;Sale de;Importe\r\n";
    bytes += QByteArray("31/02/2024;Fecha mala;Supermercado;Banco;1,00\r\n").repeated(1000);
    bytes += "20/01/2024;Nómina enero;Banco;Nómina;2.100,50\r\n";
    writeBytes(file, bytes);
    NoMemoryDevice device;
    QTextStream out(&device);
    QString said;
    QTextStream err(&said);
    const int code = admin::runAdmin({u"import-csv"_s, file}, ledger.programFolder(), out, err);
    err.flush();
    QCOMPARE(code, 1);
    QCOMPARE(said,
             u"velmora-admin: no queda memoria libre para leer %1; no se ha escrito nada.\n"_s.arg(
                 QDir::toNativeSeparators(file)));
    QCOMPARE(test::fileBytes(ledger.databasePath()), databaseBytes);
    QCOMPARE(safetyCopies(ledger), 0);
}

void TestAdmin::carryOver_data() {
    QTest::addColumn<QString>("args");
    QTest::addColumn<bool>("late");        // a late entry in 2024 after 2025 was made from it
    QTest::addColumn<QString>("breakOld"); // "", "missing", "forget origin"
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("out"); // lines the output holds
    QTest::addColumn<QString>("err");     // what the complaint holds
    const QStringList taken{u"Saldos iniciales del año 2025, tomados del año 2024 a 31/12/2024:"_s,
                            u"  Banco: 1.900,00 → 1.860,00"_s, u"Cambiados 1 saldos iniciales."_s};
    QTest::newRow("late entry") << u"carry-over"_s << true << QString() << 0 << taken << QString();
    QTest::newRow("named year") << u"carry-over --year 2025"_s << true << QString() << 0 << taken
                                << QString();
    QTest::newRow("nothing to change")
        << u"carry-over"_s << false << QString() << 0
        << QStringList{u"  Banco: 1.900,00 (sin cambios)"_s,
                       u"Los saldos iniciales ya son esos. No se ha cambiado nada."_s}
        << QString();
    QTest::newRow("previous year missing")
        << u"carry-over"_s << true << u"missing"_s << 1 << QStringList()
        << u"No existe el año 2024, del que se toman los saldos iniciales del año 2025. No se ha "
           "cambiado nada."_s;
    QTest::newRow("no previous year") << u"carry-over --year 2024"_s << false << QString() << 1
                                      << QStringList() << u"No existe el año 2023"_s;
    QTest::newRow("year missing") << u"carry-over --year 2030"_s << false << QString() << 1
                                  << QStringList() << u"no existe la base de datos del año 2030"_s;
    QTest::newRow("--year without a year") << u"carry-over --year"_s << false << QString() << 2
                                           << QStringList() << u"falta el año después de --year"_s;
    QTest::newRow("year outside the data root")
        << u"carry-over --year ../2025"_s << false << QString() << 2 << QStringList()
        << u"el año «../2025» no vale"_s;
    QTest::newRow("extra argument") << u"carry-over 2025"_s << false << QString() << 2
                                    << QStringList() << u"sobran argumentos: 2025"_s;
}

void TestAdmin::carryOver() {
    QFETCH(QString, args);
    QFETCH(bool, late);
    QFETCH(QString, breakOld);
    QFETCH(int, code);
    QFETCH(QStringList, out);
    QFETCH(QString, err);
    test::TestLedger ledger;
    ledger.addAccount(u"Banco"_s, u"C"_s);
    ledger.addAccount(u"Nómina"_s, u"I"_s);
    ledger.addAccount(u"Luz"_s, u"G"_s);
    ledger.addEntry(1, u"10/01/2024"_s, u"Sueldo"_s, u"Banco"_s, u"Nómina"_s, 1900, u"I"_s);
    YearDatabase(ledger.session()).create(u"2025"_s, ledger.state().newYearStep);
    const QString oldFile = ledger.dataRoot() + u"/2024/Devedur.mdb"_s;
    if (late) {
        Database old(oldFile);
        old.exec("INSERT INTO apuntes (Id, Data, Des, EntraEn, SaleDe, Importe, GoI)"
                 " VALUES (2, '2024-12-28', 'Recibo', 'Luz', 'Banco', 40, 'G')",
                 "test");
    }
    if (breakOld == u"missing"_s) {
        QVERIFY(QFile::remove(oldFile));
    }
    const Outcome result = runAdmin(args, ledger.programFolder());
    QVERIFY(printedAsExpected(result, code, out, err));
    const qint64 expected = code == 0 && late ? 186000 : 190000;
    QCOMPARE(openingBalance(ledger.db(), u"Banco"_s), expected);
}

void TestAdmin::receipts_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("runs");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("out"); // lines the last run prints, among others
    QTest::addColumn<QString>("err");
    QTest::addColumn<int>("entries");
    const QString rent =
        u"  01/01/2024  Alquiler (entra en Alquiler, sale de Banco): importe variable, se apunta "
        "desde el programa"_s;
    QTest::newRow("dry run") << QStringList{u"receipts"_s, u"--until"_s, u"31/03/2024"_s,
                                            u"--dry-run"_s}
                             << 1 << 0
                             << QStringList{u"Recibos pendientes del año 2024 hasta el "
                                            "31/03/2024: 6"_s,
                                            rent,
                                            u"  29/02/2024  Recibo de la luz (entra en Luz, sale "
                                            "de Banco): 45,30"_s,
                                            u"Solo vista previa (--dry-run): no se ha escrito "
                                            "nada."_s}
                             << QString() << 0;
    QTest::newRow("written") << QStringList{u"receipts"_s, u"--until=31/03/2024"_s} << 1 << 0
                             << QStringList{u"Apuntados 3 recibos en el año 2024."_s} << QString()
                             << 3;
    // A scheduled job runs it every day: each due date is written once.
    QTest::newRow("run twice") << QStringList{u"receipts"_s, u"--until"_s, u"31/03/2024"_s} << 2
                               << 0
                               << QStringList{u"Recibos pendientes del año 2024 hasta el "
                                              "31/03/2024: 3"_s,
                                              u"No hay recibos que apuntar; la base de datos no "
                                              "se ha cambiado."_s}
                               << QString() << 3;
    // The year's file takes its own year's receipts only; 2024 is over.
    QTest::newRow("past the year's end")
        << QStringList{u"receipts"_s, u"--year"_s, u"2024"_s, u"--until"_s, u"15/02/2025"_s} << 1
        << 0 << QStringList{u"Apuntados 12 recibos en el año 2024."_s} << QString() << 12;
    QTest::newRow("the year over")
        << QStringList{u"receipts"_s} << 1 << 0
        << QStringList{u"Apuntados 12 recibos en el año 2024."_s} << QString() << 12;
    QTest::newRow("no such date") << QStringList{u"receipts"_s, u"--until"_s, u"31/02/2024"_s} << 1
                                  << 2 << QStringList{}
                                  << u"la fecha «31/02/2024» no vale: escríbala como DD/MM/AAAA"_s
                                  << 0;
    QTest::newRow("unknown option") << QStringList{u"receipts"_s, u"--all"_s} << 1 << 2
                                    << QStringList{} << u"opción desconocida: «--all»"_s << 0;
    QTest::newRow("no such year") << QStringList{u"receipts"_s, u"--year"_s, u"2031"_s} << 1 << 1
                                  << QStringList{} << u"2031"_s << 0;
}

void TestAdmin::receipts() {
    QFETCH(QStringList, args);
    QFETCH(int, runs);
    QFETCH(int, code);
    QFETCH(QStringList, out);
    QFETCH(QString, err);
    QFETCH(int, entries);
    test::TestLedger ledger;
    ledger.addAccount(u"Banco"_s, u"C"_s);
    ledger.addAccount(u"Alquiler"_s, u"G"_s);
    ledger.addAccount(u"Luz"_s, u"G"_s);
    saveReceipt(ledger.db(), {0,
                              u"Alquiler"_s,
                              u"Alquiler"_s,
                              u"Banco"_s,
                              std::nullopt,
                              {1, 1, QDate(2024, 1, 1), QDate()}});
    saveReceipt(ledger.db(), {0,
                              u"Recibo de la luz"_s,
                              u"Luz"_s,
                              u"Banco"_s,
                              qint64(4530),
                              {1, 31, QDate(2024, 1, 1), QDate()}});
    Outcome result;
    for (int run = 0; run < runs; ++run) {
        result = runAdmin(args, ledger.programFolder());
    }
    QVERIFY(printedAsExpected(result, code, out, err));
    QCOMPARE(ledger.countEntries(), entries);
}

QTEST_GUILESS_MAIN(TestAdmin)
#include "tst_admin.moc"
