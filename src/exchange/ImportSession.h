#pragma once

// One import of a file into a year, as the import window and velmora-admin both run
// it: the file opened through the path gate, its format told from its first lines,
// the rows of a CSV file or of a Norma 43 statement read, each bank account of a
// statement mapped to one of the year's accounts by the front end (and remembered in
// bancos.ini when the front end asks for it), the plan, and the write: a safety copy
// of the year first, then every accepted row in one transaction.
//
// The front ends keep what is theirs: the questions, the preview and the messages.

#include "exchange/AccountProposals.h"
#include "exchange/BankLayout.h"
#include "exchange/BankMovements.h"
#include "exchange/Csv.h"
#include "exchange/ImportPlan.h"
#include "exchange/ImportedRows.h"
#include "exchange/Norma43.h"
#include "exchange/RefusedLines.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QDateTime;

namespace velmora {

class Database;
class YearSession;

// Our own CSV layout, a Norma 43 statement, or a bank's own movements file (a CSV
// of its own layout or a spreadsheet).
enum class ImportFormat { Csv, Norma43, BankFile };

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

// The account a bank's movements file goes to, as the front end is asked about it.
struct BankFileQuestion {
    const QStringList& accounts;
    // The account the last file with the same headers went to, otherwise the
    // year's first cash account.
    QString proposed;
    // Why the remembered layouts cannot be used this time.
    QString memoryProblem;
};
using BankFileChooser = std::function<std::optional<QString>(const BankFileQuestion&)>;

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

    // Reads a bank's movements file as a table and finds its header, first by the
    // headers remembered in rememberIn's columnas.json, then by their names.
    // Nothing, or why the file cannot be read, in Spanish. Throws std::bad_alloc.
    std::optional<QString> readBankFile(const QString& rememberIn = {});
    const SheetTable& table() const { return table_; }
    const BankLayout& layout() const { return layout_; }
    // "Hoja de cálculo .xlsx" or "CSV del banco, separador punto y coma".
    const QString& bankFileKind() const { return bankFileKind_; }
    // Asks for the year's account the file goes to, reads the movements through the
    // layout (the one remembered for that account and these headers, if any) and
    // proposes the other side of each. False when choose gives up. Throws DbError.
    bool mapBankFile(const BankFileChooser& choose, const QString& rememberIn = {});
    // Reads the movements again through another layout, for the same account, and
    // remembers it. Nothing, or why that layout cannot be used.
    std::optional<QString> relayout(const BankLayout& layout, const QString& rememberIn = {});
    const QString& bankAccount() const { return bankAccount_; }
    // The movements as the bank file gives them, oldest first; row i of rows() is
    // movement i.
    const std::vector<BankMovement>& bankMovements() const { return bankMovements_; }

    ImportedRows& rows() { return rows_; }
    const ImportedRows& rows() const { return rows_; }
    // The lines the reader could not take.
    const RefusedLines& refused() const { return refused_; }

    // What writing would do, with the accounts to create and the rows to include
    // (all by default). Throws DbError and std::bad_alloc.
    ImportPlan plan(const NewAccounts& created = {},
                    const std::function<bool(qsizetype)>& include = {}) const;

    // What the bank's own balances say against ours if the plan is written: for a
    // bank file that gives them, or for each account of a statement; empty when the
    // file gives none. Throws DbError.
    QString describeBalances(const ImportPlan& plan) const;

    // Writes the year's safety copy, so the user can go back to the year as it was
    // before the import; gives its path. Throws DbError.
    QString writeSafetyCopy(const QDateTime& now) const;
    // Writes the plan's rows in one transaction: all or none. Throws DbError and
    // std::bad_alloc, with the transaction rolled back.
    ImportResult write(const ImportPlan& plan, const NewAccounts& created,
                       bool withDuplicates) const;

private:
    Database& db() const { return database_(); }
    // The layout of the table read: remembered for its headers or found by their
    // names. Nothing, or why there is none.
    std::optional<QString> findLayout(const QString& rememberIn);
    // The year's entries and the household's rules of the data root.
    std::unique_ptr<AccountProposals> makeProposals() const;

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
    SheetTable table_;
    RefusedLines tableRefused_;
    BankLayout layout_;
    QString bankFileKind_;
    QString bankAccount_;
    QString proposedAccount_;
    std::vector<BankMovement> bankMovements_;
    QStringList statementAccounts_; // ours, one for each account of the statement
    std::unique_ptr<AccountProposals> proposals_;
};

} // namespace velmora
