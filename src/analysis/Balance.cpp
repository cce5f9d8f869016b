#include "analysis/Balance.h"

#include "store/Schema.h"
#include "store/Sqlite.h"

namespace velmora {

// Both sums in one pass over the range; TOTAL gives 0 when nothing matches.
const char* const kBalanceSql = "SELECT TOTAL(CASE WHEN sametext(EntraEn, ?1) THEN Importe END),"
                                " TOTAL(CASE WHEN sametext(SaleDe, ?1) THEN Importe END)"
                                " FROM apuntes WHERE Data >= ?2 AND Data <= ?3";

BalanceFigures accountBalance(Database& db, const QString& account, const QDate& from,
                              const QDate& to) {
    Statement sums(db, kBalanceSql, "calcular el balance");
    sums.bind(1, account).bind(2, toStoredDate(from)).bind(3, toStoredDate(to));
    BalanceFigures figures;
    if (sums.step()) {
        figures.moneyIn = sums.columnDouble(0);
        figures.moneyOut = sums.columnDouble(1);
    }
    return figures;
}

} // namespace velmora
