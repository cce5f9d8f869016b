#pragma once

// Budget against what happened, per income and expense account, for one month or
// the whole year. What happened is what the statistics window counts for the
// account in that month, read through the same loading, so the two windows
// never disagree. A difference is signed so that a negative one is bad: an
// expense spent beyond its budget, an income that brought less than planned. An
// account without a budget counts as budgeted at 0,00: unplanned spending shows
// as over budget, and the totals add up whichever accounts have one.

#include "store/Amount.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace velmora {

class Database;

enum class BudgetSide { Income, Expense };

// One account's year: the budget and the actual figure of each month.
struct BudgetAccountYear {
    QString name;
    // January first; nothing for a month without a budget.
    std::array<std::optional<qint64>, 12> budget;
    // Nothing for a month without a movement of the kind.
    std::array<std::optional<AmountTotal>, 12> actual;
};

// Every income account (of that kind, or with income counted in the statistics)
// and every expense account alike, each side sorted as a Spanish reader expects.
struct BudgetYear {
    std::vector<BudgetAccountYear> income;
    std::vector<BudgetAccountYear> expense;
    // Some actual figure could not be added up; the entries whose amount is no
    // number, when any could be named.
    bool unreadable = false;
    std::vector<qint64> unreadableEntries;
    const std::vector<BudgetAccountYear>& side(BudgetSide which) const {
        return which == BudgetSide::Income ? income : expense;
    }
};

// Reads the accounts, the budget and the statistics of the year. Throws DbError.
BudgetYear loadBudgetYear(Database& db);

struct BudgetLine {
    QString name;
    // Nothing when no month of the period has a budget; always set on a total.
    std::optional<AmountTotal> budget;
    AmountTotal actual;
    AmountTotal difference;
};

struct BudgetGroup {
    std::vector<BudgetLine> lines;
    BudgetLine total;
};

struct BudgetSheet {
    BudgetGroup income;  // total named "Total ingresos"
    BudgetGroup expense; // total named "Total gastos"
    // Income less expense, budgeted and actual; its difference is the sum of the
    // two groups' differences. Named "Resultado".
    BudgetLine overall;
};

// `month` 1 to 12 for that month, 0 for the whole year.
BudgetSheet budgetSheet(const BudgetYear& year, int month);

// Twelve months of budget and actual figures, in units, for a chart: one account
// of a side, or with no account the side's totals.
struct BudgetSeries {
    QString name;
    std::array<double, 12> budget{};
    std::array<double, 12> actual{};
};
BudgetSeries budgetSeries(const BudgetYear& year, BudgetSide side, std::optional<size_t> account);
// Income less expense, month by month, named "Resultado".
BudgetSeries resultSeries(const BudgetYear& year);

} // namespace velmora
