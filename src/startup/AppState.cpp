#include "startup/AppState.h"

#include "years/ConnectionSetup.h"

#include <QCoreApplication>

namespace velmora {

Database& AppState::db() const {
    if (!connection) {
        if (databasePath.isEmpty()) {
            throw DbError(QStringLiteral("usar la base de datos"),
                          QStringLiteral("la base de datos está cerrada"), 0);
        }
        connection = openYearDatabase(databasePath);
    }
    return *connection;
}

ProgramPlaces AppState::places() const {
    return {programFolder, dataRoot, QCoreApplication::applicationDirPath()};
}

} // namespace velmora
