#include "admin/CommandLine.h"

#include "state/PathGate.h"
#include "state/SingleInstance.h"
#include "store/Amount.h"
#include "store/DatabaseFiles.h"
#include "store/DbErrorText.h"
#include "store/Sqlite.h"
#include "years/CopyYear.h"
#include "years/SafetyCopies.h"
#include "years/YearFolders.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace velmora::admin {

namespace {

// "Devedur-20240131-093000.mdb" → 31/01/2024 09:30:00, as SafetyCopies names them.
QString copyTimeText(const QString& path) {
    const QString stamp = QFileInfo(path).completeBaseName().mid(8);
    const QDateTime at = QDateTime::fromString(stamp, QStringLiteral("yyyyMMdd-HHmmss"));
    return at.isValid() ? at.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) : stamp;
}

QString sizeText(qint64 bytes) {
    return formatCount((bytes + 1023) / 1024) + QStringLiteral(" KB");
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

} // namespace

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

} // namespace velmora::admin
