#pragma once

// The table of a year's monthly budget, beside the ledger's own:
//   presupuesto (Cuenta TEXT NOT NULL, Mes INTEGER NOT NULL CHECK (Mes BETWEEN 0 AND 12),
//                Centimos INTEGER NOT NULL, PRIMARY KEY (Cuenta, Mes))
// Mes 0 holds an amount for every month, 1 to 12 a month's own amount, which wins
// over it. Made when the first budget is written, so a file without it simply has
// no budget. Amounts are whole cents, as the stock sqlite3 tool shows them. Names
// compare without regard to letter case, as everywhere else.
//
// Only what the accounts' own writes need lives here, so that a rename or a delete
// carries the account's budget in its own transaction; reading the budget and
// setting it belong to budget/BudgetStore.

#include <QString>
#include <QtGlobal>

#include <vector>

namespace velmora {

class Database;

namespace schema {
inline constexpr const char* kBudget = "presupuesto";
} // namespace schema

struct BudgetMonth {
    int month = 0; // 0 for every month
    qint64 cents = 0;
    bool operator==(const BudgetMonth&) const = default;
};

bool hasBudgetTable(Database& db);

// The account's stored rows, month 0 first; empty when it has none.
std::vector<BudgetMonth> storedBudgetOf(Database& db, const QString& account);

// Within the caller's transaction: the account's rows become `months`, every row
// it had before gone. Throws DbError, with nothing written, when a month lies
// outside 0 to 12 or an amount beyond what an amount may hold.
void replaceStoredBudget(Database& db, const QString& account,
                         const std::vector<BudgetMonth>& months);

// Within the caller's transaction: the account's budget follows a rename, or goes
// with a delete (renamed to nothing). Nothing to do in a file without the table.
void renameBudget(Database& db, const QString& from, const QString& to);

} // namespace velmora
