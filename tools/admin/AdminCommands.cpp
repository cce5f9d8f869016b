#include "admin/AdminCommands.h"

#include "demo/DemoLedger.h"
#include "entries/EntryList.h"
#include "exchange/AccountProposals.h"
#include "exchange/Csv.h"
#include "exchange/CsvExport.h"
#include "exchange/ImportPlan.h"
#include "exchange/Norma43.h"
#include "startup/AppState.h"
#include "startup/Installation.h"
#include "startup/Settings.h"
#include "startup/SingleInstance.h"
#include "state/PathGate.h"
#include "store/AccountStore.h"
#include "store/Amount.h"
#include "store/DatabaseFiles.h"
#include "store/DbErrorText.h"
#include "store/Schema.h"
#include "store/SpanishText.h"
#include "store/Sqlite.h"
#include "ui/Formats.h"
#include "years/CopyYear.h"
#include "years/SafetyCopies.h"
#include "years/YearFolders.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <sqlite3.h>

#include <algorithm>
#include <exception>
#include <functional>
#include <limits>
#include <new>
#include <optional>

namespace velmora::admin {

namespace {

const QString kProgram = QStringLiteral("velmora-admin");

int badUsage(QTextStream& err, const QString& message) {
    err << kProgram << ": " << message << '\n'
        << "Use «" << kProgram << " --help» para ver cómo se usa.\n";
    err.flush();
    return BadUsage;
}

int failure(QTextStream& err, const QString& message) {
    err << kProgram << ": " << message << '\n';
    err.flush();
    return Failure;
}

// Text that came from a file or a ledger, fit for a terminal: a control
// character could move the cursor, clear the screen or cut the line, so each is
// shown as its escape instead ("\n", "\x1B").
QString printable(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code >= 0x20 && code != 0x7F && !(code >= 0x80 && code < 0xA0)) {
            shown.append(c);
        } else if (code == '\n') {
            shown.append(QLatin1String("\\n"));
        } else if (code == '\r') {
            shown.append(QLatin1String("\\r"));
        } else if (code == '\t') {
            shown.append(QLatin1String("\\t"));
        } else {
            shown.append(QLatin1String("\\x") +
                         QString::number(int(code), 16).toUpper().rightJustified(2, u'0'));
        }
    }
    return shown;
}

QString extraArguments(const QStringList& args, qsizetype from) {
    return QStringLiteral("sobran argumentos: %1").arg(args.mid(from).join(QLatin1Char(' ')));
}

// Year names follow the year window's rules: a new year's name is one the window
// would create, an existing year's one that names a folder of the data root.
QString newYearRefusal(const QString& year) {
    return QStringLiteral("el año «%1» no vale: no puede estar en blanco, empezar por un punto, "
                          "llevar espacios delante o detrás, barras ni caracteres de control")
        .arg(printable(year));
}

QString yearArgumentRefusal(const QString& year) {
    return QStringLiteral("el año «%1» no vale: no es el nombre de una carpeta de la carpeta de "
                          "datos")
        .arg(printable(year));
}

QString yearFileRefusal(const QString& year) {
    return QStringLiteral("el año de ano.ini («%1») no es el nombre de una carpeta de la carpeta "
                          "de datos")
        .arg(printable(year));
}

std::optional<int> parseEntryCount(const QString& text) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,7}$"));
    if (!digits.match(text).hasMatch()) {
        return std::nullopt;
    }
    const int value = text.toInt();
    if (value < 1 || value > kMaxDemoEntries) {
        return std::nullopt;
    }
    return value;
}

qint64 queryNumber(Database& db, const char* sql) {
    Statement query(db, sql, "contar los datos");
    query.step();
    return query.columnInt(0);
}

