#include "analysis/MonthlyStatistics.h"

#include "analysis/UnreadableAmounts.h"
#include "store/SpanishText.h"
#include "store/Sqlite.h"

#include <QHash>

#include <algorithm>

namespace velmora {

namespace {

// Dates are stored as yyyy-MM-dd, so the month is characters 6 and 7. Grouping by
// the account before the month makes the first spelling met the same whichever
// months the entries fall in.
constexpr const char* kIncomeSql =
    "SELECT CAST(substr(Data, 6, 2) AS INTEGER) AS Mes, SaleDe, centstotal(Importe) FROM apuntes"
    " WHERE GoI = 'I' GROUP BY SaleDe, Mes";
constexpr const char* kExpenseSql =
    "SELECT CAST(substr(Data, 6, 2) AS INTEGER) AS Mes, EntraEn, centstotal(Importe) FROM apuntes"
    " WHERE GoI = 'G' GROUP BY EntraEn, Mes";

constexpr const char* kMonths[] = {"Enero",      "Febrero", "Marzo",     "Abril",
                                   "Mayo",       "Junio",   "Julio",     "Agosto",
                                   "Septiembre", "Octubre", "Noviembre", "Diciembre"};

StatisticsRow totalsOf(const std::vector<StatisticsRow>& accounts) {
    std::array<AmountTotal, 12> months{};
    AmountTotal total;
    for (const StatisticsRow& row : accounts) {
        for (size_t m = 0; m < months.size(); ++m) {
            if (row.months[m]) {
                months[m].add(*row.months[m]);
            }
        }
        total.add(row.total.value_or(AmountTotal()));
    }
    // A column whose figures cancel out is exactly zero and stays empty.
    const auto shown = [](const AmountTotal& sum) -> std::optional<AmountTotal> {
        if (sum.cents() == 0) {
            return std::nullopt;
        }
        return sum;
    };
    StatisticsRow totals;
    totals.name = QStringLiteral("TOTAL");
    for (size_t m = 0; m < months.size(); ++m) {
        totals.months[m] = shown(months[m]);
    }
    totals.total = shown(total);
    return totals;
}

} // namespace

QStringList statisticsKindNames() {
    return {QStringLiteral("Ingresos MES"), QStringLiteral("Ingresos AÑO"),
            QStringLiteral("Gastos MES"), QStringLiteral("Gastos AÑO")};
}

bool isAvailable(StatisticsKind kind) {
    return kind == StatisticsKind::IncomeByMonth || kind == StatisticsKind::ExpenseByMonth;
}

QString monthName(int month) {
    if (month < 1 || month > 12) {
        return QString();
    }
    return QString::fromLatin1(kMonths[month - 1]);
}

const char* monthlyStatisticsSql(StatisticsKind kind) {
    switch (kind) {
    case StatisticsKind::IncomeByMonth:
        return kIncomeSql;
    case StatisticsKind::ExpenseByMonth:
        return kExpenseSql;
    default:
        return "";
    }
}

const StatisticsRow& MonthlyTable::row(int index) const {
    const auto i = static_cast<size_t>(index);
    return i < accounts.size() ? accounts[i] : totals;
}

MonthlyTable loadMonthlyStatistics(Database& db, StatisticsKind kind) {
    MonthlyTable table;
    if (!isAvailable(kind)) {
        return table;
    }
    Statement query(db, monthlyStatisticsSql(kind), "calcular las estadísticas");
    QHash<QString, size_t> rowOfName;
    while (query.step()) {
        const int64_t month = query.columnInt(0);
        if (query.isNull(0) || month < 1 || month > 12) {
            continue; // an entry without a usable date belongs to no month
        }
        const QString name = query.columnText(1);
        const QString key = foldCase(name);
        auto found = rowOfName.constFind(key);
        if (found == rowOfName.cend()) {
            found = rowOfName.insert(key, table.accounts.size());
            table.accounts.push_back(StatisticsRow{name, {}, AmountTotal()});
        }
        StatisticsRow& row = table.accounts[*found];
        AmountTotal sum;
        sum.addCents(query.isNull(2) ? std::nullopt : std::optional(query.columnInt(2)));
        std::optional<AmountTotal>& cell = row.months[static_cast<size_t>(month - 1)];
        cell = cell.value_or(AmountTotal());
        cell->add(sum);
        row.total->add(sum);
    }
    std::stable_sort(
        table.accounts.begin(), table.accounts.end(),
        [](const StatisticsRow& a, const StatisticsRow& b) { return spanishLess(a.name, b.name); });
    table.totals = totalsOf(table.accounts);
    if (table.totals.total && !table.totals.total->readable()) {
        table.unreadable =
            unreadableEntries(db, kind == StatisticsKind::IncomeByMonth ? "GoI = 'I'" : "GoI = 'G'",
                              [](Statement&) {});
    }
    return table;
}

} // namespace velmora
