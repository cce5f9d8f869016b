#pragma once

// What the two spreadsheet readers promise on any bytes. The readers take an
// open file, as the path gate hands it over, so the bytes go to a temporary
// file first.

#include "FuzzCheck.h"

#include "exchange/SheetTable.h"

#include <QFile>
#include <QTemporaryFile>

#include <cmath>

namespace velmora::fuzz {

template <typename Reader> void checkSheetReader(const QByteArray& bytes, Reader read) {
    QTemporaryFile written;
    FUZZ_CHECK(written.open());
    FUZZ_CHECK(written.write(bytes) == bytes.size() && written.flush());
    QFile file(written.fileName());
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    SheetTable table;
    try {
        table = read(file);
    } catch (const SheetError& error) {
        FUZZ_CHECK(!error.reason().isEmpty());
        return;
    }
    FUZZ_CHECK(qsizetype(table.rows.size()) <= kMostSheetRows);
    int last = 0;
    qint64 text = 0;
    for (const SheetRow& row : table.rows) {
        FUZZ_CHECK(row.line > last);
        last = row.line;
        FUZZ_CHECK(!row.cells.isEmpty() && row.cells.size() <= kMostSheetColumns);
        FUZZ_CHECK(!row.cells.last().text.isEmpty());
        for (const SheetCell& cell : row.cells) {
            FUZZ_CHECK(cell.text.size() <= kLongestSheetCell);
            text += cell.text.size();
            if (cell.number) {
                bool ok = false;
                const double value = cell.text.toDouble(&ok);
                FUZZ_CHECK(ok && std::isfinite(value));
            }
        }
    }
    FUZZ_CHECK(text <= kMostSheetBytes);
}

} // namespace velmora::fuzz