int runInit(const QStringList& args, const QString& programFolder, QTextStream& out,
            QTextStream& err) {
    QStringList operands = args.mid(1);
    const bool force = operands.removeAll(QStringLiteral("--force")) > 0;
    if (operands.isEmpty() || operands[0].trimmed().isEmpty()) {
        return badUsage(err, QStringLiteral("falta la carpeta de datos"));
    }
    // ruta.ini holds the folder on one line; a newline there would cut it short.
    const auto isControl = [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; };
    if (std::any_of(operands[0].cbegin(), operands[0].cend(), isControl)) {
        return badUsage(err, QStringLiteral("la carpeta de datos no puede llevar caracteres de "
                                            "control, como saltos de línea o tabuladores"));
    }
    if (operands[0].startsWith(QLatin1Char('-'))) {
        return badUsage(err, QStringLiteral("opción desconocida: «%1»").arg(operands[0]));
    }
    if (operands.size() > 2) {
        return badUsage(err, extraArguments(operands, 2));
    }
    const QString year =
        operands.size() == 2 ? operands[1] : QString::number(QDate::currentDate().year());
    if (refusalOf(year)) {
        return badUsage(err, newYearRefusal(year));
    }

    const QString dataRoot = QDir::cleanPath(QDir(operands[0]).absolutePath());
    const QString databasePath = databasePathFor(dataRoot, year);

    // Checked before anything is written: a second init must not cost anyone a year.
    if (QFileInfo::exists(databasePath)) {
        return failure(err, QStringLiteral("ya existe la base de datos %1; no se ha cambiado "
                                           "nada (nunca se sustituye una base de datos)")
                                .arg(QDir::toNativeSeparators(databasePath)));
    }
    // Nor an installation that works: the user would find an empty year and think
    // the entries lost. A ledger that is gone leaves nothing to keep.
    const SettingsFiles settings(programFolder);
    const QString currentRoot = settings.readDataRoot();
    const QString currentYear = settings.readYear();
    if (!force && !currentRoot.isEmpty() && !currentYear.isEmpty()) {
        const QFileInfo inUse(databasePathFor(currentRoot, currentYear));
        if (inUse.isFile()) {
            return failure(
                err, QStringLiteral("la instalación ya usa la base de datos %1 y pasaría a usar "
                                    "%2. No se ha cambiado nada. Para seguir de todos modos, "
                                    "repita la orden con --force; la base de datos actual no "
                                    "se borra.")
                         .arg(QDir::toNativeSeparators(inUse.absoluteFilePath()),
                              QDir::toNativeSeparators(databasePath)));
        }
    }

    InstalledYear installed;
    try {
        installed = installYear(programFolder, dataRoot, year);
    } catch (const InstallationError& error) {
        return failure(err, error.message());
    }

    out << "Instalación preparada.\n"
        << "  Carpeta de datos: " << QDir::toNativeSeparators(dataRoot) << '\n'
        << "  Año: " << year << '\n'
        << "  Base de datos: " << QDir::toNativeSeparators(databasePath) << '\n'
        << "  Informe: " << QDir::toNativeSeparators(installed.reportPath)
        << (installed.reportWritten ? "" : " (ya existía; se conserva)") << '\n'
        << "  Ajustes en: " << QDir::toNativeSeparators(programFolder) << '\n';
    out.flush();
    return Success;
}

// The year a command works on when the command line names none: ano.ini's.
// Complains and gives nothing when there is no installation to work on.
struct Installed {
    QString dataRoot;
    QString year;
};

std::optional<Installed> readInstallation(const QString& programFolder, QTextStream& err) {
    const SettingsFiles settings(programFolder);
    Installed found{settings.readDataRoot(), settings.readYear()};
    if (!settings.problems().isEmpty()) {
        failure(err, QStringLiteral("no se pueden leer los ajustes: %1")
                         .arg(settings.problems().join(QStringLiteral("; "))));
        return std::nullopt;
    }
    if (found.dataRoot.isEmpty() || found.year.isEmpty()) {
        failure(err, QStringLiteral("no hay instalación en %1: faltan ruta.ini o ano.ini. "
                                    "Prepárela antes con «%2 init CARPETA_DE_DATOS».")
                         .arg(QDir::toNativeSeparators(programFolder), kProgram));
        return std::nullopt;
    }
    if (!namesYearFolder(found.year)) {
        failure(err, yearFileRefusal(found.year));
        return std::nullopt;
    }
    return found;
}

int runDemo(const QStringList& args, const QString& programFolder, QTextStream& out,
            QTextStream& err) {
    if (args.size() > 2) {
        return badUsage(err, extraArguments(args, 2));
    }
    int entries = kDefaultDemoEntries;
    if (args.size() == 2) {
        const std::optional<int> parsed = parseEntryCount(args[1]);
        if (!parsed) {
            return badUsage(err, QStringLiteral("el número de apuntes «%1» no vale: debe ser "
                                                "un entero entre 1 y %2")
                                     .arg(args[1], formatCount(kMaxDemoEntries)));
        }
        entries = *parsed;
    }

    const std::optional<Installed> installed = readInstallation(programFolder, err);
    if (!installed) {
        return Failure;
    }
    const QString& year = installed->year;
    const QString databasePath = databasePathFor(installed->dataRoot, year);
    qint64 firstId = 0;
    qint64 lastId = 0;
    qint64 newAccounts = 0;
    try {
        Database db(databasePath, Database::Mode::OpenExisting);
        checkLedgerSchema(db);
        const qint64 accountsBefore = queryNumber(db, "SELECT COUNT(*) FROM Contas");
        firstId = queryNumber(db, "SELECT COALESCE(MAX(Id), 0) FROM apuntes") + 1;
        fillDemoLedger(db, calendarYearOf(year, QDate::currentDate()), entries);
        lastId = queryNumber(db, "SELECT COALESCE(MAX(Id), 0) FROM apuntes");
        newAccounts = queryNumber(db, "SELECT COUNT(*) FROM Contas") - accountsBefore;
    } catch (const DbError& error) {
        return failure(err,
                       QStringLiteral("no se pueden añadir los datos de ejemplo a %1: %2")
                           .arg(QDir::toNativeSeparators(databasePath), describeFailure(error)));
    }

    out << QStringLiteral("Añadidos %1 apuntes de ejemplo (del %2 al %3) y %4 cuentas nuevas "
                          "al año %5 en %6.\n")
               .arg(formatCount(entries), formatCount(firstId), formatCount(lastId),
                    formatCount(newAccounts), year, QDir::toNativeSeparators(databasePath));
    out.flush();
    return Success;
}

