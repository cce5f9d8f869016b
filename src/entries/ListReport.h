#pragma once

// The report of the main window's list: the same rows the list shows for its
// filters and dates, with a heading that says which ones were in use.

#include "reports/ReportRequest.h"

#include <QString>

namespace velmora {

struct EntryFilter;

// `text` as an SQL string literal: in single quotes, each quote doubled, so that
// whatever the user typed stays text inside the report's record selection.
QString sqlStringLiteral(const QString& text);

// tipo "Datos", the company in the heading, and a record selection over apuntes
// that takes exactly the rows queryEntries() gives for `filter`.
ReportRequest listReport(const EntryFilter& filter, const QString& company);

} // namespace velmora
