#include "entries/EntrySaving.h"

#include "entries/MovementRule.h"
#include "store/AccountStore.h"

namespace velmora {

SaveOutcome saveEntry(Database& db, Entry& entry, bool isNew) {
    const std::optional<QString> movementClass =
        classifyMovement(accountKind(db, entry.goesInto), accountKind(db, entry.comesOutOf));
    if (!movementClass) {
        return SaveOutcome::Refused;
    }
    entry.movementClass = *movementClass;
    if (isNew) {
        entry.id = insertEntry(db, entry);
        return SaveOutcome::Saved;
    }
    return updateEntry(db, entry) ? SaveOutcome::Saved : SaveOutcome::Gone;
}

} // namespace velmora
