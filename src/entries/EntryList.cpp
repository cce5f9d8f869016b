#include "entries/EntryList.h"

#include "store/Formats.h"
#include "store/Schema.h"
#include "store/Sqlite.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace velmora {

// Filters match anywhere in the text, ignoring letter case; "%" and "_" typed by
// the user keep acting as wildcards. An empty filter is bound as Null and costs
// no comparison at all. Both ends of the range are included. An empty text field
// counts as empty text, so empty filters never hide an entry.
//
// Oldest first: entries are numbered as they are typed, so in this order the
// engine mostly steps to the next row of the table instead of searching for it.
// The list turns the rows round afterwards.
const char* const kEntryListSql = "SELECT Id, Data, Des, EntraEn, SaleDe, Importe, GoI FROM apuntes"
                                  " WHERE (?1 IS NULL OR IFNULL(Des, '') LIKE ?1)"
                                  " AND (?2 IS NULL OR IFNULL(EntraEn, '') LIKE ?2)"
                                  " AND (?3 IS NULL OR IFNULL(SaleDe, '') LIKE ?3)"
                                  " AND (Data >= ?4 AND Data <= ?5)"
                                  " ORDER BY Data, Id";

namespace {

void bindAnywhere(Statement& statement, int index, const QString& text) {
    if (text.isEmpty()) {
        statement.bindNull(index);
    } else {
        statement.bind(index, QLatin1Char('%') + text + QLatin1Char('%'));
    }
}

} // namespace

void bindEntryFilter(Statement& statement, const EntryFilter& filter) {
    bindAnywhere(statement, 1, filter.description);
    bindAnywhere(statement, 2, filter.goesInto);
    bindAnywhere(statement, 3, filter.comesOutOf);
    statement.bind(4, toStoredDate(filter.from));
    statement.bind(5, toStoredDate(filter.to));
}

// The list's memory at a million rows depends on it.
static_assert(sizeof(EntryRow) == 32);

EntryList::EntryList() {
    intern({}); // index 0: the empty text, for Nulls
}

namespace {

using texthash::hashOf;
using texthash::sameBytes;

quint64 movementHash(std::string_view goesInto, std::string_view comesOutOf,
                     std::string_view movementClass) {
    return hashOf(movementClass, hashOf(comesOutOf, hashOf(goesInto)));
}

} // namespace

