#pragma once

// One import of a file into a year, as the import window and velmora-admin both run
// it: the file opened through the path gate, its format told from its first lines,
// the rows of a CSV file or of a Norma 43 statement read, each bank account of a
// statement mapped to one of the year's accounts by the front end (and remembered in
// bancos.ini when the front end asks for it), the plan, and the write: a safety copy
// of the year first, then every accepted row in one transaction.
//
// The front ends keep what is theirs: the questions, the preview and the messages.

#include "exchange/Csv.h"
#include "exchange/ImportPlan.h"
#include "exchange/ImportedRows.h"
#include "exchange/Norma43.h"
#include "exchange/RefusedLines.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QDateTime;

namespace velmora {

class Database;
class YearSession;

enum class ImportFormat { Csv, Norma43 };

// One bank account of a statement, as the front end is asked about it.
struct BankAccountQuestion {
    const N43Account& account;
    // The year's accounts to choose from.
    const QStringList& accounts;
    // What to offer first: the account remembered for this bank account, otherwise
    // the year's first cash account.
    QString proposed;
    // Why the remembered accounts cannot be used this time; on the first question
    // only, and only when they were asked for.
    QString memoryProblem;
};

// The year's account for the bank account, or nothing when the user gives up.
using BankAccountChooser = std::function<std::optional<QString>(const BankAccountQuestion&)>;

class ImportSession {
public:
    // db gives the connection to the year of dataRoot/year, whose dates fall in
    // calendarYear. It is called when the connection is first needed, so a front end
    // opens it (or meets its DbError) where it expects to.
    ImportSession(std::function<Database&()> db, QString dataRoot, QString year, int calendarYear);
    // The session's year.
    ImportSession(const YearSession& session, int calendarYear);

    // Opens path: a regular file no larger than an import reads. Nothing, or why
    // not in Spanish ("/x es una carpeta").
    std::optional<QString> open(const QString& path);
    // A statement, whatever the name says, when its first record is one.
    ImportFormat format();

    // Reads the rows of the CSV file. Nothing, or why the file cannot be read, in
    // Spanish and ready to show. Throws std::bad_alloc.
    std::optional<QString> readCsv();
    CsvDialect dialect() const { return dialect_; }

    // Reads the statement. Throws Norma43Error and std::bad_alloc.
    const N43Statement& readStatement();
    const N43Statement& statement() const { return statement_; }
    // The statement's movements as rows, each bank account's on the account that
    // choose gives. With rememberIn (a settings folder) each choice is offered again
    // next time through its bancos.ini. False when choose gives up. Throws DbError
    // when the year's accounts cannot be read.
    bool mapStatement(const BankAccountChooser& choose, const QString& rememberIn = {});

    ImportedRows& rows() { return rows_; }
    const ImportedRows& rows() const { return rows_; }
    // The lines the reader could not take.
    const RefusedLines& refused() const { return refused_; }

    // What writing would do, with the accounts to create and the rows to include
    // (all by default). Throws DbError and std::bad_alloc.
    ImportPlan plan(const NewAccounts& created = {},
                    const std::function<bool(qsizetype)>& include = {}) const;

    // Writes the year's safety copy, so the user can go back to the year as it was
    // before the import; gives its path. Throws DbError.
    QString writeSafetyCopy(const QDateTime& now) const;
    // Writes the plan's rows in one transaction: all or none. Throws DbError and
    // std::bad_alloc, with the transaction rolled back.
    ImportResult write(const ImportPlan& plan, const NewAccounts& created,
                       bool withDuplicates) const;

private:
    Database& db() const { return database_(); }

    std::function<Database&()> database_;
    QString dataRoot_;
    QString year_;
    int calendarYear_;
    QFile file_;
    std::optional<ImportFormat> format_;
    CsvDialect dialect_ = CsvDialect::Spanish;
    N43Statement statement_;
    ImportedRows rows_;
    RefusedLines refused_;
};

} // namespace velmora
