#include "store/Sqlite.h"

#include "store/Amount.h"
#include "store/SpanishText.h"

#include <QFileInfo>

#include <sqlite3.h>

#include <charconv>
#include <limits>

namespace velmora {

DbError::DbError(QString operation, QString detail, int code)
    : std::runtime_error((operation + QStringLiteral(": ") + detail).toStdString()),
      operation_(std::move(operation)), detail_(std::move(detail)), code_(code) {}

namespace {

QString messageOf(sqlite3* db, int rc) {
    if (db != nullptr) {
        return QString::fromUtf8(sqlite3_errmsg(db));
    }
    return QString::fromUtf8(sqlite3_errstr(rc));
}

} // namespace

Database::Database(const QString& path, Mode mode) : path_(path) {
    if (mode != Mode::CreateIfMissing && !QFileInfo(path).isFile()) {
        throw DbError(QStringLiteral("abrir la base de datos"), QStringLiteral("unable to open"),
                      SQLITE_CANTOPEN);
    }
    int flags = mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (mode == Mode::CreateIfMissing) {
        flags |= SQLITE_OPEN_CREATE;
    }
    // A connection is only ever used by the thread that opened it, so the engine's
    // own lock around every call, taken a dozen times for each listed row, is waste.
    flags |= SQLITE_OPEN_NOMUTEX;
    const QByteArray file = path.toUtf8();
    const int rc = sqlite3_open_v2(file.constData(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = messageOf(db_, rc);
        sqlite3_close(db_);
        db_ = nullptr;
        throw DbError(QStringLiteral("abrir la base de datos"), message, rc);
    }
    sqlite3_extended_result_codes(db_, 0);
    // A year may come from a backup drive or another machine: nothing planted in the
    // file (a view, a function in the schema, an extension) may run, and the file
    // cannot be made to corrupt itself through its own schema. A file holding
    // triggers or views is refused before use (checkLedgerSchema).
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    // Another program holding the file briefly should not fail a save at once.
    sqlite3_busy_timeout(db_, 1000);
    registerSpanishTextFunctions(db_);
    registerAmountFunctions(db_);
}

Database::~Database() {
    sqlite3_close_v2(db_);
}

void Database::exec(const char* sql, const char* operation) {
    char* error = nullptr;
    const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const QString message =
            error != nullptr ? QString::fromUtf8(error) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_free(error);
        throw DbError(QString::fromUtf8(operation), message, rc);
    }
}

bool Database::hasTable(const QString& name) {
    Statement query(*this,
                    "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1 "
                    "COLLATE NOCASE",
                    "leer el esquema");
    query.bind(1, name);
    return query.step();
}

int64_t Database::changes() const {
    return sqlite3_changes64(db_);
}

Statement::Statement(Database& db, std::string_view sql, const char* operation)
    : db_(db), operation_(operation) {
    const int rc =
        sqlite3_prepare_v2(db.handle(), sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK) {
        fail(rc);
    }
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

void Statement::fail(int rc) const {
    throw DbError(QString::fromUtf8(operation_), messageOf(db_.handle(), rc), rc);
}

Statement& Statement::bind(int index, const QString& value) {
    const QByteArray text = value.toUtf8();
    const int rc = sqlite3_bind_text(stmt_, index, text.constData(), static_cast<int>(text.size()),
                                     SQLITE_TRANSIENT);
    if (rc != SQLITE_OK) {
        fail(rc);
    }
    return *this;
}

Statement& Statement::bind(int index, int64_t value) {
    const int rc = sqlite3_bind_int64(stmt_, index, value);
    if (rc != SQLITE_OK) {
        fail(rc);
    }
    return *this;
}

Statement& Statement::bind(int index, double value) {
    const int rc = sqlite3_bind_double(stmt_, index, value);
    if (rc != SQLITE_OK) {
        fail(rc);
    }
    return *this;
}

Statement& Statement::bind(int index, const sqlite3_value& value) {
    const int rc = sqlite3_bind_value(stmt_, index, &value);
    if (rc != SQLITE_OK) {
        fail(rc);
    }
    return *this;
}

Statement& Statement::bindValues(int first, const StoredValues& values) {
    for (const std::shared_ptr<sqlite3_value>& value : values) {
        bind(first++, *value);
    }
    return *this;
}

Statement& Statement::bindNull(int index) {
    const int rc = sqlite3_bind_null(stmt_, index);
    if (rc != SQLITE_OK) {
        fail(rc);
    }
    return *this;
}

bool Statement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    fail(rc);
}

void Statement::run() {
    while (step()) {
    }
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

double Statement::columnDouble(int column) const {
    return sqlite3_column_double(stmt_, column);
}

double storedNumber(sqlite3_value* value) {
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return sqlite3_value_double(value);
    case SQLITE_TEXT: {
        // A column declared as text by another program may hold numbers as text.
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
        const char* end = text + sqlite3_value_bytes(value);
        double number = 0;
        const auto [stop, ec] = std::from_chars(text, end, number);
        if (text != end && ec == std::errc() && stop == end) {
            return number;
        }
        return std::numeric_limits<double>::quiet_NaN();
    }
    default:
        return std::numeric_limits<double>::quiet_NaN();
    }
}

double Statement::columnNumber(int column) const {
    return storedNumber(sqlite3_column_value(stmt_, column));
}

QString Statement::columnText(int column) const {
    const std::string_view text = columnUtf8(column);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

StoredValues Statement::copyRow() const {
    StoredValues row;
    const int columns = sqlite3_column_count(stmt_);
    for (int column = 0; column < columns; ++column) {
        sqlite3_value* copy = sqlite3_value_dup(sqlite3_column_value(stmt_, column));
        if (copy == nullptr) {
            throw DbError(QString::fromUtf8(operation_), QStringLiteral("out of memory"),
                          SQLITE_NOMEM);
        }
        row.emplace_back(copy, sqlite3_value_free);
    }
    return row;
}

Transaction::Transaction(Database& db, Join join) : db_(db) {
    if (join == Join::IfOpen && sqlite3_get_autocommit(db_.handle()) == 0) {
        joined_ = true;
        return;
    }
    db_.exec("BEGIN IMMEDIATE", "empezar la transacción");
}

Transaction::~Transaction() {
    if (open_ && !joined_) {
        sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

void Transaction::commit() {
    if (!joined_) {
        db_.exec("COMMIT", "confirmar la transacción");
    }
    open_ = false;
}

} // namespace velmora
