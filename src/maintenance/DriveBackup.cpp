#include "maintenance/DriveBackup.h"

#include "startup/AppState.h"
#include "startup/Settings.h"
#include "state/PathGate.h"
#include "store/DatabaseFiles.h"
#include "store/DbErrorText.h"
#include "store/Sqlite.h"
#include "ui/Logging.h"
#include "years/SafetyCopies.h"
#include "years/YearDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velmora {

namespace {

const QString kBackupLead = QStringLiteral("No se puede hacer la copia de seguridad");
const QString kRestoreLead = QStringLiteral("No se puede recuperar la copia de seguridad");

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
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

void backUpYear(AppState& state, const QString& driveRoot, const QString& folder) {
    if (driveRoot.isEmpty()) {
        throw BackupError(kBackupLead + QStringLiteral(": no ha elegido ninguna unidad"));
    }
    if (!QFileInfo(driveRoot).isDir()) {
        throw BackupError(kBackupLead +
                          QStringLiteral(": no se encuentra la unidad %1; compruebe que hay un "
                                         "disco en ella")
                              .arg(native(driveRoot)));
    }
    // A copy landing among the program's own files would overwrite a year.
    if (const auto refusal = PathGate(state.places()).refuseBackupFolder(folder)) {
        throw BackupError(kBackupLead + QStringLiteral(": ") + *refusal);
    }
    const QString target = databaseIn(folder);
    const QString partial = partialPathFor(target);
    const SettingsFiles yearFile(folder);
    const QString yearPath = yearFile.pathOf(QStringLiteral("ano.ini"));
    try {
        makeFolder(markOf(driveRoot));
        makeFolder(backupFolderFor(driveRoot));
        if (!QFileInfo(folder).isDir()) {
            throw DbError(QStringLiteral("hacer la copia"),
                          QStringLiteral("no existe la carpeta %1").arg(native(folder)), 0);
        }
        // Checked first: SQLite would only say that it cannot open the file.
        if (!QFileInfo(folder).isWritable()) {
            throw DbError(
                QStringLiteral("hacer la copia"),
                QStringLiteral("no se puede escribir en la carpeta %1").arg(native(folder)), 0);
        }
        // What a crash left of an earlier attempt.
        QFile::remove(partial);
        removeStaleJournal(partial);
        copyDatabase(state.db(), partial);
        // A year file naming another year goes first: an old database left without
        // a year is refused by a restore, one labelled with the wrong year is not.
        if (QFileInfo::exists(yearPath) && yearFile.readYear() != state.year &&
            !QFile::remove(yearPath)) {
            throw DbError(QStringLiteral("hacer la copia"),
                          QStringLiteral("no se puede sustituir %1").arg(native(yearPath)), 0);
        }
        renameIntoPlace(partial, target);
    } catch (const DbError& error) {
        QFile::remove(partial);
        throw failure(kBackupLead, error);
    }
    try {
        yearFile.writeYear(state.year);
    } catch (const SettingsError& error) {
        throw BackupError(kBackupLead + QStringLiteral(". ") + error.message());
    }
}

QString restoreYear(AppState& state, const QString& driveRoot, const QString& folder,
                    const QDateTime& now) {
    if (!driveHoldsBackup(driveRoot)) {
        throw BackupError(QStringLiteral("No se encontraron datos en la unidad indicada"));
    }
    const QString file = databaseIn(folder);
    if (!QFileInfo(file).isFile()) {
        throw BackupError(kRestoreLead +
                          QStringLiteral(": no hay ninguna copia en %1").arg(native(folder)));
    }
    const QString held = SettingsFiles(folder).readYear();
    if (held.isEmpty()) {
        throw BackupError(
            kRestoreLead +
            QStringLiteral(": la copia de %1 no indica de qué año es").arg(native(folder)));
    }
    if (held != state.year) {
        throw BackupError(kRestoreLead +
                          QStringLiteral(": la copia de %1 es del año %2 y está trabajando en el "
                                         "año %3")
                              .arg(native(folder), held, state.year));
    }
    QString safetyCopy;
    try {
        checkLedgerFile(file);
    } catch (const DbError& error) {
        throw failure(kRestoreLead, error);
    }
    // Never replace the only copy of the user's data.
    try {
        safetyCopy = SafetyCopies(state.dataRoot, state.year).write(state.db(), now);
    } catch (const DbError& error) {
        log(kRestoreLead, error);
        throw BackupError(
            kRestoreLead +
            QStringLiteral(": no se puede guardar antes una copia de los datos actuales (%1)")
                .arg(describeFailure(error)));
    }
    try {
        YearDatabase(state).replaceWith(file);
    } catch (const ReopenError& error) {
        throw BackupError(QStringLiteral("La copia de seguridad se ha recuperado. ") +
                          error.message());
    } catch (const YearError& error) {
        throw BackupError(kRestoreLead + QStringLiteral(": ") + error.message());
    }
    return safetyCopy;
}

} // namespace velmora
