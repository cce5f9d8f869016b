#include "CrashChild.h"

#include "budget/BudgetStore.h"
#include "entries/EntrySaving.h"
#include "entries/MovementRule.h"
#include "exchange/Csv.h"
#include "exchange/ImportSession.h"
#include "maintenance/DriveBackup.h"
#include "receipts/ReceiptStore.h"
#include "state/Settings.h"
#include "state/YearSession.h"
#include "store/AccountStore.h"
#include "store/EntryStore.h"
#include "store/OpeningBalances.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "years/ConnectionSetup.h"
#include "years/SafetyCopies.h"
#include "years/YearDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <stdexcept>
#include <unistd.h>

namespace velmora::crashtest {

namespace {

using namespace Qt::StringLiterals;

// Fewer entries than this and the child stops deleting, more and it stops adding.
constexpr qint64 kFewestEntries = 50;
constexpr qint64 kMostEntries = 400;

std::vector<Account> ofKind(const std::vector<Account>& accounts, const QString& kind) {
    std::vector<Account> chosen;
    for (const Account& account : accounts) {
        if (account.kind == kind) {
            chosen.push_back(account);
        }
    }
    return chosen;
}

const Account& pick(QRandomGenerator& random, const std::vector<Account>& from) {
    return from[random.bounded(static_cast<quint32>(from.size()))];
}

// One write() per line: a pipe passes a write this short whole, so the parent
// never reads half a line, and the line is out before the next write starts.
void say(const QString& line) {
    const QByteArray bytes = (line + u'\n').toUtf8();
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(STDOUT_FILENO, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            std::exit(1);
        }
        data += written;
        left -= written;
    }
}

void announce(const Step& step) {
    say(u"intent "_s + lineOf(step));
}

void confirm(const Step& step) {
    say(lineOf(step));
}

qint64 number(Database& db, const char* sql) {
    Statement query(db, sql, "contar");
    query.step();
    return query.columnInt(0);
}

class Child {
public:
    Child(const QString& programFolder, quint64 seed)
        : session_(programFolder), random_(seed), seed_(seed) {
        setupConnection(session_);
        year_ = session_.year();
    }

    [[noreturn]] void run() {
        say(u"ready"_s);
        for (;;) {
            const quint32 roll = random_.bounded(100);
            const qint64 entries = number(session_.db(), "SELECT COUNT(*) FROM apuntes");
            if (roll < 30) {
                entries < kMostEntries ? insert() : remove();
            } else if (roll < 44) {
                update();
            } else if (roll < 48) {
                entries < kMostEntries ? receipt() : remove();
            } else if (roll < 50) {
                budget();
            } else if (roll < 70) {
                entries > kFewestEntries ? remove() : insert();
            } else if (roll < 78) {
                rename();
            } else if (roll < 79) {
                colour();
            } else if (roll < 80) {
                opening();
            } else if (roll < 84) {
                copy(entries);
            } else if (roll < 88) {
                backup(entries);
            } else if (roll < 92) {
                entries < kMostEntries ? importFile() : remove();
            } else if (roll < 96) {
                compact();
            } else {
                createYear();
            }
        }
    }

private:
    EntryValues movement() {
        const int year = year_.toInt();
        return randomMovement(random_, listAccounts(session_.db(), {}), year,
                              u"Apunte-%1-%2"_s.arg(seed_ % 100000).arg(++serial_));
    }

    // The number of a random entry; there is always one, as deletes stop early.
    qint64 someEntry() {
        Statement query(session_.db(), "SELECT Id FROM apuntes ORDER BY Id LIMIT 1 OFFSET ?1",
                        "elegir un apunte");
        const qint64 count = number(session_.db(), "SELECT COUNT(*) FROM apuntes");
        query.bind(1, static_cast<int64_t>(random_.bounded(static_cast<quint32>(count))));
        query.step();
        return query.columnInt(0);
    }

    void insert() {
        Step step{StepKind::Insert, nextEntryId(session_.db()), 0, movement(), {}, {}};
        Entry entry = entryOf(step.id, step.values);
        announce(step);
        if (saveEntry(session_.db(), entry, true) == SaveOutcome::Saved) {
            step.id = entry.id;
            confirm(step);
        }
    }

    void update() {
        Step step{StepKind::Update, someEntry(), 0, movement(), {}, {}};
        Entry entry = entryOf(step.id, step.values);
        announce(step);
        if (saveEntry(session_.db(), entry, false) == SaveOutcome::Saved) {
            confirm(step);
        }
    }

