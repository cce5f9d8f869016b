#pragma once

// The records of a delimited text file, found as it streams: our own CSV files
// and the movements files banks give both go through here.

#include "exchange/BlockReader.h"
#include "exchange/TextEncoding.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QIODevice;

namespace velmora {

// The longest record a file may hold: one past it is refused and reading goes on
// at the next line end.
inline constexpr qsizetype kLongestCsvRecord = 64 * 1024;

// One record as bytes: separators, quotes and line ends are ASCII, which neither
// UTF-8 nor Windows-1252 uses inside a letter, so a record is found before its
// text is decoded.
struct Record {
    int line = 0;
    QList<QByteArray> fields;
    bool unterminated = false;    // a quoted field ran to the end of the file
    bool textAfterQuotes = false; // "abc"x
    bool tooLong = false;         // past kLongestCsvRecord; nothing of it is kept
};

// RFC 4180 records, also with LF or a lone CR as the line end, read as the file
// streams. Line breaks inside quotes stay in the field as they are and still
// count as lines, so that the records after them keep their true line numbers.
class RecordReader {
public:
    RecordReader(QIODevice& in, char separator) : bytes_(in), separator_(separator) {}

    // False at the end of the file.
    bool next(Record& record);
    bool failed() const { return bytes_.failed(); }

private:
    BlockReader bytes_;
    const char separator_;
    int line_ = 1;
};

// The fields as text; nothing when one holds bytes that are no UTF-8 in a file
// that is.
std::optional<QStringList> decodedFields(const Record& record, const EncodingScan& scan);

// Every field empty or spaces.
bool blank(const QStringList& fields);

// Why a record past kLongestCsvRecord, or one not in the file's UTF-8, is refused.
QString tooLongReason();
extern const QString kNotUtf8;

} // namespace velmora
