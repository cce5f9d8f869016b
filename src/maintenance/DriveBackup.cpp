#include "maintenance/DriveBackup.h"

#include "state/Logging.h"
#include "state/PathGate.h"
#include "state/Settings.h"
#include "state/YearSession.h"
#include "store/DatabaseFiles.h"
#include "store/DbErrorText.h"
#include "store/PathText.h"
#include "store/Sqlite.h"
#include "years/SafetyCopies.h"
#include "years/YearDatabase.h"
#include "years/YearFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velmora {

namespace {

const QString kBackupLead = QStringLiteral("No se puede hacer la copia de seguridad");
const QString kRestoreLead = QStringLiteral("No se puede recuperar la copia de seguridad");

QString native(const QString& path) {
    return pathForMessage(path);
}

QString databaseIn(const QString& folder) {
    return folder + QStringLiteral("/Devedur.mdb");
}

QString markOf(const QString& driveRoot) {
    return QDir::cleanPath(driveRoot + QStringLiteral("/CopiaVelmora"));
}

void log(const QString& lead, const DbError& error) {
    qCWarning(lcMaintenance).noquote()
        << lead << "|" << error.operation() << "|" << error.detail() << "| código" << error.code();
}

BackupError failure(const QString& lead, const DbError& error) {
    log(lead, error);
    return BackupError(lead + QStringLiteral(": ") + describeFailure(error));
}

// mkdir, not mkpath: a drive that is not there must not be made on the system disk.
void makeFolder(const QString& path) {
    if (!QFileInfo(path).isDir() && !QDir().mkdir(path)) {
        throw DbError(QStringLiteral("crear la carpeta de la copia"),
                      QStringLiteral("no se puede crear la carpeta %1").arg(native(path)), 0);
    }
}

// The year the ano.ini in folder names; empty when there is none.
QString yearNamedIn(const QString& folder) {
    return SettingsFiles(folder).readYear();
}

QString otherYearText(const QString& folder, const QString& held, const QString& year) {
    return QStringLiteral("la copia de %1 es del año %2 y está trabajando en el año %3")
        .arg(native(folder), held, year);
}

// The years whose copies lie apart in folder.
QStringList yearsBackedUpIn(const QString& folder) {
    QStringList years;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (QFileInfo(databaseIn(dir.filePath(name))).isFile()) {
            years.append(name);
        }
    }
    return years;
}

// The current year's copy in folder: its own, or one written before copies were
// kept apart, when its ano.ini names this year. Throws why there is none.
QString copyOfYear(const QString& folder, const QString& year) {
    const QString apart = yearBackupFolder(folder, year);
    if (QFileInfo(databaseIn(apart)).isFile()) {
        const QString held = yearNamedIn(apart);
        if (!held.isEmpty() && held != year) {
            throw BackupError(kRestoreLead + QStringLiteral(": ") +
                              otherYearText(apart, held, year));
        }
        return databaseIn(apart);
    }
    if (QFileInfo(databaseIn(folder)).isFile()) {
        const QString held = yearNamedIn(folder);
        if (held.isEmpty()) {
            throw BackupError(
                kRestoreLead +
                QStringLiteral(": la copia de %1 no indica de qué año es").arg(native(folder)));
        }
        if (held != year) {
            throw BackupError(kRestoreLead + QStringLiteral(": ") +
                              otherYearText(folder, held, year));
        }
        return databaseIn(folder);
    }
    const QStringList others = yearsBackedUpIn(folder);
    QString message =
        kRestoreLead +
        QStringLiteral(": no hay ninguna copia del año %1 en %2").arg(year, native(folder));
    if (!others.isEmpty()) {
        message += (others.size() == 1 ? QStringLiteral(" (solo hay copia del año %1)")
                                       : QStringLiteral(" (solo hay copias de los años %1)"))
                       .arg(others.join(QStringLiteral(", ")));
    }
    throw BackupError(message);
}

} // namespace

BackupError::BackupError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message) {}

QString backupFolderFor(const QString& driveRoot) {
    if (driveRoot.isEmpty()) {
        return {};
    }
    return QDir::cleanPath(driveRoot + QStringLiteral("/CopiaVelmora/Datos"));
}

bool driveHoldsBackup(const QString& driveRoot) {
    return !driveRoot.isEmpty() && QFileInfo(markOf(driveRoot)).isDir();
}

QString yearBackupFolder(const QString& folder, const QString& year) {
    return folder + QLatin1Char('/') + year;
}

