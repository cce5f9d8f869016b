#include "exchange/CsvRecords.h"

#include "state/PathGate.h"

#include <algorithm>

namespace velmora {

bool RecordReader::next(Record& record) {
    if (bytes_.peek() < 0) {
        return false;
    }
    enum class State { FieldStart, Unquoted, Quoted, AfterQuotes };
    record.line = line_;
    record.fields.clear();
    record.unterminated = record.textAfterQuotes = record.tooLong = false;
    QByteArray field;
    State state = State::FieldStart;
    qsizetype length = 0;
    for (int c = bytes_.get(); c >= 0; c = bytes_.get()) {
        const bool lineEnd = c == '\n' || c == '\r';
        const bool endsRecord = lineEnd && state != State::Quoted;
        if (!record.tooLong && !endsRecord && ++length > kLongestCsvRecord) {
            record.tooLong = true;
            record.fields.clear();
            field.clear();
        }
        if (record.tooLong) {
            // Reading goes on at the next line end, quotes or not.
            if (lineEnd) {
                bytes_.finishLineEnd(c);
                ++line_;
                return true;
            }
            continue;
        }
        if (state == State::Quoted) {
            if (c == '"') {
                if (bytes_.peek() == '"') {
                    bytes_.get();
                    ++length;
                    field.append('"');
                } else {
                    state = State::AfterQuotes;
                }
                continue;
            }
            // The last character of a line end: LF, or a CR not followed by LF.
            if (c == '\n' || (c == '\r' && bytes_.peek() != '\n')) {
                ++line_;
            }
            field.append(char(c));
            continue;
        }
        if (c == separator_) {
            record.fields.append(field);
            field.clear();
            state = State::FieldStart;
            continue;
        }
        if (lineEnd) {
            bytes_.finishLineEnd(c);
            ++line_;
            record.fields.append(field);
            return true;
        }
        if (state == State::FieldStart && c == '"') {
            state = State::Quoted;
            continue;
        }
        if (state == State::AfterQuotes) {
            record.textAfterQuotes = true;
        } else {
            state = State::Unquoted;
        }
        field.append(char(c));
    }
    if (!record.tooLong) {
        record.unterminated = state == State::Quoted;
        record.fields.append(field);
    }
    return true;
}

std::optional<QStringList> decodedFields(const Record& record, const EncodingScan& scan) {
    QStringList fields;
    fields.reserve(record.fields.size());
    for (const QByteArray& bytes : record.fields) {
        if (scan.encoding == TextEncoding::Windows1252) {
            fields.append(fromWindows1252(bytes));
        } else if (!scan.invalidBytes) {
            fields.append(QString::fromUtf8(bytes));
        } else if (std::optional<QString> text = fromStrictUtf8(bytes)) {
            fields.append(std::move(*text));
        } else {
            return std::nullopt;
        }
    }
    return fields;
}

bool blank(const QStringList& fields) {
    return std::all_of(fields.cbegin(), fields.cend(),
                       [](const QString& field) { return field.trimmed().isEmpty(); });
}

QString tooLongReason() {
    return QStringLiteral("es demasiado larga: pasa de %1 (¿faltan unas comillas de cierre?)")
        .arg(sizeLimitText(kLongestCsvRecord));
}

const QString kNotUtf8 =
    QStringLiteral("no es texto UTF-8 válido, como sí lo es el resto del archivo: corrija esa "
                   "línea o guarde el archivo entero en UTF-8");

} // namespace velmora