// "Devedur-20240131-093000.mdb" → 31/01/2024 09:30:00, as SafetyCopies names them.
QString copyTimeText(const QString& path) {
    const QString stamp = QFileInfo(path).completeBaseName().mid(8);
    const QDateTime at = QDateTime::fromString(stamp, QStringLiteral("yyyyMMdd-HHmmss"));
    return at.isValid() ? at.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) : stamp;
}

QString sizeText(qint64 bytes) {
    return formatCount((bytes + 1023) / 1024) + QStringLiteral(" KB");
}

int runCopies(const QStringList& args, const QString& programFolder, QTextStream& out,
              QTextStream& err) {
    if (args.size() > 2) {
        return badUsage(err, extraArguments(args, 2));
    }
    if (args.size() == 2 && !namesYearFolder(args[1])) {
        return badUsage(err, yearArgumentRefusal(args[1]));
    }
    const std::optional<Installed> installed = readInstallation(programFolder, err);
    if (!installed) {
        return Failure;
    }
    const QString year = args.size() == 2 ? args[1] : installed->year;
    const SafetyCopies copies(installed->dataRoot, year);
    const QStringList paths = copies.list();
    if (paths.isEmpty()) {
        out << QStringLiteral("No hay copias de seguridad automáticas del año %1 en %2.\n")
                   .arg(year, QDir::toNativeSeparators(copies.folder()));
        out.flush();
        return Success;
    }
    out << QStringLiteral("Copias de seguridad automáticas del año %1, de la más reciente a la "
                          "más antigua:\n")
               .arg(year);
    for (const QString& path : paths) {
        out << "  " << copyTimeText(path) << "  "
            << sizeText(QFileInfo(path).size()).rightJustified(12) << "  "
            << QDir::toNativeSeparators(path) << '\n';
    }
    out << QStringLiteral("Para volver a una de ellas: %1 restore-copy ARCHIVO\n").arg(kProgram);
    out.flush();
    return Success;
}

// What checkLedgerFile() and the engine say of a file that is not a sound ledger;
// a locked or unreadable one is not damaged and must not be replaced.
bool isDamage(const DbError& error) {
    const int code = error.code() & 0xFF;
    return code == SQLITE_CORRUPT || code == SQLITE_NOTADB ||
           (code == 0 && error.operation() == QLatin1String("comprobar la base de datos"));
}

// Keeps the current database before it is replaced: a checked safety copy, or,
// when it is too damaged for one, its bytes as they are, under a name that is
// never listed as a copy to go back to. Gives the path of what it kept.
QString keepCurrentDatabase(const QString& databasePath, const SafetyCopies& copies,
                            bool& damaged) {
    const QDateTime now = QDateTime::currentDateTime();
    try {
        Database current(databasePath);
        return copies.write(current, now);
    } catch (const DbError& error) {
        if (!isDamage(error)) {
            throw;
        }
    }
    damaged = true;
    const QString kept = copies.folder() + QStringLiteral("/Devedur-") +
                         now.toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                         QStringLiteral("-dañada.mdb");
    replaceFileWith(databasePath, kept);
    return kept;
}

