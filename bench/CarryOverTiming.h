#pragma once

// Taking the opening balances of a new year from the year it was made from: the
// balances of every cash account at the year's last day, compared with the new
// year's, and written. The new year is a copy of the measured one without its
// entries, in a folder of its own that goes afterwards.

#include <QString>

namespace velmora {
class Database;
} // namespace velmora

namespace velmora::bench {

// Median of `runs` carry-overs from db (the year named year). Throws
// std::runtime_error when the copy cannot be made.
double timeCarryOver(Database& db, const QString& year, int runs);

} // namespace velmora::bench
