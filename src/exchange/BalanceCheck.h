#pragma once

// The bank's own balance set against ours for the same account, so that the user
// sees what is missing before anything is written: before the file's first
// movement, after its last one with the movements the import adds, and, where
// the file gives the balance after each movement, the first day on which the two
// part. Nothing is written differently because of it.

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace velmora {

class Database;
struct BankMovement;
struct N43Account;

struct BalanceCheck {
    bool available = false; // the file gives balances to compare
    QDate first;            // the first movement's date
    QDate last;             // the last one's
    qint64 bankBefore = 0;
    qint64 bankAfter = 0;
    // Ours: nothing when an amount of the account cannot be read.
    std::optional<qint64> oursBefore;
    std::optional<qint64> oursAfter; // with the movements the import adds
    // The file's line of the first movement of the first day on which they part.
    std::optional<int> partingLine;
    QDate partingDate;
};

// added[i]: the import writes movement i (not a duplicate, not left out).
// Movements oldest first. Throws DbError.
BalanceCheck checkBankFileBalance(Database& db, const QString& account,
                                  const std::vector<BankMovement>& movements,
                                  const std::vector<bool>& added);
// A statement's initial and final balances, against the account it goes to.
BalanceCheck checkStatementBalance(Database& db, const QString& account, const N43Account& bank,
                                   const std::vector<bool>& added);

// What the preview and velmora-admin say of it, one or two sentences in Spanish;
// empty when the file gives no balance.
QString describeBalanceCheck(const BalanceCheck& check, const QString& account);

} // namespace velmora
