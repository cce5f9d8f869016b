#include "admin/AdminCommands.h"

#include "demo/DemoLedger.h"
#include "startup/AppState.h"
#include "startup/Installation.h"
#include "startup/Settings.h"
#include "startup/SingleInstance.h"
#include "store/DatabaseFiles.h"
#include "store/DbErrorText.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "years/SafetyCopies.h"
#include "years/YearFolders.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>
#include <exception>
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

// 1200 → "1.200", as the rest of the program writes numbers.
QString grouped(qint64 value) {
    QString digits = QString::number(value < 0 ? -value : value);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3) {
        digits.insert(i, QLatin1Char('.'));
    }
    return value < 0 ? QLatin1Char('-') + digits : digits;
}

QString extraArguments(const QStringList& args, qsizetype from) {
    return QStringLiteral("sobran argumentos: %1").arg(args.mid(from).join(QLatin1Char(' ')));
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
    if (!isYearName(year)) {
        return badUsage(err, QStringLiteral("el año «%1» no vale: debe tener cuatro cifras, "
                                            "por ejemplo 2024")
                                 .arg(year));
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
                                     .arg(args[1], grouped(kMaxDemoEntries)));
        }
        entries = *parsed;
    }

    const SettingsFiles settings(programFolder);
    const QString dataRoot = settings.readDataRoot();
    const QString year = settings.readYear();
    if (dataRoot.isEmpty() || year.isEmpty()) {
        return failure(err, QStringLiteral("no hay instalación en %1: faltan ruta.ini o ano.ini. "
                                           "Prepárela antes con «%2 init CARPETA_DE_DATOS».")
                                .arg(QDir::toNativeSeparators(programFolder), kProgram));
    }
    if (!isYearName(year)) {
        return failure(err, QStringLiteral("el año de ano.ini («%1») no es un año de cuatro "
                                           "cifras; no se añaden datos de ejemplo")
                                .arg(year));
    }

    const QString databasePath = databasePathFor(dataRoot, year);
    qint64 firstId = 0;
    qint64 lastId = 0;
    qint64 newAccounts = 0;
    try {
        Database db(databasePath, Database::Mode::OpenExisting);
        checkLedgerSchema(db);
        const qint64 accountsBefore = queryNumber(db, "SELECT COUNT(*) FROM Contas");
        firstId = queryNumber(db, "SELECT COALESCE(MAX(Id), 0) FROM apuntes") + 1;
        fillDemoLedger(db, year.toInt(), entries);
        lastId = queryNumber(db, "SELECT COALESCE(MAX(Id), 0) FROM apuntes");
        newAccounts = queryNumber(db, "SELECT COUNT(*) FROM Contas") - accountsBefore;
    } catch (const DbError& error) {
        return failure(err,
                       QStringLiteral("no se pueden añadir los datos de ejemplo a %1: %2")
                           .arg(QDir::toNativeSeparators(databasePath), describeFailure(error)));
    }

    out << QStringLiteral("Añadidos %1 apuntes de ejemplo (del %2 al %3) y %4 cuentas nuevas "
                          "al año %5 en %6.\n")
               .arg(grouped(entries), grouped(firstId), grouped(lastId), grouped(newAccounts), year,
                    QDir::toNativeSeparators(databasePath));
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
    if (found.dataRoot.isEmpty() || found.year.isEmpty()) {
        failure(err, QStringLiteral("no hay instalación en %1: faltan ruta.ini o ano.ini. "
                                    "Prepárela antes con «%2 init CARPETA_DE_DATOS».")
                         .arg(QDir::toNativeSeparators(programFolder), kProgram));
        return std::nullopt;
    }
    if (!isYearName(found.year)) {
        failure(err, QStringLiteral("el año de ano.ini («%1») no es un año de cuatro cifras")
                         .arg(found.year));
        return std::nullopt;
    }
    return found;
}

// "Devedur-20240131-093000.mdb" → 31/01/2024 09:30:00, as SafetyCopies names them.
QString copyTimeText(const QString& path) {
    const QString stamp = QFileInfo(path).completeBaseName().mid(8);
    const QDateTime at = QDateTime::fromString(stamp, QStringLiteral("yyyyMMdd-HHmmss"));
    return at.isValid() ? at.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) : stamp;
}

