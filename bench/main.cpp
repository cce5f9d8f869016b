// velmora-bench: how fast the main window lists a large year, how fast it first
// shows, how fast an account rename carries over to the entries, how fast the
// monthly statistics and the budget against them are computed, how long the
// report of ten thousand entries takes to PDF, how long the report window takes to show the whole
// year, how long the year takes to a CSV file and back, how long a bank statement takes to import,
// how long a backup, a compaction and a new year take, how long a search across ten years takes,
// and how much memory that takes. It builds a throw-away installation, fills it with demonstration
// entries and times the program's own code paths against the bare query underneath them.

#include "CarryOverTiming.h"
#include "ExchangeTiming.h"
#include "FileOperations.h"
#include "Installation.h"
#include "Measurements.h"
#include "Memory.h"
#include "PreviewTiming.h"
#include "ReceiptTiming.h"
#include "Report.h"
#include "ReportTiming.h"
#include "YearsTiming.h"

#include "app/frmPrincipal.h"
#include "ui/MessageService.h"
#include "ui/Services.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDate>
#include <QTextStream>

#include <cstdlib>
#include <exception>
#include <optional>

using namespace velmora;
using namespace velmora::bench;

namespace {

struct Options {
    int entries = 100000;
    int runs = 7;
};

// The targets hold for 100,000 entries on a two-core machine.
constexpr Target kRatioTarget{Target::Kind::AtMost, 1.5};
constexpr Target kFirstShowTarget{Target::Kind::Below, 500};
constexpr Target kListMemoryTarget{Target::Kind::Below, 150};
// Holds at 1,000,000 entries too: the rows read are kept compact, never the file.
constexpr Target kImportMemoryTarget{Target::Kind::Below, 300};
constexpr Target kRenameTarget{Target::Kind::Below, 300};
constexpr Target kSaveTarget{Target::Kind::Below, 20};
constexpr Target kStatisticsTarget{Target::Kind::Below, 100};
constexpr Target kBalanceTarget{Target::Kind::Below, 30};
constexpr Target kCarryOverTarget{Target::Kind::Below, 200};
// It runs at every start.
constexpr Target kReceiptsDueTarget{Target::Kind::Below, 50};
constexpr Target kFileOperationTarget{Target::Kind::Below, 2000};
// The report of this many entries to PDF.
constexpr int kReportEntries = 10000;
constexpr Target kReportTarget{Target::Kind::Below, 2000};
// The report window over the whole year, every entry on its pages.
constexpr Target kPreviewTarget{Target::Kind::Below, 500};
constexpr Target kPreviewMemoryTarget{Target::Kind::Below, 100};
constexpr Target kCsvTarget{Target::Kind::Below, 2000};
constexpr Target kStatementTarget{Target::Kind::Below, 1000}; // 10,000 movements
constexpr Target kBankFileTarget{Target::Kind::Below, 1000};  // 10,000 rows, read and planned
// The statement is timed against a year this large too: the proposals and the
// duplicates read the whole year.
constexpr int kLargeYearEntries = 1'000'000;
// Every entry of ten years of this many entries each.
constexpr int kSearchedYears = 10;
constexpr Target kYearSearchTarget{Target::Kind::Below, 1000};

// A name that no demonstration account has.
const QString kRenamedAccount = QStringLiteral("Cuenta renombrada");

QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err() {
    static QTextStream stream(stderr);
    return stream;
}

std::optional<int> positiveValue(const QCommandLineParser& parser, const QString& name) {
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < 1) {
        return std::nullopt;
    }
    return value;
}

// Exits with usage help on --help and with an error on a value that is not a
// positive whole number.
Options parseOptions(const QApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Times the main window's entry list against the bare query, its first showing, "
        "an account rename with its entries, the monthly statistics and the budget, a report "
        "to PDF, the "
        "report window over the year, a backup, a "
        "compaction, "
        "a new year and the peak memory of the list and of each exchange, over a "
        "temporary "
        "installation of demonstration data."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("entries"),
                      QStringLiteral("Number of demonstration entries (default 100000)."),
                      QStringLiteral("N"), QStringLiteral("100000")});
    parser.addOption({QStringLiteral("runs"),
                      QStringLiteral("Timed runs of each measurement (default 7)."),
                      QStringLiteral("R"), QStringLiteral("7")});
    parser.process(app);

    Options options;
    const std::optional<int> entries = positiveValue(parser, QStringLiteral("entries"));
    const std::optional<int> runs = positiveValue(parser, QStringLiteral("runs"));
    if (!entries || !runs) {
        err() << "velmora-bench: --entries and --runs take a positive whole number\n";
        err().flush();
        std::exit(2);
    }
    options.entries = *entries;
    options.runs = *runs;
    return options;
}

