#pragma once

// How much went into one account, how much came out of it, and the difference,
// over a date range with both days included. Names compare without regard to
// letter case.

#include "store/Amount.h"

#include <QDate>
#include <QString>

#include <vector>

namespace velmora {

class Database;
class Statement;

// A centstotal() column of a row: Null, an unreadable sum, stays unreadable.
AmountTotal totalInColumn(const Statement& row, int column);

struct BalanceFigures {
    AmountTotal moneyIn;
    AmountTotal moneyOut;
    AmountTotal balance() const { return moneyIn.minus(moneyOut); }
    // The entries whose amount is no number, when a figure could not be added up.
    std::vector<qint64> unreadable;
};

// The statement, shared with the benchmark: ?1 the account, ?2 and ?3 the range.
extern const char* const kBalanceSql;

// Throws DbError when the engine fails.
BalanceFigures accountBalance(Database& db, const QString& account, const QDate& from,
                              const QDate& to);

} // namespace velmora