    // The first receipt due in the year, written as the pending window writes it;
    // a new monthly receipt when none is due.
    void receipt() {
        Database& db = session_.db();
        const int year = year_.toInt();
        const DuePeriod wholeYear{QDate(year, 1, 1), QDate(year, 12, 31)};
        std::vector<DueReceipt> due = dueReceipts(db, wholeYear);
        const std::vector<Account> accounts = listAccounts(db, {});
        if (due.empty()) {
            saveReceipt(db, {0,
                             u"Recibo-%1-%2"_s.arg(seed_ % 100000).arg(++serial_),
                             pick(random_, ofKind(accounts, u"G"_s)).name,
                             pick(random_, ofKind(accounts, u"C"_s)).name,
                             qint64(random_.bounded(1, 100'000)),
                             {1, int(random_.bounded(1, 32)), QDate(year, 1, 1), QDate()}});
            due = dueReceipts(db, wholeYear);
        }
        const DueReceipt& first = due.front();
        const qint64 cents = *first.receipt.cents;
        Step step{StepKind::Receipt,
                  nextEntryId(db),
                  first.receipt.id,
                  {toStoredDate(first.due), cents, first.receipt.goesInto, first.receipt.comesOutOf,
                   u"G"_s, first.receipt.description},
                  first.due.toString(u"yyyy-MM"_s),
                  {}};
        announce(step);
        step.id = writeReceipts(db, {{first.receipt.id, first.due, first.due, cents}}).front();
        confirm(step);
    }

    void remove() {
        const Step step{StepKind::Delete, someEntry(), 0, {}, {}, {}};
        announce(step);
        deleteEntry(session_.db(), step.id);
        confirm(step);
    }

    void rename() {
        const std::vector<Account> accounts = listAccounts(session_.db(), {});
        Account account = pick(random_, accounts);
        // A name never used before, so that old and new can be told apart in the file.
        const QString stem = account.name.section(u'-', 0, 0);
        const Step step{StepKind::Rename,
                        0,
                        0,
                        {},
                        account.name,
                        u"%1-%2-%3"_s.arg(stem, QString::number(seed_, 36)).arg(++serial_)};
        account.name = step.newName;
        announce(step);
        updateAccount(session_.db(), step.oldName, account);
        confirm(step);
    }

    // Now and then 0,00, which removes the row.
    void opening() {
        const std::vector<Account> cash = ofKind(listAccounts(session_.db(), {}), u"C"_s);
        const qint64 cents =
            random_.bounded(4) == 0 ? 0 : qint64(random_.bounded(0, 20'000'000)) - 10'000'000;
        const Step step{StepKind::Opening, 0, cents, {}, pick(random_, cash).name, {}};
        announce(step);
        setOpeningBalance(session_.db(), step.oldName, step.number);
        confirm(step);
    }

    // An income or expense account's budget: cleared now and then, otherwise the
    // same every month or twelve amounts.
    void budget() {
        const std::vector<Account> accounts = listAccounts(session_.db(), {});
        std::vector<Account> budgeted = ofKind(accounts, u"I"_s);
        for (const Account& expense : ofKind(accounts, u"G"_s)) {
            budgeted.push_back(expense);
        }
        Step step{StepKind::Budget, 0, 0, {}, pick(random_, budgeted).name, {}};
        const quint32 shape = random_.bounded(4);
        const int months = shape == 0 ? 0 : shape == 1 ? 1 : 12;
        for (int m = 0; m < months; ++m) {
            step.amounts.push_back(qint64(random_.bounded(0, 20'000'000)) - 10'000'000);
        }
        announce(step);
        if (months == 0) {
            clearBudget(session_.db(), step.oldName);
        } else if (months == 1) {
            setBudgetEveryMonth(session_.db(), step.oldName, step.amounts.front());
        } else {
            std::array<qint64, 12> amounts{};
            std::copy(step.amounts.begin(), step.amounts.end(), amounts.begin());
            setBudgetByMonth(session_.db(), step.oldName, amounts);
        }
        confirm(step);
    }

    void colour() {
        const Step step{StepKind::Colour, 0, random_.bounded(0, 0xFFFFFF), {}, {}, {}};
        announce(step);
        SettingsFiles(session_.programFolder()).writeMainColour(static_cast<qint32>(step.number));
        confirm(step);
    }

    // Copies are named after the second they are made in, and only the newest ten
    // are kept: a clock that runs on past the newest copy keeps many copies a
    // second in the order they were made.
    QDateTime copyTime() const {
        const SafetyCopies copies(session_.dataRoot(), year_);
        const QDateTime now = QDateTime::currentDateTime();
        const QStringList made = copies.list();
        if (made.isEmpty()) {
            return now;
        }
        const QDateTime newest = QDateTime::fromString(
            QFileInfo(made.first()).fileName().mid(8, 15), u"yyyyMMdd-HHmmss"_s);
        return newest.isValid() && newest >= now ? newest.addSecs(1) : now;
    }

    void copy(qint64 entries) {
        Step step{StepKind::Copy, entries, 0, {}, {}, {}};
        announce(step);
        step.newName = SafetyCopies(session_.dataRoot(), year_).write(session_.db(), copyTime());
        confirm(step);
    }

    // To the drive's usual backup folder, as the backup window does.
    void backup(qint64 entries) {
        const Step step{StepKind::Backup, entries, 0, {}, {}, {}};
        const QString drive = driveFor(session_.programFolder());
        QDir().mkpath(drive);
        announce(step);
        backUpYear(session_, drive, backupFolderFor(drive));
        confirm(step);
    }

    // A CSV file of new movements, read, planned and written through the import
    // session the window uses: a safety copy first, then every row in one transaction.
    void importFile() {
        const QString path =
            u"%1/importar-%2.csv"_s.arg(importFolderFor(session_.programFolder())).arg(++serial_);
        const int rows = static_cast<int>(random_.bounded(1, 40));
        writeImportFile(path, rows);
        const Step step{StepKind::Import, rows, nextEntryId(session_.db()), {}, {}, path};
        announce(step);
        ImportSession import(session_, year_.toInt());
        if (const auto refusal = import.open(path)) {
            throw std::runtime_error(refusal->toStdString());
        }
        if (const auto unreadable = import.readCsv()) {
            throw std::runtime_error(unreadable->toStdString());
        }
        const ImportPlan plan = import.plan();
        if (int(plan.accepted.size()) != rows) {
            throw std::runtime_error("la importación no acepta todas sus filas");
        }
        import.writeSafetyCopy(copyTime());
        import.write(plan, {}, false);
        confirm(step);
    }

    void writeImportFile(const QString& path, int rows) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            throw std::runtime_error("no se puede escribir el archivo que se importa");
        }
        const std::vector<Account> accounts = listAccounts(session_.db(), {});
        CsvWriter writer(file);
        writer.writeHeader();
        for (int row = 1; row <= rows; ++row) {
            const EntryValues values =
                randomMovement(random_, accounts, year_.toInt(),
                               u"Importado-%1-%2-%3"_s.arg(seed_ % 100000).arg(serial_).arg(row));
            writer.writeRow(fromStoredDate(values.date.toStdString()), values.description,
                            values.goesInto, values.comesOutOf, values.cents);
        }
        if (!writer.finish()) {
            throw std::runtime_error("no se puede escribir el archivo que se importa");
        }
    }

