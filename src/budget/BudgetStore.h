#pragma once

// The monthly budget of the income and expense accounts: for each, the same
// amount every month or one amount per month, kept in the year's file (the table
// is described in store/BudgetTable.h). Every change runs in one transaction, so a
// budget is never left with some months written and others not.

#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>
#include <vector>

namespace velmora {

class Database;

struct AccountBudget {
    QString account; // as stored
    // What each month is meant to bring or cost, January first; nothing for a
    // month without a budget, which only a file edited elsewhere leaves.
    std::array<std::optional<qint64>, 12> months;
    // Stored as one amount for every month.
    bool sameEveryMonth = false;
};

// Whether an account of this kind letter may have a budget: income and expense.
bool takesBudget(const QString& kind);

// Every budget stored, in the order a Spanish reader sorts the names; empty when
// the file has none. Throws DbError.
std::vector<AccountBudget> readBudget(Database& db);

// Nothing when the account has none. Throws DbError.
std::optional<AccountBudget> budgetOf(Database& db, const QString& account);

// The account's budget becomes `cents` every month, or the twelve amounts given,
// replacing what it had, in one transaction (the caller's, when one is open). The
// budget is kept under the name as the accounts table spells it. Throws DbError,
// with nothing written, when no account has that name any more (another copy of
// the program may have removed it), when it is a cash account, or when an amount
// lies beyond what an amount may hold.
void setBudgetEveryMonth(Database& db, const QString& account, qint64 cents);
void setBudgetByMonth(Database& db, const QString& account, const std::array<qint64, 12>& cents);

// The account has no budget any more. Throws DbError.
void clearBudget(Database& db, const QString& account);

// A new year made from current keeps current's budget for the income and expense
// accounts it has, and no other. Runs in the new year's transaction. Fits beside
// the other steps of YearDatabase::create(). Throws DbError.
void carryBudget(Database& current, Database& fresh);

} // namespace velmora
