#include "entries/EntrySaving.h"

#include "entries/MovementRule.h"
#include "store/Funciones.h"

namespace velmora {

QString accountKind(Database& db, const QString& name) {
    return BuscaDescripcion(db, QStringLiteral("contas"), QStringLiteral("conTipo"),
                            QStringLiteral("conNom"), name);
}

SaveOutcome saveEntry(Database& db, Entry& entry, bool isNew) {
    const std::optional<QString> movementClass =
        classifyMovement(accountKind(db, entry.goesInto), accountKind(db, entry.comesOutOf));
    if (!movementClass) {
        return SaveOutcome::Refused;
    }
    entry.movementClass = *movementClass;
    if (isNew) {
        insertEntry(db, entry);
    } else {
        updateEntry(db, entry);
    }
    return SaveOutcome::Saved;
}

} // namespace velmora
