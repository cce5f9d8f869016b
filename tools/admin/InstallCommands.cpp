#include "admin/CommandLine.h"

#include "demo/DemoLedger.h"
#include "state/Settings.h"
#include "store/Amount.h"
#include "store/DbErrorText.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "years/Installation.h"
#include "years/YearFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <optional>

namespace velmora::admin {

namespace {

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

} // namespace

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
        << "  Informe del extracto: " << QDir::toNativeSeparators(installed.registerReportPath)
        << (installed.registerReportWritten ? "" : " (ya existía; se conserva)") << '\n'
        << "  Informe del resumen anual: " << QDir::toNativeSeparators(installed.summaryReportPath)
        << (installed.summaryReportWritten ? "" : " (ya existía; se conserva)") << '\n'
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

} // namespace velmora::admin
