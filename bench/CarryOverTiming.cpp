#include "CarryOverTiming.h"

#include "Measurements.h"

#include "analysis/CarryOver.h"
#include "store/DatabaseFiles.h"
#include "store/OpeningBalances.h"
#include "store/Sqlite.h"

#include <QTemporaryDir>

#include <stdexcept>

namespace velmora::bench {

double timeCarryOver(Database& db, const QString& year, int runs) {
    QTemporaryDir folder;
    if (!folder.isValid()) {
        throw std::runtime_error("no temporary folder for the new year");
    }
    const QString path = folder.filePath(QStringLiteral("Devedur.mdb"));
    copyDatabase(db, path);
    Database fresh(path);
    fresh.exec("DELETE FROM apuntes", "vaciar el año nuevo");
    // Each round starts from scratch, so every run writes; the reset is timed
    // apart and left out.
    const auto times =
        timeRounds(runs, {
                             [&] {
                                 Transaction reset(fresh);
                                 for (const OpeningBalance& b : openingBalances(fresh)) {
                                     setOpeningBalance(fresh, b.account, 0);
                                 }
                                 reset.commit();
                             },
                             [&] { applyCarryOver(fresh, planCarryOver(db, year, fresh)); },
                         });
    return median(times[1]);
}

} // namespace velmora::bench