int runRestoreCopy(const QStringList& args, const QString& programFolder, QTextStream& out,
                   QTextStream& err) {
    if (args.size() < 2 || args[1].trimmed().isEmpty()) {
        return badUsage(err, QStringLiteral("falta el archivo de la copia que se recupera"));
    }
    if (args.size() > 2) {
        return badUsage(err, extraArguments(args, 2));
    }
    if (args[1].startsWith(QLatin1Char('-'))) {
        return badUsage(err, QStringLiteral("opción desconocida: «%1»").arg(args[1]));
    }
    const std::optional<Installed> installed = readInstallation(programFolder, err);
    if (!installed) {
        return Failure;
    }
    const QString file = QDir::cleanPath(QDir(args[1]).absolutePath());
    const QString databasePath = databasePathFor(installed->dataRoot, installed->year);
    const QString nativeFile = QDir::toNativeSeparators(file);
    const QString untouched = QStringLiteral("La base de datos %1 no se ha cambiado.")
                                  .arg(QDir::toNativeSeparators(databasePath));
    {
        // A pipe or a device named here would hold the command, or be taken for a copy.
        QFile probe;
        if (const auto refusal = openRegularFile(file, std::numeric_limits<qint64>::max(), probe)) {
            return failure(err, QStringLiteral("%1. %2").arg(*refusal, untouched));
        }
    }
    if (QFileInfo(file).canonicalFilePath() == QFileInfo(databasePath).canonicalFilePath()) {
        return failure(err, QStringLiteral("%1 es la base de datos del año %2; elija una copia. %3")
                                .arg(nativeFile, installed->year, untouched));
    }
    if (!QFileInfo(QFileInfo(databasePath).absolutePath()).isDir()) {
        return failure(err, QStringLiteral("no existe la carpeta del año %1: %2")
                                .arg(installed->year, QDir::toNativeSeparators(
                                                          QFileInfo(databasePath).absolutePath())));
    }
    // The program would go on writing into the file it has open, and those
    // entries would be lost with it.
    SingleInstance running(databasePath);
    if (!running.acquire()) {
        return failure(err, QStringLiteral("el programa está abierto con el año %1; ciérrelo y "
                                           "repita la orden. %2")
                                .arg(installed->year, untouched));
    }

    const auto refused = [&](const QString& reason) {
        return failure(
            err,
            QStringLiteral("no se puede recuperar %1: %2. %3").arg(nativeFile, reason, untouched));
    };
    // Another year's ledger in this year's place would look like lost entries, and
    // every entry saved after it would land in the wrong year.
    try {
        checkLedgerFile(file);
        if (const auto otherYear = otherYearRefusal(file, installed->dataRoot, installed->year)) {
            return refused(*otherYear);
        }
    } catch (const DbError& error) {
        return refused(describeFailure(error));
    }
    // Copied beside the database and checked there: the safety copy made below may
    // remove the oldest one, which can be the chosen file.
    const QString staged = partialPathFor(databasePath);
    QFile::remove(staged);
    try {
        copyFile(file, staged);
    } catch (const DbError& error) {
        return refused(QStringLiteral("no se puede copiar junto a la base de datos del año %1 "
                                      "(%2)")
                           .arg(installed->year, describeFailure(error)));
    }
    try {
        checkLedgerFile(staged);
    } catch (const DbError& error) {
        QFile::remove(staged);
        return refused(describeFailure(error));
    }

    const SafetyCopies copies(installed->dataRoot, installed->year);
    QString kept;
    bool damaged = false;
    try {
        if (QFileInfo::exists(databasePath)) {
            kept = keepCurrentDatabase(databasePath, copies, damaged);
        }
        // Nobody has the database open, so a journal beside it is stale; applied to
        // the new file it would mix in pages of the old one.
        removeStaleJournal(databasePath);
        renameIntoPlace(staged, databasePath);
    } catch (const DbError& error) {
        QFile::remove(staged);
        return refused(describeFailure(error));
    }

    out << QStringLiteral("Recuperada la copia %1 como base de datos del año %2 (%3).\n")
               .arg(nativeFile, installed->year, QDir::toNativeSeparators(databasePath));
    if (kept.isEmpty()) {
        out << QStringLiteral("No había base de datos anterior que guardar.\n");
    } else if (!damaged) {
        out << QStringLiteral("La base de datos anterior se ha guardado antes en %1.\n")
                   .arg(QDir::toNativeSeparators(kept));
    } else {
        out << QStringLiteral("La base de datos anterior estaba dañada; se ha guardado tal cual "
                              "en %1.\n")
                   .arg(QDir::toNativeSeparators(kept));
    }
    out.flush();
    return Success;
}

// The options of the exchange commands and their one file.
struct ExchangeArgs {
    std::optional<QString> year;
    std::optional<QString> account;
    bool dryRun = false;
    bool allowDuplicates = false;
    QString file;
};

// Reads options in any order around the one FILE. `valued` are the options taking
// a value ("--year", "--account"), `flags` the ones that do not. Complains and gives
// nothing on anything else.
std::optional<ExchangeArgs> parseExchangeArgs(const QStringList& args, const QStringList& valued,
                                              const QStringList& flags, QTextStream& err,
                                              int& code) {
    code = BadUsage;
    ExchangeArgs parsed;
    QStringList operands;
    for (qsizetype i = 1; i < args.size(); ++i) {
        QString arg = args[i];
        QString value;
        bool hasValue = false;
        const qsizetype equals = arg.indexOf(QLatin1Char('='));
        if (arg.startsWith(QLatin1String("--")) && equals > 0) {
            value = arg.mid(equals + 1);
            arg = arg.left(equals);
            hasValue = true;
        }
        if (valued.contains(arg)) {
            if (!hasValue) {
                if (i + 1 >= args.size()) {
                    badUsage(err, QStringLiteral("falta el valor de %1").arg(arg));
                    return std::nullopt;
                }
                value = args[++i];
            }
            (arg == QLatin1String("--year") ? parsed.year : parsed.account) = value;
        } else if (flags.contains(arg) && !hasValue) {
            (arg == QLatin1String("--dry-run") ? parsed.dryRun : parsed.allowDuplicates) = true;
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            badUsage(err, QStringLiteral("opción desconocida: «%1»").arg(args[i]));
            return std::nullopt;
        } else {
            operands.append(arg);
        }
    }
    if (operands.isEmpty() || operands[0].trimmed().isEmpty()) {
        badUsage(err, QStringLiteral("falta el archivo"));
        return std::nullopt;
    }
    if (operands.size() > 1) {
        badUsage(err, QStringLiteral("sobran argumentos: %1").arg(operands.mid(1).join(u' ')));
        return std::nullopt;
    }
    if (parsed.year && !namesYearFolder(*parsed.year)) {
        badUsage(err, yearArgumentRefusal(*parsed.year));
        return std::nullopt;
    }
    if (parsed.account && parsed.account->trimmed().isEmpty()) {
        badUsage(err, QStringLiteral("falta el nombre de la cuenta en --account"));
        return std::nullopt;
    }
    parsed.file = QDir::cleanPath(QDir(operands[0]).absolutePath());
    code = Success;
    return parsed;
}

