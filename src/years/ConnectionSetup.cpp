#include "years/ConnectionSetup.h"

#include "startup/AppState.h"
#include "startup/Settings.h"
#include "store/DbErrorText.h"
#include "store/PathText.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "ui/Logging.h"
#include "years/YearFolders.h"

#include <QFileInfo>

namespace velmora {

ConnectionError::ConnectionError(QString path, QString reason)
    : std::runtime_error((path + QStringLiteral(": ") + reason).toStdString()),
      path_(std::move(path)), reason_(std::move(reason)) {}

QString ConnectionError::message() const {
    return QStringLiteral("No se puede abrir la base de datos %1: %2")
        .arg(pathForMessage(path_), reason_);
}

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

void openYear(AppState& state, const QString& dataRoot, const QString& year) {
    const QString path = databasePathFor(dataRoot, year);
    std::unique_ptr<Database> connection;
    try {
        connection = openYearDatabase(path);
    } catch (const DbError& error) {
        throw ConnectionError(path, describeFailure(error));
    }
    state.dataRoot = dataRoot;
    state.year = year;
    state.databasePath = path;
    state.connection = std::move(connection);
}

void setupConnection(AppState& state) {
    const SettingsFiles settings(state.programFolder);
    const QString dataRoot = settings.readDataRoot();
    const QString year = settings.readYear();
    if (!settings.problems().isEmpty()) {
        throw ConnectionError(databasePathFor(dataRoot, year),
                              settings.problems().join(QStringLiteral("; ")));
    }
    // ano.ini is a file anyone can edit: "../otra" would open a ledger elsewhere.
    if (!year.isEmpty() && !namesYearFolder(year)) {
        throw ConnectionError(databasePathFor(dataRoot, year),
                              QStringLiteral("ano.ini no nombra un año de la carpeta de datos"));
    }
    openYear(state, dataRoot, year);
}

} // namespace velmora
