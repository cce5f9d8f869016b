#pragma once

// Whole-file work on a year's database: a consistent copy of an open one, a
// compacted copy, the check that a file is a sound ledger, and putting a finished
// file in place of another in one step.
//
// A file the program replaces is never rewritten where it lies: the new content
// is written beside it, flushed to disk, and renamed over it. rename() is atomic,
// so a crash or a full disk at any moment leaves either the old file or the new
// one, never half of each. Every failure is a DbError whose detail (code 0) is a
// Spanish reason for the user.

#include <QString>

#include <functional>

namespace velmora {

class Database;

// Copies the database open in source into the new file target with SQLite's
// online backup API, so the copy is consistent even while source is in use,
// flushes it to disk and checks it with checkLedgerFile(). target must not
// exist; on failure nothing is left there.
void copyDatabase(Database& source, const QString& target);

// Writes a compacted copy of source into the new file target (VACUUM INTO), and
// flushes it to disk. target must not exist.
void compactDatabase(Database& source, const QString& target);

// Opens the file, runs PRAGMA integrity_check and checks the ledger's tables.
// Throws when it is not a sound ledger database.
void checkLedgerFile(const QString& path);

// Flushes a file, and the folder that lists it, to disk.
void flushToDisk(const QString& path);

// Renames the finished file ready (in target's folder) over target in one step,
// and flushes the folder. With replace false an existing target is never touched
// and the call fails.
void renameIntoPlace(const QString& ready, const QString& target, bool replace = true);

// Copies source beside target, flushes the copy, lets check refuse it (by
// throwing) and renames it over target. A failure leaves target as it was and
// removes the partial copy.
void replaceFileWith(const QString& source, const QString& target,
                     const std::function<void(const QString&)>& check = {});

// Copies the bytes of source into the new file target and flushes it to disk.
// A failure says whether reading or writing failed, and why; nothing is left at
// target.
void copyFile(const QString& source, const QString& target);

// The name a file is built under before it is renamed into place.
QString partialPathFor(const QString& target);

// Removes the rollback journal and write-ahead log files of a database that no
// connection has open, so that a file put in its place is never "repaired" with
// pages of the one it replaced.
void removeStaleJournal(const QString& databasePath);

} // namespace velmora
