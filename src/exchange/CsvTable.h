#pragma once

// A bank's movements file in CSV as a table of cells: its encoding told as for
// our own CSV files, its separator (";", ",", a tab or "|") told from its first
// records, and every record kept, the lines above the header too.

#include "exchange/RefusedLines.h"
#include "exchange/SheetTable.h"

class QIODevice;

namespace velmora {

struct CsvTableRead {
    SheetTable table;
    RefusedLines refused; // records too long or not in the file's UTF-8
    char separator = ';';
};

// The device must be a file or a buffer. Throws SheetError when it cannot be
// read (empty, UTF-16, past the limits of SheetTable.h) and std::bad_alloc.
CsvTableRead readCsvTable(QIODevice& in);

// "punto y coma", "coma", "tabulador", "barra vertical"
QString separatorName(char separator);

} // namespace velmora
