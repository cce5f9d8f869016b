#include "entries/EntryList.h"

#include "store/Schema.h"
#include "store/Sqlite.h"
#include "ui/Formats.h"

#include <QStringList>

#include <cmath>

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
                       std::string_view goesInto, std::string_view comesOutOf, double amount,
                       std::string_view movementClass) {
    EntryRow row;
    row.id = id;
    row.date = date;
    row.amount = amount;
    if (!amountCents(amount)) {
        unreadable_.push_back(rows_.size());
    } else {
        if (!largest_ || amount > rows_[*largest_].amount) {
            largest_ = rows_.size();
        }
        if (!lowest_ || amount < rows_[*lowest_].amount) {
            lowest_ = rows_.size();
        }
    }
    row.descriptionOffset = static_cast<quint32>(descriptions_.size());
    row.descriptionLength = static_cast<quint32>(description.size());
    descriptions_.append(description);
    row.goesInto = intern(goesInto);
    row.comesOutOf = intern(comesOutOf);
    row.movementClass = intern(movementClass);
    // Only the exact capital letters count.
    row.isExpense = movementClass == "G";
    if (row.isExpense) {
        totals.expense.add(amount);
    } else if (movementClass == "I") {
        totals.income.add(amount);
    }
    rows_.push_back(row);
}

QList<int> EntryList::widestAmountRows() const {
    QList<int> rows;
    for (const std::optional<size_t>& row : {largest_, lowest_}) {
        if (row) {
            rows.append(static_cast<int>(*row));
        }
    }
    if (!unreadable_.empty()) {
        rows.append(static_cast<int>(unreadable_.front()));
    }
    return rows;
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
                    query.columnUtf8(3), query.columnUtf8(4), query.columnNumber(5),
                    query.columnUtf8(6));
    }
    if (filter.to.isValid()) {
        list.totals.month = list.totals.income.dividedBy(filter.to.month());
    }
    return list;
}

QString recordCountLine(size_t count) {
    return QLatin1Char(' ') + QString::number(count) + QStringLiteral(" registros");
}

QString totalsLine(const EntryTotals& totals) {
    return QStringLiteral(" INGRESOS: ") + totals.income.text() + QStringLiteral(" | GASTOS: ") +
           totals.expense.text() + QStringLiteral(" | BALANCE: ") + totals.balance().text() +
           QStringLiteral(" | MES: ") + totals.month.text();
}

QString unreadableAmountsNotice(const EntryList& list) {
    const std::vector<size_t>& rows = list.unreadableRows();
    if (rows.empty()) {
        return {};
    }
    const auto lineOf = [&list](size_t row) {
        return QStringLiteral("%1 (código %2)").arg(row + 1).arg(list[row].id);
    };
    if (rows.size() == 1) {
        return QStringLiteral("El importe del apunte de la línea %1 no es un número válido. "
                              "Se muestra como %2 y los totales que lo incluyen no se pueden "
                              "sumar. Ábralo con «Editar» y ponga el importe correcto.")
            .arg(lineOf(rows.front()), kUnreadableAmount);
    }
    constexpr size_t kNamed = 5;
    QStringList named;
    for (size_t i = 0; i < rows.size() && i < kNamed; ++i) {
        named.append(lineOf(rows[i]));
    }
    QString lines = named.join(QStringLiteral(", "));
    if (rows.size() > kNamed) {
        lines += QStringLiteral(" y %1 más").arg(rows.size() - kNamed);
    }
    return QStringLiteral("Los importes de %1 apuntes no son números válidos: líneas %2. "
                          "Se muestran como %3 y los totales que los incluyen no se pueden "
                          "sumar. Ábralos con «Editar» y ponga los importes correctos.")
        .arg(rows.size())
        .arg(lines, kUnreadableAmount);
}

} // namespace velmora