void backUpYear(YearSession& session, const QString& driveRoot, const QString& folder) {
    if (driveRoot.isEmpty()) {
        throw BackupError(kBackupLead + QStringLiteral(": no ha elegido ninguna unidad"));
    }
    if (!QFileInfo(driveRoot).isDir()) {
        throw BackupError(kBackupLead +
                          QStringLiteral(": no se encuentra la unidad %1; compruebe que hay un "
                                         "disco en ella")
                              .arg(native(driveRoot)));
    }
    if (!namesYearFolder(session.year())) {
        throw BackupError(
            kBackupLead +
            QStringLiteral(": el año «%1» no es un nombre de carpeta").arg(session.year()));
    }
    const QString yearFolder = yearBackupFolder(folder, session.year());
    // A copy landing among the program's own files would overwrite a year; the
    // year's folder is judged too, in case it is a link that leads there.
    const PathGate gate(session.places());
    for (const QString& place : {folder, yearFolder}) {
        if (const auto refusal = gate.refuseBackupFolder(place)) {
            throw BackupError(kBackupLead + QStringLiteral(": ") + *refusal);
        }
    }
    const QString target = databaseIn(yearFolder);
    const QString partial = partialPathFor(target);
    const SettingsFiles yearFile(yearFolder);
    const QString yearPath = yearFile.pathOf(QStringLiteral("ano.ini"));
    try {
        makeFolder(markOf(driveRoot));
        makeFolder(backupFolderFor(driveRoot));
        if (!QFileInfo(folder).isDir()) {
            throw DbError(QStringLiteral("hacer la copia"),
                          QStringLiteral("no existe la carpeta %1").arg(native(folder)), 0);
        }
        makeFolder(yearFolder);
        // Checked first: SQLite would only say that it cannot open the file.
        if (!QFileInfo(yearFolder).isWritable()) {
            throw DbError(
                QStringLiteral("hacer la copia"),
                QStringLiteral("no se puede escribir en la carpeta %1").arg(native(yearFolder)), 0);
        }
        // Another year's copy is never replaced without a word, whatever put it here.
        if (QFileInfo::exists(yearPath) || QFileInfo(yearPath).isSymLink()) {
            if (!QFileInfo(yearPath).isFile()) {
                throw DbError(QStringLiteral("hacer la copia"),
                              QStringLiteral("no se puede sustituir %1").arg(native(yearPath)), 0);
            }
            const QString held = yearFile.readYear();
            if (!held.isEmpty() && held != session.year()) {
                throw DbError(QStringLiteral("hacer la copia"),
                              QStringLiteral("%1 guarda la copia del año %2, que no se sustituye")
                                  .arg(native(yearFolder), held),
                              0);
            }
        }
        // What a crash left of an earlier attempt.
        QFile::remove(partial);
        removeStaleJournal(partial);
        copyDatabase(session.db(), partial);
        // The year first: a copy is never in place without the file that says its year.
        try {
            yearFile.writeYear(session.year());
        } catch (const SettingsError& error) {
            throw DbError(QStringLiteral("hacer la copia"), error.message(), 0);
        }
        renameIntoPlace(partial, target);
    } catch (const DbError& error) {
        QFile::remove(partial);
        throw failure(kBackupLead, error);
    }
}

QString restoreYear(YearSession& session, const QString& driveRoot, const QString& folder,
                    const QDateTime& now) {
    if (!driveHoldsBackup(driveRoot)) {
        throw BackupError(QStringLiteral("No se encontraron datos en la unidad indicada"));
    }
    const QString file = copyOfYear(folder, session.year());
    QString safetyCopy;
    try {
        checkLedgerFile(file);
    } catch (const DbError& error) {
        throw failure(kRestoreLead, error);
    }
    // Never replace the only copy of the user's data.
    try {
        safetyCopy = SafetyCopies(session.dataRoot(), session.year()).write(session.db(), now);
    } catch (const DbError& error) {
        log(kRestoreLead, error);
        throw BackupError(
            kRestoreLead +
            QStringLiteral(": no se puede guardar antes una copia de los datos actuales (%1)")
                .arg(describeFailure(error)));
    }
    try {
        YearDatabase(session).replaceWith(file);
    } catch (const ReopenError& error) {
        throw BackupError(QStringLiteral("La copia de seguridad se ha recuperado. ") +
                          error.message());
    } catch (const YearError& error) {
        throw BackupError(kRestoreLead + QStringLiteral(": ") + error.message());
    }
    return safetyCopy;
}

} // namespace velmora
