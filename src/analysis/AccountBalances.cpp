#include "analysis/AccountBalances.h"

#include "store/AccountStore.h"
#include "store/OpeningBalances.h"
#include "store/Schema.h"
#include "store/SpanishText.h"
#include "store/Sqlite.h"

#include <QHash>

namespace velmora {

namespace {

AmountTotal totalOf(const Statement& row, int column) {
    AmountTotal total;
    total.addCents(row.isNull(column) ? std::nullopt
                                      : std::optional<qint64>(row.columnInt(column)));
    return total;
}

// The sums of entries entering and leaving each account name, folded, over a
// range; an empty `from` reaches back to the first entry of the file.
struct Sums {
    QHash<QString, AmountTotal> in;
    QHash<QString, AmountTotal> out;
};

Sums sumsOver(Database& db, const QDate& from, const QDate& to) {
    Sums sums;
    const char* const sql[] = {
        "SELECT casefold(EntraEn), centstotal(Importe) FROM apuntes"
        " WHERE Data >= ?1 AND Data <= ?2 GROUP BY casefold(EntraEn)",
        "SELECT casefold(SaleDe), centstotal(Importe) FROM apuntes"
        " WHERE Data >= ?1 AND Data <= ?2 GROUP BY casefold(SaleDe)",
    };
    for (int side = 0; side < 2; ++side) {
        Statement query(db, sql[side], "calcular los saldos");
        query.bind(1, from.isValid() ? toStoredDate(from) : QString()).bind(2, toStoredDate(to));
        QHash<QString, AmountTotal>& target = side == 0 ? sums.in : sums.out;
        while (query.step()) {
            target.insert(query.columnText(0), totalOf(query, 1));
        }
    }
    return sums;
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
    const Sums toDate = sumsOver(db, QDate(), date);
    const Sums inRange = sumsOver(db, from, date);
    QHash<QString, qint64> openings;
    for (const OpeningBalance& opening : openingBalances(db)) {
        openings.insert(foldCase(opening.account), opening.cents);
    }
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
        total.add(totalOf(sums, 0));
        total = total.minus(totalOf(sums, 1));
    }
    return total;
}

} // namespace velmora
