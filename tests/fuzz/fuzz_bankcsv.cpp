// A bank's own CSV file on any bytes: the table is read or refused with a reason,
// never more rows or columns than the limits, and when a header is found every
// movement has a date, an amount within the program's limits and a line of the
// file under the header, oldest first, or its line is refused with a reason.

#include "FuzzCheck.h"

#include "exchange/BankLayout.h"
#include "exchange/BankMovements.h"
#include "exchange/CsvTable.h"
#include "store/Amount.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velmora;
    QBuffer buffer;
    buffer.setData(fuzz::bytesOf(data, size));
    buffer.open(QIODevice::ReadOnly);
    CsvTableRead read;
    try {
        read = readCsvTable(buffer);
    } catch (const SheetError& error) {
        FUZZ_CHECK(!error.reason().isEmpty());
        return 0;
    }
    const SheetTable& table = read.table;
    FUZZ_CHECK(!table.rows.empty() && qsizetype(table.rows.size()) <= kMostSheetRows);
    int last = 0;
    for (const SheetRow& row : table.rows) {
        FUZZ_CHECK(row.line > last && row.cells.size() <= kMostSheetColumns);
        last = row.line;
    }
    const std::optional<BankLayout> layout = findBankLayout(table);
    if (!layout || !layout->problem().isEmpty()) {
        return 0;
    }
    FUZZ_CHECK(layout->columns.size() == layout->headers.size());
    const BankMovementsRead movements = readBankMovements(table, *layout);
    const int headerLine = table.rows[size_t(layout->headerRow)].line;
    for (size_t i = 0; i < movements.movements.size(); ++i) {
        const BankMovement& m = movements.movements[i];
        FUZZ_CHECK(m.date.isValid() && m.line > headerLine);
        FUZZ_CHECK(m.cents >= -kMaxAmountCents && m.cents <= kMaxAmountCents);
        if (m.balance) {
            FUZZ_CHECK(*m.balance >= -kMaxAmountCents && *m.balance <= kMaxAmountCents);
        }
    }
    if (movements.movements.size() > 1) {
        FUZZ_CHECK(movements.movements.front().date <= movements.movements.back().date ||
                   !movements.newestFirst);
    }
    for (const RefusedLine& line : movements.refused.kept()) {
        FUZZ_CHECK(line.line > headerLine && !line.reason.isEmpty());
    }
    return 0;
}
