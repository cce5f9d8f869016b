#pragma once

// Reads and writes single rows of the entries table. Another program may write
// the same file while a window is open: a save checks that its row is still
// there, and a new entry whose number was taken meanwhile takes the next free one.

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace velmora {

class Database;

struct Entry {
    qint64 id = 0;
    QDate date;
    QString description;
    QString goesInto;
    QString comesOutOf;
    double amount = 0; // NaN when the file holds no number there
    QString movementClass;
};

// Nothing when no entry has that number.
std::optional<Entry> loadEntry(Database& db, qint64 id);

// The number a new entry gets: the largest number plus 1, or 1 when there is none.
qint64 nextEntryId(Database& db);

// Writes a new entry under entry.id when that number is still free, otherwise
// under the next free one, in one transaction. Gives the number used.
qint64 insertEntry(Database& db, const Entry& entry);

// Writes every column but the number; false when no entry has that number any more.
bool updateEntry(Database& db, const Entry& entry);

void deleteEntry(Database& db, qint64 id);

// The first few entries whose date no list can show: none, or text that is no
// date at all (a file from elsewhere). Found through the date index, not a scan.
std::vector<qint64> undatedEntries(Database& db, int limit = 6);

} // namespace velmora
