#include "analysis/YearSummary.h"

#include "analysis/AccountBalances.h"
#include "analysis/UnreadableAmounts.h"
#include "store/Schema.h"
#include "store/Sqlite.h"

#include <QDate>

namespace velmora {

namespace {

std::vector<SummaryAccount> totalsOf(const std::vector<AccountFigures>& accounts,
                                     AmountTotal& total) {
    std::vector<SummaryAccount> lines;
    lines.reserve(accounts.size());
    for (const AccountFigures& account : accounts) {
        lines.push_back({account.account, account.figure()});
        total.add(lines.back().amount);
    }
    return lines;
}

} // namespace

bool YearSummary::hasUnreadableFigures() const {
    return !incomeTotal.readable() || !expenseTotal.readable() || !openingTotal.readable() ||
           !closingTotal.readable();
}

YearSummary loadYearSummary(Database& db, int year) {
    const QDate lastDay(year, 12, 31);
    const BalanceSheet sheet = balancesOfYearAt(db, lastDay);
    YearSummary summary;
    summary.year = year;
    summary.income = totalsOf(sheet.income, summary.incomeTotal);
    summary.expense = totalsOf(sheet.expense, summary.expenseTotal);
    summary.cash.reserve(sheet.cash.size());
    for (const AccountFigures& account : sheet.cash) {
        summary.cash.push_back({account.account, account.opening, account.figure()});
        summary.openingTotal.add(account.opening);
        summary.closingTotal.add(summary.cash.back().closing);
    }
    if (summary.hasUnreadableFigures()) {
        // Every entry the closing balances read, the year's income and expense among them.
        summary.unreadable = unreadableEntries(
            db, "Data <= ?1", [&](Statement& query) { query.bind(1, toStoredDate(lastDay)); });
    }
    return summary;
}

std::vector<SummaryLine> summaryLines(const YearSummary& summary) {
    using Kind = SummaryLine::Kind;
    std::vector<SummaryLine> lines;
    lines.reserve(summary.income.size() + summary.expense.size() + summary.cash.size() + 9);
    const auto group = [&](const QString& heading, const std::vector<SummaryAccount>& accounts,
                           const QString& totalCaption, const AmountTotal& total) {
        lines.push_back({Kind::Section, heading, {}, {}, {}});
        for (const SummaryAccount& account : accounts) {
            lines.push_back({Kind::Account, account.account, account.amount, {}, {}});
        }
        lines.push_back({Kind::Total, totalCaption, total, {}, {}});
    };
    group(QStringLiteral("Ingresos"), summary.income, QStringLiteral("Total ingresos"),
          summary.incomeTotal);
    group(QStringLiteral("Gastos"), summary.expense, QStringLiteral("Total gastos"),
          summary.expenseTotal);
    lines.push_back(
        {Kind::Total, QStringLiteral("Resultado (ingresos - gastos)"), summary.result(), {}, {}});
    lines.push_back({Kind::Section, QStringLiteral("Cuentas de caja"), {}, {}, {}});
    for (const SummaryCash& account : summary.cash) {
        lines.push_back({Kind::Account, account.account, {}, account.opening, account.closing});
    }
    lines.push_back({Kind::Total,
                     QStringLiteral("Total cuentas de caja"),
                     {},
                     summary.openingTotal,
                     summary.closingTotal});
    return lines;
}

} // namespace velmora