    void compact() {
        const Step step{StepKind::Compact, 0, 0, {}, {}, {}};
        announce(step);
        YearDatabase(session_).compact();
        confirm(step);
    }

    // A new year, then back to this one, as a user who looks at the new year and returns.
    void createYear() {
        const Step step{StepKind::Year, 0, 0, {}, {}, u"N%1-%2"_s.arg(seed_ % 1000).arg(++serial_)};
        announce(step);
        YearDatabase years(session_);
        years.create(step.newName);
        years.switchTo(year_);
        confirm(step);
    }

    YearSession session_;
    QRandomGenerator random_;
    quint64 seed_;
    QString year_;
    int serial_ = 0;
};

} // namespace

EntryValues randomMovement(QRandomGenerator& random, const std::vector<Account>& accounts, int year,
                           const QString& description) {
    const std::vector<Account> cash = ofKind(accounts, u"C"_s);
    const std::vector<Account> income = ofKind(accounts, u"I"_s);
    const std::vector<Account> expense = ofKind(accounts, u"G"_s);
    const Account* into = nullptr;
    const Account* outOf = nullptr;
    switch (random.bounded(3)) {
    case 0:
        into = &pick(random, cash);
        outOf = &pick(random, income);
        break;
    case 1:
        into = &pick(random, expense);
        outOf = &pick(random, cash);
        break;
    default:
        into = &pick(random, cash);
        outOf = &pick(random, cash);
        break;
    }
    EntryValues values;
    values.date = toStoredDate(QDate(year, 1, 1).addDays(random.bounded(365)));
    values.cents = random.bounded(1, 10'000'000);
    values.goesInto = into->name;
    values.comesOutOf = outOf->name;
    values.movementClass = classifyMovement(into->kind, outOf->kind).value_or(QString());
    values.description = description;
    return values;
}

Entry entryOf(qint64 id, const EntryValues& values) {
    Entry entry;
    entry.id = id;
    entry.date = fromStoredDate(values.date.toStdString());
    entry.description = values.description;
    entry.goesInto = values.goesInto;
    entry.comesOutOf = values.comesOutOf;
    entry.amount = static_cast<double>(values.cents) / 100.0;
    entry.movementClass = values.movementClass;
    return entry;
}

QString driveFor(const QString& programFolder) {
    return QFileInfo(programFolder).absolutePath() + u"/Unidad"_s;
}

QString importFolderFor(const QString& programFolder) {
    return QFileInfo(programFolder).absolutePath() + u"/Importar"_s;
}

int runChild(const QString& programFolder, quint64 seed) {
    try {
        Child(programFolder, seed).run();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "velmora-crashtest (hijo): %s\n", error.what());
    }
    return 1;
}

} // namespace velmora::crashtest
