#pragma once

// Saving an entry: its class comes from the current kinds of its two accounts,
// and a movement the rule does not allow is never written.

#include "store/EntryStore.h"

namespace velmora {

class Database;

enum class SaveOutcome {
    Saved,
    Refused, // the movement rule does not allow the pair of accounts
    Gone,    // a changed entry that another program deleted meanwhile
};

// Sets entry.movementClass and writes the row, new or changed. A new entry whose
// number another program took meanwhile is saved under the next free number,
// which entry.id then holds. Throws DbError.
SaveOutcome saveEntry(Database& db, Entry& entry, bool isNew);

} // namespace velmora
