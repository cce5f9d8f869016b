// The filter texts and the date range reaching the entry list query, over a small
// ledger with what filters meet in practice: accents and ñ in both cases, texts
// holding "%" and "_", Nulls, an unreadable amount, every movement class, and one
// description taken from the input as raw bytes, as another program may store it.
//
// Input: two bytes for the range's ends (days from a fixed day; 0x80 leaves the end
// empty), then the description, goes-into and comes-out-of filters and the stored
// description, separated by line ends. The listed rows must be exactly the entries
// that match by a plain LIKE and by date, newest first, with their stored texts, and
// the totals must add exactly their amounts.

#include "FuzzCheck.h"

#include "entries/EntryList.h"
#include "store/Schema.h"
#include "store/SpanishText.h"
#include "store/Sqlite.h"

#include <QList>
#include <QStringDecoder>

#include <sqlite3.h>

#include <cmath>
#include <limits>
#include <map>
#include <vector>

namespace {

using namespace velmora;

struct Stored {
    qint64 id;
    const char* date;
    const char* description;
    const char* goesInto;
    const char* comesOutOf;
    double amount;
    const char* movementClass;
};

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr qint64 kRawId = 100;

const Stored kLedger[] = {
    {1, "2024-03-15", "Nómina de MARZO", "Banco", "Empresa", 1850.25, "I"},
    {2, "2024-03-15", "Compra ÁGUEDA año", "Alimentación", "Caja", 45.5, "G"},
    {3, "2024-01-02", "50% de descuento_", "Ropa", "Banco", 20, "G"},
    {4, "2023-12-31", nullptr, "Caja", "Banco", 300, "T"},
    {5, "2024-06-30", "", nullptr, nullptr, 12.34, "g"},
    {6, "2024-04-01", "Recibo luz", "Luz", "Banco", kNaN, "G"},
    {7, "", "sin fecha", "Caja", "Banco", 1, "I"},
    {8, nullptr, "fecha nula", "Caja", "Banco", 2, "I"},
    {9, "2024-05-05", "ÑANDÚ über", "Regalos", "Caja", -7.01, "I"},
    {10, "2024-02-29", "x", "ü", "Ü", 999999999999.99, "I"},
};

void bindText(sqlite3_stmt* statement, int index, const char* text, qsizetype size) {
    if (text == nullptr) {
        sqlite3_bind_null(statement, index);
    } else {
        sqlite3_bind_text(statement, index, text, static_cast<int>(size), SQLITE_TRANSIENT);
    }
}

void store(Database& db, const Stored& entry, const QByteArray& description) {
    Statement insert(db,
                     "INSERT OR REPLACE INTO apuntes (Id, Data, Des, EntraEn, SaleDe, Importe, GoI)"
                     " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)",
                     "fuzz: guardar apunte");
    sqlite3_stmt* s = insert.handle();
    sqlite3_bind_int64(s, 1, entry.id);
    bindText(s, 2, entry.date, -1);
    bindText(s, 3, description.isNull() ? nullptr : description.constData(), description.size());
    bindText(s, 4, entry.goesInto, -1);
    bindText(s, 5, entry.comesOutOf, -1);
    if (std::isnan(entry.amount)) {
        bindText(s, 6, "no es un número", -1); // unreadable, yet no Null
    } else {
        sqlite3_bind_double(s, 6, entry.amount);
    }
    bindText(s, 7, entry.movementClass, -1);
    insert.run();
}

Database& ledger() {
    static Database db(QStringLiteral(":memory:"), Database::Mode::CreateIfMissing);
    static const bool filled = [] {
        createLedgerSchema(db);
        for (const Stored& entry : kLedger) {
            store(db, entry, entry.description ? QByteArray(entry.description) : QByteArray());
        }
        return true;
    }();
    (void)filled;
    return db;
}

QDate rangeEnd(uint8_t byte) {
    if (byte == 0x80) {
        return {};
    }
    return QDate(2024, 3, 15).addDays(static_cast<int8_t>(byte));
}

bool validUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringConverter::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

QString textOf(const char* text) {
    return text == nullptr ? QString() : QString::fromUtf8(text);
}

// LIKE worked out plainly, a row of a table at a time, over the folded texts; the
// engine's own matching and likeMatches must both agree with it.
bool referenceLike(const QString& pattern, const QString& value) {
    const QList<uint> p = foldCase(pattern).toUcs4();
    const QList<uint> v = foldCase(value).toUcs4();
    // row[j]: the pattern so far matches the first j characters.
    std::vector<bool> row(static_cast<size_t>(v.size()) + 1, false);
    row[0] = true;
    for (const uint c : p) {
        std::vector<bool> next(row.size(), false);
        next[0] = c == '%' && row[0];
        for (size_t j = 1; j < row.size(); ++j) {
            next[j] = c == '%' ? next[j - 1] || row[j]
                               : row[j - 1] && (c == '_' || c == v[static_cast<qsizetype>(j - 1)]);
        }
        row.swap(next);
    }
    return row.back();
}

bool matches(const QString& filter, const QString& value) {
    const QString pattern = QLatin1Char('%') + filter + QLatin1Char('%');
    const bool answer = referenceLike(pattern, value);
    FUZZ_CHECK(likeMatches(pattern, value) == answer);
    return answer;
}

bool sameTotal(const AmountTotal& a, const AmountTotal& b) {
    return a.readable() == b.readable() && a.cents() == b.cents();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    EntryFilter filter;
    filter.from = rangeEnd(data[0]);
    filter.to = rangeEnd(data[1]);
    QList<QByteArray> parts = fuzz::bytesOf(data + 2, size - 2).split('\n');
    while (parts.size() < 4) {
        parts.append(QByteArray());
    }
    filter.description = QString::fromUtf8(parts[0]);
    filter.goesInto = QString::fromUtf8(parts[1]);
    filter.comesOutOf = QString::fromUtf8(parts[2]);
    const QByteArray rawDescription = parts.mid(3).join('\n');

    Database& db = ledger();
    const Stored raw{kRawId, "2024-03-15", nullptr, "Caja", "Banco", 0.01, "G"};
    store(db, raw, rawDescription.isNull() ? QByteArray("") : rawDescription);
    const EntryList list = queryEntries(db, filter);
    (void)totalsLine(list.totals);
    (void)unreadableAmountsNotice(list);

    std::map<qint64, const Stored*> expected;
    for (const Stored* entry = std::begin(kLedger); entry != std::end(kLedger); ++entry) {
        expected[entry->id] = entry;
    }
    expected[kRawId] = &raw;
    const QString from = toStoredDate(filter.from);
    const QString to = toStoredDate(filter.to);
    const bool rawComparable = validUtf8(rawDescription);

    AmountTotal income;
    AmountTotal expense;
    std::map<qint64, bool> listed;
    for (size_t i = 0; i < list.size(); ++i) {
        const EntryRow& row = list[i];
        FUZZ_CHECK(expected.count(row.id) == 1 && listed.count(row.id) == 0);
        listed[row.id] = true;
        const Stored& entry = *expected[row.id];
        const QString description =
            row.id == kRawId ? QString::fromUtf8(rawDescription) : textOf(entry.description);
        FUZZ_CHECK(list.description(row) == description);
        FUZZ_CHECK(list.text(list.movement(row).goesInto) == textOf(entry.goesInto));
        FUZZ_CHECK(list.text(list.movement(row).comesOutOf) == textOf(entry.comesOutOf));
        if (i > 0) {
            const EntryRow& above = list[i - 1];
            const QString aboveDate = textOf(expected[above.id]->date);
            FUZZ_CHECK(aboveDate > textOf(entry.date) ||
                       (aboveDate == textOf(entry.date) && above.id > row.id));
        }
        const QString kind = QString::fromLatin1(entry.movementClass);
        if (kind == QLatin1String("I")) {
            income.add(entry.amount);
        } else if (kind == QLatin1String("G")) {
            expense.add(entry.amount);
        }
    }
    FUZZ_CHECK(sameTotal(list.totals.income, income));
    FUZZ_CHECK(sameTotal(list.totals.expense, expense));

    for (const auto& [id, entry] : expected) {
        if (id == kRawId && !rawComparable) {
            continue;
        }
        const QString date = textOf(entry->date);
        const QString description =
            id == kRawId ? QString::fromUtf8(rawDescription) : textOf(entry->description);
        const bool wanted = entry->date != nullptr && date >= from && date <= to &&
                            matches(filter.description, description) &&
                            matches(filter.goesInto, textOf(entry->goesInto)) &&
                            matches(filter.comesOutOf, textOf(entry->comesOutOf));
        FUZZ_CHECK(wanted == (listed.count(id) == 1));
    }
    return 0;
}
