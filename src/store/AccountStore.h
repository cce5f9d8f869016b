#pragma once

// Reads and writes of the accounts table. Names are compared without regard to
// letter case (CAJA is Caja, AÑO is año), as everywhere else in the program.
// Entries refer to accounts by name and nothing in the file ties them together,
// so a rename rewrites the entries itself, in the same transaction as the
// account row: either all of them follow or none does.

#include "store/BudgetTable.h"
#include "store/Sqlite.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace velmora {

struct Account {
    QString name;        // conNom
    QString description; // conCon ("concept" is a keyword in C++20)
    QString kind;        // conTipo: "I", "G", "C", or empty when the file holds none
};

// The kind as the windows show it: "Ingreso", "Gasto", "Caja"; empty for
// anything else.
QString kindWord(const QString& letter);
// The letter stored for a shown kind; empty for anything else.
QString kindLetter(const QString& word);

// Accounts whose name holds the filter anywhere ("%" and "_" typed in it act as
// wildcards), in the order a Spanish reader sorts names. An empty filter lists
// every account.
std::vector<Account> listAccounts(Database& db, const QString& nameFilter);

std::optional<Account> loadAccount(Database& db, const QString& name);

// Every account name, in the order a Spanish reader sorts them: the account lists
// of the entry editor and the balance.
QStringList accountNames(Database& db);

// The kind letter of the named account; "0" when no account has that name, empty
// when the account has no kind.
QString accountKind(Database& db, const QString& name);

// Whether some account already has this name, in any letter case.
bool accountNameTaken(Database& db, const QString& name);

// An empty kind is stored as no kind at all.
void insertAccount(Database& db, const Account& account);

// An account exactly as the file held it: name, concept and kind with their
// stored types and bytes, so that one deleted by mistake goes back unchanged.
struct StoredAccount {
    QString name;         // as stored, for the user
    StoredValues columns; // conNom, conCon, conTipo
    qint64 openingCents = 0;
    std::vector<BudgetMonth> budget{};
};
// Deletes the account row, its opening balance and its budget (entries that name
// it keep the name) and gives them as they were, in one transaction; nothing when
// no account has that name any more.
std::optional<StoredAccount> takeAccount(Database& db, const QString& name);
// Writes a taken account, its opening balance and its budget back; false, with
// nothing written, when an account of that name in any letter case was made
// meanwhile: names must stay unique.
bool putBackAccount(Database& db, const StoredAccount& account);

// Writes the account loaded as `originalName` with the values of `account`; an
// empty kind keeps the stored one. When the name changes, every entry whose
// EntraEn or SaleDe holds the old name in any letter case takes the new one
// first, and so do its opening balance and its budget. All in one transaction;
// a failure, or an account that is no longer there, leaves everything as it was
// and throws DbError.
void updateAccount(Database& db, const QString& originalName, const Account& account);

} // namespace velmora
