#pragma once

// One account's entries read as the bank's own statement: in date order, each
// with the other account, the money in or out, and the balance after it, from
// the account's opening balance. The balance after the last entry of a date is
// the account's balance at that date, as the balances elsewhere define it.

#include "store/Amount.h"
#include "store/TextPool.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace velmora {

class Database;

struct RegisterLine {
    qint64 id = 0;
    QDate date;              // invalid when the entry has none
    quint32 description = 0; // index into the register's texts
    // The account on the other side, likewise; the account itself for a transfer
    // to itself.
    quint32 otherAccount = 0;
    bool entersAccount = false;
    bool leavesAccount = false;
    // Nothing when the file holds no readable amount there.
    std::optional<qint64> cents;
    // After this entry; unreadable from the first unreadable amount on.
    AmountTotal balance;
};

struct AccountRegister {
    QString account;
    qint64 openingCents = 0; // 0 for an account that is not a cash account
    std::vector<RegisterLine> lines;
    // The numbers of the first few entries whose amount could not be read.
    std::vector<qint64> unreadable;
    TextPool texts;

    QString description(const RegisterLine& line) const { return texts.text(line.description); }
    QString otherAccount(const RegisterLine& line) const { return texts.text(line.otherAccount); }
};

// The statement, shared with the benchmark's raw read: ?1 the account.
extern const char* const kAccountRegisterSql;

// Throws DbError when the engine fails.
AccountRegister accountRegister(Database& db, const QString& account);

} // namespace velmora
