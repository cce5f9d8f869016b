#pragma once

// What an import will write, decided before anything is written: every row read
// from a file goes through the checks of the entry editor (a description, a date
// of the year, two accounts that exist, a pair the movement rule allows), rows
// already in the year are marked as duplicates, and rows that name an account
// the year does not have wait for the user to create it or leave them out.

#include "exchange/ImportedRow.h"
#include "store/AccountStore.h"

#include <QHash>
#include <QList>
#include <QString>

#include <functional>

namespace velmora {

class Database;

struct PlannedEntry {
    ImportedRow row;
    QString movementClass; // "I", "G" or "T", from the movement rule
    bool duplicate =
        false; // the year holds an entry with the same date, accounts, amount and description
};

// An account named by rows of the file that the year does not have.
struct UnknownAccount {
    QString name; // as the file first writes it
    int rows = 0;
};

struct ImportPlan {
    QList<PlannedEntry> accepted;
    QList<RefusedLine> refused;
    QList<UnknownAccount> unknownAccounts;
    QList<ImportedRow> waiting; // rows naming an unknown account

    int duplicates() const;
};

// What the user decided about the unknown accounts: the ones to create, each
// with its kind ("I", "G", "C"), keyed by name as the file writes it. Rows
// naming an unknown account not in here are left out.
using NewAccounts = QHash<QString, QString>;

// Throws DbError when the year cannot be read.
ImportPlan planImport(Database& db, const QList<ImportedRow>& rows, int year,
                      const NewAccounts& created = {});

struct ImportResult {
    int written = 0;
    int accountsCreated = 0;
};

// Creates the accounts chosen and writes the accepted rows, duplicates only with
// withDuplicates, under new numbers, all in one transaction: a failure half-way
// writes nothing. afterRow, for tests, runs after each row written. Throws DbError.
ImportResult writeImport(Database& db, const ImportPlan& plan, const NewAccounts& created,
                         bool withDuplicates, const std::function<void(int)>& afterRow = {});

} // namespace velmora
