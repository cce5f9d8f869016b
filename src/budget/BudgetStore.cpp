#include "budget/BudgetStore.h"

#include "store/AccountStore.h"
#include "store/BudgetTable.h"
#include "store/SpanishText.h"
#include "store/Sqlite.h"

#include <QHash>

#include <algorithm>

namespace velmora {

namespace {

constexpr const char* kOperation = "guardar el presupuesto";

// The stored rows of one account as the months they stand for: a month's own row
// wins over the row for every month.
AccountBudget resolved(const QString& account, const std::vector<BudgetMonth>& rows) {
    AccountBudget budget;
    budget.account = account;
    bool ownMonths = false;
    for (const BudgetMonth& row : rows) {
        if (row.month == 0) {
            budget.months.fill(row.cents);
        }
    }
    for (const BudgetMonth& row : rows) {
        if (row.month >= 1 && row.month <= 12) {
            budget.months[static_cast<size_t>(row.month - 1)] = row.cents;
            ownMonths = true;
        }
    }
    budget.sameEveryMonth = !ownMonths;
    return budget;
}

// Every stored row, grouped by the account's name folded, each group with the
// name as first stored.
struct StoredRows {
    QString account;
    std::vector<BudgetMonth> rows;
};
QHash<QString, StoredRows> storedRowsByName(Database& db) {
    QHash<QString, StoredRows> byName;
    if (!hasBudgetTable(db)) {
        return byName;
    }
    Statement query(db, "SELECT Cuenta, Mes, Centimos FROM presupuesto ORDER BY rowid",
                    "leer el presupuesto");
    while (query.step()) {
        const QString account = query.columnText(0);
        StoredRows& group = byName[foldCase(account)];
        if (group.account.isEmpty()) {
            group.account = account;
        }
        const BudgetMonth row{static_cast<int>(query.columnInt(1)), query.columnInt(2)};
        // A file edited elsewhere may hold one month under two spellings of the
        // name: the first stored stands.
        if (std::none_of(group.rows.begin(), group.rows.end(),
                         [&](const BudgetMonth& kept) { return kept.month == row.month; })) {
            group.rows.push_back(row);
        }
    }
    return byName;
}

// The account as the accounts table spells it, once it is known to take a budget.
QString budgetedAccount(Database& db, const QString& account) {
    const std::optional<Account> found = loadAccount(db, account);
    if (!found) {
        throw DbError(QString::fromUtf8(kOperation), QStringLiteral("la cuenta ya no existe"), 0);
    }
    if (!takesBudget(found->kind)) {
        throw DbError(QString::fromUtf8(kOperation),
                      QStringLiteral("solo las cuentas de ingreso y de gasto tienen presupuesto"),
                      0);
    }
    return found->name;
}

void writeBudget(Database& db, const QString& account, const std::vector<BudgetMonth>& rows) {
    // The account is read and written in one transaction, so another copy of the
    // program cannot remove it in between.
    Transaction change(db, Transaction::Join::IfOpen);
    replaceStoredBudget(db, budgetedAccount(db, account), rows);
    change.commit();
}

} // namespace

bool takesBudget(const QString& kind) {
    return kind == QLatin1String("I") || kind == QLatin1String("G");
}

std::vector<AccountBudget> readBudget(Database& db) {
    std::vector<AccountBudget> budgets;
    for (const StoredRows& group : storedRowsByName(db)) {
        budgets.push_back(resolved(group.account, group.rows));
    }
    std::sort(budgets.begin(), budgets.end(), [](const AccountBudget& a, const AccountBudget& b) {
        return spanishLess(a.account, b.account);
    });
    return budgets;
}

std::optional<AccountBudget> budgetOf(Database& db, const QString& account) {
    const std::vector<BudgetMonth> rows = storedBudgetOf(db, account);
    if (rows.empty()) {
        return std::nullopt;
    }
    const std::optional<Account> stored = loadAccount(db, account);
    return resolved(stored ? stored->name : account, rows);
}

void setBudgetEveryMonth(Database& db, const QString& account, qint64 cents) {
    writeBudget(db, account, {BudgetMonth{0, cents}});
}

void setBudgetByMonth(Database& db, const QString& account, const std::array<qint64, 12>& cents) {
    std::vector<BudgetMonth> rows;
    for (size_t m = 0; m < cents.size(); ++m) {
        rows.push_back({static_cast<int>(m) + 1, cents[m]});
    }
    writeBudget(db, account, rows);
}

void clearBudget(Database& db, const QString& account) {
    Transaction change(db, Transaction::Join::IfOpen);
    renameBudget(db, account, QString());
    change.commit();
}

void carryBudget(Database& current, Database& fresh) {
    const QHash<QString, StoredRows> carried = storedRowsByName(current);
    Transaction change(fresh, Transaction::Join::IfOpen);
    // What the copied file held goes first: only the accounts the new year has
    // take a budget, under the name it spells them with.
    if (hasBudgetTable(fresh)) {
        fresh.exec("DELETE FROM presupuesto", kOperation);
    }
    for (const Account& account : listAccounts(fresh, {})) {
        const auto found = carried.constFind(foldCase(account.name));
        if (found != carried.cend() && takesBudget(account.kind)) {
            replaceStoredBudget(fresh, account.name, found->rows);
        }
    }
    change.commit();
}

} // namespace velmora
