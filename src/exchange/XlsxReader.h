#pragma once

// The first sheet of an Excel workbook in the Office Open XML form (.xlsx), as
// banks give their movements. The zip is read with libzip and each part is
// inflated as the XML reader asks for it, so a hostile file is refused while it
// is being read, before it takes the machine's memory: every part is checked
// against its declared size and a cap, and the XML against DTDs, entities,
// depth and overlong runs of text. Formulas are never run: a cell gives the
// value the spreadsheet stored for it.

#include "exchange/SheetTable.h"

#include <QByteArray>

class QFile;

namespace velmora {

// Whether a file's first bytes are those of a zip archive.
bool looksLikeXlsx(const QByteArray& start);

// Reads the first sheet in the workbook's order from an open regular file.
// Throws SheetError with the reason in Spanish.
SheetTable readXlsx(QFile& file);

} // namespace velmora
