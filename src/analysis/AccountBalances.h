#pragma once

// Where every account stands, one definition for every window and command.
// A cash account's balance at a date is its opening balance, plus every entry of
// the year's file dated on or before that date that enters it, minus every one
// that leaves it (transfers included). Income and expense accounts have no
// balance: they show their totals over a range instead. Names compare without
// regard to letter case.

#include "store/Amount.h"

#include <QDate>
#include <QString>

#include <vector>

namespace velmora {

class Database;

struct AccountFigures {
    QString account;     // as the accounts table spells it
    QString kind;        // "C", "I" or "G"
    AmountTotal opening; // cash accounts only; 0,00 for the others
    AmountTotal moneyIn;
    AmountTotal moneyOut;
    // Cash: opening + in - out. Income: what came out of it, less what went back
    // in. Expense: what went into it, less what came back out.
    AmountTotal figure() const;
};

struct BalanceSheet {
    std::vector<AccountFigures> cash; // in the order a Spanish reader sorts them
    std::vector<AccountFigures> income;
    std::vector<AccountFigures> expense;
    AmountTotal cashTotal() const;
};

// Cash accounts at `date`; income and expense accounts over `from` to `date`,
// both days included. Accounts of no kind are left out. Throws DbError.
BalanceSheet balancesAt(Database& db, const QDate& from, const QDate& date);

// What the balances window and command show at `date`: cash accounts at it,
// income and expense accounts over its year up to it.
BalanceSheet balancesOfYearAt(Database& db, const QDate& date);

// One cash account's balance at `date`: the same figure balancesAt gives.
AmountTotal cashBalanceAt(Database& db, const QString& account, const QDate& date);

} // namespace velmora
