#pragma once

// What a new year takes from the year it is made from beyond a copy of its file:
// the cash accounts' balances at the current year's end, and the budget of the
// accounts the new year has. One step for YearDatabase::create(), all of it in the
// new year's transaction.

#include <QString>

namespace velmora {

class Database;

void newYearSteps(Database& current, const QString& currentYear, Database& fresh);

} // namespace velmora
