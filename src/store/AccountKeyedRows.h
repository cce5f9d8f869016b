#pragma once

// The tables of our own whose rows belong to one account by name, with the name
// in their key (the opening balances, the budget): a rename carries the rows, a
// delete takes them along. Names compare without regard to letter case.

#include <QString>

namespace velmora {

class Database;

// Within the caller's transaction, when `table` exists: the rows of account
// `from` take the name `to`, or go when `to` is empty. Rows already under `to`
// go first: no account holds that name, so they were left by an account deleted
// outside the program, and they would block the rename. Throws DbError.
void renameAccountRows(Database& db, const char* table, const QString& from, const QString& to,
                       const char* operation);

} // namespace velmora
