#include "entries/EntryList.h"

#include "store/Schema.h"
#include "store/Sqlite.h"
#include "ui/Formats.h"

namespace velmora {

// Filters match anywhere in the text, ignoring letter case; "%" and "_" typed by
// the user keep acting as wildcards. Both ends of the range are included. An
// empty text field counts as empty text, so empty filters never hide an entry.
const char* const kEntryListSql = "SELECT Id, Data, Des, EntraEn, SaleDe, Importe, GoI FROM apuntes"
                                  " WHERE (IFNULL(Des, '') LIKE ?1 AND IFNULL(EntraEn, '') LIKE ?2"
                                  " AND IFNULL(SaleDe, '') LIKE ?3)"
                                  " AND (Data >= ?4 AND Data <= ?5)"
                                  " ORDER BY Data DESC, Id DESC";

namespace {

QString anywhere(const QString& text) {
    return QLatin1Char('%') + text + QLatin1Char('%');
}

} // namespace

void bindEntryFilter(Statement& statement, const EntryFilter& filter) {
    statement.bind(1, anywhere(filter.description));
    statement.bind(2, anywhere(filter.goesInto));
    statement.bind(3, anywhere(filter.comesOutOf));
    statement.bind(4, toStoredDate(filter.from));
    statement.bind(5, toStoredDate(filter.to));
}

EntryList::EntryList() {
    intern({}); // index 0: the empty text, for Nulls
}

quint32 EntryList::intern(std::string_view text) {
    auto it = textIndex_.find(text);
    if (it == textIndex_.end()) {
        const auto index = static_cast<quint32>(texts_.size());
        texts_.push_back(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        it = textIndex_.emplace(std::string(text), index).first;
    }
    return it->second;
}

void EntryList::reserve(size_t rows) {
    rows_.reserve(rows);
    descriptions_.reserve(rows * 24);
}

void EntryList::append(qint64 id, const QDate& date, std::string_view description,
                       std::string_view goesInto, std::string_view comesOutOf,
                       std::optional<double> amount, std::string_view movementClass) {
    EntryRow row;
    row.id = id;
    row.date = date;
    row.hasAmount = amount.has_value();
    row.amount = amount.value_or(0.0);
    row.descriptionOffset = static_cast<quint32>(descriptions_.size());
    row.descriptionLength = static_cast<quint32>(description.size());
    descriptions_.append(description);
    row.goesInto = intern(goesInto);
    row.comesOutOf = intern(comesOutOf);
    row.movementClass = intern(movementClass);
    // Only the exact capital letters count.
    row.isExpense = movementClass == "G";
    if (row.isExpense) {
        totals.expense += row.amount;
    } else if (movementClass == "I") {
        totals.income += row.amount;
    }
    rows_.push_back(row);
}

QString EntryList::description(const EntryRow& row) const {
    return QString::fromUtf8(descriptions_.data() + row.descriptionOffset,
                             static_cast<qsizetype>(row.descriptionLength));
}

EntryList queryEntries(Database& db, const EntryFilter& filter, size_t expectedRows) {
    Statement query(db, kEntryListSql, "leer la lista de apuntes");
    bindEntryFilter(query, filter);

    EntryList list;
    list.reserve(expectedRows);
    while (query.step()) {
        list.append(query.columnInt(0), fromStoredDate(query.columnUtf8(1)), query.columnUtf8(2),
                    query.columnUtf8(3), query.columnUtf8(4),
                    query.isNull(5) ? std::nullopt : std::optional(query.columnDouble(5)),
                    query.columnUtf8(6));
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
