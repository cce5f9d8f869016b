#pragma once

// Three accounts and entries that name them in other letter cases, and both
// tables as plain text, so a test can tell at a glance what a save changed.

#include "support/TestLedger.h"

#include <QStringList>

namespace velmora::test {

inline const QStringList kAccountsBefore{"Caja|Dinero en efectivo|C", "Luz|Electricidad|G",
                                         "Nómina|Sueldo|I"};
inline const QStringList kEntriesBefore{"Caja>Nómina", "Luz>CAJA", "caja>NÓMINA"};

inline void fillAccounts(TestLedger& ledger) {
    ledger.addAccount("Caja", "C", "Dinero en efectivo");
    ledger.addAccount("Luz", "G", "Electricidad");
    ledger.addAccount("Nómina", "I", "Sueldo");
    ledger.addEntry(1, "05/01/2024", "a", "Caja", "Nómina", 100, "I");
    ledger.addEntry(2, "06/01/2024", "b", "Luz", "CAJA", 20, "G");
    ledger.addEntry(3, "07/01/2024", "c", "caja", "NÓMINA", 50, "I");
}

// "EntraEn>SaleDe" per entry, in entry order.
inline QStringList entryAccounts(TestLedger& ledger) {
    return ledger.rows("SELECT EntraEn || '>' || SaleDe FROM apuntes ORDER BY Id");
}

// "conNom|conCon|conTipo" per account, in name order.
inline QStringList accountRows(TestLedger& ledger) {
    return ledger.rows("SELECT conNom || '|' || conCon || '|' || conTipo FROM Contas"
                       " ORDER BY conNom");
}

} // namespace velmora::test
