#include "years/ConnectionSetup.h"

#include "state/Logging.h"
#include "state/Settings.h"
#include "state/YearSession.h"
#include "store/DbErrorText.h"
#include "store/PathText.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
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

void openYear(YearSession& session, const QString& dataRoot, const QString& year) {
    const QString path = databasePathFor(dataRoot, year);
    std::unique_ptr<Database> connection;
    try {
        connection = openYearDatabase(path);
    } catch (const DbError& error) {
        throw ConnectionError(path, describeFailure(error));
    }
    session.dataRoot_ = dataRoot;
    session.year_ = year;
    session.databasePath_ = path;
    session.connection_ = std::move(connection);
}

void setupConnection(YearSession& session) {
    const SettingsFiles settings(session.programFolder());
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
    openYear(session, dataRoot, year);
}

// Keyed by the year's database, so that a copy started from another program folder
// on the same year is kept out too.
bool lockYear(YearSession& session, const QString& databasePath) {
    session.yearLock_ = std::make_unique<SingleInstance>(databasePath);
    return session.yearLock_->acquire();
}

} // namespace velmora
