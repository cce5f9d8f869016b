#include "store/BudgetTable.h"

#include "store/AccountKeyedRows.h"
#include "store/Amount.h"
#include "store/Sqlite.h"

namespace velmora {

namespace {

constexpr const char* kOperation = "guardar el presupuesto";

void removeRowsOf(Database& db, const QString& account) {
    Statement remove(db, "DELETE FROM presupuesto WHERE sametext(Cuenta, ?1)", kOperation);
    remove.bind(1, account).run();
}

} // namespace

bool hasBudgetTable(Database& db) {
    return db.hasTable(QString::fromLatin1(schema::kBudget));
}

std::vector<BudgetMonth> storedBudgetOf(Database& db, const QString& account) {
    std::vector<BudgetMonth> months;
    if (!hasBudgetTable(db)) {
        return months;
    }
    Statement query(db,
                    "SELECT Mes, Centimos FROM presupuesto WHERE sametext(Cuenta, ?1) ORDER BY Mes",
                    "leer el presupuesto");
    query.bind(1, account);
    while (query.step()) {
        months.push_back({static_cast<int>(query.columnInt(0)), query.columnInt(1)});
    }
    return months;
}

void replaceStoredBudget(Database& db, const QString& account,
                         const std::vector<BudgetMonth>& months) {
    for (const BudgetMonth& month : months) {
        if (month.month < 0 || month.month > 12) {
            throw DbError(QString::fromUtf8(kOperation), QStringLiteral("el mes no existe"), 0);
        }
        if (month.cents > kMaxAmountCents || month.cents < -kMaxAmountCents) {
            throw DbError(QString::fromUtf8(kOperation),
                          QStringLiteral("el importe pasa de 999.999.999.999,99"), 0);
        }
    }
    db.exec("CREATE TABLE IF NOT EXISTS presupuesto ("
            "Cuenta TEXT NOT NULL,"
            " Mes INTEGER NOT NULL CHECK (Mes BETWEEN 0 AND 12),"
            " Centimos INTEGER NOT NULL,"
            " PRIMARY KEY (Cuenta, Mes))",
            kOperation);
    removeRowsOf(db, account);
    Statement insert(db, "INSERT INTO presupuesto (Cuenta, Mes, Centimos) VALUES (?1, ?2, ?3)",
                     kOperation);
    for (const BudgetMonth& month : months) {
        insert.reset();
        insert.bind(1, account).bind(2, month.month).bind(3, int64_t{month.cents}).run();
    }
}

void renameBudget(Database& db, const QString& from, const QString& to) {
    renameAccountRows(db, schema::kBudget, from, to, kOperation);
}

} // namespace velmora
