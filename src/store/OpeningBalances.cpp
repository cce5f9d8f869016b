#include "store/OpeningBalances.h"

#include "store/AccountKeyedRows.h"
#include "store/Amount.h"
#include "store/SpanishText.h"
#include "store/Sqlite.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

namespace velmora {

namespace {

bool hasTable(Database& db) {
    return db.hasTable(QString::fromLatin1(schema::kOpeningBalances));
}

} // namespace

std::vector<OpeningBalance> openingBalances(Database& db) {
    std::vector<OpeningBalance> balances;
    if (!hasTable(db)) {
        return balances;
    }
    Statement query(db, "SELECT Cuenta, Centimos FROM saldosiniciales",
                    "leer los saldos iniciales");
    while (query.step()) {
        balances.push_back({query.columnText(0), query.columnInt(1)});
    }
    QCollator spanish{QLocale(QLocale::Spanish, QLocale::Spain)};
    std::sort(balances.begin(), balances.end(),
              [&](const OpeningBalance& a, const OpeningBalance& b) {
                  return spanish.compare(a.account, b.account) < 0;
              });
    return balances;
}

QHash<QString, qint64> openingBalancesByName(Database& db) {
    QHash<QString, qint64> byName;
    for (const OpeningBalance& opening : openingBalances(db)) {
        byName.insert(foldCase(opening.account), opening.cents);
    }
    return byName;
}

qint64 openingBalance(Database& db, const QString& account) {
    if (!hasTable(db)) {
        return 0;
    }
    Statement query(db, "SELECT Centimos FROM saldosiniciales WHERE sametext(Cuenta, ?1) LIMIT 1",
                    "leer el saldo inicial");
    query.bind(1, account);
    return query.step() ? query.columnInt(0) : 0;
}

void setOpeningBalance(Database& db, const QString& account, qint64 cents) {
    if (cents > kMaxAmountCents || cents < -kMaxAmountCents) {
        throw DbError(QStringLiteral("guardar el saldo inicial"),
                      QStringLiteral("el importe pasa de 999.999.999.999,99"), 0);
    }
    // Part of the caller's change when it has one open, such as a new year's.
    Transaction change(db, Transaction::Join::IfOpen);
    db.exec("CREATE TABLE IF NOT EXISTS saldosiniciales ("
            "Cuenta TEXT PRIMARY KEY, Centimos INTEGER NOT NULL)",
            "guardar el saldo inicial");
    Statement remove(db, "DELETE FROM saldosiniciales WHERE sametext(Cuenta, ?1)",
                     "guardar el saldo inicial");
    remove.bind(1, account).run();
    if (cents != 0) {
        Statement insert(db, "INSERT INTO saldosiniciales (Cuenta, Centimos) VALUES (?1, ?2)",
                         "guardar el saldo inicial");
        insert.bind(1, account).bind(2, int64_t{cents}).run();
    }
    change.commit();
}

void renameOpeningBalance(Database& db, const QString& from, const QString& to) {
    renameAccountRows(db, schema::kOpeningBalances, from, to, "guardar el saldo inicial");
}

} // namespace velmora