// The ledger a command works on: the year of --year, or ano.ini's.
struct TargetYear {
    QString dataRoot;
    QString year;
    QString databasePath;
    // The calendar year of its dates, as the main window's range has it.
    int calendarYear() const { return calendarYearOf(year, QDate::currentDate()); }
};

std::optional<TargetYear> targetYear(const QString& programFolder,
                                     const std::optional<QString>& year, QTextStream& err) {
    const std::optional<Installed> installed = readInstallation(programFolder, err);
    if (!installed) {
        return std::nullopt;
    }
    TargetYear target{installed->dataRoot, year.value_or(installed->year), {}};
    target.databasePath = databasePathFor(target.dataRoot, target.year);
    if (!QFileInfo(target.databasePath).isFile()) {
        failure(err, QStringLiteral("no existe la base de datos del año %1: %2")
                         .arg(target.year, QDir::toNativeSeparators(target.databasePath)));
        return std::nullopt;
    }
    return target;
}

QString entryNumbers(const std::vector<qint64>& ids) {
    QStringList numbers;
    for (const qint64 id : ids) {
        numbers.append(QString::number(id));
    }
    return numbers.join(QStringLiteral(", "));
}

int runExportCsv(const QStringList& args, const QString& programFolder, QTextStream& out,
                 QTextStream& err) {
    int code = Success;
    const std::optional<ExchangeArgs> parsed =
        parseExchangeArgs(args, {QStringLiteral("--year")}, {}, err, code);
    if (!parsed) {
        return code;
    }
    const std::optional<TargetYear> target = targetYear(programFolder, parsed->year, err);
    if (!target) {
        return Failure;
    }
    const QString nativeFile = QDir::toNativeSeparators(parsed->file);
    const PathGate gate({programFolder, target->dataRoot, QCoreApplication::applicationDirPath()});
    if (const auto refusal = gate.refuseOutput(parsed->file)) {
        return failure(err,
                       QStringLiteral("no se exporta: %1. No se ha escrito nada.").arg(*refusal));
    }
    Database db(target->databasePath, Database::Mode::ReadOnly);
    checkLedgerSchema(db);
    const int year = target->calendarYear();
    // Written beside under another name and renamed at the end: an export that
    // fails half-way leaves the file that was there, if any.
    QSaveFile file(parsed->file);
    if (!file.open(QIODevice::WriteOnly)) {
        return failure(err, QStringLiteral("no se puede escribir el archivo %1").arg(nativeFile));
    }
    const CsvExport exported =
        exportCsv(db, EntryFilter{{}, {}, {}, QDate(year, 1, 1), QDate(year, 12, 31)}, file);
    if (!exported.complete || !file.commit()) {
        file.cancelWriting();
        return failure(err, QStringLiteral("no se ha podido escribir entero el archivo %1; no se "
                                           "ha guardado nada en él")
                                .arg(nativeFile));
    }
    out << QStringLiteral("Exportados %1 apuntes a %2.\n")
               .arg(formatCount(exported.written), nativeFile);
    if (!exported.unreadable.empty()) {
        out << QStringLiteral("No se han exportado %1 apuntes cuyo importe no es un número "
                              "(números %2); corríjalos en el programa y exporte de nuevo.\n")
                   .arg(formatCount(qint64(exported.unreadable.size())),
                        entryNumbers(exported.unreadable));
    }
    out.flush();
    return Success;
}

const QString kNoMemory = QStringLiteral("no queda memoria libre");

// Lists a count's first lines, then how many more there are.
template <typename Line>
void printLines(QTextStream& out, const QList<Line>& lines, qsizetype count,
                const std::function<QString(const Line&)>& text) {
    for (qsizetype i = 0; i < lines.size() && i < RefusedLines::kKept; ++i) {
        out << "  " << text(lines[i]) << '\n';
    }
    if (count > lines.size() || lines.size() > RefusedLines::kKept) {
        out << QStringLiteral("  … y %1 más\n")
                   .arg(formatCount(count - std::min(lines.size(), RefusedLines::kKept)));
    }
}

// What an import will do, before it does it.
void printPlan(const ImportPlan& plan, const RefusedLines& refused, bool allowDuplicates,
               QTextStream& out) {
    const int duplicates = plan.duplicates();
    const int toWrite = int(plan.accepted.size()) - (allowDuplicates ? 0 : duplicates);
    out << QStringLiteral("Apuntes para añadir: %1\n").arg(formatCount(toWrite));
    if (duplicates > 0) {
        out << (allowDuplicates
                    ? QStringLiteral(
                          "Duplicados (el año ya tiene uno igual): %1; se añaden igualmente "
                          "(--allow-duplicates).\n")
                    : QStringLiteral(
                          "Duplicados (el año ya tiene uno igual): %1; no se añaden (con "
                          "--allow-duplicates se añadirían).\n"))
                   .arg(formatCount(duplicates));
    }
    if (!refused.isEmpty()) {
        out << QStringLiteral("Filas rechazadas: %1\n").arg(formatCount(refused.count()));
        printLines<RefusedLine>(out, refused.kept(), refused.count(), [](const RefusedLine& line) {
            return QStringLiteral("línea %1: %2")
                .arg(formatCount(line.line), printable(line.reason));
        });
    }
    if (!plan.unknownAccounts.isEmpty()) {
        out << QStringLiteral("Cuentas que el año no tiene: %1\n")
                   .arg(formatCount(plan.unknownAccounts.size()));
        printLines<UnknownAccount>(out, plan.unknownAccounts, plan.unknownAccounts.size(),
                                   [](const UnknownAccount& account) {
                                       return QStringLiteral("«%1»: %2 %3")
                                           .arg(printable(account.name), formatCount(account.rows),
                                                account.rows == 1 ? QStringLiteral("fila")
                                                                  : QStringLiteral("filas"));
                                   });
        out << QStringLiteral(
            "Las filas que las nombran no se importan: cree esas cuentas en el "
            "programa (Opciones, Cuentas, Nuevo), con su tipo, y repita la orden; los "
            "apuntes ya importados saldrán como duplicados.\n");
    }
}

