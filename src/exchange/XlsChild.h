#pragma once

// The .xls workbook read in the helper velmora-xls rather than in the program:
// where the helper is, how long it may take, and what the user is told when it
// is missing or hangs.

#include "exchange/SheetTable.h"

#include <QString>

#include <chrono>

class QFile;

namespace velmora {

// A bank's workbook reads in well under a second; a helper still busy after
// this is stuck on a hostile file.
inline constexpr std::chrono::milliseconds kXlsTimeLimit{30'000};

// The helper beside the running executable, as in a build, or where the
// package installs it; empty when neither is there.
QString xlsHelperPath();

// Reads the first sheet of an open regular file with the helper at helper,
// killed past timeLimit. Throws SheetError with the reason in Spanish.
SheetTable readXlsWith(const QString& helper, QFile& file, std::chrono::milliseconds timeLimit);

QString missingHelperReason();
QString slowHelperReason();

} // namespace velmora
