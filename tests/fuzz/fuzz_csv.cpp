// The CSV reader on any bytes: it never fails, a file it cannot read at all gives
// a reason and nothing else, every line it reads is a row or a refusal, in file
// order, and every row written back in our own layout reads back the same.

#include "FuzzCheck.h"

#include "exchange/Csv.h"

#include <QBuffer>

namespace {

velmora::CsvRead readBytes(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return velmora::readCsv(buffer);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velmora;
    const CsvRead read = readBytes(fuzz::bytesOf(data, size));
    if (!read.failure.isEmpty()) {
        FUZZ_CHECK(read.rows.isEmpty() && read.refused.isEmpty());
        return 0;
    }
    int last = 1; // the header
    for (const ImportedRow& row : read.rows) {
        FUZZ_CHECK(row.line > last);
        last = row.line;
    }
    for (const RefusedLine& line : read.refused) {
        FUZZ_CHECK(line.line > 1);
        FUZZ_CHECK(!line.reason.isEmpty());
    }

    QBuffer written;
    written.open(QIODevice::WriteOnly);
    CsvWriter writer(written);
    writer.writeHeader();
    for (const ImportedRow& row : read.rows) {
        writer.writeRow(row.date, row.description, row.goesInto, row.comesOutOf, row.cents);
    }
    FUZZ_CHECK(writer.finish());
    const CsvRead again = readBytes(written.data());
    FUZZ_CHECK(again.failure.isEmpty());
    FUZZ_CHECK(again.dialect == CsvDialect::Spanish);
    FUZZ_CHECK(again.refused.isEmpty());
    FUZZ_CHECK(again.rows.size() == read.rows.size());
    for (qsizetype i = 0; i < read.rows.size(); ++i) {
        const ImportedRow& a = read.rows[i];
        const ImportedRow& b = again.rows[i];
        FUZZ_CHECK(a.date == b.date && a.description == b.description && a.goesInto == b.goesInto &&
                   a.comesOutOf == b.comesOutOf && a.cents == b.cents);
    }
    return 0;
}
