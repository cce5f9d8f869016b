#include "FileOperations.h"

#include "Measurements.h"

#include "state/YearSession.h"
#include "store/DatabaseFiles.h"
#include "store/Sqlite.h"
#include "years/YearDatabase.h"
#include "years/YearFolders.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <functional>
#include <stdexcept>
#include <vector>

namespace velmora::bench {

namespace {

double elapsedMs(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// Like timeRounds, but each job times only its own work and tidies up after it
// untimed: removing a copy of the whole year is no part of making one.
std::vector<std::vector<double>>
timeTidiedRounds(int runs, const std::vector<std::function<double()>>& jobs) {
    for (const auto& job : jobs) {
        job();
    }
    std::vector<std::vector<double>> times(jobs.size());
    for (int round = 0; round < runs; ++round) {
        for (size_t j = 0; j < jobs.size(); ++j) {
            times[j].push_back(jobs[j]());
        }
    }
    return times;
}

// The engine's backup of every page in one step, with nothing flushed or checked.
void rawBackup(Database& source, const QString& target) {
    sqlite3* copy = nullptr;
    const QByteArray name = QFile::encodeName(target);
    const int opened = sqlite3_open_v2(name.constData(), &copy,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (opened != SQLITE_OK) {
        sqlite3_close(copy);
        throw std::runtime_error("cannot open " + target.toStdString());
    }
    sqlite3_backup* backup = sqlite3_backup_init(copy, "main", source.handle(), "main");
    if (backup == nullptr) {
        const std::string message = sqlite3_errmsg(copy);
        sqlite3_close(copy);
        throw std::runtime_error("backup: " + message);
    }
    const int stepped = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    const int rc = stepped == SQLITE_DONE ? finished : stepped;
    if (rc != SQLITE_OK) {
        const std::string message = sqlite3_errstr(rc);
        sqlite3_close(copy);
        throw std::runtime_error("backup: " + message);
    }
    sqlite3_close(copy);
}

// A failure throws through: DbError and YearError are runtime errors with their reason.
template <typename Work> double timed(Work&& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return elapsedMs(timer);
}

} // namespace

FileOperationTimes timeFileOperations(YearSession& state, int runs) {
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    const QString rawTarget = scratch.filePath(QStringLiteral("raw.mdb"));
    const QString target = scratch.filePath(QStringLiteral("Devedur.mdb"));
    const auto removed = [](const QString& path, double ms) {
        QFile::remove(path);
        removeStaleJournal(path);
        return ms;
    };

    FileOperationTimes times;
    const auto backups = timeTidiedRounds(
        runs,
        {
            [&] { return removed(rawTarget, timed([&] { rawBackup(state.db(), rawTarget); })); },
            [&] { return removed(target, timed([&] { copyDatabase(state.db(), target); })); },
        });
    times.backupRawMs = median(backups[0]);
    times.backupMs = median(backups[1]);

    const auto compactions = timeTidiedRounds(
        runs, {
                  [&] {
                      return removed(rawTarget,
                                     timed([&] { compactDatabase(state.db(), rawTarget); }));
                  },
                  [&] { return timed([&] { YearDatabase(state).compact(); }); },
              });
    times.compactRawMs = median(compactions[0]);
    times.compactMs = median(compactions[1]);

    // A year that does not exist, created and then dropped again so that every
    // round starts from the same installation.
    const QString year = state.year();
    const QString other = QString::number(year.toInt() + 1);
    const auto creations =
        timeTidiedRounds(runs, {[&] {
                             const double ms = timed([&] { YearDatabase(state).create(other); });
                             timed([&] { YearDatabase(state).switchTo(year); });
                             QDir(yearFolderPath(state.dataRoot(), other)).removeRecursively();
                             return ms;
                         }});
    times.yearCreateMs = median(creations[0]);
    return times;
}

} // namespace velmora::bench
