#pragma once

// The list of entries that the main window shows: the query with its three text
// filters and date range, newest first, and the totals written under it.

#include "store/Amount.h"
#include "store/TextPool.h"

#include <QDate>
#include <QList>
#include <QString>

#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velmora {

class Database;
class Statement;

struct EntryFilter {
    QString description;
    QString goesInto;
    QString comesOutOf;
    QDate from;
    QDate to;
};

// Income and expense of what is listed, and the month figure: the income divided
// by the month of the range's last day.
struct EntryTotals {
    AmountTotal income;
    AmountTotal expense;
    AmountTotal month;
    AmountTotal balance() const { return income.minus(expense); }
};

// One listed entry, kept small: its texts live in the list that holds it. A
// million rows take 32 MB.
struct EntryRow {
    qint64 id = 0;
    double amount = 0;       // NaN when the file holds no number there
    qint32 day = kNoDay;     // the date as a Julian day
    quint32 description = 0; // index into the list's descriptions
    quint32 movement = 0;    // index into the list's movements

    static constexpr qint32 kNoDay = std::numeric_limits<qint32>::min();
    // Invalid when the stored date is empty.
    QDate date() const { return day == kNoDay ? QDate() : QDate::fromJulianDay(day); }
};

// The two accounts and the class of an entry. A household repeats the same few
// dozen movements all year, so rows share them.
struct EntryMovement {
    quint32 goesInto = 0;      // index into the list's shared texts
    quint32 comesOutOf = 0;    // likewise
    quint32 movementClass = 0; // likewise
    bool isExpense = false;
    bool isIncome = false;
};

// The rows of one reload with their totals. Descriptions repeat as much as
// movements do ("Supermercado", "Recibo de la luz"), so each distinct one is kept
// once, in one block of UTF-8; a million rows cost little more than their 32 MB
// and are released at once.
class EntryList {
public:
    EntryList();

    // Adds a row and counts its amount: class "G" as expense, "I" as income, and
    // anything else (a transfer "T", a lower-case letter) nowhere.
    void append(qint64 id, const QDate& date, std::string_view description,
                std::string_view goesInto, std::string_view comesOutOf, double amount,
                std::string_view movementClass);
    // Room for as many rows and descriptions as `like` has.
    void reserveLike(const EntryList& like);
    // Turns the rows round, last added first.
    void reverse();

    size_t size() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }
    const EntryRow& operator[](size_t i) const { return rows_[i]; }
    const std::vector<EntryRow>& rows() const { return rows_; }

    QString description(const EntryRow& row) const;
    const EntryMovement& movement(const EntryRow& row) const { return movements_[row.movement]; }
    const QString& text(quint32 index) const { return texts_[index]; }

    // The rows, counted from 0, whose amount is no number the program can show.
    const std::vector<size_t>& unreadableRows() const { return unreadable_; }
    // The rows whose amounts show the longest texts, to size the amount column
    // without formatting every row.
    QList<int> widestAmountRows() const;

    EntryTotals totals;

private:
    quint32 intern(std::string_view text);
    quint32 movementOf(std::string_view goesInto, std::string_view comesOutOf,
                       std::string_view movementClass);

    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };

    std::vector<EntryRow> rows_;
    std::vector<size_t> unreadable_;
    // The largest and the lowest amount: between them they show the longest text.
    std::optional<size_t> largest_;
    std::optional<size_t> lowest_;
    TextPool descriptions_;
    std::vector<QString> texts_;
    std::vector<std::string> textBytes_; // the same texts as stored
    std::unordered_map<std::string, quint32, Hash, std::equal_to<>> textIndex_;
    std::vector<EntryMovement> movements_;
    std::vector<quint32> movementSlots_; // finds a movement by its three texts
};

// The statement and its parameters, shared with the benchmark's raw measurement.
extern const char* const kEntryListSql;
void bindEntryFilter(Statement& statement, const EntryFilter& filter);

// Throws DbError when the engine fails. `sizedLike`, the list it will replace, only
// sizes the first allocations.
EntryList queryEntries(Database& db, const EntryFilter& filter,
                       const EntryList* sizedLike = nullptr);

// " 12 registros"
QString recordCountLine(size_t count);
// "Filtrado por Concepto «luz» y Sale de «banco»", or empty with no text filter:
// the dates are always on show, the header boxes hide once left.
QString activeFiltersLine(const EntryFilter& filter);
// " INGRESOS: 1.200,00 | GASTOS: 450,50 | BALANCE: 749,50 | MES: 100,00"
QString totalsLine(const EntryTotals& totals);
// The same without the month figure, for lists that span more than one year.
QString balanceLine(const EntryTotals& totals);
// What the user is told when listed entries hold amounts that cannot be read,
// naming their lines and numbers; empty when there are none.
QString unreadableAmountsNotice(const EntryList& list);

} // namespace velmora
