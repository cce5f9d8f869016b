#pragma once

// The user's own copy of the current year, on a drive of their choosing, and the
// way back from it. Every year's copy lives apart in the backup folder, in
// {folder}/{year}/ as Devedur.mdb with an ano.ini naming the year, so that one
// drive holds the copies of every year side by side and a restore never puts one
// year's data in place of another's. A copy written before copies were kept apart
// ({folder}/Devedur.mdb with its ano.ini) is still found, and left alone by the
// backups of other years.
//
// Neither direction ever leaves half a file where the user will look for a whole
// one: the backup is built beside the previous one and renamed over it once it
// has passed the check, and the restore goes through YearDatabase::replaceWith,
// after a safety copy of the data it replaces.

#include <QDateTime>
#include <QString>

#include <stdexcept>

namespace velmora {

class YearSession;

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

// {folder}/{year}, where the copy of year lives in the backup folder folder.
QString yearBackupFolder(const QString& folder, const QString& year);

// Writes a consistent copy of the current year's database, and its year, into
// {folder}/{year}, after making {drive}/CopiaVelmora/Datos when it is missing.
// folder must exist. A copy of another year is never replaced. A failure leaves
// the previous backup as it was.
void backUpYear(YearSession& session, const QString& driveRoot, const QString& folder);

// Puts the current year's backup in folder in place of the current year's
// database, once it is known to be a sound ledger of this same year and a safety
// copy of the current data has been written. Gives the safety copy's path. On
// failure nothing has changed.
QString restoreYear(YearSession& session, const QString& driveRoot, const QString& folder,
                    const QDateTime& now);

} // namespace velmora
