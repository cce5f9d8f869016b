#pragma once

// A thin RAII layer over the SQLite C API. Every user value goes in as a bound
// parameter; every failing call becomes a DbError that names the operation and
// carries SQLite's code and own message. The message is English and for the log:
// describeFailure() gives the user a Spanish reason.

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

#include <sqlite3.h>

namespace velmora {

class DbError : public std::runtime_error {
public:
    // code is SQLite's result code, with detail its message; code 0 is a failure
    // the program found itself, with detail a Spanish reason for the user.
    DbError(QString operation, QString detail, int code);

    const QString& operation() const { return operation_; }
    const QString& detail() const { return detail_; }
    int code() const { return code_; }

private:
    QString operation_;
    QString detail_;
    int code_;
};

// Values as the engine keeps them, type and bytes, held after their statement
// is gone: a row deleted by mistake goes back exactly as the file held it.
using StoredValues = std::vector<std::shared_ptr<sqlite3_value>>;

class Database {
public:
    enum class Mode { OpenExisting, CreateIfMissing, ReadOnly };

    // Opens the file; with OpenExisting and ReadOnly a missing file is an error,
    // never an empty new database. ReadOnly changes nothing on disk, not even a
    // journal left beside the file.
    explicit Database(const QString& path, Mode mode = Mode::OpenExisting);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& path() const { return path_; }
    sqlite3* handle() const { return db_; }

    // Runs one or more statements that take no parameters (schema, pragmas).
    void exec(const char* sql, const char* operation);
    bool hasTable(const QString& name);
    int64_t changes() const;

private:
    sqlite3* db_ = nullptr;
    QString path_;
};

class Statement {
public:
    Statement(Database& db, std::string_view sql, const char* operation);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameters count from 1, as in SQLite.
    Statement& bind(int index, const QString& value);
    Statement& bind(int index, int64_t value);
    Statement& bind(int index, int value) { return bind(index, int64_t{value}); }
    Statement& bind(int index, double value);
    Statement& bindNull(int index);
    // A value as the engine keeps it, type and bytes unchanged.
    Statement& bind(int index, const sqlite3_value& value);
    // Each value in turn, from parameter `first` on.
    Statement& bindValues(int first, const StoredValues& values);

    // Advances to the next row; false at the end.
    bool step();
    // Runs a statement that returns no rows.
    void run();
    void reset();

    bool isNull(int column) const;
    int64_t columnInt(int column) const { return sqlite3_column_int64(stmt_, column); }
    double columnDouble(int column) const;
    // storedNumber() of the column.
    double columnNumber(int column) const;
    QString columnText(int column) const;
    // Every column of the current row, copied.
    StoredValues copyRow() const;
    // The raw UTF-8 bytes of a text column, valid until the next step.
    // Inline: the entry list reads five of these for every row of a year.
    std::string_view columnUtf8(int column) const {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        if (text == nullptr) {
            return {};
        }
        return {text, static_cast<size_t>(sqlite3_column_bytes(stmt_, column))};
    }

    sqlite3_stmt* handle() const { return stmt_; }

private:
    [[noreturn]] void fail(int rc) const;

    Database& db_;
    sqlite3_stmt* stmt_ = nullptr;
    const char* operation_;
};

// A stored value as a number; NaN when it holds none (a Null, a text that is not
// a number, a blob), so that it is never taken for 0.
double storedNumber(sqlite3_value* value);

// Rolls back unless commit() was reached, so a multi-step write never half-happens.
// With Join::IfOpen, a write that may run inside a caller's transaction (a new
// year being made) becomes part of it: nothing is begun, committed or rolled back
// here then, and the caller's commit or rollback decides.
class Transaction {
public:
    enum class Join { Never, IfOpen };
    explicit Transaction(Database& db, Join join = Join::Never);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& db_;
    bool open_ = true;
    bool joined_ = false;
};

} // namespace velmora
