#pragma once

// Monthly sums per income or expense account, as the statistics window shows
// them: one row per account with a cell per month and the row's total, and a
// totals row under them. Every sum adds whole cents, so the totals row always
// agrees with the column above it.

#include "store/Amount.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace velmora {

class Database;

// The order of the statistics window's list.
enum class StatisticsKind { IncomeByMonth = 0, IncomeByYear, ExpenseByMonth, ExpenseByYear };

// "Ingresos MES", "Ingresos AÑO", "Gastos MES", "Gastos AÑO", in the order above.
QStringList statisticsKindNames();

// Only the monthly kinds have been made; the yearly ones are announced but absent.
bool isAvailable(StatisticsKind kind);

// "Enero" … "Diciembre" for 1 … 12.
QString monthName(int month);

// Rows of (month 1-12 or anything else for an unusable date, account, sum in
// cents or Null when unreadable) grouped by the account text as stored, letter
// case included. Empty for a kind that is not available. The benchmark runs the
// same text to time the bare engine.
const char* monthlyStatisticsSql(StatisticsKind kind);

struct StatisticsRow {
    QString name;
    // Index 0 is January; empty when no entry of the kind fell in that month.
    std::array<std::optional<AmountTotal>, 12> months;
    // Always set on an account row, zero included; empty on the totals row when
    // its sum is exactly zero.
    std::optional<AmountTotal> total;
};

struct MonthlyTable {
    // Sorted as a Spanish reader expects; names that differ only in letter case
    // are one account.
    std::vector<StatisticsRow> accounts;
    StatisticsRow totals; // named "TOTAL"
    // The entries whose amount is no number, when a figure could not be added up.
    std::vector<qint64> unreadable;

    bool empty() const { return accounts.empty(); }
    // The accounts and the totals row, or nothing at all for an empty table.
    int rowCount() const { return empty() ? 0 : static_cast<int>(accounts.size()) + 1; }
    // 0 = first account; rowCount() - 1 = the totals row.
    const StatisticsRow& row(int index) const;
};

// Throws DbError when the engine fails; an empty table for a kind that is not
// available.
MonthlyTable loadMonthlyStatistics(Database& db, StatisticsKind kind);

} // namespace velmora
