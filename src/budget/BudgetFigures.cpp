#include "budget/BudgetFigures.h"

#include "analysis/MonthlyStatistics.h"
#include "budget/BudgetStore.h"
#include "store/AccountStore.h"
#include "store/SpanishText.h"

#include <QHash>

#include <algorithm>

namespace velmora {

namespace {

// One side's accounts: those of its kind with their budget, then whatever the
// statistics count on that side that no such account stands for.
std::vector<BudgetAccountYear> sideOf(const std::vector<Account>& accounts, const QString& kind,
                                      const QHash<QString, AccountBudget>& budgets,
                                      const MonthlyTable& statistics) {
    std::vector<BudgetAccountYear> side;
    QHash<QString, size_t> lineOfName;
    for (const Account& account : accounts) {
        if (account.kind != kind) {
            continue;
        }
        const QString key = foldCase(account.name);
        if (lineOfName.contains(key)) {
            continue;
        }
        lineOfName.insert(key, side.size());
        BudgetAccountYear line;
        line.name = account.name;
        if (const auto budget = budgets.constFind(key); budget != budgets.cend()) {
            line.budget = budget->months;
        }
        side.push_back(std::move(line));
    }
    for (const StatisticsRow& row : statistics.accounts) {
        const QString key = foldCase(row.name);
        auto found = lineOfName.constFind(key);
        if (found == lineOfName.cend()) {
            found = lineOfName.insert(key, side.size());
            side.push_back(BudgetAccountYear{row.name, {}, {}});
        }
        side[*found].actual = row.months;
    }
    std::stable_sort(side.begin(), side.end(),
                     [](const BudgetAccountYear& a, const BudgetAccountYear& b) {
                         return spanishLess(a.name, b.name);
                     });
    return side;
}

// The months a period covers: one, or all twelve.
std::pair<size_t, size_t> monthsOf(int month) {
    if (month >= 1 && month <= 12) {
        return {static_cast<size_t>(month - 1), static_cast<size_t>(month)};
    }
    return {0, 12};
}

AmountTotal differenceOf(BudgetSide side, const AmountTotal& budget, const AmountTotal& actual) {
    return side == BudgetSide::Expense ? budget.minus(actual) : actual.minus(budget);
}

BudgetGroup groupOf(const std::vector<BudgetAccountYear>& accounts, BudgetSide side, int month,
                    const QString& totalName) {
    const auto [first, last] = monthsOf(month);
    BudgetGroup group;
    AmountTotal budgetTotal;
    AmountTotal actualTotal;
    for (const BudgetAccountYear& account : accounts) {
        BudgetLine line;
        line.name = account.name;
        for (size_t m = first; m < last; ++m) {
            if (account.budget[m]) {
                line.budget = line.budget.value_or(AmountTotal());
                line.budget->add(AmountTotal::ofCents(*account.budget[m]));
            }
            if (account.actual[m]) {
                line.actual.add(*account.actual[m]);
            }
        }
        line.difference = differenceOf(side, line.budget.value_or(AmountTotal()), line.actual);
        budgetTotal.add(line.budget.value_or(AmountTotal()));
        actualTotal.add(line.actual);
        group.lines.push_back(std::move(line));
    }
    group.total = BudgetLine{totalName, budgetTotal, actualTotal,
                             differenceOf(side, budgetTotal, actualTotal)};
    return group;
}

double units(const std::optional<AmountTotal>& amount) {
    const std::optional<qint64> cents = amount ? amount->cents() : std::nullopt;
    return static_cast<double>(cents.value_or(0)) / 100.0;
}

} // namespace

BudgetYear loadBudgetYear(Database& db) {
    const std::vector<Account> accounts = listAccounts(db, {});
    QHash<QString, AccountBudget> budgets;
    for (AccountBudget& budget : readBudget(db)) {
        const QString key = foldCase(budget.account);
        budgets.insert(key, std::move(budget));
    }
    BudgetYear year;
    const MonthlyTable income = loadMonthlyStatistics(db, StatisticsKind::IncomeByMonth);
    const MonthlyTable expense = loadMonthlyStatistics(db, StatisticsKind::ExpenseByMonth);
    year.income = sideOf(accounts, QStringLiteral("I"), budgets, income);
    year.expense = sideOf(accounts, QStringLiteral("G"), budgets, expense);
    for (const MonthlyTable* table : {&income, &expense}) {
        if (table->totals.total && !table->totals.total->readable()) {
            year.unreadable = true;
            year.unreadableEntries.insert(year.unreadableEntries.end(), table->unreadable.begin(),
                                          table->unreadable.end());
        }
    }
    return year;
}

BudgetSheet budgetSheet(const BudgetYear& year, int month) {
    BudgetSheet sheet;
    sheet.income =
        groupOf(year.income, BudgetSide::Income, month, QStringLiteral("Total ingresos"));
    sheet.expense =
        groupOf(year.expense, BudgetSide::Expense, month, QStringLiteral("Total gastos"));
    const BudgetLine& income = sheet.income.total;
    const BudgetLine& expense = sheet.expense.total;
    sheet.overall.name = QStringLiteral("Resultado");
    sheet.overall.budget = income.budget->minus(*expense.budget);
    sheet.overall.actual = income.actual.minus(expense.actual);
    sheet.overall.difference = income.difference;
    sheet.overall.difference.add(expense.difference);
    return sheet;
}

BudgetSeries budgetSeries(const BudgetYear& year, BudgetSide side, std::optional<size_t> account) {
    const std::vector<BudgetAccountYear>& accounts = year.side(side);
    BudgetSeries series;
    if (account && *account < accounts.size()) {
        const BudgetAccountYear& line = accounts[*account];
        series.name = line.name;
        for (size_t m = 0; m < 12; ++m) {
            series.budget[m] = static_cast<double>(line.budget[m].value_or(0)) / 100.0;
            series.actual[m] = units(line.actual[m]);
        }
        return series;
    }
    series.name = side == BudgetSide::Income ? QStringLiteral("Total ingresos")
                                             : QStringLiteral("Total gastos");
    for (size_t m = 0; m < 12; ++m) {
        AmountTotal budget;
        AmountTotal actual;
        for (const BudgetAccountYear& line : accounts) {
            budget.add(AmountTotal::ofCents(line.budget[m].value_or(0)));
            if (line.actual[m]) {
                actual.add(*line.actual[m]);
            }
        }
        series.budget[m] = units(budget);
        series.actual[m] = units(actual);
    }
    return series;
}

BudgetSeries resultSeries(const BudgetYear& year) {
    const BudgetSeries income = budgetSeries(year, BudgetSide::Income, std::nullopt);
    const BudgetSeries expense = budgetSeries(year, BudgetSide::Expense, std::nullopt);
    BudgetSeries result;
    result.name = QStringLiteral("Resultado");
    for (size_t m = 0; m < 12; ++m) {
        result.budget[m] = income.budget[m] - expense.budget[m];
        result.actual[m] = income.actual[m] - expense.actual[m];
    }
    return result;
}

} // namespace velmora
