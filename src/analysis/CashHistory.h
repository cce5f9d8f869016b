#pragma once

// How much there was in the cash accounts at the end of each month, over every
// year of the data root: the figure the balances window gives at each month's
// last day, summed over the year's cash accounts. Other years are read only,
// never locked or changed; one that cannot be read is named, not fatal.

#include "store/Amount.h"

#include <QDate>
#include <QString>

#include <vector>

namespace velmora {

class Database;
struct SkippedYear;

struct MonthEndCash {
    QString year;
    QDate monthEnd;
    AmountTotal total;
};

// The months of the year's calendar year for a four-digit name, otherwise those
// from its first dated entry to its last. Throws DbError.
std::vector<MonthEndCash> monthEndCash(Database& db, const QString& year);

struct CashHistory {
    std::vector<MonthEndCash> months; // oldest first
    std::vector<SkippedYear> skipped;
};

CashHistory cashHistory(const QString& dataRoot);

} // namespace velmora
