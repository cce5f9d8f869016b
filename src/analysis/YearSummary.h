#pragma once

// The year gathered for the income-tax return: what each income account brought
// in and each expense account took over the year, the two totals and the result,
// and where each cash account started (its opening balance) and ended (its
// balance at 31 December). The figures are the balances of the year at 31
// December, the very ones the balances window shows at that date, so the summary
// never tells a story of its own.
//
// The summary is laid out once, as lines, for the window's grid and for the
// printed report alike.

#include "store/Amount.h"

#include <QString>

#include <optional>
#include <vector>

namespace velmora {

class Database;

struct SummaryAccount {
    QString account;
    AmountTotal amount; // income: what came in through it; expense: what went to it
};

struct SummaryCash {
    QString account;
    AmountTotal opening; // at 1 January
    AmountTotal closing; // at 31 December
};

struct YearSummary {
    int year = 0;
    // In the order a Spanish reader sorts them; every account of the kind, those
    // without a movement at 0,00.
    std::vector<SummaryAccount> income;
    std::vector<SummaryAccount> expense;
    std::vector<SummaryCash> cash;
    AmountTotal incomeTotal;
    AmountTotal expenseTotal;
    AmountTotal openingTotal;
    AmountTotal closingTotal;
    // The entries whose amount is no number, when a figure could not be added up.
    std::vector<qint64> unreadable;

    // Income less expense.
    AmountTotal result() const { return incomeTotal.minus(expenseTotal); }
    bool hasUnreadableFigures() const;
};

// The summary of `year` from the file's entries and opening balances. Throws
// DbError when the engine fails.
YearSummary loadYearSummary(Database& db, int year);

struct SummaryLine {
    enum class Kind { Section, Account, Total };
    Kind kind = Kind::Account;
    QString caption;
    // Empty where the line has no such figure: a heading, the figures of the
    // income and expense accounts beside those of the cash accounts.
    std::optional<AmountTotal> amount;
    std::optional<AmountTotal> opening;
    std::optional<AmountTotal> closing;
};

// "Ingresos", its accounts, "Total ingresos"; "Gastos", its accounts, "Total
// gastos"; "Resultado (ingresos - gastos)"; "Cuentas de caja", its accounts with
// their opening and closing balances, "Total cuentas de caja".
std::vector<SummaryLine> summaryLines(const YearSummary& summary);

} // namespace velmora
