#pragma once

// Reads and writes single rows of the entries table. Another program may write
// the same file while a window is open: a save checks that its row is still
// there, and a new entry whose number was taken meanwhile takes the next free one.

#include "store/Sqlite.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace velmora {

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

// An entry exactly as the file held it: every column with its stored type and
// bytes, whatever another program wrote there, so that one deleted by mistake
// goes back unchanged.
struct StoredEntry {
    qint64 id = 0;
    StoredValues columns; // Data, Des, EntraEn, SaleDe, Importe, GoI
};
// Deletes the entry and gives it as it was, in one transaction; nothing when no
// entry has that number any more.
std::optional<StoredEntry> takeEntry(Database& db, qint64 id);
// Writes a taken entry back under its number, or under the next free one when
// that was taken meanwhile, in one transaction. Gives the number used.
qint64 putBackEntry(Database& db, const StoredEntry& entry);

// The first few entries whose date no list can show: none, or text that is no
// date at all (a file from elsewhere). Found through the date index, not a scan.
std::vector<qint64> undatedEntries(Database& db, int limit = 6);

} // namespace velmora
