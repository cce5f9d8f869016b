#pragma once

#include <QString>

namespace velmora {

class DbError;

// What went wrong, said so that the user can act on it ("el disco está lleno",
// "la base de datos está bloqueada por otro programa"); the engine's own words
// when there is nothing better to say.
QString describeFailure(const DbError& error);

} // namespace velmora