// Unless only a preview was asked for: a safety copy of the year, then the
// accepted rows in one transaction.
int writePlan(Database& db, const TargetYear& target, const ImportedRows& rows,
              const ImportPlan& plan, bool allowDuplicates, bool dryRun, QTextStream& out,
              QTextStream& err) {
    const int toWrite = int(plan.accepted.size()) - (allowDuplicates ? 0 : plan.duplicates());
    if (dryRun) {
        out << QStringLiteral("Solo vista previa (--dry-run): no se ha escrito nada.\n");
        out.flush();
        return Success;
    }
    if (toWrite == 0) {
        out << QStringLiteral("No hay apuntes que escribir; la base de datos no se ha cambiado.\n");
        out.flush();
        return Success;
    }
    QString copy;
    try {
        copy = SafetyCopies(target.dataRoot, target.year).write(db, QDateTime::currentDateTime());
    } catch (const DbError& error) {
        out.flush();
        return failure(err, QStringLiteral("no se puede guardar la copia de seguridad antes de "
                                           "importar: %1. No se ha escrito nada.")
                                .arg(describeFailure(error)));
    }
    out << QStringLiteral("Copia de seguridad guardada en %1.\n")
               .arg(QDir::toNativeSeparators(copy));
    ImportResult result;
    try {
        result = writeImport(db, rows, plan, {}, allowDuplicates);
    } catch (const DbError& error) {
        out.flush();
        return failure(err, QStringLiteral("no se han podido escribir los apuntes: %1. No se ha "
                                           "escrito ninguno.")
                                .arg(describeFailure(error)));
    } catch (const std::bad_alloc&) {
        // The transaction has rolled back.
        out.flush();
        return failure(err, QStringLiteral("no se han podido escribir los apuntes: %1. No se ha "
                                           "escrito ninguno.")
                                .arg(kNoMemory));
    }
    out << QStringLiteral("Escritos %1 apuntes en el año %2 (%3).\n")
               .arg(formatCount(result.written), target.year,
                    QDir::toNativeSeparators(target.databasePath));
    out.flush();
    return Success;
}

// The file to import, opened through the path gate: a regular file no larger
// than an import reads. Complains and gives false otherwise.
bool openImportFile(const QString& path, QFile& file, QTextStream& err) {
    if (const auto refusal = openRegularFile(path, kLargestImportFile, file)) {
        failure(err, QStringLiteral("no se importa: %1. No se ha escrito nada.").arg(*refusal));
        return false;
    }
    return true;
}

int noMemoryToRead(const QString& nativeFile, QTextStream& out, QTextStream& err) {
    out.flush();
    return failure(
        err, QStringLiteral("%1 para leer %2; no se ha escrito nada.").arg(kNoMemory, nativeFile));
}

int runImportCsv(const QStringList& args, const QString& programFolder, QTextStream& out,
                 QTextStream& err) {
    int code = Success;
    const std::optional<ExchangeArgs> parsed = parseExchangeArgs(
        args, {QStringLiteral("--year")},
        {QStringLiteral("--dry-run"), QStringLiteral("--allow-duplicates")}, err, code);
    if (!parsed) {
        return code;
    }
    const std::optional<TargetYear> target = targetYear(programFolder, parsed->year, err);
    if (!target) {
        return Failure;
    }
    const QString nativeFile = QDir::toNativeSeparators(parsed->file);
    QFile file;
    if (!openImportFile(parsed->file, file, err)) {
        return Failure;
    }
    if (isNorma43(file)) {
        return failure(err, QStringLiteral("%1 es un extracto bancario en Norma 43; impórtelo con "
                                           "«%2 import-n43 --account CUENTA %1». No se ha "
                                           "escrito nada.")
                                .arg(nativeFile, kProgram));
    }
    Database db(target->databasePath);
    checkLedgerSchema(db);
    // Held until written: the plan refers to the rows.
    std::optional<CsvRead> read;
    std::optional<ImportPlan> plan;
    try {
        read = readCsv(file);
        if (!read->failure.isEmpty()) {
            return failure(err, QStringLiteral("no se puede importar %1: %2 No se ha escrito nada.")
                                    .arg(nativeFile, read->failure));
        }
        plan = planImport(db, read->rows, target->calendarYear());
        out << QStringLiteral("Importación de %1 en el año %2.\n").arg(nativeFile, target->year);
        out << QStringLiteral("Formato detectado: CSV, %1.\n").arg(describeDialect(read->dialect));
        printPlan(*plan, RefusedLines::merged(read->refused, plan->refused),
                  parsed->allowDuplicates, out);
    } catch (const std::bad_alloc&) {
        return noMemoryToRead(nativeFile, out, err);
    }
    return writePlan(db, *target, read->rows, *plan, parsed->allowDuplicates, parsed->dryRun, out,
                     err);
}

