#pragma once

// Files as the tests see them: their bytes, and the entries of a ledger on disk.

#include <QByteArray>
#include <QString>

namespace velmora::test {

// Empty when the file cannot be read.
QByteArray fileBytes(const QString& path);
// Makes the folders on the way; false when the file cannot be written.
bool putBytes(const QString& path, const QByteArray& bytes);
// The entries of the ledger at path; -1, with the reason in the log, when it is
// not a sound ledger.
qint64 entriesIn(const QString& databasePath);

} // namespace velmora::test
