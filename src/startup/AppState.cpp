#include "startup/AppState.h"

namespace velmora {

Database& AppState::db() const {
    if (!connection) {
        throw DbError(QStringLiteral("usar la base de datos"),
                      QStringLiteral("la base de datos está cerrada"), 0);
    }
    return *connection;
}

} // namespace velmora