EntryFilter wholeYear(int year, const QString& description = {}) {
    return EntryFilter{description, {}, {}, QDate(year, 1, 1), QDate(year, 12, 31)};
}

struct ListFigures {
    double rawMs = 0;
    double reloadMs = 0;
    qint64 rawRows = 0;
    int listedRows = 0;
};

// The bare query and the window's reload, taken in turns over the same filters.
ListFigures measureList(Database& db, frmPrincipal& window, const EntryFilter& filter, int runs) {
    ListFigures figures;
    const auto times = timeRounds(runs, {
                                            [&] { figures.rawRows = runRawQuery(db, filter).rows; },
                                            [&] { reloadWindow(window); },
                                        });
    figures.rawMs = median(times[0]);
    figures.reloadMs = median(times[1]);
    figures.listedRows = listedRows(window);
    return figures;
}

struct StatisticsFigures {
    double rawMs = 0;
    double loadMs = 0;
    int accounts = 0;
    double budgetMs = 0;
    int budgetLines = 0;
};

// Both monthly kinds, one after the other, as a user looking at income and then
// expense would refresh them; and the budget window's figures, which read both
// kinds too, in the same rounds so that they compare.
StatisticsFigures measureStatistics(Database& db, int runs) {
    StatisticsFigures figures;
    const auto times = timeRounds(runs, {
                                            [&] { runRawStatistics(db); },
                                            [&] { figures.accounts = loadStatistics(db); },
                                            [&] { figures.budgetLines = loadBudget(db); },
                                        });
    figures.rawMs = median(times[0]);
    figures.loadMs = median(times[1]);
    figures.budgetMs = median(times[2]);
    return figures;
}

struct BalanceTimes {
    double rawMs = 0;
    double ms = 0;
};

BalanceTimes measureBalance(Database& db, const QString& account, int year, int runs) {
    const auto times = timeRounds(runs, {
                                            [&] { runRawBalance(db, account, year); },
                                            [&] { computeBalance(db, account, year); },
                                        });
    return BalanceTimes{median(times[0]), median(times[1])};
}

BalanceTimes measureBalances(Database& db, int year, int runs) {
    const auto times = timeRounds(runs, {
                                            [&] { runRawBalances(db, year); },
                                            [&] { computeBalances(db, year); },
                                        });
    return BalanceTimes{median(times[0]), median(times[1])};
}

struct RegisterFigures {
    double rawMs = 0;
    double ms = 0;
    qint64 rawRows = 0;
    qint64 lines = 0;
};

RegisterFigures measureRegister(Database& db, const QString& account, int runs) {
    RegisterFigures figures;
    const auto times =
        timeRounds(runs, {
                             [&] { figures.rawRows = runRawRegister(db, account).rows; },
                             [&] { figures.lines = loadRegister(db, account); },
                         });
    figures.rawMs = median(times[0]);
    figures.ms = median(times[1]);
    return figures;
}

bool sameRegisterLines(const RegisterFigures& figures) {
    if (figures.lines == figures.rawRows && figures.lines > 0) {
        return true;
    }
    err() << "velmora-bench: the register has " << figures.lines << " lines but the query returns "
          << figures.rawRows << " rows\n";
    return false;
}

bool sameRowCount(const ListFigures& figures, const char* what) {
    if (figures.listedRows == figures.rawRows) {
        return true;
    }
    err() << "velmora-bench: " << what << ": the window lists " << figures.listedRows
          << " rows but the query returns " << figures.rawRows << "\n";
    return false;
}

// Every rename was undone by the next, so the account must name as many entries
// as before.
bool renamedBack(Database& db, const BusiestAccount& before) {
    const BusiestAccount after = busiestAccount(db);
    if (after.name == before.name && after.entries == before.entries) {
        return true;
    }
    err() << "velmora-bench: after the renames " << after.name << " names " << after.entries
          << " entries; before, " << before.name << " named " << before.entries << "\n";
    return false;
}

// The demonstration year has income and expense, so an empty table means the
// statistics read nothing.
bool statisticsListed(const StatisticsFigures& stats) {
    if (stats.accounts > 0 && stats.budgetLines >= stats.accounts) {
        return true;
    }
    err() << "velmora-bench: the statistics list " << stats.accounts << " accounts and the budget "
          << stats.budgetLines << "\n";
    return false;
}

