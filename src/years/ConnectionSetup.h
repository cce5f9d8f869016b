#pragma once

// Reads ruta.ini and ano.ini again, builds the year's database path and replaces
// the shared connection by a new one. When the new database cannot be opened the
// state is left as it was and ConnectionError says why, in Spanish.

#include <QString>

#include <memory>
#include <stdexcept>

namespace velmora {

class YearSession;

class ConnectionError : public std::runtime_error {
public:
    ConnectionError(QString path, QString reason);
    const QString& path() const { return path_; }
    const QString& reason() const { return reason_; }
    // "No se puede abrir la base de datos PATH: REASON", a long path shortened.
    QString message() const;

private:
    QString path_;
    QString reason_;
};

void setupConnection(YearSession& session);

// Opens the year of dataRoot, as setupConnection() does once it has read the
// settings files.
void openYear(YearSession& session, const QString& dataRoot, const QString& year);

// Holds the year of databasePath for session, as the program does from its start
// on. False when another running copy holds it.
bool lockYear(YearSession& session, const QString& databasePath);

} // namespace velmora
