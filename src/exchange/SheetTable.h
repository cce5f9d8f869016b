#pragma once

// A bank's movements file as its cells, before anything is known about its
// columns: the records of a CSV file or the rows of a spreadsheet's first sheet.
// Banks put a few lines (the holder, the IBAN, the period) above the table and
// sometimes a total under it, so nothing here says which row is the header.

#include <QList>
#include <QString>

#include <stdexcept>
#include <vector>

namespace velmora {

struct SheetCell {
    // As written. For a spreadsheet's number it is the stored value in the C
    // form ("-1234.5", "4.5E-2"), never formatted; a date is its serial number.
    QString text;
    bool number = false;
};

struct SheetRow {
    int line = 0; // the file's line or the sheet's row, counted from 1
    QList<SheetCell> cells;
};

struct SheetTable {
    // In file order; rows without any cell are left out.
    std::vector<SheetRow> rows;
    // The workbook counts its date serials from 1904 rather than from 1900.
    bool date1904 = false;
};

// Past these a file is refused whole: no bank gives so many movements at once,
// and a hostile file must not take the machine's memory or time.
inline constexpr int kMostSheetRows = 100'000;
inline constexpr int kMostSheetColumns = 256;
inline constexpr qsizetype kLongestSheetCell = 32 * 1024;     // characters
inline constexpr qint64 kMostSheetBytes = 64LL * 1024 * 1024; // every cell's text

// Why a file cannot be read as a table, in Spanish and ready to follow "el
// archivo X no se puede leer: ", e.g. "el libro está protegido con contraseña".
class SheetError : public std::runtime_error {
public:
    explicit SheetError(QString reason)
        : std::runtime_error(reason.toStdString()), reason_(std::move(reason)) {}
    const QString& reason() const { return reason_; }

private:
    QString reason_;
};

} // namespace velmora
