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
    for (qsizetype i = 0; i < read.rows.size(); ++i) {
        FUZZ_CHECK(read.rows.line(i) > last);
        last = read.rows.line(i);
        FUZZ_CHECK(read.rows.date(i).isValid());
    }
    FUZZ_CHECK(read.refused.kept().size() <= read.refused.count());
    for (const RefusedLine& line : read.refused.kept()) {
        FUZZ_CHECK(line.line > 1);
        FUZZ_CHECK(!line.reason.isEmpty());
    }

    // Written back in our own layout, every row reads back the same, but for one
    // whose quotes, doubled, took it past the longest record, which is refused.
    QBuffer written;
    written.open(QIODevice::WriteOnly);
    CsvWriter writer(written);
    writer.writeHeader();
    QList<qsizetype> kept;
    qsizetype tooLong = 0;
    for (qsizetype i = 0; i < read.rows.size(); ++i) {
        const qint64 before = written.pos();
        writer.writeRow(read.rows.date(i), read.rows.description(i), read.rows.goesInto(i),
                        read.rows.comesOutOf(i), read.rows.cents(i));
        if (written.pos() - before - 2 > kLongestCsvRecord) {
            ++tooLong;
        } else {
            kept.append(i);
        }
    }
    FUZZ_CHECK(writer.finish());
    const CsvRead again = readBytes(written.data());
    FUZZ_CHECK(again.failure.isEmpty());
    FUZZ_CHECK(again.dialect == CsvDialect::Spanish);
    FUZZ_CHECK(again.refused.count() == tooLong);
    FUZZ_CHECK(again.rows.size() == kept.size());
    for (qsizetype j = 0; j < kept.size(); ++j) {
        const qsizetype i = kept[j];
        FUZZ_CHECK(read.rows.date(i) == again.rows.date(j) &&
                   read.rows.description(i) == again.rows.description(j) &&
                   read.rows.goesInto(i) == again.rows.goesInto(j) &&
                   read.rows.comesOutOf(i) == again.rows.comesOutOf(j) &&
                   read.rows.cents(i) == again.rows.cents(j));
    }
    return 0;
}
