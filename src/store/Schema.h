#pragma once

// The tables of a year database and how their values are stored. Dates are
// text "yyyy-MM-dd" so that the stock sqlite3 tool shows and sorts them.

#include <QDate>
#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

class Database;

namespace schema {
inline constexpr const char* kEntries = "apuntes";
inline constexpr const char* kAccounts = "Contas";
inline constexpr const char* kCompany = "tblTitulos";
} // namespace schema

// Creates the three tables and their indexes in an empty database.
void createLedgerSchema(Database& db);

// Throws DbError when the file is not a database or lacks one of the tables.
void checkLedgerSchema(Database& db);

// The canonical spelling of a table or column of the ledger, found without regard
// to letter case; nothing when it is not one of ours. Names pass through here
// before they are put into statement text.
std::optional<QString> canonicalTable(const QString& table);
std::optional<QString> canonicalColumn(const QString& table, const QString& column);

QString toStoredDate(const QDate& date);
QDate fromStoredDate(std::string_view text);

// Rows read in date order nearly always have the date of the row before: it is
// parsed once.
class StoredDates {
public:
    QDate read(std::string_view text);

private:
    std::string last_;
    QDate date_;
};

} // namespace velmora
