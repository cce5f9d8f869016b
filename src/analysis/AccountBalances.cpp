#include "analysis/AccountBalances.h"

#include "analysis/Balance.h"
#include "store/AccountStore.h"
#include "store/OpeningBalances.h"
#include "store/Schema.h"
#include "store/SpanishText.h"
#include "store/Sqlite.h"

#include <QHash>

namespace velmora {

namespace {

// The sums of entries entering and leaving each account name, folded: up to the
// date, and over the range that ends there, in one pass over the file for each side.
struct Sums {
    QHash<QString, AmountTotal> in;
    QHash<QString, AmountTotal> out;
};

void sumsTo(Database& db, const QDate& from, const QDate& to, Sums& toDate, Sums& inRange) {
    const char* const sql[] = {
        "SELECT EntraEn, centstotal(Importe), centstotal(Importe) FILTER (WHERE Data >= ?1)"
        " FROM apuntes WHERE Data <= ?2 GROUP BY EntraEn",
        "SELECT SaleDe, centstotal(Importe), centstotal(Importe) FILTER (WHERE Data >= ?1)"
        " FROM apuntes WHERE Data <= ?2 GROUP BY SaleDe",
    };
    for (int side = 0; side < 2; ++side) {
        Statement query(db, sql[side], "calcular los saldos");
        query.bind(1, toStoredDate(from)).bind(2, toStoredDate(to));
        // Grouped as stored, which is cheaper than folding every row; the few
        // spellings of one name are folded and added together here.
        while (query.step()) {
            const QString name = foldCase(query.columnText(0));
            (side == 0 ? toDate.in : toDate.out)[name].add(totalInColumn(query, 1));
            (side == 0 ? inRange.in : inRange.out)[name].add(totalInColumn(query, 2));
        }
    }
}

AccountFigures figuresOf(const Account& account, const Sums& sums, qint64 opening) {
    const QString key = foldCase(account.name);
    AccountFigures figures{account.name, account.kind, AmountTotal::ofCents(opening),
                           sums.in.value(key), sums.out.value(key)};
    return figures;
}

} // namespace

AmountTotal AccountFigures::figure() const {
    if (kind == QLatin1String("C")) {
        AmountTotal total = opening;
        total.add(moneyIn);
        return total.minus(moneyOut);
    }
    return kind == QLatin1String("I") ? moneyOut.minus(moneyIn) : moneyIn.minus(moneyOut);
}

AmountTotal BalanceSheet::cashTotal() const {
    AmountTotal total;
    for (const AccountFigures& account : cash) {
        total.add(account.figure());
    }
    return total;
}

BalanceSheet balancesAt(Database& db, const QDate& from, const QDate& date) {
    Sums toDate;
    Sums inRange;
    sumsTo(db, from, date, toDate, inRange);
    const QHash<QString, qint64> openings = openingBalancesByName(db);
    BalanceSheet sheet;
    for (const Account& account : listAccounts(db, QString())) {
        if (account.kind == QLatin1String("C")) {
            sheet.cash.push_back(
                figuresOf(account, toDate, openings.value(foldCase(account.name))));
        } else if (account.kind == QLatin1String("I")) {
            sheet.income.push_back(figuresOf(account, inRange, 0));
        } else if (account.kind == QLatin1String("G")) {
            sheet.expense.push_back(figuresOf(account, inRange, 0));
        }
    }
    return sheet;
}

BalanceSheet balancesOfYearAt(Database& db, const QDate& date) {
    return balancesAt(db, QDate(date.year(), 1, 1), date);
}

AmountTotal cashBalanceAt(Database& db, const QString& account, const QDate& date) {
    Statement sums(db,
                   "SELECT centstotal(Importe) FILTER (WHERE sametext(EntraEn, ?1)),"
                   " centstotal(Importe) FILTER (WHERE sametext(SaleDe, ?1))"
                   " FROM apuntes WHERE Data <= ?2",
                   "calcular el saldo");
    sums.bind(1, account).bind(2, toStoredDate(date));
    AmountTotal total = AmountTotal::ofCents(openingBalance(db, account));
    if (sums.step()) {
        total.add(totalInColumn(sums, 0));
        total = total.minus(totalInColumn(sums, 1));
    }
    return total;
}

} // namespace velmora
