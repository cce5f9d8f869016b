#pragma once

// The user's own copy of the current year, on a drive of their choosing, and the
// way back from it. A backup folder holds the year's database as Devedur.mdb and,
// beside it, an ano.ini naming the year it belongs to, so that a restore never
// puts one year's data in place of another's.
//
// Neither direction ever leaves half a file where the user will look for a whole
// one: the backup is built beside the previous one and renamed over it once it
// has passed the check, and the restore goes through YearDatabase::replaceWith,
// after a safety copy of the data it replaces.

#include <QDateTime>
#include <QString>

#include <stdexcept>

namespace velmora {

struct AppState;

// An operation that did not happen, with the Spanish sentence for the user.
class BackupError : public std::runtime_error {
public:
    explicit BackupError(const QString& message);
    const QString& message() const { return message_; }

private:
    QString message_;
};

// {drive}/CopiaVelmora/Datos, the usual place of a backup on the drive.
QString backupFolderFor(const QString& driveRoot);

// Whether {drive}/CopiaVelmora exists, the mark of a drive that holds a backup.
bool driveHoldsBackup(const QString& driveRoot);

// Writes a consistent copy of the current year's database, and its year, into
// folder, after making {drive}/CopiaVelmora/Datos when it is missing. folder must
// exist. A failure leaves the previous backup in folder as it was.
void backUpYear(AppState& state, const QString& driveRoot, const QString& folder);

// Puts the backup in folder in place of the current year's database, once it is
// known to be a sound ledger of this same year and a safety copy of the current
// data has been written. Gives the safety copy's path. On failure nothing has
// changed.
QString restoreYear(AppState& state, const QString& driveRoot, const QString& folder,
                    const QDateTime& now);

} // namespace velmora
