#include "analysis/Balance.h"

#include "analysis/UnreadableAmounts.h"
#include "store/Schema.h"
#include "store/Sqlite.h"

namespace velmora {

// Both sums in one pass over the range, in the cents the user reads.
const char* const kBalanceSql = "SELECT centstotal(Importe) FILTER (WHERE sametext(EntraEn, ?1)),"
                                " centstotal(Importe) FILTER (WHERE sametext(SaleDe, ?1))"
                                " FROM apuntes WHERE Data >= ?2 AND Data <= ?3";

AmountTotal totalInColumn(const Statement& row, int column) {
    AmountTotal total;
    if (row.isNull(column)) {
        total.addCents(std::nullopt);
    } else {
        total.addCents(row.columnInt(column));
    }
    return total;
}

BalanceFigures accountBalance(Database& db, const QString& account, const QDate& from,
                              const QDate& to) {
    const auto bindRange = [&](Statement& statement) {
        statement.bind(1, account).bind(2, toStoredDate(from)).bind(3, toStoredDate(to));
    };
    Statement sums(db, kBalanceSql, "calcular el balance");
    bindRange(sums);
    BalanceFigures figures;
    if (sums.step()) {
        figures.moneyIn = totalInColumn(sums, 0);
        figures.moneyOut = totalInColumn(sums, 1);
    }
    if (!figures.moneyIn.readable() || !figures.moneyOut.readable()) {
        figures.unreadable = unreadableEntries(
            db, "Data >= ?2 AND Data <= ?3 AND (sametext(EntraEn, ?1) OR sametext(SaleDe, ?1))",
            bindRange);
    }
    return figures;
}

} // namespace velmora
