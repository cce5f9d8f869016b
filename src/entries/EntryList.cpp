#include "entries/EntryList.h"

#include "store/Schema.h"
#include "store/Sqlite.h"
#include "ui/Formats.h"

#include <string>
#include <string_view>
#include <unordered_map>

namespace velmora {

// Filters match anywhere in the text, ignoring letter case; "%" and "_" typed by
// the user keep acting as wildcards. Both ends of the range are included.
const char* const kEntryListSql =
    "SELECT Id, Data, Des, EntraEn, SaleDe, Importe, GoI FROM apuntes"
    " WHERE (Des LIKE ?1 AND EntraEn LIKE ?2 AND SaleDe LIKE ?3)"
    " AND (Data >= ?4 AND Data <= ?5)"
    " ORDER BY Data DESC, Id DESC";

namespace {

QString anywhere(const QString& text) {
    return QLatin1Char('%') + text + QLatin1Char('%');
}

// Account names and classes repeat over thousands of rows: one shared QString each.
class TextPool {
public:
    QString get(std::string_view utf8) {
        auto it = pool_.find(utf8);
        if (it == pool_.end()) {
            it = pool_
                     .emplace(std::string(utf8),
                              QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())))
                     .first;
        }
        return it->second;
    }

private:
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    std::unordered_map<std::string, QString, Hash, std::equal_to<>> pool_;
};

} // namespace

void bindEntryFilter(Statement& statement, const EntryFilter& filter) {
    statement.bind(1, anywhere(filter.description));
    statement.bind(2, anywhere(filter.goesInto));
    statement.bind(3, anywhere(filter.comesOutOf));
    statement.bind(4, toStoredDate(filter.from));
    statement.bind(5, toStoredDate(filter.to));
}

EntryList queryEntries(Database& db, const EntryFilter& filter) {
    Statement query(db, kEntryListSql, "leer la lista de apuntes");
    bindEntryFilter(query, filter);

    EntryList list;
    TextPool pool;
    while (query.step()) {
        EntryRow row;
        row.id = query.columnInt(0);
        row.date = fromStoredDate(query.columnUtf8(1));
        row.description = query.columnText(2);
        row.goesInto = pool.get(query.columnUtf8(3));
        row.comesOutOf = pool.get(query.columnUtf8(4));
        row.hasAmount = !query.isNull(5);
        row.amount = query.columnDouble(5);
        row.movementClass = pool.get(query.columnUtf8(6));
        // Only the exact capital letters count; "T" and anything else count nowhere.
        if (row.movementClass == QLatin1String("G")) {
            list.totals.expense += row.amount;
        } else if (row.movementClass == QLatin1String("I")) {
            list.totals.income += row.amount;
        }
        list.rows.push_back(std::move(row));
    }
    if (filter.to.isValid()) {
        list.totals.month = list.totals.income / filter.to.month();
    }
    return list;
}

QString recordCountLine(size_t count) {
    return QLatin1Char(' ') + QString::number(count) + QStringLiteral(" registros");
}

QString totalsLine(const EntryTotals& totals) {
    return QStringLiteral(" INGRESOS: ") + formatAmount(totals.income) +
           QStringLiteral(" | GASTOS: ") + formatAmount(totals.expense) +
           QStringLiteral(" | BALANCE: ") + formatAmount(totals.balance()) +
           QStringLiteral(" | MES: ") + formatAmount(totals.month);
}

} // namespace velmora
