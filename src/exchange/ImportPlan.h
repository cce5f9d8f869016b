#pragma once

// What an import will write, decided before anything is written: every row read
// from a file goes through the checks of the entry editor (a description, a date
// of the year, two accounts that exist, a pair the movement rule allows), rows
// already in the year are marked as duplicates, and rows that name an account
// the year does not have wait for the user to create it or leave them out. An
// account name is matched whatever its letter case and the spaces around it.
// The plan refers to the rows by their position and copies none of them.

#include "exchange/ImportedRows.h"
#include "exchange/RefusedLines.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace velmora {

class Database;

struct PlannedEntry {
    qint32 row = 0;           // its position in the rows planned
    quint32 goesInto = 0;     // in ImportPlan::accounts
    quint32 comesOutOf = 0;   // likewise
    char movementClass = 'T'; // 'I', 'G' or 'T', from the movement rule
    // The year holds an entry with the same date, accounts, amount and description.
    bool duplicate = false;
};

// An account named by rows of the file that the year does not have.
struct UnknownAccount {
    QString name; // as the file first writes it, without the spaces around it
    int rows = 0;
};

struct ImportPlan {
    std::vector<PlannedEntry> accepted;
    RefusedLines refused;
    QList<UnknownAccount> unknownAccounts;
    std::vector<qint32> waiting; // rows naming an unknown account
    // The accounts the entries are written under, as the year writes their names.
    QStringList accounts;

    int duplicates() const;
    const QString& goesInto(const PlannedEntry& entry) const { return accounts[entry.goesInto]; }
    const QString& comesOutOf(const PlannedEntry& entry) const {
        return accounts[entry.comesOutOf];
    }
};

// What the user decided about the unknown accounts: the ones to create, each
// with its kind ("I", "G", "C"), keyed by name as UnknownAccount gives it. Rows
// naming an unknown account not in here are left out.
using NewAccounts = QHash<QString, QString>;

// The concept of an account an import creates: the account card wants one.
inline const QString kImportedAccountConcept = QStringLiteral("Creada al importar");

// Plans the rows that `include` lets through, or all of them without it. Throws
// DbError when the year cannot be read.
ImportPlan planImport(Database& db, const ImportedRows& rows, int year,
                      const NewAccounts& created = {},
                      const std::function<bool(qsizetype)>& include = {});

struct ImportResult {
    int written = 0;
    int accountsCreated = 0;
};

// Creates the accounts chosen and writes the accepted rows, duplicates only with
// withDuplicates, under new numbers, all in one transaction: a failure half-way
// writes nothing. afterRow, for tests, runs after each row written. Throws DbError.
ImportResult writeImport(Database& db, const ImportedRows& rows, const ImportPlan& plan,
                         const NewAccounts& created, bool withDuplicates,
                         const std::function<void(int)>& afterRow = {});

} // namespace velmora
