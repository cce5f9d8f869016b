#include "state/YearSession.h"

#include "state/Logging.h"
#include "store/Schema.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace velmora {

std::unique_ptr<Database> openYearDatabase(const QString& path) {
    if (QFileInfo(path).isDir() || !QFileInfo::exists(path)) {
        throw DbError(QStringLiteral("abrir la base de datos"),
                      QStringLiteral("el archivo no existe"), 0);
    }
    try {
        auto connection = std::make_unique<Database>(path);
        checkLedgerSchema(*connection);
        return connection;
    } catch (const DbError& error) {
        // The user reads the Spanish reason; the engine's own words are for the log.
        qCWarning(lcStartup).noquote() << "no se puede abrir" << path << "|" << error.what();
        throw;
    }
}

YearSession::YearSession(QString settingsFolder) : programFolder_(std::move(settingsFolder)) {}

Database& YearSession::db() const {
    if (!connection_) {
        if (databasePath_.isEmpty()) {
            throw DbError(QStringLiteral("usar la base de datos"),
                          QStringLiteral("la base de datos está cerrada"), 0);
        }
        connection_ = openYearDatabase(databasePath_);
    }
    return *connection_;
}

ProgramPlaces YearSession::places() const {
    return {programFolder_, dataRoot_, QCoreApplication::applicationDirPath()};
}

} // namespace velmora
