#pragma once

// Writes to the entries table.

#include <QtGlobal>

namespace velmora {

class Database;

void deleteEntry(Database& db, qint64 id);

} // namespace velmora
