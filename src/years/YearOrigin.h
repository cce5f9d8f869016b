#pragma once

// Which year a year was made from. The year window records it in the new year's
// file, in a small table of our own that the stock sqlite3 tool reads,
//   datosano (Clave TEXT PRIMARY KEY, Valor TEXT)
// under the key 'anoorigen', so that the balances can be taken again from that
// year later. A file without the table (made before it, or installed afresh)
// falls back on the calendar year before, when the year's name is one.

#include <QString>

#include <optional>

namespace velmora {

class Database;

namespace schema {
inline constexpr const char* kYearData = "datosano";
} // namespace schema

// Within the caller's transaction when one is open. Throws DbError.
void recordSourceYear(Database& db, const QString& sourceYear);

// Nothing when the file records none. Throws DbError.
std::optional<QString> recordedSourceYear(Database& db);

// The year `year` (whose file is db) takes its opening balances from: the
// recorded source year, otherwise the four-digit year before; nothing for a year
// such as "Casa" that records none. Throws DbError.
std::optional<QString> previousYearOf(Database& db, const QString& year);

} // namespace velmora
