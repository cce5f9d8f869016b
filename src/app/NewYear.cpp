#include "app/NewYear.h"

#include "analysis/CarryOver.h"
#include "budget/BudgetStore.h"
#include "receipts/ReceiptStore.h"

namespace velmora {

void takeIntoNewYear(Database& current, const QString& currentYear, Database& fresh) {
    carryIntoNewYear(current, currentYear, fresh);
    carryReceipts(current, currentYear, fresh);
    carryBudget(current, fresh);
}

} // namespace velmora
