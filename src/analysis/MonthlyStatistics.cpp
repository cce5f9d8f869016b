#include "analysis/MonthlyStatistics.h"

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
    "SELECT CAST(substr(Data, 6, 2) AS INTEGER) AS Mes, SaleDe, SUM(Importe) FROM apuntes"
    " WHERE GoI = 'I' GROUP BY SaleDe, Mes";
constexpr const char* kExpenseSql =
    "SELECT CAST(substr(Data, 6, 2) AS INTEGER) AS Mes, EntraEn, SUM(Importe) FROM apuntes"
    " WHERE GoI = 'G' GROUP BY EntraEn, Mes";

constexpr const char* kMonths[] = {"Enero",      "Febrero", "Marzo",     "Abril",
                                   "Mayo",       "Junio",   "Julio",     "Agosto",
                                   "Septiembre", "Octubre", "Noviembre", "Diciembre"};

StatisticsRow totalsOf(const std::vector<StatisticsRow>& accounts) {
    std::array<qint64, 12> monthCents{};
    qint64 totalCents = 0;
    for (const StatisticsRow& row : accounts) {
        for (size_t m = 0; m < monthCents.size(); ++m) {
            if (row.months[m]) {
                monthCents[m] += shownCents(*row.months[m]);
            }
        }
        totalCents += shownCents(row.total.value_or(0));
    }
    // Whole cents add up exactly, so a column whose figures cancel out is
    // exactly zero and stays empty.
    const auto shown = [](qint64 cents) -> std::optional<double> {
        if (cents == 0) {
            return std::nullopt;
        }
        return static_cast<double>(cents) / 100.0;
    };
    StatisticsRow totals;
    totals.name = QStringLiteral("TOTAL");
    for (size_t m = 0; m < monthCents.size(); ++m) {
        totals.months[m] = shown(monthCents[m]);
    }
    totals.total = shown(totalCents);
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

qint64 shownCents(double value) {
    // The same rounding as formatAmount, so the sum is that of what the user reads.
    QString digits = QString::number(value, 'f', 2);
    digits.remove(QLatin1Char('.'));
    return digits.toLongLong();
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
            table.accounts.push_back(StatisticsRow{name, {}, 0.0});
        }
        StatisticsRow& row = table.accounts[*found];
        if (query.isNull(2)) {
            continue; // amounts all missing: the month stays empty
        }
        const double sum = query.columnDouble(2);
        std::optional<double>& cell = row.months[static_cast<size_t>(month - 1)];
        cell = cell.value_or(0) + sum;
        *row.total += sum;
    }
    std::stable_sort(
        table.accounts.begin(), table.accounts.end(),
        [](const StatisticsRow& a, const StatisticsRow& b) { return spanishLess(a.name, b.name); });
    table.totals = totalsOf(table.accounts);
    return table;
}

} // namespace velmora