int runImportN43(const QStringList& args, const QString& programFolder, QTextStream& out,
                 QTextStream& err) {
    int code = Success;
    const std::optional<ExchangeArgs> parsed = parseExchangeArgs(
        args, {QStringLiteral("--year"), QStringLiteral("--account")},
        {QStringLiteral("--dry-run"), QStringLiteral("--allow-duplicates")}, err, code);
    if (!parsed) {
        return code;
    }
    if (!parsed->account) {
        return badUsage(err, QStringLiteral("falta --account CUENTA: la cuenta del año que es "
                                            "la del banco"));
    }
    const std::optional<TargetYear> target = targetYear(programFolder, parsed->year, err);
    if (!target) {
        return Failure;
    }
    const QString nativeFile = QDir::toNativeSeparators(parsed->file);
    QFile file;
    if (!openImportFile(parsed->file, file, err)) {
        return Failure;
    }
    Database db(target->databasePath);
    checkLedgerSchema(db);
    QString ourAccount;
    for (const Account& account : listAccounts(db, QString())) {
        if (foldCase(account.name.trimmed()) == foldCase(parsed->account->trimmed())) {
            ourAccount = account.name;
        }
    }
    ImportedRows rows;
    std::optional<ImportPlan> plan;
    try {
        N43Statement statement;
        try {
            statement = readNorma43(file);
        } catch (const Norma43Error& error) {
            return failure(err, QStringLiteral("no se puede importar %1 como extracto Norma 43: "
                                               "%2. No se ha escrito nada.")
                                    .arg(nativeFile, printable(error.message())));
        }
        if (ourAccount.isEmpty()) {
            return failure(
                err, QStringLiteral("el año %1 no tiene la cuenta «%2». Créela en el "
                                    "programa (Opciones, Cuentas, Nuevo) o nombre en --account "
                                    "una que exista. No se ha escrito nada.")
                         .arg(target->year, printable(*parsed->account)));
        }
        const AccountProposals proposals(db);
        out << QStringLiteral("Importación de %1 en el año %2, cuenta «%3».\n")
                   .arg(nativeFile, target->year, printable(ourAccount));
        out << QStringLiteral("Formato detectado: Norma 43 (cuaderno 43), %1 %2 del banco.\n")
                   .arg(formatCount(statement.accounts.size()), statement.accounts.size() == 1
                                                                    ? QStringLiteral("cuenta")
                                                                    : QStringLiteral("cuentas"));
        for (const N43Account& account : statement.accounts) {
            out << QStringLiteral("  %1 %2 %3: %4 movimientos del %5 al %6\n")
                       .arg(account.bank, account.branch, account.account,
                            formatCount(account.movements.size()), formatDate(account.from),
                            formatDate(account.to));
            appendStatementRows(account, ourAccount, proposals, rows);
        }
        // A movement with no proposal is not planned: the user enters it by hand.
        const auto proposed = [&rows](qsizetype row) {
            return !rows.goesInto(row).isEmpty() && !rows.comesOutOf(row).isEmpty();
        };
        plan = planImport(db, rows, target->calendarYear(), {}, proposed);
        printPlan(*plan, plan->refused, parsed->allowDuplicates, out);
        QList<qsizetype> unproposed;
        qsizetype unproposedCount = 0;
        for (qsizetype row = 0; row < rows.size(); ++row) {
            if (!proposed(row) && ++unproposedCount <= RefusedLines::kKept) {
                unproposed.append(row);
            }
        }
        if (unproposedCount > 0) {
            out << QStringLiteral("Movimientos sin cuenta propuesta, que no se importan: %1\n")
                       .arg(formatCount(unproposedCount));
            printLines<qsizetype>(out, unproposed, unproposedCount, [&](const qsizetype& row) {
                const qint64 signedCents =
                    rows.goesInto(row) == ourAccount ? rows.cents(row) : -rows.cents(row);
                return QStringLiteral("línea %1: sin cuenta propuesta: %2 %3")
                    .arg(formatCount(rows.line(row)), printable(rows.description(row)),
                         formatCents(signedCents));
            });
            out << QStringLiteral("Apúntelos en el programa; las importaciones siguientes "
                                  "propondrán la cuenta que usen.\n");
        }
    } catch (const std::bad_alloc&) {
        return noMemoryToRead(nativeFile, out, err);
    }
    return writePlan(db, *target, rows, *plan, parsed->allowDuplicates, parsed->dryRun, out, err);
}

} // namespace

