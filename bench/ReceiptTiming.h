#pragma once

// Finding the receipts due in the year, as every start does: 200 monthly
// receipts over a copy of the measured year, half their months written already.

#include <QString>

namespace velmora {
class Database;
} // namespace velmora

namespace velmora::bench {

inline constexpr int kReceiptTemplates = 200;

// Median of `runs` searches for the due receipts of calendar year `year`, in a copy
// of db that goes afterwards. Throws std::runtime_error when the copy cannot be
// made or finds other than the half still due.
double timeDueReceipts(Database& db, int year, int runs);

} // namespace velmora::bench
