#pragma once

// The timed operations of the benchmark. Each runs once to warm up (statement
// cache, page cache, fonts) and then as many times as asked; the figure kept is
// the median, which a busy machine disturbs less than the mean.

#include "entries/EntryList.h"

#include <QList>

#include <functional>
#include <vector>

class QElapsedTimer;
class QWidget;

namespace velmora {
class Database;
class frmPrincipal;
struct AppState;
struct Services;
} // namespace velmora

namespace velmora::bench {

double median(std::vector<double> values);

// Runs every job once untimed, then `runs` rounds of all of them in turn, so that a
// burst of load from elsewhere on the machine falls on each alike. Gives the times
// in ms, one list per job.
std::vector<std::vector<double>> timeRounds(int runs,
                                            const std::vector<std::function<void()>>& jobs);

// Calls `measure` once to warm up, then `runs` times, and keeps what it reported.
std::vector<double> repeatMeasure(int runs, const std::function<double()>& measure);

// The entry list statement through the C API alone: every row stepped and every
// column read, text as the engine's own UTF-8 bytes. The floor that the window's
// reload is compared with.
struct RawResult {
    qint64 rows = 0;
    quint64 checksum = 0;
};
RawResult runRawQuery(Database& db, const EntryFilter& filter);

// The statistics window's statements, income and then expense, through the C API
// alone: every row stepped and every column read. The floor that
// loadStatistics() is compared with.
RawResult runRawStatistics(Database& db);

// The statistics window's data path for "Ingresos MES" and then "Gastos MES";
// gives the number of account rows of both tables.
int loadStatistics(Database& db);

// The budget window's figures: the accounts, the budget and both kinds of
// statistics read once, then the year's sheet and one month's; gives the number
// of account lines of the year's sheet.
int loadBudget(Database& db);

// Gives every income and expense account of the year a budget, as a household
// that plans would have, so that the budget window reads one.
void budgetEveryAccount(Database& db);

// One account's balance over the whole year: the statement alone through the C
// API, and the balance window's own calculation.
RawResult runRawBalance(Database& db, const QString& account, int year);
double computeBalance(Database& db, const QString& account, int year);

// Every account at the year's last day: the grouped sums alone through the C API
// (to that day and over the year, one pass for each side), and the balances
// window's own sheet.
RawResult runRawBalances(Database& db, int year);
int computeBalances(Database& db, int year);
// One account's register: its statement alone through the C API, every row stepped
// and every column read, and the register with its running balances. Both give
// the number of lines.
RawResult runRawRegister(Database& db, const QString& account);
qint64 loadRegister(Database& db, const QString& account);

// The main window's reload; throws std::runtime_error when it reports a failure.
void reloadWindow(frmPrincipal& window);
int listedRows(const frmPrincipal& window);
void setDescriptionFilter(frmPrincipal& window, const QString& text);

// The account that the most entries name, in either column, and how many do;
// with `kind`, among the accounts of that kind only.
struct BusiestAccount {
    QString name;
    qint64 entries = 0;
};
BusiestAccount busiestAccount(Database& db, const QString& kind = {});

// A new entry saved as the entry editor saves it: the next number, the kinds of
// its two accounts, one committed insert. Gives the time of every save in ms.
std::vector<double> timeSaves(Database& db, int year, int runs);

// The account card's rename through the store: `name` becomes `newName` and back
// again in each round, every rename with its entries committed in its own
// transaction. Gives the time of every rename in ms.
std::vector<double> timeRenames(Database& db, const QString& name, const QString& newName,
                                int runs);

// Shows `window` and waits for the first paint of any of `watched`; gives the
// moment of that paint on `clock`, in ms. When it returns, the whole paint pass
// has run. Throws std::runtime_error when no paint comes within the time-out.
double waitForFirstPaint(QWidget& window, const QList<QWidget*>& watched,
                         const QElapsedTimer& clock);

// From the construction of a fresh main window to its first paint on screen, in ms.
// Throws std::runtime_error when no paint comes within the time-out.
double timeFirstShow(AppState& state, Services& services);

} // namespace velmora::bench
