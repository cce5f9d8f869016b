#include "exchange/Csv.h"

#include "exchange/CellValues.h"
#include "exchange/CsvRecords.h"
#include "exchange/TextEncoding.h"
#include "state/PathGate.h"
#include "store/Amount.h"
#include "store/SpanishText.h"

#include <QFileDevice>
#include <QIODevice>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <optional>
#include <variant>

namespace velmora {

namespace {

constexpr int kFieldCount = 5;

const std::array<QString, kFieldCount> kHeaderNames = {
    QStringLiteral("Fecha"), QStringLiteral("Concepto"), QStringLiteral("Entra en"),
    QStringLiteral("Sale de"), QStringLiteral("Importe")};

char separatorOf(CsvDialect dialect) {
    return dialect == CsvDialect::Spanish ? ';' : ',';
}

// ---- Texts a spreadsheet would run ----

// A formula's first character, or the apostrophe that marks text and so must be
// doubled to come back.
bool needsApostrophe(QStringView text) {
    if (text.isEmpty()) {
        return false;
    }
    switch (text.front().unicode()) {
    case '=':
    case '+':
    case '-':
    case '@':
    case '\t':
    case '\r':
    case '\'':
        return true;
    default:
        return false;
    }
}

QString neutralised(const QString& text) {
    return needsApostrophe(text) ? QLatin1Char('\'') + text : text;
}

// The text before neutralised(): the apostrophe it put in front taken off.
QString restored(QString text) {
    if (text.startsWith(QLatin1Char('\'')) && needsApostrophe(QStringView(text).mid(1))) {
        text.remove(0, 1);
    }
    return text;
}

// ---- Writing ----

QByteArray quoted(const QString& field) {
    const bool needsQuotes =
        field.contains(QLatin1Char(';')) || field.contains(QLatin1Char('"')) ||
        field.contains(QLatin1Char('\r')) || field.contains(QLatin1Char('\n')) ||
        (!field.isEmpty() && (field.front().isSpace() || field.back().isSpace()));
    if (!needsQuotes) {
        return field.toUtf8();
    }
    QString text = field;
    text.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return '"' + text.toUtf8() + '"';
}

// "1234,56": no grouping, so that a spreadsheet reads it as a number.
QByteArray plainAmount(qint64 cents) {
    // Unsigned, so that no value overflows on the way.
    const quint64 magnitude = cents < 0 ? 0 - static_cast<quint64>(cents) : cents;
    QByteArray text = QByteArray::number(magnitude / 100) + ',';
    text += static_cast<char>('0' + magnitude % 100 / 10);
    text += static_cast<char>('0' + magnitude % 10);
    return cents < 0 ? '-' + text : text;
}

// ---- Header ----

// "Entra en", "ENTRA EN" and "Entrá en" are the same name.
QString plainName(const QString& name) {
    return foldAccents(name.trimmed());
}

bool isHeader(const QStringList& fields) {
    if (fields.size() != kFieldCount) {
        return false;
    }
    for (int i = 0; i < kFieldCount; ++i) {
        if (plainName(fields.at(i)) != plainName(kHeaderNames.at(i))) {
            return false;
        }
    }
    return true;
}

// ---- Fields ----

QString quotedForUser(const QString& text) {
    return QStringLiteral("«%1»").arg(text);
}

// The date, or the reason why there is none.
std::variant<QDate, QString> readDate(const QString& field, CsvDialect dialect) {
    static const QRegularExpression spanish(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    const QString text = field.trimmed();
    if (text.isEmpty()) {
        return QStringLiteral("falta la fecha");
    }
    const bool isSpanish = dialect == CsvDialect::Spanish;
    const QRegularExpressionMatch m = (isSpanish ? spanish : iso).match(text);
    if (!m.hasMatch()) {
        return QStringLiteral("la fecha %1 no es válida; se esperaba %2")
            .arg(quotedForUser(text),
                 isSpanish ? QStringLiteral("dd/mm/aaaa") : QStringLiteral("aaaa-mm-dd"));
    }
    const int year = m.captured(isSpanish ? 3 : 1).toInt();
    const int month = m.captured(2).toInt();
    const int day = m.captured(isSpanish ? 1 : 3).toInt();
    const QDate date(year, month, day);
    if (!date.isValid()) {
        return QStringLiteral("la fecha %1 no existe").arg(text);
    }
    return date;
}

// The amount in cents, or the reason why there is none.
std::variant<qint64, QString> readAmount(const QString& field, CsvDialect dialect) {
    // The texts parseAmount takes when the user types an amount, but for commas
    // as grouping marks: only the "." key of the amount field makes those.
    static const QRegularExpression spanish(
        QStringLiteral("^([-+]?)(\\d{1,3}(?:\\.\\d{3})+|\\d*)(?:,(\\d*))?$"));
    static const QRegularExpression international(QStringLiteral("^([-+]?)(\\d+)(?:\\.(\\d+))?$"));
    const QString text = field.trimmed();
    if (text.isEmpty()) {
        return QStringLiteral("falta el importe");
    }
    const QRegularExpressionMatch m =
        (dialect == CsvDialect::Spanish ? spanish : international).match(text);
    QString whole = m.captured(2);
    whole.remove(QLatin1Char('.'));
    const QString fraction = m.captured(3);
    if (!m.hasMatch() || (whole.isEmpty() && fraction.isEmpty())) {
        return QStringLiteral("el importe %1 no es válido").arg(quotedForUser(text));
    }
    const bool negative = m.captured(1) == QLatin1String("-");
    const std::optional<qint64> cents = centsOfDigits(negative, whole, fraction);
    if (!cents || *cents > kMaxAmountCents || *cents < -kMaxAmountCents) {
        return QStringLiteral("el importe %1 pasa del límite de %2%3")
            .arg(quotedForUser(text), negative ? QStringLiteral("-") : QString(),
                 formatCents(kMaxAmountCents));
    }
    return *cents;
}

QString fieldCountReason(qsizetype count) {
    return QStringLiteral("tiene %1 %2 y se esperaban %3")
        .arg(count)
        .arg(count == 1 ? QStringLiteral("campo") : QStringLiteral("campos"))
        .arg(kFieldCount);
}

// Appends the record's row, or gives the reason why it is none. Our own
// layout's texts lose the apostrophe that kept a spreadsheet from running them.
std::optional<QString> readRow(const Record& record, const QStringList& fields, CsvDialect dialect,
                               ImportedRows& rows) {
    if (record.unterminated) {
        return QStringLiteral("las comillas que se abren aquí no se cierran antes del final "
                              "del archivo");
    }
    if (fields.size() != kFieldCount) {
        return fieldCountReason(fields.size());
    }
    if (record.textAfterQuotes) {
        return QStringLiteral("hay texto entre unas comillas de cierre y el separador");
    }
    const std::variant<QDate, QString> date = readDate(fields.at(0), dialect);
    if (const QString* reason = std::get_if<QString>(&date)) {
        return *reason;
    }
    const std::variant<qint64, QString> cents = readAmount(fields.at(4), dialect);
    if (const QString* reason = std::get_if<QString>(&cents)) {
        return *reason;
    }
    const auto text = [&](int field) {
        return dialect == CsvDialect::Spanish ? restored(fields.at(field)) : fields.at(field);
    };
    rows.append(record.line, std::get<QDate>(date), text(1), text(2), text(3),
                std::get<qint64>(cents));
    return std::nullopt;
}

// The rows after the header, or why the file cannot be read after all.
std::optional<QString> readRows(RecordReader& reader, const EncodingScan& scan, CsvDialect dialect,
                                qsizetype mostRows, CsvRead& result) {
    Record record;
    while (reader.next(record)) {
        if (record.tooLong) {
            result.refused.add(record.line, tooLongReason());
            continue;
        }
        const std::optional<QStringList> fields = decodedFields(record, scan);
        if (!fields) {
            result.refused.add(record.line, kNotUtf8);
            continue;
        }
        if (blank(*fields) && !record.unterminated) {
            continue;
        }
        if (const std::optional<QString> reason = readRow(record, *fields, dialect, result.rows)) {
            result.refused.add(record.line, *reason);
        }
        if (result.rows.size() > mostRows) {
            return QStringLiteral("El archivo tiene más de %1 movimientos, más de los que se "
                                  "importan de una vez. Divídalo en varios archivos.")
                .arg(formatCount(mostRows));
        }
    }
    if (reader.failed()) {
        return QStringLiteral("El archivo no se ha podido leer entero.");
    }
    return std::nullopt;
}

} // namespace

QString describeDialect(CsvDialect dialect) {
    switch (dialect) {
    case CsvDialect::Spanish:
        return QStringLiteral("separador punto y coma, decimales con coma, fechas dd/mm/aaaa");
    case CsvDialect::International:
        return QStringLiteral("separador coma, decimales con punto, fechas aaaa-mm-dd");
    }
    return {};
}

bool startsWithOurHeader(QIODevice& in) {
    const qint64 start = in.pos();
    bool ours = false;
    for (const CsvDialect dialect : {CsvDialect::Spanish, CsvDialect::International}) {
        if (!in.seek(start)) {
            break;
        }
        if (in.peek(3) == QByteArray("\xEF\xBB\xBF")) {
            in.skip(3);
        }
        RecordReader reader(in, separatorOf(dialect));
        Record first;
        if (reader.next(first) && !first.tooLong) {
            QStringList fields;
            for (const QByteArray& field : first.fields) {
                fields.append(QString::fromUtf8(field));
            }
            ours = isHeader(fields);
        }
        if (ours) {
            break;
        }
    }
    in.seek(start);
    return ours;
}

CsvRead readCsv(QIODevice& in, qsizetype mostRows) {
    CsvRead result;
    const auto fail = [&result](const QString& why) {
        result = CsvRead();
        result.failure = why;
        return std::move(result);
    };
    if (in.isSequential()) {
        return fail(QStringLiteral("El archivo no se puede leer: no es un archivo normal."));
    }
    const qint64 start = in.pos();
    const EncodingScan scan = scanEncoding(in);
    if (scan.failed) {
        return fail(QStringLiteral("El archivo no se ha podido leer entero."));
    }
    if (scan.encoding == TextEncoding::Utf16) {
        return fail(QStringLiteral(
            "El archivo está en UTF-16 (Unicode), una codificación que aquí no se lee. "
            "Guárdelo como CSV en UTF-8 (en la hoja de cálculo, «CSV UTF-8») y vuelva a "
            "importarlo."));
    }
    // The header alone tells the dialect: none of its names holds either separator.
    for (const CsvDialect dialect : {CsvDialect::Spanish, CsvDialect::International}) {
        if (!in.seek(start + (scan.byteOrderMark ? 3 : 0))) {
            return fail(QStringLiteral("El archivo no se ha podido leer entero."));
        }
        RecordReader reader(in, separatorOf(dialect));
        Record first;
        if (!reader.next(first)) {
            return fail(QStringLiteral("El archivo está vacío."));
        }
        const std::optional<QStringList> header =
            first.tooLong ? std::nullopt : decodedFields(first, scan);
        if (!header || !isHeader(*header)) {
            continue;
        }
        result.dialect = dialect;
        if (const std::optional<QString> failure =
                readRows(reader, scan, dialect, mostRows, result)) {
            return fail(*failure);
        }
        return result;
    }
    return fail(QStringLiteral(
        "La primera línea no es la cabecera de un archivo de movimientos. Debe ser "
        "«Fecha;Concepto;Entra en;Sale de;Importe» o la misma con comas en lugar de punto "
        "y coma."));
}

CsvWriter::CsvWriter(QIODevice& out) : out_(out) {}

void CsvWriter::write(const QByteArray& bytes) {
    if (ok_ && out_.write(bytes) != bytes.size()) {
        ok_ = false;
    }
}

void CsvWriter::writeHeader() {
    QByteArray line = "\xEF\xBB\xBF";
    for (int i = 0; i < kFieldCount; ++i) {
        if (i > 0) {
            line += ';';
        }
        line += kHeaderNames.at(i).toUtf8();
    }
    write(line + "\r\n");
}

void CsvWriter::writeRow(const QDate& date, const QString& description, const QString& goesInto,
                         const QString& comesOutOf, qint64 cents) {
    const QByteArray line = date.toString(QStringLiteral("dd/MM/yyyy")).toUtf8() + ';' +
                            quoted(neutralised(description)) + ';' + quoted(neutralised(goesInto)) +
                            ';' + quoted(neutralised(comesOutOf)) + ';' + plainAmount(cents) +
                            "\r\n";
    write(line);
}

bool CsvWriter::finish() {
    if (auto* file = qobject_cast<QFileDevice*>(&out_); file != nullptr && ok_) {
        ok_ = file->flush();
    }
    return ok_;
}

} // namespace velmora
