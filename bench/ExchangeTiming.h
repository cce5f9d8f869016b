#pragma once

// Moving a year's entries in and out: the whole year to a CSV file, that file
// read back into an empty year holding the same accounts, and a bank statement
// in the Norma 43 layout read, matched against the year's entries and written.

#include <QString>

namespace velmora {
class Database;
}

namespace velmora::bench {

// Each peak is the most the process held while that phase ran, from what it held
// before (startPhase()).
struct ExchangeFigures {
    double exportMs = 0;
    double exportPeakMiB = 0;
    double importMs = 0;
    double importPeakMiB = 0;
    int exported = 0;       // rows in the CSV file
    qint64 imported = 0;    // entries the import left in the empty year
    qint64 yearEntries = 0; // entries of the year exported
    double n43Ms = 0;
    double n43PeakMiB = 0;
    int n43Movements = 0;
    int n43Written = 0; // movements whose account was proposed and written
};

inline constexpr int kStatementMovements = 10000;
inline constexpr int kBankFileRows = 10000;

struct StatementFigures {
    double ms = 0;
    int movements = 0;
    int written = 0; // movements whose account was proposed and written
};

// A bank's own movements file of kBankFileRows rows, read, matched against db's
// year and planned, with the bank's balance checked, as a CSV file and as an
// .xlsx workbook. Nothing is written.
struct BankFileFigures {
    double csvMs = 0;
    double xlsxMs = 0;
    int rows = 0;
    int planned = 0;
};

// db holds the demonstration year `year` at databasePath and is left as it was:
// the statement is written into a copy. Throws std::runtime_error when a file
// cannot be made or read.
ExchangeFigures timeExchange(Database& db, int year, int runs);

// The statement against a year of `entries` demonstration entries made for it.
StatementFigures timeStatementOnLargeYear(int year, int entries, int runs);

BankFileFigures timeBankFiles(Database& db, int year, int runs);

} // namespace velmora::bench
