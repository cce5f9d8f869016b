#pragma once

#include <QString>

namespace velmora {

class DbError;

// What went wrong, in Spanish, said so that the user can act on it ("el disco
// está lleno", "la base de datos está bloqueada por otro programa"). The engine's
// own English words never reach the user: they are for the log.
QString describeFailure(const DbError& error);

// Another program held the database for longer than a statement waits.
bool isBusy(const DbError& error);

} // namespace velmora
