#pragma once

// What both spreadsheet readers hold a workbook to, and the reasons they give
// in Spanish when it fails: the limits of a sheet, counted as its rows are
// kept, and the workbook saved with a password, which Excel writes as an
// encrypted package inside a compound file whatever its name says.

#include "exchange/SheetTable.h"

class QFile;

namespace velmora {

// Keeps the rows of a table within the limits of a sheet.
class SheetBudget {
public:
    // Drops the row's empty cells at its end, and the row when nothing is
    // left; otherwise adds it to the table. Throws SheetError past a limit.
    void keep(SheetTable& table, SheetRow&& row);

private:
    qint64 cost_ = 0;
};

// Counted against kMostSheetBytes beside its text, so that a flood of empty
// cells or strings is refused as surely as a flood of text.
inline constexpr qint64 kSheetCellCost = 16;

QString damagedReason();
QString passwordProtectedReason();
QString noSheetReason();
QString tooManyRowsReason();
QString tooManyColumnsReason();
QString longCellReason();
QString tooMuchTextReason();

// Whether the file is an Office compound file holding an encrypted package.
// Reads the file from its start; its position is left anywhere.
bool isEncryptedOfficeFile(QFile& file);

} // namespace velmora
