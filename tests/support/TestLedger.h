#pragma once

// A throw-away installation for one test: a program folder with ruta.ini and
// ano.ini, a data root with the year's ledger and, as a real installation has it,
// the report file Informes/Datos.rpt, and helpers to put accounts and entries
// into it directly.

#include "ui/AppState.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <initializer_list>
#include <memory>
#include <utility>

namespace velmora::test {

class TestLedger {
public:
    explicit TestLedger(const QString& year = QStringLiteral("2024"));

    QString programFolder() const;
    QString dataRoot() const;
    QString databasePath() const;
    QString year() const { return year_; }

    // A shared state over this installation with its connection open.
    AppState& state() { return state_; }
    YearSession& session() { return state_.session; }
    Database& db() { return state_.session.db(); }

    void addAccount(const QString& name, const QString& kind, const QString& accountConcept = {});
    // date as dd/MM/yyyy
    void addEntry(qint64 id, const QString& date, const QString& description,
                  const QString& goesInto, const QString& comesOutOf, double amount,
                  const QString& movementClass);
    // Entries 1 to count on one date, each a transfer from and to `account` of its own
    // number with a description of `length` characters: bulk that a compaction or a
    // copy has to carry.
    void addBulkEntries(int count, const QString& date, const QString& account, int length);
    // The cash account "Caja" with `count` bulk entries on 5 March of the year.
    void addCashBook(int count);
    int countEntries();
    // The first column of every row the query gives, as text.
    QStringList rows(const QString& sql);

private:
    QTemporaryDir dir_;
    QString year_;
    AppState state_;
};

// A year's folder and empty ledger beside the ones a test has; the connection stays
// open until the pointer goes.
std::unique_ptr<Database> createYear(const QString& dataRoot, const QString& year);

// Every entry of db as "date|description|into|out of|cents|class", one line each in
// the SQL order `order`; withNumber puts "number|" in front. Whole years compare so.
QStringList entryLines(Database& db, const char* order = "Id", bool withNumber = false);

// A folder of this process's own, removed when it ends, made the user's runtime
// folder on the first call: the year locks taken by the tests stay out of the
// user's. Every TestLedger calls it.
QString privateRuntimeFolder();

// Data rows of one text column `column`, each a row name and its value.
void addTextRows(const char* column,
                 std::initializer_list<std::pair<const char*, const char*>> rows);

} // namespace velmora::test
