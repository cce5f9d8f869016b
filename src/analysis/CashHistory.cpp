#include "analysis/CashHistory.h"

#include "analysis/Balance.h"
#include "state/Logging.h"
#include "store/AccountStore.h"
#include "store/DbErrorText.h"
#include "store/OpeningBalances.h"
#include "store/Schema.h"
#include "store/SpanishText.h"
#include "store/Sqlite.h"
#include "years/YearFolders.h"
#include "years/YearSearch.h"

#include <QHash>
#include <QSet>

#include <map>
#include <memory>

namespace velmora {

std::vector<MonthEndCash> monthEndCash(Database& db, const QString& year) {
    QSet<QString> cash;
    AmountTotal running;
    const QHash<QString, qint64> openings = openingBalancesByName(db);
    for (const Account& account : listAccounts(db, QString())) {
        if (account.kind == QLatin1String("C")) {
            const QString key = foldCase(account.name);
            cash.insert(key);
            running.addCents(openings.value(key));
        }
    }
    // Money into and out of the cash accounts, month by month ("yyyy-MM"); names
    // grouped as stored and folded here, as the balances do.
    std::map<QString, AmountTotal> moved;
    const char* const sql[] = {
        "SELECT substr(Data, 1, 7), EntraEn, centstotal(Importe) FROM apuntes"
        " WHERE Data IS NOT NULL GROUP BY 1, 2",
        "SELECT substr(Data, 1, 7), SaleDe, centstotal(Importe) FROM apuntes"
        " WHERE Data IS NOT NULL GROUP BY 1, 2",
    };
    for (int side = 0; side < 2; ++side) {
        Statement query(db, sql[side], "calcular el dinero en caja por meses");
        while (query.step()) {
            if (!cash.contains(foldCase(query.columnText(1)))) {
                continue;
            }
            AmountTotal& month = moved[query.columnText(0)];
            if (side == 0) {
                month.add(totalInColumn(query, 2));
            } else {
                month = month.minus(totalInColumn(query, 2));
            }
        }
    }
    QDate first;
    QDate last;
    if (const std::optional<int> calendar = calendarYearNamed(year)) {
        first = QDate(*calendar, 1, 1);
        last = QDate(*calendar, 12, 1);
    } else if (!moved.empty()) {
        first = fromStoredDate((moved.begin()->first + QStringLiteral("-01")).toStdString());
        last = fromStoredDate((moved.rbegin()->first + QStringLiteral("-01")).toStdString());
    }
    std::vector<MonthEndCash> months;
    if (!first.isValid() || !last.isValid()) {
        return months;
    }
    auto next = moved.begin();
    for (QDate month = first; month <= last; month = month.addMonths(1)) {
        const QString key = month.toString(QStringLiteral("yyyy-MM"));
        // Everything dated on or before the month's end, earlier years included.
        for (; next != moved.end() && next->first <= key; ++next) {
            running.add(next->second);
        }
        months.push_back({year, QDate(month.year(), month.month(), month.daysInMonth()), running});
    }
    return months;
}

CashHistory cashHistory(const QString& dataRoot) {
    CashHistory history;
    for (const QString& year : searchedYears(dataRoot)) {
        const QString path = databasePathFor(dataRoot, year);
        try {
            const std::unique_ptr<Database> db = openOtherYear(path);
            std::vector<MonthEndCash> months = monthEndCash(*db, year);
            history.months.insert(history.months.end(), months.begin(), months.end());
        } catch (const DbError& error) {
            qCWarning(lcYears).noquote() << "evolución: se salta" << path << "|" << error.what();
            history.skipped.push_back({year, describeFailure(error)});
        }
    }
    return history;
}

} // namespace velmora
