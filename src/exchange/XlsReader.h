#pragma once

// The first sheet of an Excel workbook in the older binary form (.xls, BIFF),
// read with FreeXL. The sheet's dimensions are checked before its cells are
// read. FreeXL never runs a formula, and (as of 1.0.6) gives no value for a
// formula's cell either: such a cell reads as empty. Dates in cells formatted
// as dates come as text, yyyy-mm-dd, and are handed on so.

#include "exchange/SheetTable.h"

#include <QByteArray>

class QFile;

namespace velmora {

// Whether a file's first bytes are those of an Office compound file.
bool looksLikeXls(const QByteArray& start);

// Reads the first sheet of an open regular file. Throws SheetError with the
// reason in Spanish.
SheetTable readXls(QFile& file);

} // namespace velmora