bool noMessagesShown(const RecordingMessageService& messages) {
    if (messages.shown().isEmpty()) {
        return true;
    }
    err() << "velmora-bench: the main window showed messages:\n";
    for (const QString& text : messages.texts()) {
        err() << "  " << text << "\n";
    }
    return false;
}

// The year read back from its own CSV file must be the year: an import that
// lost rows would otherwise look fast.
bool sameEntries(const ExchangeFigures& exchange) {
    if (exchange.imported == exchange.yearEntries && exchange.exported == exchange.yearEntries &&
        exchange.n43Written > 0) {
        return true;
    }
    err() << "velmora-bench: the year has " << exchange.yearEntries << " entries, the CSV file "
          << exchange.exported << " rows and the empty year imported " << exchange.imported
          << "; the statement wrote " << exchange.n43Written << " movements\n";
    return false;
}

int run(const Options& options) {
    const int year = QDate::currentDate().year();
    err() << "Preparing " << options.entries << " entries for " << year << "...\n";
    err().flush();
    Installation installation(year, options.entries);
    AppState& state = installation.state();
    RecordingMessageService messages;
    DialogRunner dialogs;
    const Clock clock;
    FileChooser files;
    const SystemInfo system;
    Services services{messages, dialogs, clock, files, system};

    ListFigures all;
    ListFigures luz;
    // The main window's list and first showing, apart from the exchange phases.
    startPhase();
    {
        err() << "Timing the list, " << options.runs << " runs...\n";
        err().flush();
        frmPrincipal window(state, services); // never shown
        all = measureList(state.session.db(), window, wholeYear(year), options.runs);
        setDescriptionFilter(window, QStringLiteral("luz"));
        luz = measureList(state.session.db(), window, wholeYear(year, QStringLiteral("luz")),
                          options.runs);
    }
    err() << "Timing the first showing, " << options.runs << " runs...\n";
    err().flush();
    const double firstShowMs =
        median(repeatMeasure(options.runs, [&] { return timeFirstShow(state, services); }));
    const double listPeakMiB = phasePeakMiB();

    err() << "Timing new entries, " << options.runs << " saves...\n";
    err().flush();
    const double saveMs = median(timeSaves(state.session.db(), year, options.runs));

    const BusiestAccount busiest = busiestAccount(state.session.db());
    err() << "Timing the rename of " << busiest.name << " (" << busiest.entries << " entries), "
          << options.runs << " runs...\n";
    err().flush();
    const double renameMs =
        median(timeRenames(state.session.db(), busiest.name, kRenamedAccount, options.runs));

    err() << "Timing the statistics and the budget, " << options.runs << " runs...\n";
    err().flush();
    budgetEveryAccount(state.session.db());
    const StatisticsFigures stats = measureStatistics(state.session.db(), options.runs);

    err() << "Timing the balance of " << busiest.name << ", " << options.runs << " runs...\n";
    err().flush();
    const BalanceTimes balance =
        measureBalance(state.session.db(), busiest.name, year, options.runs);
    err() << "Timing the balances of every account, " << options.runs << " runs...\n";
    const BalanceTimes balances = measureBalances(state.session.db(), year, options.runs);

    const BusiestAccount cash = busiestAccount(state.session.db(), QStringLiteral("C"));
    err() << "Timing the register of " << cash.name << ", " << options.runs << " runs...\n";
    err().flush();
    const RegisterFigures registerFigures =
        measureRegister(state.session.db(), cash.name, options.runs);

    err() << "Timing the report of " << std::min(options.entries, kReportEntries)
          << " entries to PDF, " << options.runs << " runs...\n";
    err().flush();
    const ReportFigures reportFigures = timeReport(
        state.session.databasePath(), std::min(options.entries, kReportEntries), options.runs);

    err() << "Timing the report window over " << options.entries << " entries, " << options.runs
          << " runs...\n";
    err().flush();
    const PreviewFigures preview = timePreview(state, services, options.runs);

    err() << "Timing the CSV export and import and a statement of " << kStatementMovements
          << " movements, " << options.runs << " runs...\n";
    err().flush();
    const ExchangeFigures exchange = timeExchange(state.session.db(), year, options.runs);
    err() << "Timing a bank's own file of " << kBankFileRows << " movements, CSV and .xlsx, "
          << options.runs << " runs...\n";
    err().flush();
    const BankFileFigures bankFiles = timeBankFiles(state.session.db(), year, options.runs);
    err() << "Making a year of " << kLargeYearEntries << " entries and timing the statement "
          << "against it, " << options.runs << " runs...\n";
    err().flush();
    const StatementFigures largeYear =
        timeStatementOnLargeYear(year, kLargeYearEntries, options.runs);

    err() << "Making " << kSearchedYears - 1 << " more years and timing the search across "
          << kSearchedYears << " years, " << options.runs << " runs...\n";
    err().flush();
    const YearSearchFigures yearSearch =
        timeYearSearch(state.session, kSearchedYears, options.runs);
    err() << "Timing the carry-over into a new year, " << options.runs << " runs...\n";
    err().flush();
    const double carryOverMs =
        timeCarryOver(state.session.db(), state.session.year(), options.runs);

    err() << "Timing the due receipts among " << kReceiptTemplates << " receipts, " << options.runs
          << " runs...\n";
    err().flush();
    const double receiptsDueMs = timeDueReceipts(state.session.db(), year, options.runs);

    // Last: the compaction rewrites the database the other figures read.
    err() << "Timing backups, compactions and new years, " << options.runs << " runs...\n";
    err().flush();
    const FileOperationTimes fileTimes = timeFileOperations(state.session, options.runs);

    if (!sameRowCount(all, "whole year") || !sameRowCount(luz, "filter luz") ||
        !renamedBack(state.session.db(), busiest) || !statisticsListed(stats) ||
        !noMessagesShown(messages) || !sameEntries(exchange) ||
        !sameRegisterLines(registerFigures)) {
        err().flush();
        return 1;
    }

    Report report;
    report.add(QStringLiteral("entries"), options.entries, 0);
    report.add(QStringLiteral("runs"), options.runs, 0);
    report.add(QStringLiteral("rows"), static_cast<double>(all.rawRows), 0);
    report.add(QStringLiteral("raw_ms"), all.rawMs);
    report.add(QStringLiteral("reload_ms"), all.reloadMs);
    report.add(QStringLiteral("reload_ratio"), all.reloadMs / all.rawMs, 2, kRatioTarget);
    report.add(QStringLiteral("luz_rows"), static_cast<double>(luz.rawRows), 0);
    report.add(QStringLiteral("raw_luz_ms"), luz.rawMs);
    report.add(QStringLiteral("reload_luz_ms"), luz.reloadMs);
    report.add(QStringLiteral("reload_luz_ratio"), luz.reloadMs / luz.rawMs, 2, kRatioTarget);
    report.add(QStringLiteral("first_show_ms"), firstShowMs, 2, kFirstShowTarget);
    report.add(QStringLiteral("list_peak_mb"), listPeakMiB, 2, kListMemoryTarget);
    report.add(QStringLiteral("save_ms"), saveMs, 2, kSaveTarget);
    report.add(QStringLiteral("rename_rows"), static_cast<double>(busiest.entries), 0);
    report.add(QStringLiteral("rename_ms"), renameMs, 2, kRenameTarget);
    report.add(QStringLiteral("stats_accounts"), stats.accounts, 0);
    report.add(QStringLiteral("stats_raw_ms"), stats.rawMs);
    report.add(QStringLiteral("stats_ms"), stats.loadMs, 2, kStatisticsTarget);
    report.add(QStringLiteral("stats_ratio"), stats.loadMs / stats.rawMs, 2, kRatioTarget);
    report.add(QStringLiteral("budget_lines"), stats.budgetLines, 0);
    report.add(QStringLiteral("budget_ms"), stats.budgetMs);
    report.add(QStringLiteral("budget_ratio"), stats.budgetMs / stats.loadMs, 2, kRatioTarget);
    report.add(QStringLiteral("balance_raw_ms"), balance.rawMs);
    report.add(QStringLiteral("balance_ms"), balance.ms, 2, kBalanceTarget);
    report.add(QStringLiteral("carry_over_ms"), carryOverMs, 2, kCarryOverTarget);
    report.add(QStringLiteral("receipts_due_ms"), receiptsDueMs, 2, kReceiptsDueTarget);
    report.add(QStringLiteral("balance_ratio"), balance.ms / balance.rawMs, 2, kRatioTarget);
    report.add(QStringLiteral("balances_raw_ms"), balances.rawMs);
    report.add(QStringLiteral("balances_ms"), balances.ms);
    report.add(QStringLiteral("balances_ratio"), balances.ms / balances.rawMs, 2, kRatioTarget);
    report.add(QStringLiteral("register_rows"), static_cast<double>(registerFigures.lines), 0);
    report.add(QStringLiteral("register_raw_ms"), registerFigures.rawMs);
    report.add(QStringLiteral("register_ms"), registerFigures.ms);
    report.add(QStringLiteral("register_ratio"), registerFigures.ms / registerFigures.rawMs, 2,
               kRatioTarget);
    report.add(QStringLiteral("backup_raw_ms"), fileTimes.backupRawMs);
    report.add(QStringLiteral("backup_ms"), fileTimes.backupMs, 2, kFileOperationTarget);
    report.add(QStringLiteral("backup_ratio"), fileTimes.backupMs / fileTimes.backupRawMs, 2,
               kRatioTarget);
    report.add(QStringLiteral("compact_raw_ms"), fileTimes.compactRawMs);
    report.add(QStringLiteral("compact_ms"), fileTimes.compactMs, 2, kFileOperationTarget);
    report.add(QStringLiteral("compact_ratio"), fileTimes.compactMs / fileTimes.compactRawMs, 2,
               kRatioTarget);
    report.add(QStringLiteral("year_create_ms"), fileTimes.yearCreateMs, 2, kFileOperationTarget);
    report.add(QStringLiteral("report_rows"), static_cast<double>(reportFigures.rows), 0);
    report.add(QStringLiteral("report_ms"), reportFigures.ms, 2, kReportTarget);
    report.add(QStringLiteral("report_pages"), reportFigures.pages, 0);
    report.add(QStringLiteral("report_painting_mb"), reportFigures.paintingMiB);
    report.add(QStringLiteral("report_preview_ms"), preview.ms, 2, kPreviewTarget);
    report.add(QStringLiteral("report_preview_mb"), preview.grewMiB, 2, kPreviewMemoryTarget);
    report.add(QStringLiteral("csv_rows"), exchange.exported, 0);
    report.add(QStringLiteral("csv_export_ms"), exchange.exportMs, 2, kCsvTarget);
    report.add(QStringLiteral("csv_export_peak_mb"), exchange.exportPeakMiB);
    report.add(QStringLiteral("csv_import_ms"), exchange.importMs, 2, kCsvTarget);
    report.add(QStringLiteral("csv_import_peak_mb"), exchange.importPeakMiB, 2,
               kImportMemoryTarget);
    report.add(QStringLiteral("n43_movements"), exchange.n43Movements, 0);
    report.add(QStringLiteral("n43_written"), exchange.n43Written, 0);
    report.add(QStringLiteral("n43_import_ms"), exchange.n43Ms, 2, kStatementTarget);
    report.add(QStringLiteral("n43_import_peak_mb"), exchange.n43PeakMiB);
    report.add(QStringLiteral("n43_import_1m_ms"), largeYear.ms, 2, kStatementTarget);
    report.add(QStringLiteral("bank_rows"), bankFiles.rows, 0);
    report.add(QStringLiteral("bank_planned"), bankFiles.planned, 0);
    report.add(QStringLiteral("bank_csv_ms"), bankFiles.csvMs, 2, kBankFileTarget);
    report.add(QStringLiteral("bank_xlsx_ms"), bankFiles.xlsxMs, 2, kBankFileTarget);

    report.add(QStringLiteral("search_years"), yearSearch.years, 0);
    report.add(QStringLiteral("search_years_rows"), yearSearch.rows, 0);
    report.add(QStringLiteral("search_years_ms"), yearSearch.ms, 2, kYearSearchTarget);

    out() << report.table() << "\n"
          << "(targets are set for 100000 entries)\n"
          << report.jsonLine() << "\n";
    out().flush();
    return 0;
}

QtMessageHandler previousHandler = nullptr;

// The offscreen platform warns on every window shown that it cannot pass size
// hints on; that says nothing about the program, so it is left out.
void quietOffscreenHandler(QtMsgType type, const QMessageLogContext& context,
                           const QString& message) {
    if (message.contains(QLatin1String("does not support propagateSizeHints"))) {
        return;
    }
    previousHandler(type, context, message);
}

} // namespace

int main(int argc, char* argv[]) {
    // The benchmark never needs a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    previousHandler = qInstallMessageHandler(quietOffscreenHandler);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velmora-bench"));
    const Options options = parseOptions(app);
    try {
        return run(options);
    } catch (const std::exception& error) {
        err() << "velmora-bench: " << QString::fromUtf8(error.what()) << "\n";
        err().flush();
        return 1;
    }
}
