#include "exchange/BalanceCheck.h"

#include "analysis/AccountRegister.h"
#include "exchange/BankMovements.h"
#include "exchange/Norma43.h"
#include "store/Amount.h"
#include "store/Formats.h"

#include <algorithm>
#include <map>

namespace velmora {

namespace {

// Our balance at the end of each day, read once from the account's register: the
// same figure as the balances window gives.
class OurBalances {
public:
    OurBalances(Database& db, const QString& account) : register_(accountRegister(db, account)) {}

    std::optional<qint64> at(const QDate& date) const {
        const auto& lines = register_.lines;
        // Lines without a date come first, as the engine sorts them.
        const auto after = std::upper_bound(lines.begin(), lines.end(), date,
                                            [](const QDate& day, const RegisterLine& line) {
                                                return line.date.isValid() && day < line.date;
                                            });
        if (after == lines.begin()) {
            return register_.openingCents;
        }
        return std::prev(after)->balance.cents();
    }

private:
    AccountRegister register_;
};

// What the import adds up to the end of each day.
std::map<QDate, qint64> addedByDay(const std::vector<BankMovement>& movements,
                                   const std::vector<bool>& added) {
    std::map<QDate, qint64> days;
    for (size_t i = 0; i < movements.size(); ++i) {
        days[movements[i].date] += i < added.size() && added[i] ? movements[i].cents : 0;
    }
    return days;
}

std::optional<qint64> plus(std::optional<qint64> a, qint64 b) {
    return a ? std::optional<qint64>(*a + b) : std::nullopt;
}

} // namespace

BalanceCheck checkBankFileBalance(Database& db, const QString& account,
                                  const std::vector<BankMovement>& movements,
                                  const std::vector<bool>& added) {
    BalanceCheck check;
    // The bank's balance before the first movement, from the first one that gives
    // its balance.
    qint64 before = 0;
    const auto firstWithBalance =
        std::find_if(movements.begin(), movements.end(), [&before](const BankMovement& movement) {
            before += movement.cents;
            return movement.balance.has_value();
        });
    if (firstWithBalance == movements.end()) {
        return check;
    }
    check.available = true;
    check.first = movements.front().date;
    check.last = movements.back().date;
    check.bankBefore = *firstWithBalance->balance - before;

    const OurBalances ours(db, account);
    check.oursBefore = ours.at(check.first.addDays(-1));
    const std::map<QDate, qint64> days = addedByDay(movements, added);
    qint64 addedSoFar = 0;
    qint64 bank = check.bankBefore;
    size_t i = 0;
    for (const auto& [day, addedThatDay] : days) {
        const size_t firstOfDay = i;
        std::optional<qint64> bankAtEnd;
        for (; i < movements.size() && movements[i].date == day; ++i) {
            bank += movements[i].cents;
            bankAtEnd = movements[i].balance ? movements[i].balance : std::optional<qint64>(bank);
            bank = *bankAtEnd;
        }
        addedSoFar += addedThatDay;
        const std::optional<qint64> oursAtEnd = plus(ours.at(day), addedSoFar);
        if (!check.partingLine && oursAtEnd && bankAtEnd && *oursAtEnd != *bankAtEnd) {
            check.partingLine = movements[firstOfDay].line;
            check.partingDate = day;
        }
        check.bankAfter = bank;
        check.oursAfter = oursAtEnd;
    }
    return check;
}

BalanceCheck checkStatementBalance(Database& db, const QString& account, const N43Account& bank,
                                   const std::vector<bool>& added) {
    BalanceCheck check;
    if (bank.movements.isEmpty()) {
        return check;
    }
    check.available = true;
    check.first = bank.from.isValid() ? bank.from : bank.movements.first().operationDate;
    check.last = bank.to.isValid() ? bank.to : check.first;
    check.bankBefore = bank.initialCents;
    check.bankAfter = bank.finalCents;
    const OurBalances ours(db, account);
    check.oursBefore = ours.at(check.first.addDays(-1));
    qint64 addedCents = 0;
    qsizetype i = 0;
    for (const N43Movement& movement : bank.movements) {
        if (size_t(i) < added.size() && added[size_t(i)]) {
            addedCents += movement.signedCents();
        }
        ++i;
    }
    check.oursAfter = plus(ours.at(check.last), addedCents);
    return check;
}

QString describeBalanceCheck(const BalanceCheck& check, const QString& account) {
    if (!check.available) {
        return {};
    }
    if (!check.oursBefore || !check.oursAfter) {
        return QStringLiteral("El saldo del banco no se puede comparar con el de %1: hay importes "
                              "de la cuenta que no se pueden leer.")
            .arg(account);
    }
    const auto compare = [](qint64 bank, qint64 ours) {
        if (bank == ours) {
            return QStringLiteral("banco %1, Velmora %2: coinciden")
                .arg(formatCents(bank), formatCents(ours));
        }
        return QStringLiteral("banco %1, Velmora %2: difieren en %3")
            .arg(formatCents(bank), formatCents(ours), formatCents(qAbs(ours - bank)));
    };
    QString text =
        QStringLiteral("Saldo de %1 antes del %2: %3. Después de importar, al %4: %5.")
            .arg(account, formatDate(check.first), compare(check.bankBefore, *check.oursBefore),
                 formatDate(check.last), compare(check.bankAfter, *check.oursAfter));
    if (check.partingLine) {
        text += QStringLiteral(" Dejan de coincidir el %1 (línea %2).")
                    .arg(formatDate(check.partingDate), formatCount(*check.partingLine));
    }
    return text;
}

} // namespace velmora