QString usageText() {
    return QStringLiteral(
        "Uso:\n"
        "  velmora-admin init CARPETA_DE_DATOS [AÑO] [--force]\n"
        "      Prepara la instalación: escribe ruta.ini y ano.ini junto al programa,\n"
        "      color.ini y color2.ini si aún no existen, crea la base de datos\n"
        "      CARPETA_DE_DATOS/AÑO/Devedur.mdb, la carpeta CARPETA_DE_DATOS/Informes\n"
        "      con el informe Datos.rpt si aún no existe (uno que ya esté allí no se\n"
        "      toca, tampoco con --force) y la carpeta Datos junto al programa.\n"
        "      AÑO es el nombre del año, como en el programa (2024, por ejemplo); si se\n"
        "      omite, el año actual. Nunca sustituye una base de datos que ya existe.\n"
        "      Si la instalación ya usa una base de datos que existe, no cambia nada;\n"
        "      con --force la deja de usar (sin borrarla) y prepara la nueva.\n"
        "  velmora-admin demo [N]\n"
        "      Añade N apuntes de ejemplo (1200 si se omite, como mucho 1.000.000) y las\n"
        "      cuentas que falten a la base de datos del año de ano.ini.\n"
        "  velmora-admin copies [AÑO]\n"
        "      Lista las copias de seguridad automáticas del año (el de ano.ini si se\n"
        "      omite), de la más reciente a la más antigua, con su fecha y su tamaño.\n"
        "  velmora-admin restore-copy ARCHIVO\n"
        "      Pone la copia ARCHIVO en lugar de la base de datos del año de ano.ini,\n"
        "      después de guardar una copia de la actual. Cierre antes el programa.\n"
        "      Si ARCHIVO no es una base de datos de contabilidad sana, o es de otro año\n"
        "      (por la carpeta en la que está, el ano.ini que tiene al lado o las\n"
        "      fechas de sus apuntes), no cambia nada.\n"
        "  velmora-admin export-csv [--year AÑO] ARCHIVO\n"
        "      Escribe en ARCHIVO, en CSV (punto y coma, decimales con coma), todos los\n"
        "      apuntes del año (el de ano.ini si se omite --year), del más antiguo al\n"
        "      más reciente. Los apuntes cuyo importe no es un número quedan fuera y\n"
        "      se nombran.\n"
        "  velmora-admin import-csv [--year AÑO] [--dry-run] [--allow-duplicates] ARCHIVO\n"
        "      Añade al año los apuntes de un CSV (el que escribe export-csv o el\n"
        "      internacional, con comas y decimales con punto). Muestra antes lo que\n"
        "      hará: los apuntes, los duplicados, las filas rechazadas y las cuentas\n"
        "      que el año no tiene, cuyas filas no se importan. Guarda una copia de\n"
        "      seguridad y escribe todo o nada. Los duplicados se saltan salvo con\n"
        "      --allow-duplicates; con --dry-run solo muestra la vista previa.\n"
        "  velmora-admin import-n43 --account CUENTA [--year AÑO] [--dry-run]\n"
        "                           [--allow-duplicates] ARCHIVO\n"
        "      Añade al año los movimientos de un extracto bancario en Norma 43\n"
        "      (cuaderno 43) como apuntes de CUENTA, que debe existir. La otra cuenta\n"
        "      de cada movimiento se propone a partir de los apuntes del año; los\n"
        "      movimientos sin propuesta se listan y no se importan. Vista previa,\n"
        "      duplicados, copia de seguridad y escritura como en import-csv.\n"
        "  velmora-admin --help\n"
        "      Muestra esta ayuda.\n"
        "\n"
        "Códigos de salida: 0 bien, 1 fallo de la base de datos, de los ajustes o del\n"
        "archivo que se importa (entonces no se escribe nada),\n"
        "2 argumentos incorrectos.\n");
}

int runAdmin(const QStringList& args, const QString& programFolder, QTextStream& out,
             QTextStream& err) {
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        out << usageText();
        out.flush();
        return Success;
    }
    if (args.isEmpty()) {
        return badUsage(
            err, QStringLiteral("falta la orden (init, demo, copies, restore-copy, export-csv, "
                                "import-csv o import-n43)"));
    }
    try {
        using Command = int (*)(const QStringList&, const QString&, QTextStream&, QTextStream&);
        const std::pair<const char*, Command> commands[] = {
            {"init", runInit},
            {"demo", runDemo},
            {"copies", runCopies},
            {"restore-copy", runRestoreCopy},
            {"export-csv", runExportCsv},
            {"import-csv", runImportCsv},
            {"import-n43", runImportN43},
        };
        for (const auto& [name, command] : commands) {
            if (args[0] == QLatin1String(name)) {
                return command(args, programFolder, out, err);
            }
        }
    } catch (const SettingsError& error) {
        return failure(err, error.message());
    } catch (const DbError& error) {
        return failure(err, describeFailure(error));
    } catch (const std::bad_alloc&) {
        out.flush();
        return failure(err, QStringLiteral("no queda memoria libre para terminar la orden. "
                                           "Cierre otros programas y repítala."));
    } catch (const std::exception& error) {
        return failure(
            err, QStringLiteral("error inesperado: %1").arg(QString::fromLocal8Bit(error.what())));
    }
    return badUsage(err, QStringLiteral("orden desconocida: «%1»").arg(args[0]));
}

} // namespace velmora::admin
