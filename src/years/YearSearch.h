#pragma once

// The main list's filters run over every year of the data root. Each year's
// ledger is opened read-only and closed again at once: no year but the current
// one is ever locked, written or created, and a year that cannot be read is named
// with its reason instead of failing the whole search.

#include "entries/EntryList.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <memory>
#include <utility>
#include <vector>

namespace velmora {

class Database;

// The entries of one year that the filter lets through, oldest first.
struct YearEntries {
    QString year;
    EntryList entries;
};

struct SkippedYear {
    QString year;
    QString reason; // in Spanish, for the user
};

struct YearSearchResult {
    std::vector<YearEntries> years; // in searchOrder(); a year with no match too
    std::vector<SkippedYear> skipped;
    EntryTotals totals; // over every year; no month figure across years

    size_t rowCount() const;
};

// The year folders of the data root: those holding a ledger, and those named as a
// calendar year even when their ledger is missing, so that the search can say so.
// Four-digit years first, oldest first, then the others alphabetically.
QStringList searchedYears(const QString& dataRoot);

// From 01/01 of the oldest year to 31/12 of the newest; a year named otherwise
// ("Casa") counts as today's.
std::pair<QDate, QDate> searchRange(const QStringList& years, QDate today);

// Another year's ledger, on a connection that can neither write nor roll back a
// journal left beside the file. Throws DbError, with a Spanish reason when the
// file is missing.
std::unique_ptr<Database> openOtherYear(const QString& path);

YearSearchResult searchYears(const QString& dataRoot, const QStringList& years,
                             const EntryFilter& filter);

// "No se ha podido buscar en el año 2021 (el archivo está dañado) ni en el año
// 2022 (...).", or empty; `lead` names what could not be done.
QString skippedYearsLine(const std::vector<SkippedYear>& skipped,
                         const QString& lead = QStringLiteral("No se ha podido buscar en el año "));

} // namespace velmora
