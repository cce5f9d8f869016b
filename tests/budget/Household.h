#pragma once

// A household's year for the budget tests: two cash accounts, three income and
// three expense accounts, entries on the first and last days of the year and a
// transfer that counts nowhere; Nómina budgeted at 2.000,00 every month, Comida
// at 400,00, Luz month by month, the rest without a budget.

#include "budget/BudgetStore.h"
#include "store/BudgetTable.h"
#include "store/Sqlite.h"
#include "support/TestLedger.h"

#include <QStringList>

namespace velmora::test {

// Luz: 70,00 January to March, 60,00 April to October, 80,00 November and December.
inline constexpr std::array<qint64, 12> kLuzBudget{7000, 7000, 7000, 6000, 6000, 6000,
                                                   6000, 6000, 6000, 6000, 8000, 8000};

inline void fillHousehold(TestLedger& ledger) {
    ledger.addAccount(QStringLiteral("Banco"), QStringLiteral("C"));
    ledger.addAccount(QStringLiteral("Caja"), QStringLiteral("C"));
    ledger.addAccount(QStringLiteral("Nómina"), QStringLiteral("I"));
    ledger.addAccount(QStringLiteral("Intereses"), QStringLiteral("I"));
    ledger.addAccount(QStringLiteral("Regalos"), QStringLiteral("I"));
    ledger.addAccount(QStringLiteral("Luz"), QStringLiteral("G"));
    ledger.addAccount(QStringLiteral("Comida"), QStringLiteral("G"));
    ledger.addAccount(QStringLiteral("Ocio"), QStringLiteral("G"));
    const QString x = QStringLiteral("x");
    ledger.addEntry(1, "01/01/2024", x, "Banco", "Nómina", 2000, "I");
    ledger.addEntry(2, "31/01/2024", x, "Banco", "Nómina", 2000, "I");
    ledger.addEntry(3, "15/02/2024", x, "Banco", "Nómina", 2100, "I");
    ledger.addEntry(4, "10/01/2024", x, "Luz", "Banco", 60.5, "G");
    ledger.addEntry(5, "31/12/2024", x, "Luz", "Banco", 75.25, "G");
    ledger.addEntry(6, "05/01/2024", x, "Comida", "Caja", 300, "G");
    ledger.addEntry(7, "20/02/2024", x, "Comida", "Caja", 450, "G");
    ledger.addEntry(8, "03/03/2024", x, "Ocio", "Caja", 40, "G");
    ledger.addEntry(9, "15/01/2024", x, "Caja", "Banco", 200, "T");
    ledger.addEntry(10, "31/12/2024", x, "Banco", "Intereses", 12.34, "I");
    setBudgetEveryMonth(ledger.db(), QStringLiteral("Nómina"), 200000);
    setBudgetEveryMonth(ledger.db(), QStringLiteral("Comida"), 40000);
    setBudgetByMonth(ledger.db(), QStringLiteral("Luz"), kLuzBudget);
}

// The stored rows as the stock sqlite3 tool lists them, "Cuenta|Mes|Centimos";
// none in a file without the table.
inline QStringList storedBudgetRows(Database& db) {
    QStringList rows;
    if (!hasBudgetTable(db)) {
        return rows;
    }
    Statement query(db,
                    "SELECT Cuenta || '|' || Mes || '|' || Centimos FROM presupuesto"
                    " ORDER BY Cuenta, Mes",
                    "test: leer el presupuesto");
    while (query.step()) {
        rows.append(query.columnText(0));
    }
    return rows;
}

} // namespace velmora::test
