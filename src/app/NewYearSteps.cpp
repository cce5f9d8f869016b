#include "app/NewYearSteps.h"

#include "analysis/CarryOver.h"
#include "budget/BudgetStore.h"

namespace velmora {

void newYearSteps(Database& current, const QString& currentYear, Database& fresh) {
    carryIntoNewYear(current, currentYear, fresh);
    carryBudget(current, fresh);
}

} // namespace velmora