quint32 EntryList::intern(std::string_view text) {
    auto it = textIndex_.find(text);
    if (it == textIndex_.end()) {
        const auto index = static_cast<quint32>(texts_.size());
        texts_.push_back(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        textBytes_.emplace_back(text);
        it = textIndex_.emplace(std::string(text), index).first;
    }
    return it->second;
}

quint32 EntryList::movementOf(std::string_view goesInto, std::string_view comesOutOf,
                              std::string_view movementClass) {
    texthash::makeRoom(movementSlots_, movements_.size(), [this](quint32 index) {
        const EntryMovement& m = movements_[index];
        return movementHash(textBytes_[m.goesInto], textBytes_[m.comesOutOf],
                            textBytes_[m.movementClass]);
    });
    quint32& slot = texthash::slotFor(
        movementSlots_, movementHash(goesInto, comesOutOf, movementClass), [&](quint32 index) {
            const EntryMovement& m = movements_[index];
            return sameBytes(textBytes_[m.goesInto], goesInto) &&
                   sameBytes(textBytes_[m.comesOutOf], comesOutOf) &&
                   sameBytes(textBytes_[m.movementClass], movementClass);
        });
    if (slot == 0) {
        EntryMovement movement;
        movement.goesInto = intern(goesInto);
        movement.comesOutOf = intern(comesOutOf);
        movement.movementClass = intern(movementClass);
        // Only the exact capital letters count.
        movement.isExpense = movementClass == "G";
        movement.isIncome = movementClass == "I";
        movements_.push_back(movement);
        slot = static_cast<quint32>(movements_.size());
    }
    return slot - 1;
}

void EntryList::reserveLike(const EntryList& like) {
    rows_.reserve(like.rows_.size());
    descriptions_.reserveLike(like.descriptions_);
}

void EntryList::append(qint64 id, const QDate& date, std::string_view description,
                       std::string_view goesInto, std::string_view comesOutOf, double amount,
                       std::string_view movementClass) {
    EntryRow row;
    row.id = id;
    if (date.isValid()) {
        row.day = static_cast<qint32>(date.toJulianDay());
    }
    row.amount = amount;
    const std::optional<qint64> cents = amountCents(amount);
    if (!cents) {
        unreadable_.push_back(rows_.size());
    } else {
        if (!largest_ || amount > rows_[*largest_].amount) {
            largest_ = rows_.size();
        }
        if (!lowest_ || amount < rows_[*lowest_].amount) {
            lowest_ = rows_.size();
        }
    }
    row.description = descriptions_.add(description);
    row.movement = movementOf(goesInto, comesOutOf, movementClass);
    const EntryMovement& movement = movements_[row.movement];
    if (movement.isExpense) {
        totals.expense.addCents(cents);
    } else if (movement.isIncome) {
        totals.income.addCents(cents);
    }
    rows_.push_back(row);
}

void EntryList::reverse() {
    const size_t last = rows_.size() - 1;
    std::reverse(rows_.begin(), rows_.end());
    std::reverse(unreadable_.begin(), unreadable_.end());
    for (size_t& row : unreadable_) {
        row = last - row;
    }
    for (std::optional<size_t>* row : {&largest_, &lowest_}) {
        if (*row) {
            **row = last - **row;
        }
    }
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
    return descriptions_.text(row.description);
}

EntryList queryEntries(Database& db, const EntryFilter& filter, const EntryList* sizedLike) {
    Statement query(db, kEntryListSql, "leer la lista de apuntes");
    bindEntryFilter(query, filter);

    EntryList list;
    if (sizedLike != nullptr) {
        list.reserveLike(*sizedLike);
    }
    StoredDates dates;
    while (query.step()) {
        list.append(query.columnInt(0), dates.read(query.columnUtf8(1)), query.columnUtf8(2),
                    query.columnUtf8(3), query.columnUtf8(4), query.columnNumber(5),
                    query.columnUtf8(6));
    }
    list.reverse();
    if (filter.to.isValid()) {
        list.totals.month = list.totals.income.dividedBy(filter.to.month());
    }
    return list;
}

QString recordCountLine(size_t count) {
    return QLatin1Char(' ') + QString::number(count) + QStringLiteral(" registros");
}

QString activeFiltersLine(const EntryFilter& filter) {
    // Long enough to recognise the text, short enough to leave the line readable.
    constexpr qsizetype kShown = 24;
    const auto quoted = [](const QString& text) {
        QString shown = text.simplified();
        if (shown.size() > kShown) {
            shown = shown.left(kShown - 1).trimmed() + QChar(0x2026);
        }
        return QStringLiteral("«%1»").arg(shown);
    };
    QStringList parts;
    const std::pair<QString, const QString*> boxes[] = {
        {QStringLiteral("Concepto"), &filter.description},
        {QStringLiteral("Entra en"), &filter.goesInto},
        {QStringLiteral("Sale de"), &filter.comesOutOf},
    };
    for (const auto& [column, text] : boxes) {
        if (!text->isEmpty()) {
            parts.append(column + QLatin1Char(' ') + quoted(*text));
        }
    }
    if (parts.isEmpty()) {
        return {};
    }
    const QString last = parts.takeLast();
    return QStringLiteral("Filtrado por ") +
           (parts.isEmpty() ? last
                            : parts.join(QStringLiteral(", ")) + QStringLiteral(" y ") + last);
}

QString balanceLine(const EntryTotals& totals) {
    return QStringLiteral(" INGRESOS: ") + totals.income.text() + QStringLiteral(" | GASTOS: ") +
           totals.expense.text() + QStringLiteral(" | BALANCE: ") + totals.balance().text();
}

QString totalsLine(const EntryTotals& totals) {
    return balanceLine(totals) + QStringLiteral(" | MES: ") + totals.month.text();
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
