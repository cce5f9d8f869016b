#pragma once

// What a new year takes from the year it is made from: the cash accounts'
// balances at its end, the recurring receipts that run on and the budget of the
// accounts it has. Fits YearDatabase::create(); throws DbError, and the new year
// is not made.

#include <QString>

namespace velmora {

class Database;

void takeIntoNewYear(Database& current, const QString& currentYear, Database& fresh);

} // namespace velmora
