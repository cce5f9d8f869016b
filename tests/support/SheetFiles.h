#pragma once

// Spreadsheets made by the tests, as a bank's website would give them: an
// .xlsx zip written with libzip and its XML parts as text, and a minimal .xls
// (a compound file holding a BIFF8 workbook stream) written byte by byte.
// Test support only: just enough of each form for the readers to be tried on
// every layout and every hostile file, with no binary file committed.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

namespace velmora::test {

// A grid as the tests write it, one string a cell: "" leaves the cell out, a
// number in the C form ("-1234.5") is a number, "'text" an inline string,
// "=f|42" a formula with its stored value 42, anything else a shared string.
using SheetGrid = QList<QStringList>;

struct XlsxBook {
    SheetGrid grid;
    int firstLine = 1;        // the row the grid starts at
    bool date1904 = false;    // workbookPr date1904="1"
    SheetGrid secondSheet;    // written as a second sheet when not empty
    bool secondFirst = false; // the second sheet's part listed first in the zip
    // Parts written as given instead of, or besides, the generated ones.
    QList<std::pair<QString, QByteArray>> parts;
};

// The shared strings the grid needs, and the <sheetData> of the grid.
QByteArray sheetDataXml(const SheetGrid& grid, int firstLine, QStringList& sharedStrings);
QByteArray sharedStringsXml(const QStringList& strings);

// The workbook as a zip. stored: parts kept uncompressed.
QByteArray xlsxBytes(const XlsxBook& book, bool stored = false);

// A zip of the given parts as they are, compressed unless stored.
QByteArray zipBytes(const QList<std::pair<QString, QByteArray>>& parts, bool encrypt = false,
                    bool stored = false);

// Sets the uncompressed size the zip declares for the part named, in its local
// header and in its central directory, without touching its data.
void declareSize(QByteArray& zip, const QString& part, quint32 size);

// An Office compound file (512-byte sectors, no mini stream: every stream is
// padded to 4096 bytes) holding the streams given.
QByteArray compoundFile(const QList<std::pair<QString, QByteArray>>& streams);

struct XlsBook {
    // As above, but "'" and plain text are both labels of the shared strings,
    // "d:SERIAL" is a number in a cell formatted as a date, and "n:VALUE" a
    // NUMBER record of whatever QString::toDouble makes of VALUE ("nan", "inf").
    SheetGrid grid;
    bool date1904 = false;
    bool password = false; // a FILEPASS record: the workbook is encrypted
    int declaredRows = -1; // the DIMENSIONS record's rows; -1: the grid's own
    int declaredColumns = -1;
};

// The BIFF8 workbook stream and the whole .xls file.
QByteArray biffStream(const XlsBook& book);
QByteArray xlsBytes(const XlsBook& book);

} // namespace velmora::test
