#pragma once

// Realistic demonstration data for a year ledger: Spanish household accounts of
// the three kinds and entries over the year whose classes follow the movement
// rule. Used by the installation tool and the benchmark.

#include <QString>

namespace velmora {

class Database;

struct DemoAccount {
    const char* name;        // conNom
    const char* conceptText; // conCon ("concept" is a keyword in C++20)
    const char* kind;        // conTipo: "I", "G" or "C"
};

// About forty accounts: incomes, cash places and household expenses.
const DemoAccount* demoAccounts(int* count);

// Adds the demo accounts that are missing and `entries` entries dated within
// `year`, numbered after the largest entry already there, in one transaction.
// The same seed gives the same entries.
void fillDemoLedger(Database& db, int year, int entries, unsigned seed = 2024);

} // namespace velmora
