#include "admin/AdminCommands.h"

#include "demo/DemoLedger.h"
#include "startup/AppState.h"
#include "startup/Settings.h"
#include "store/DatabaseFiles.h"
#include "store/DbErrorText.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "years/YearFolders.h"

#include <QColor>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

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
    const QString yearFolder = dataRoot + QLatin1Char('/') + year;
    const QString reportsFolder = dataRoot + QStringLiteral("/Informes");
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
    // The program compacts a year in its own Datos folder and does not make that
    // folder itself.
    const QString workFolder = programFolder + QStringLiteral("/Datos");
    for (const QString& folder : {yearFolder, reportsFolder, workFolder}) {
        if (!QDir().mkpath(folder)) {
            return failure(err, QStringLiteral("no se puede crear la carpeta %1")
                                    .arg(QDir::toNativeSeparators(folder)));
        }
    }

    // Built beside its final name and renamed into place, so that a failure leaves
    // no half-made ledger that the next init would refuse to replace.
    const QString partialPath = partialPathFor(databasePath);
    QFile::remove(partialPath);
    try {
        Database created(partialPath, Database::Mode::CreateIfMissing);
        createLedgerSchema(created);
    } catch (const DbError& error) {
        QFile::remove(partialPath);
        return failure(err,
                       QStringLiteral("no se puede crear la base de datos %1: %2")
                           .arg(QDir::toNativeSeparators(databasePath), describeFailure(error)));
    }
    // Never over an existing file, so a ledger that appeared meanwhile survives too.
    try {
        renameIntoPlace(partialPath, databasePath, false);
    } catch (const DbError&) {
        QFile::remove(partialPath);
        return failure(err, QStringLiteral("no se puede crear la base de datos %1")
                                .arg(QDir::toNativeSeparators(databasePath)));
    }

    try {
        // Colours first: a failure there must not leave ruta.ini and ano.ini pointing
        // at the ledger removed below. A default colour left behind does no harm.
        if (!QFileInfo::exists(settings.pathOf(QStringLiteral("color.ini")))) {
            settings.writeMainColour(defaultMainColour());
        }
        if (!QFileInfo::exists(settings.pathOf(QStringLiteral("color2.ini")))) {
            settings.writeSectionColour(defaultSectionColour());
        }
        settings.writeDataRootAndYear(dataRoot, year);
    } catch (const SettingsError& error) {
        // The ledger is ours and still empty; without the settings nobody finds it.
        QFile::remove(databasePath);
        return failure(err, error.message());
    }

    out << "Instalación preparada.\n"
        << "  Carpeta de datos: " << QDir::toNativeSeparators(dataRoot) << '\n'
        << "  Año: " << year << '\n'
        << "  Base de datos: " << QDir::toNativeSeparators(databasePath) << '\n'
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

} // namespace

qint32 defaultMainColour() {
    return valueFromColour(QColor(230, 240, 255));
}

qint32 defaultSectionColour() {
    return valueFromColour(QColor(255, 248, 220));
}

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
        "      y la carpeta Datos junto al programa.\n"
        "      AÑO son cuatro cifras; si se omite, el año actual. Nunca sustituye una\n"
        "      base de datos que ya existe.\n"
        "      Si la instalación ya usa una base de datos que existe, no cambia nada;\n"
        "      con --force la deja de usar (sin borrarla) y prepara la nueva.\n"
        "  velmora-admin demo [N]\n"
        "      Añade N apuntes de ejemplo (1200 si se omite, como mucho 1.000.000) y las\n"
        "      cuentas que falten a la base de datos del año de ano.ini.\n"
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
        return badUsage(err, QStringLiteral("falta la orden (init o demo)"));
    }
    try {
        if (args[0] == QLatin1String("init")) {
            return runInit(args, programFolder, out, err);
        }
        if (args[0] == QLatin1String("demo")) {
            return runDemo(args, programFolder, out, err);
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
