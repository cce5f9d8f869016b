#pragma once

// The register printed: the report "Extracto" over the account's entries, the
// account and its opening balance handed over as parameters, never written
// into the record selection, so that any name an account has is only a name.

#include "reports/ReportRequest.h"

#include <QtGlobal>

namespace velmora {

// company: the heading's first line, as the entry list prints it.
ReportRequest registerReport(const QString& account, qint64 openingCents, const QString& company);

} // namespace velmora