QString sizeText(qint64 bytes) {
    return grouped((bytes + 1023) / 1024) + QStringLiteral(" KB");
}

int runCopies(const QStringList& args, const QString& programFolder, QTextStream& out,
              QTextStream& err) {
    if (args.size() > 2) {
        return badUsage(err, extraArguments(args, 2));
    }
    if (args.size() == 2 && !isYearName(args[1])) {
        return badUsage(err, QStringLiteral("el año «%1» no vale: debe tener cuatro cifras, "
                                            "por ejemplo 2024")
                                 .arg(args[1]));
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
    if (!QFileInfo(file).isFile()) {
        return failure(err,
                       QStringLiteral("no existe el archivo %1. %2").arg(nativeFile, untouched));
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

    // The chosen file is checked, then copied beside the database and checked
    // there: the safety copy made below may remove the oldest one, which can be the
    // chosen file.
    const QString staged = partialPathFor(databasePath);
    QFile::remove(staged);
    try {
        checkLedgerFile(file);
        if (!QFile::copy(file, staged)) {
            throw DbError(QStringLiteral("copiar el archivo"),
                          QStringLiteral("no se puede leer %1").arg(nativeFile), 0);
        }
        flushToDisk(staged);
        checkLedgerFile(staged);
    } catch (const DbError& error) {
        QFile::remove(staged);
        return failure(err, QStringLiteral("no se puede recuperar %1: %2. %3")
                                .arg(nativeFile, describeFailure(error), untouched));
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
        return failure(err, QStringLiteral("no se puede recuperar %1: %2. %3")
                                .arg(nativeFile, describeFailure(error), untouched));
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

} // namespace

bool isYearName(const QString& year) {
    // Anchored as a whole: "$" alone would also let "2024\n" through.
    static const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(QStringLiteral("[1-9][0-9]{3}")));
    return pattern.match(year).hasMatch();
}

QString usageText() {
    return QStringLiteral(
        "Uso:\n"
        "  velmora-admin init CARPETA_DE_DATOS [AÑO] [--force]\n"
        "      Prepara la instalación: escribe ruta.ini y ano.ini junto al programa,\n"
        "      color.ini y color2.ini si aún no existen, crea la base de datos\n"
        "      CARPETA_DE_DATOS/AÑO/Devedur.mdb, la carpeta CARPETA_DE_DATOS/Informes\n"
        "      con el informe Datos.rpt si aún no existe (uno que ya esté allí no se\n"
        "      toca, tampoco con --force) y la carpeta Datos junto al programa.\n"
        "      AÑO son cuatro cifras; si se omite, el año actual. Nunca sustituye una\n"
        "      base de datos que ya existe.\n"
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
        "      Si ARCHIVO no es una base de datos de contabilidad sana, no cambia nada.\n"
        "  velmora-admin --help\n"
        "      Muestra esta ayuda.\n"
        "\n"
        "Códigos de salida: 0 bien, 1 fallo de la base de datos o de los ajustes,\n"
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
        return badUsage(err, QStringLiteral("falta la orden (init, demo, copies o restore-copy)"));
    }
    try {
        if (args[0] == QLatin1String("init")) {
            return runInit(args, programFolder, out, err);
        }
        if (args[0] == QLatin1String("demo")) {
            return runDemo(args, programFolder, out, err);
        }
        if (args[0] == QLatin1String("copies")) {
            return runCopies(args, programFolder, out, err);
        }
        if (args[0] == QLatin1String("restore-copy")) {
            return runRestoreCopy(args, programFolder, out, err);
        }
    } catch (const SettingsError& error) {
        return failure(err, error.message());
    } catch (const DbError& error) {
        return failure(err, describeFailure(error));
    } catch (const std::exception& error) {
        return failure(
            err, QStringLiteral("error inesperado: %1").arg(QString::fromLocal8Bit(error.what())));
    }
    return badUsage(err, QStringLiteral("orden desconocida: «%1»").arg(args[0]));
}

} // namespace velmora::admin
