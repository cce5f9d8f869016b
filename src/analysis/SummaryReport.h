#pragma once

// The yearly summary printed: the report "Resumen" lists the summary's lines,
// the same ones the window shows, from a small database of their own rather than
// from the year's file, so the report adds up nothing by itself and can never
// print other figures than the screen.

#include "reports/ReportRequest.h"

#include <vector>

namespace velmora {

struct SummaryLine;
struct YearSummary;

// Writes the lines into a new database at `path` as the table
//   resumen (Orden, Clase, Concepto, Importe, Inicial, Final)
// Clase is "apartado", "cuenta" or "total"; the figures are whole cents, Null
// when unreadable and '' where the line has none. Throws DbError; a file already
// at `path` is refused.
void writeSummaryTable(const std::vector<SummaryLine>& lines, const QString& path);

// The request for the report over the table at databasePath. company: the
// heading's first line, as the entry list prints it.
ReportRequest summaryReport(const YearSummary& summary, const QString& databasePath,
                            const QString& company);

} // namespace velmora
