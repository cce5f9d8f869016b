#pragma once

// How much went into one account, how much came out of it, and the difference,
// over a date range with both days included. Names compare without regard to
// letter case.

#include <QDate>
#include <QString>

namespace velmora {

class Database;

struct BalanceFigures {
    double moneyIn = 0;
    double moneyOut = 0;
    double balance() const { return moneyIn - moneyOut; }
};

// The statement, shared with the benchmark: ?1 the account, ?2 and ?3 the range.
extern const char* const kBalanceSql;

// Throws DbError when the engine fails.
BalanceFigures accountBalance(Database& db, const QString& account, const QDate& from,
                              const QDate& to);

} // namespace velmora
