#include "exchange/CsvTable.h"

#include "exchange/CsvRecords.h"
#include "exchange/TextEncoding.h"
#include "store/Amount.h"

#include <QHash>
#include <QIODevice>

namespace velmora {

namespace {

constexpr char kSeparators[] = {';', ',', '\t', '|'};
// Enough records to pass the lines above a bank's table and see some of it.
constexpr int kRecordsToTell = 60;

// How well the separator splits the file's first records: the number of records
// that share the commonest field count above one, weighted by that count, so
// that a comma inside "1.234,56" does not win over the semicolons between
// fields.
int splitScore(QIODevice& in, qint64 start, const EncodingScan& scan, char separator) {
    if (!in.seek(start)) {
        return 0;
    }
    RecordReader reader(in, separator);
    Record record;
    QHash<qsizetype, int> counts;
    for (int seen = 0; seen < kRecordsToTell && reader.next(record);) {
        const std::optional<QStringList> fields =
            record.tooLong ? std::nullopt : decodedFields(record, scan);
        if (!fields || blank(*fields)) {
            continue;
        }
        ++seen;
        if (fields->size() > 1) {
            ++counts[fields->size()];
        }
    }
    int best = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        best = std::max(best, it.value() * int(std::min<qsizetype>(it.key(), 8)));
    }
    return best;
}

} // namespace

QString separatorName(char separator) {
    switch (separator) {
    case ';':
        return QStringLiteral("punto y coma");
    case ',':
        return QStringLiteral("coma");
    case '\t':
        return QStringLiteral("tabulador");
    default:
        return QStringLiteral("barra vertical");
    }
}

CsvTableRead readCsvTable(QIODevice& in) {
    if (in.isSequential()) {
        throw SheetError(QStringLiteral("no es un archivo normal"));
    }
    const qint64 origin = in.pos();
    const EncodingScan scan = scanEncoding(in);
    if (scan.failed) {
        throw SheetError(QStringLiteral("no se ha podido leer entero"));
    }
    if (scan.encoding == TextEncoding::Utf16) {
        throw SheetError(QStringLiteral(
            "está en UTF-16 (Unicode), una codificación que aquí no se lee; guárdelo como CSV "
            "en UTF-8 y vuelva a importarlo"));
    }
    const qint64 start = origin + (scan.byteOrderMark ? 3 : 0);
    CsvTableRead result;
    int bestScore = 0;
    for (const char separator : kSeparators) {
        const int score = splitScore(in, start, scan, separator);
        if (score > bestScore) {
            bestScore = score;
            result.separator = separator;
        }
    }
    if (!in.seek(start)) {
        throw SheetError(QStringLiteral("no se ha podido leer entero"));
    }
    RecordReader reader(in, result.separator);
    Record record;
    qint64 bytes = 0;
    while (reader.next(record)) {
        if (record.tooLong) {
            result.refused.add(record.line, tooLongReason());
            continue;
        }
        std::optional<QStringList> fields = decodedFields(record, scan);
        if (!fields) {
            result.refused.add(record.line, kNotUtf8);
            continue;
        }
        if (blank(*fields)) {
            continue;
        }
        if (fields->size() > kMostSheetColumns) {
            throw SheetError(QStringLiteral("la línea %1 tiene más de %2 columnas")
                                 .arg(formatCount(record.line), formatCount(kMostSheetColumns)));
        }
        if (qsizetype(result.table.rows.size()) >= kMostSheetRows) {
            throw SheetError(QStringLiteral("tiene más de %1 líneas, más de las que da un banco de "
                                            "una vez; divídalo en varios archivos")
                                 .arg(formatCount(kMostSheetRows)));
        }
        SheetRow row;
        row.line = record.line;
        row.cells.reserve(fields->size());
        for (QString& field : *fields) {
            bytes += field.size();
            row.cells.append(SheetCell{std::move(field), false});
        }
        if (bytes > kMostSheetBytes) {
            throw SheetError(QStringLiteral("tiene más texto del que se lee de un extracto"));
        }
        result.table.rows.push_back(std::move(row));
    }
    if (reader.failed()) {
        throw SheetError(QStringLiteral("no se ha podido leer entero"));
    }
    if (result.table.rows.empty()) {
        throw SheetError(QStringLiteral("está vacío"));
    }
    return result;
}

} // namespace velmora
