#pragma once

// Saving an entry: its class comes from the current kinds of its two accounts,
// and a movement the rule does not allow is never written.

#include "store/EntryStore.h"

namespace velmora {

class Database;

enum class SaveOutcome { Saved, Refused };

// The kind letter of the named account, looked up without regard to letter case;
// "0" when no account has that name, empty when the account has no kind.
QString accountKind(Database& db, const QString& name);

// Sets entry.movementClass and writes the row, new or changed. Throws DbError.
SaveOutcome saveEntry(Database& db, Entry& entry, bool isNew);

} // namespace velmora
