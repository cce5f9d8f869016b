#include "Measurements.h"

#include "analysis/AccountBalances.h"
#include "analysis/AccountRegister.h"
#include "analysis/Balance.h"
#include "analysis/MonthlyStatistics.h"
#include "app/frmPrincipal.h"
#include "budget/BudgetFigures.h"
#include "budget/BudgetStore.h"
#include "entries/EntrySaving.h"
#include "entries/EntryTableModel.h"
#include "store/AccountStore.h"
#include "store/Funciones.h"
#include "store/Schema.h"
#include "store/Sqlite.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>

#include <sqlite3.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <stdexcept>

namespace velmora::bench {

namespace {

constexpr int kFirstShowTimeoutMs = 30000;

double elapsedMs(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// Notes the moment the first paint reaches any of the watched widgets and ends
// the wait for it.
class FirstPaintWatcher : public QObject {
public:
    FirstPaintWatcher(const QElapsedTimer& clock, QEventLoop& loop) : clock_(clock), loop_(loop) {}

    bool painted() const { return paintedAtMs_ >= 0; }
    double paintedAtMs() const { return paintedAtMs_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !painted()) {
            paintedAtMs_ = elapsedMs(clock_);
            loop_.quit();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const QElapsedTimer& clock_;
    QEventLoop& loop_;
    double paintedAtMs_ = -1;
};

} // namespace

double median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    if (values.size() % 2 == 1) {
        return values[middle];
    }
    return (values[middle - 1] + values[middle]) / 2;
}

std::vector<std::vector<double>> timeRounds(int runs,
                                            const std::vector<std::function<void()>>& jobs) {
    for (const auto& job : jobs) {
        job();
    }
    std::vector<std::vector<double>> times(jobs.size());
    for (int round = 0; round < runs; ++round) {
        for (size_t j = 0; j < jobs.size(); ++j) {
            QElapsedTimer timer;
            timer.start();
            jobs[j]();
            times[j].push_back(elapsedMs(timer));
        }
    }
    return times;
}

std::vector<double> repeatMeasure(int runs, const std::function<double()>& measure) {
    measure();
    std::vector<double> values;
    values.reserve(static_cast<size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        values.push_back(measure());
    }
    return values;
}

RawResult runRawQuery(Database& db, const EntryFilter& filter) {
    Statement query(db, kEntryListSql, "medir la lista de apuntes");
    bindEntryFilter(query, filter);
    sqlite3_stmt* const stmt = query.handle();
    RawResult result;
    // The checksum touches every value read, so none of the reads can be left out.
    while (query.step()) {
        ++result.rows;
        result.checksum += static_cast<quint64>(sqlite3_column_int64(stmt, 0));
        for (int column : {1, 2, 3, 4, 6}) {
            const unsigned char* text = sqlite3_column_text(stmt, column);
            const int bytes = sqlite3_column_bytes(stmt, column);
            result.checksum += static_cast<quint64>(bytes);
            if (text != nullptr && bytes > 0) {
                result.checksum += text[bytes - 1];
            }
        }
        result.checksum += static_cast<quint64>(sqlite3_column_double(stmt, 5) * 100);
    }
    return result;
}

RawResult runRawStatistics(Database& db) {
    RawResult result;
    for (StatisticsKind kind : {StatisticsKind::IncomeByMonth, StatisticsKind::ExpenseByMonth}) {
        Statement query(db, monthlyStatisticsSql(kind), "medir las estadísticas");
        sqlite3_stmt* const stmt = query.handle();
        while (query.step()) {
            ++result.rows;
            result.checksum += static_cast<quint64>(sqlite3_column_int64(stmt, 0));
            const unsigned char* text = sqlite3_column_text(stmt, 1);
            const int bytes = sqlite3_column_bytes(stmt, 1);
            result.checksum += static_cast<quint64>(bytes);
            if (text != nullptr && bytes > 0) {
                result.checksum += text[bytes - 1];
            }
            result.checksum += static_cast<quint64>(sqlite3_column_double(stmt, 2) * 100);
        }
    }
    return result;
}

RawResult runRawBalance(Database& db, const QString& account, int year) {
    RawResult result;
    Statement query(db, kBalanceSql, "medir el balance");
    query.bind(1, account)
        .bind(2, toStoredDate(QDate(year, 1, 1)))
        .bind(3, toStoredDate(QDate(year, 12, 31)));
    sqlite3_stmt* const stmt = query.handle();
    while (query.step()) {
        ++result.rows;
        result.checksum += static_cast<quint64>(sqlite3_column_double(stmt, 0) * 100);
        result.checksum += static_cast<quint64>(sqlite3_column_double(stmt, 1) * 100);
    }
    return result;
}

double computeBalance(Database& db, const QString& account, int year) {
    const BalanceFigures figures =
        accountBalance(db, account, QDate(year, 1, 1), QDate(year, 12, 31));
    return static_cast<double>(figures.balance().cents().value_or(0)) / 100.0;
}

RawResult runRawBalances(Database& db, int year) {
    RawResult result;
    const QString from = toStoredDate(QDate(year, 1, 1));
    const QString to = toStoredDate(QDate(year, 12, 31));
    for (const char* sql : {
             "SELECT EntraEn, SUM(Importe), SUM(Importe) FILTER (WHERE Data >= ?1)"
             " FROM apuntes WHERE Data <= ?2 GROUP BY EntraEn",
             "SELECT SaleDe, SUM(Importe), SUM(Importe) FILTER (WHERE Data >= ?1)"
             " FROM apuntes WHERE Data <= ?2 GROUP BY SaleDe",
         }) {
        Statement query(db, sql, "medir los saldos");
        query.bind(1, from).bind(2, to);
        sqlite3_stmt* const stmt = query.handle();
        while (query.step()) {
            ++result.rows;
            result.checksum += static_cast<quint64>(sqlite3_column_bytes(stmt, 0));
            result.checksum += static_cast<quint64>(sqlite3_column_double(stmt, 1) * 100);
        }
    }
    return result;
}

RawResult runRawRegister(Database& db, const QString& account) {
    RawResult result;
    Statement query(db, kAccountRegisterSql, "medir el extracto");
    query.bind(1, account);
    sqlite3_stmt* const stmt = query.handle();
    while (query.step()) {
        ++result.rows;
        result.checksum += static_cast<quint64>(sqlite3_column_int64(stmt, 0));
        for (int column = 1; column <= 4; ++column) {
            result.checksum += query.columnUtf8(column).size();
        }
        for (int column = 5; column <= 7; ++column) {
            result.checksum += static_cast<quint64>(sqlite3_column_int64(stmt, column));
        }
    }
    return result;
}

int computeBalances(Database& db, int year) {
    const BalanceSheet sheet = balancesOfYearAt(db, QDate(year, 12, 31));
    return static_cast<int>(sheet.cash.size() + sheet.income.size() + sheet.expense.size());
}

qint64 loadRegister(Database& db, const QString& account) {
    return static_cast<qint64>(accountRegister(db, account).lines.size());
}

int loadStatistics(Database& db) {
    int rows = 0;
    for (StatisticsKind kind : {StatisticsKind::IncomeByMonth, StatisticsKind::ExpenseByMonth}) {
        rows += static_cast<int>(loadMonthlyStatistics(db, kind).accounts.size());
    }
    return rows;
}

int loadBudget(Database& db) {
    const BudgetYear year = loadBudgetYear(db);
    const BudgetSheet sheet = budgetSheet(year, 0);
    budgetSheet(year, 6);
    return static_cast<int>(sheet.income.lines.size() + sheet.expense.lines.size());
}

void budgetEveryAccount(Database& db) {
    qint64 cents = 5000;
    for (const Account& account : listAccounts(db, {})) {
        if (takesBudget(account.kind)) {
            setBudgetEveryMonth(db, account.name, cents);
            cents += 2500;
        }
    }
}

void reloadWindow(frmPrincipal& window) {
    if (!window.reload()) {
        throw std::runtime_error("the main window could not reload its list");
    }
}

int listedRows(const frmPrincipal& window) {
    return window.model().rowCount();
}

void setDescriptionFilter(frmPrincipal& window, const QString& text) {
    auto* box = window.findChild<QLineEdit*>(QStringLiteral("txtFiltroDes"));
    if (box == nullptr) {
        throw std::runtime_error("the main window has no txtFiltroDes");
    }
    box->setText(text);
}

BusiestAccount busiestAccount(Database& db, const QString& kind) {
    Statement query(db,
                    "SELECT conNom, (SELECT COUNT(*) FROM apuntes"
                    " WHERE EntraEn = conNom OR SaleDe = conNom) AS uses"
                    " FROM Contas WHERE ?1 = '' OR conTipo = ?1"
                    " ORDER BY uses DESC, conNom LIMIT 1",
                    "buscar la cuenta más usada");
    query.bind(1, kind);
    if (!query.step()) {
        throw std::runtime_error("the ledger has no accounts");
    }
    return BusiestAccount{query.columnText(0), query.columnInt(1)};
}

std::vector<double> timeRenames(Database& db, const QString& name, const QString& newName,
                                int runs) {
    const std::optional<Account> account = loadAccount(db, name);
    if (!account) {
        throw std::runtime_error("no account " + name.toStdString());
    }
    Account renamed = *account;
    renamed.name = newName;
    const auto times = timeRounds(runs, {
                                            [&] { updateAccount(db, name, renamed); },
                                            [&] { updateAccount(db, newName, *account); },
                                        });
    std::vector<double> all = times[0];
    all.insert(all.end(), times[1].begin(), times[1].end());
    return all;
}

std::vector<double> timeSaves(Database& db, int year, int runs) {
    return repeatMeasure(runs, [&db, year] {
        QElapsedTimer clock;
        clock.start();
        Entry entry;
        entry.id = nextEntryId(db);
        entry.date = QDate(year, 6, 15);
        entry.description = QStringLiteral("Recibo de la luz de junio");
        entry.goesInto = QStringLiteral("Luz");
        entry.comesOutOf = QStringLiteral("Banco");
        entry.amount = 61.35;
        if (saveEntry(db, entry, true) != SaveOutcome::Saved) {
            throw std::runtime_error("the movement rule refused Luz from Banco");
        }
        return static_cast<double>(clock.nsecsElapsed()) / 1e6;
    });
}

double waitForFirstPaint(QWidget& window, const QList<QWidget*>& watched,
                         const QElapsedTimer& clock) {
    QEventLoop loop;
    // Nothing paints before show(), so watching starts only now.
    FirstPaintWatcher watcher(clock, loop);
    for (QWidget* widget : watched) {
        widget->installEventFilter(&watcher);
    }
    window.show();
    if (!watcher.painted()) {
        QTimer::singleShot(kFirstShowTimeoutMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    for (QWidget* widget : watched) {
        widget->removeEventFilter(&watcher);
    }
    if (!watcher.painted()) {
        throw std::runtime_error("the window was not painted within the time-out");
    }
    return watcher.paintedAtMs();
}

double timeFirstShow(AppState& state, Services& services) {
    QElapsedTimer clock;
    clock.start();
    auto window = std::make_unique<frmPrincipal>(state, services);
    QList<QWidget*> watched{window.get()};
    if (auto* grid = window->findChild<QTableView*>(QStringLiteral("mshDatos"))) {
        watched.append(grid->viewport());
    }
    const double paintedAtMs = waitForFirstPaint(*window, watched, clock);
    window.reset();
    // Let the closed window's pending events go before the next run.
    QCoreApplication::processEvents();
    return paintedAtMs;
}

} // namespace velmora::bench
