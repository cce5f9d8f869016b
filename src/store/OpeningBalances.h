#pragma once

// Where each cash account of a year starts: a table of our own beside the ledger's,
//   saldosiniciales (Cuenta TEXT PRIMARY KEY, Centimos INTEGER NOT NULL)
// made when the first opening balance is written, so that a file from before it,
// or from elsewhere, reads as every account starting at 0,00. Amounts are whole
// cents, exact, which the stock sqlite3 tool shows as they are. Names compare
// without regard to letter case, as everywhere else.

#include <QHash>
#include <QString>
#include <QtGlobal>

#include <vector>

namespace velmora {

class Database;

namespace schema {
inline constexpr const char* kOpeningBalances = "saldosiniciales";
} // namespace schema

struct OpeningBalance {
    QString account; // as stored
    qint64 cents = 0;
};

// Every opening balance stored, in the order a Spanish reader sorts the names;
// empty when the file has none. Throws DbError when the engine fails.
std::vector<OpeningBalance> openingBalances(Database& db);

// The same, keyed by the name folded as foldCase() folds it, for looking up many
// accounts at once.
QHash<QString, qint64> openingBalancesByName(Database& db);

// 0 when the account has none.
qint64 openingBalance(Database& db, const QString& account);

// Sets or, with 0, removes the account's opening balance, in its own transaction
// unless one is open. Throws DbError, with nothing written, when the engine fails
// or the amount lies beyond what an amount may hold.
void setOpeningBalance(Database& db, const QString& account, qint64 cents);

// Within the caller's transaction: the account's opening balance follows a rename,
// or goes with a delete (renamed to nothing). Nothing to do in a file without the
// table.
void renameOpeningBalance(Database& db, const QString& from, const QString& to);

} // namespace velmora
