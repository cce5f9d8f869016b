#include "analysis/AccountRegister.h"

#include "store/AccountStore.h"
#include "store/OpeningBalances.h"
#include "store/Schema.h"
#include "store/Sqlite.h"

namespace velmora {

// Same date, then the order the entries were made: a bank lists a day so.
const char* const kAccountRegisterSql =
    "SELECT Id, Data, Des, EntraEn, SaleDe, amountcents(Importe),"
    " sametext(EntraEn, ?1), sametext(SaleDe, ?1)"
    " FROM apuntes WHERE sametext(EntraEn, ?1) OR sametext(SaleDe, ?1) ORDER BY Data, Id";

namespace {

constexpr size_t kNamedUnreadable = 6;

} // namespace

AccountRegister accountRegister(Database& db, const QString& account) {
    AccountRegister result;
    result.account = account;
    if (accountKind(db, account).compare(QLatin1String("C"), Qt::CaseInsensitive) == 0) {
        result.openingCents = openingBalance(db, account);
    }

    Statement query(db, kAccountRegisterSql, "leer el extracto de la cuenta");
    query.bind(1, account);
    StoredDates dates;
    AmountTotal balance = AmountTotal::ofCents(result.openingCents);
    while (query.step()) {
        RegisterLine line;
        line.id = query.columnInt(0);
        line.date = dates.read(query.columnUtf8(1));
        line.description = result.texts.add(query.columnUtf8(2));
        line.entersAccount = query.columnInt(6) != 0;
        line.leavesAccount = query.columnInt(7) != 0;
        // Into it, the other side is where the money came from; out of it, where
        // it went.
        line.otherAccount =
            result.texts.add(query.columnUtf8(line.entersAccount && !line.leavesAccount ? 4 : 3));
        if (!query.isNull(5)) {
            line.cents = query.columnInt(5);
        } else if (result.unreadable.size() < kNamedUnreadable) {
            result.unreadable.push_back(line.id);
        }
        // A transfer to itself enters and leaves: it shows both ways and the
        // balance stays.
        if (line.entersAccount) {
            balance.addCents(line.cents);
        }
        if (line.leavesAccount) {
            // Within an amount's range, so the negation cannot overflow.
            balance.addCents(line.cents ? std::optional<qint64>(-*line.cents) : std::nullopt);
        }
        line.balance = balance;
        result.lines.push_back(line);
    }
    return result;
}

} // namespace velmora
