#pragma once

// The list of entries that the main window shows: the query with its three text
// filters and date range, newest first, and the totals written under it.

#include <QDate>
#include <QString>

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

struct EntryRow {
    qint64 id = 0;
    QDate date; // invalid when the stored date is empty
    QString description;
    QString goesInto;
    QString comesOutOf;
    QString movementClass;
    double amount = 0;
    bool hasAmount = true;
};

struct EntryTotals {
    double income = 0;
    double expense = 0;
    double month = 0;
    double balance() const { return income - expense; }
};

struct EntryList {
    std::vector<EntryRow> rows;
    EntryTotals totals;
};

// The statement and its parameters, shared with the benchmark's raw measurement.
extern const char* const kEntryListSql;
void bindEntryFilter(Statement& statement, const EntryFilter& filter);

// Throws DbError when the engine fails.
EntryList queryEntries(Database& db, const EntryFilter& filter);

// " 12 registros"
QString recordCountLine(size_t count);
// " INGRESOS: 1.200,00 | GASTOS: 450,50 | BALANCE: 749,50 | MES: 100,00"
QString totalsLine(const EntryTotals& totals);

} // namespace velmora
