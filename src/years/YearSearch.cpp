#include "years/YearSearch.h"

#include "state/Logging.h"
#include "store/DbErrorText.h"
#include "store/Schema.h"
#include "store/SpanishText.h"
#include "store/Sqlite.h"
#include "years/YearFolders.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace velmora {

size_t YearSearchResult::rowCount() const {
    size_t count = 0;
    for (const YearEntries& year : years) {
        count += year.entries.size();
    }
    return count;
}

QStringList searchedYears(const QString& dataRoot) {
    QStringList years;
    const QDir root(dataRoot);
    for (const QString& name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted)) {
        if (calendarYearNamed(name) || QFileInfo(databasePathFor(dataRoot, name)).isFile()) {
            years.append(name);
        }
    }
    std::sort(years.begin(), years.end(), [](const QString& a, const QString& b) {
        const auto ca = calendarYearNamed(a);
        const auto cb = calendarYearNamed(b);
        if (ca && cb) {
            return *ca < *cb;
        }
        if (ca || cb) {
            return ca.has_value();
        }
        return spanishLess(a, b);
    });
    return years;
}

std::pair<QDate, QDate> searchRange(const QStringList& years, QDate today) {
    int oldest = today.year();
    int newest = today.year();
    for (qsizetype i = 0; i < years.size(); ++i) {
        const int year = calendarYearOf(years[i], today);
        oldest = i == 0 ? year : std::min(oldest, year);
        newest = i == 0 ? year : std::max(newest, year);
    }
    return {QDate(oldest, 1, 1), QDate(newest, 12, 31)};
}

std::unique_ptr<Database> openOtherYear(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        throw DbError(QStringLiteral("abrir la base de datos"),
                      QStringLiteral("falta su archivo Devedur.mdb"), 0);
    }
    auto db = std::make_unique<Database>(path, Database::Mode::ReadOnly);
    db->exec("PRAGMA query_only = ON", "abrir la base de datos");
    checkLedgerSchema(*db);
    return db;
}

namespace {

// The year's entries through the main list's own query.
EntryList readYear(const QString& path, const EntryFilter& filter) {
    const std::unique_ptr<Database> db = openOtherYear(path);
    EntryList list = queryEntries(*db, filter);
    list.reverse(); // oldest first, as the search lists them
    return list;
}

} // namespace

YearSearchResult searchYears(const QString& dataRoot, const QStringList& years,
                             const EntryFilter& filter) {
    YearSearchResult result;
    for (const QString& year : years) {
        const QString path = databasePathFor(dataRoot, year);
        try {
            EntryList entries = readYear(path, filter);
            result.totals.income.add(entries.totals.income);
            result.totals.expense.add(entries.totals.expense);
            result.years.push_back({year, std::move(entries)});
        } catch (const DbError& error) {
            qCWarning(lcYears).noquote() << "búsqueda: se salta" << path << "|" << error.what();
            result.skipped.push_back({year, describeFailure(error)});
        }
    }
    return result;
}

QString skippedYearsLine(const std::vector<SkippedYear>& skipped, const QString& lead) {
    QString line;
    for (size_t i = 0; i < skipped.size(); ++i) {
        const QString named = QStringLiteral("%1 (%2)").arg(skipped[i].year, skipped[i].reason);
        line += i == 0 ? lead + named : QStringLiteral(" ni en el año ") + named;
    }
    return line.isEmpty() ? line : line + QLatin1Char('.');
}

} // namespace velmora
