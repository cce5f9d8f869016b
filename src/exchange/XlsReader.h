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

// Reads the first sheet of an open regular file in the helper velmora-xls, so
// that whatever FreeXL does with a hostile workbook (it has read past its own
// buffers on some) happens in that process, never in this one. Throws
// SheetError with the reason in Spanish, for a crashed or hung helper too.
SheetTable readXls(QFile& file);

// The same, read here with FreeXL: for velmora-xls itself and the fuzz target.
SheetTable readXlsHere(QFile& file);

} // namespace velmora
