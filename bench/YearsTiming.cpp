#include "YearsTiming.h"

#include "Measurements.h"

#include "state/YearSession.h"
#include "store/DatabaseFiles.h"
#include "store/Sqlite.h"
#include "years/YearFolders.h"
#include "years/YearSearch.h"

#include <QDir>

#include <stdexcept>

namespace velmora::bench {

namespace {

// A copy of the current year's ledger as the year `year`, its dates moved there;
// 29 February becomes the 28th in a year without one.
void makeYear(YearSession& session, int year) {
    const QString name = QString::number(year);
    const QString folder = yearFolderPath(session.dataRoot(), name);
    if (!QDir().mkpath(folder)) {
        throw std::runtime_error("cannot create folder " + folder.toStdString());
    }
    const QString path = databasePathFor(session.dataRoot(), name);
    copyDatabase(session.db(), path);
    Database db(path);
    Statement move(db,
                   "UPDATE apuntes SET Data = ?1 || CASE WHEN substr(Data, 6) = '02-29' AND"
                   " NOT ((?2 % 4 = 0 AND ?2 % 100 <> 0) OR ?2 % 400 = 0) THEN '-02-28'"
                   " ELSE substr(Data, 5) END",
                   "mover las fechas");
    move.bind(1, name).bind(2, year);
    move.run();
}

} // namespace

YearSearchFigures timeYearSearch(YearSession& session, int count, int runs) {
    const int current = session.year().toInt();
    for (int year = current - count + 1; year < current; ++year) {
        makeYear(session, year);
    }
    const QStringList years = searchedYears(session.dataRoot());
    const auto [from, to] = searchRange(years, QDate(current, 1, 1));
    const EntryFilter filter{{}, {}, {}, from, to};
    YearSearchFigures figures;
    figures.years = static_cast<int>(years.size());
    const auto times = timeRounds(runs, {[&] {
                                      const YearSearchResult result =
                                          searchYears(session.dataRoot(), years, filter);
                                      if (!result.skipped.empty()) {
                                          throw std::runtime_error("a year was skipped");
                                      }
                                      figures.rows = static_cast<double>(result.rowCount());
                                  }});
    figures.ms = median(times[0]);
    return figures;
}

} // namespace velmora::bench
