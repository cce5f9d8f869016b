#include "exchange/Csv.h"

#include "store/Amount.h"

#include <QFileDevice>
#include <QIODevice>
#include <QRegularExpression>
#include <QStringDecoder>

#include <array>
#include <optional>
#include <variant>

namespace velmora {

namespace {

constexpr int kFieldCount = 5;

const std::array<QString, kFieldCount> kHeaderNames = {
    QStringLiteral("Fecha"), QStringLiteral("Concepto"), QStringLiteral("Entra en"),
    QStringLiteral("Sale de"), QStringLiteral("Importe")};

QChar separatorOf(CsvDialect dialect) {
    return dialect == CsvDialect::Spanish ? QLatin1Char(';') : QLatin1Char(',');
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

// ---- Decoding ----

// Windows-1252 where it differs from Latin-1; 0 for its five unused bytes.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

QString fromWindows1252(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        const char16_t high = code >= 0x80 && code < 0xA0 ? kWindows1252High[code - 0x80] : 0;
        text.append(high != 0 ? QChar(high) : QChar(code));
    }
    return text;
}

QString decoded(QByteArray bytes) {
    const bool marked = bytes.startsWith("\xEF\xBB\xBF");
    if (marked) {
        bytes.remove(0, 3);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError() && !marked) {
        return fromWindows1252(bytes);
    }
    return text;
}

// ---- Splitting into records ----

struct Record {
    int line = 0;
    QStringList fields;
    bool unterminated = false;    // a quoted field ran to the end of the file
    bool textAfterQuotes = false; // "abc"x

    bool blank() const {
        for (const QString& field : fields) {
            if (!field.trimmed().isEmpty()) {
                return false;
            }
        }
        return true;
    }
};

// RFC 4180 records, also with LF or a lone CR as the line end. Line breaks inside
// quotes stay in the field as they are and still count as lines, so that the
// records after them keep their true line numbers.
class RecordReader {
public:
    RecordReader(const QString& text, QChar separator) : text_(text), separator_(separator) {}

    bool atEnd() const { return pos_ >= text_.size(); }

    Record next() {
        enum class State { FieldStart, Unquoted, Quoted, AfterQuotes };
        Record record;
        record.line = line_;
        QString field;
        State state = State::FieldStart;
        const qsizetype size = text_.size();
        while (pos_ < size) {
            const QChar c = text_.at(pos_);
            if (state == State::Quoted) {
                if (c == QLatin1Char('"')) {
                    if (pos_ + 1 < size && text_.at(pos_ + 1) == QLatin1Char('"')) {
                        field.append(c);
                        pos_ += 2;
                    } else {
                        state = State::AfterQuotes;
                        ++pos_;
                    }
                    continue;
                }
                if (isLineEnd(pos_)) {
                    ++line_;
                }
                field.append(c);
                ++pos_;
                continue;
            }
            if (c == separator_) {
                record.fields.append(field);
                field.clear();
                state = State::FieldStart;
                ++pos_;
                continue;
            }
            if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
                pos_ += c == QLatin1Char('\r') && pos_ + 1 < size &&
                                text_.at(pos_ + 1) == QLatin1Char('\n')
                            ? 2
                            : 1;
                ++line_;
                record.fields.append(field);
                return record;
            }
            if (state == State::FieldStart && c == QLatin1Char('"')) {
                state = State::Quoted;
                ++pos_;
                continue;
            }
            if (state == State::AfterQuotes) {
                record.textAfterQuotes = true;
            } else {
                state = State::Unquoted;
            }
            field.append(c);
            ++pos_;
        }
        record.unterminated = state == State::Quoted;
        record.fields.append(field);
        return record;
    }

private:
    // The last character of a line end: LF, or a CR not followed by LF.
    bool isLineEnd(qsizetype at) const {
        const QChar c = text_.at(at);
        return c == QLatin1Char('\n') ||
               (c == QLatin1Char('\r') &&
                (at + 1 >= text_.size() || text_.at(at + 1) != QLatin1Char('\n')));
    }

    const QString& text_;
    const QChar separator_;
    qsizetype pos_ = 0;
    int line_ = 1;
};

// ---- Header ----

// "Entra en", "ENTRA EN" and "Entrá en" are the same name.
QString plainName(const QString& name) {
    const QString decomposed = name.trimmed().normalized(QString::NormalizationForm_D);
    QString plain;
    plain.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing) {
            plain.append(c);
        }
    }
    return plain.toCaseFolded();
}

bool isHeader(const Record& record) {
    if (record.fields.size() != kFieldCount) {
        return false;
    }
    for (int i = 0; i < kFieldCount; ++i) {
        if (plainName(record.fields.at(i)) != plainName(kHeaderNames.at(i))) {
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

// Whole cents from the digits themselves, rounded half away from zero as every
// amount in the program is; nothing beyond qint64's reach.
std::optional<qint64> centsOfDigits(bool negative, QString whole, const QString& fraction) {
    while (whole.startsWith(QLatin1Char('0'))) {
        whole.remove(0, 1);
    }
    if (whole.size() > 15) {
        return std::nullopt;
    }
    qint64 cents = whole.isEmpty() ? 0 : whole.toLongLong() * 100;
    const QString hundredths = fraction.left(2).leftJustified(2, QLatin1Char('0'));
    cents += hundredths.toLongLong();
    if (fraction.size() > 2 && fraction.at(2) >= QLatin1Char('5')) {
        ++cents;
    }
    return negative ? -cents : cents;
}

// The amount in cents, or the reason why there is none.
std::variant<qint64, QString> readAmount(const QString& field, CsvDialect dialect) {
    // The same texts parseAmount takes when the user types an amount.
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

// The row, or the reason why the record is none.
std::variant<ImportedRow, QString> readRow(const Record& record, CsvDialect dialect) {
    if (record.unterminated) {
        return QStringLiteral("las comillas que se abren aquí no se cierran antes del final "
                              "del archivo");
    }
    if (record.fields.size() != kFieldCount) {
        return fieldCountReason(record.fields.size());
    }
    if (record.textAfterQuotes) {
        return QStringLiteral("hay texto entre unas comillas de cierre y el separador");
    }
    const std::variant<QDate, QString> date = readDate(record.fields.at(0), dialect);
    if (const QString* reason = std::get_if<QString>(&date)) {
        return *reason;
    }
    const std::variant<qint64, QString> cents = readAmount(record.fields.at(4), dialect);
    if (const QString* reason = std::get_if<QString>(&cents)) {
        return *reason;
    }
    ImportedRow row;
    row.line = record.line;
    row.date = std::get<QDate>(date);
    row.description = record.fields.at(1);
    row.goesInto = record.fields.at(2);
    row.comesOutOf = record.fields.at(3);
    row.cents = std::get<qint64>(cents);
    return row;
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

CsvRead readCsv(QIODevice& in) {
    CsvRead result;
    const QString text = decoded(in.readAll());
    if (text.isEmpty()) {
        result.failure = QStringLiteral("El archivo está vacío.");
        return result;
    }
    // The header alone tells the dialect: none of its names holds either separator.
    for (const CsvDialect dialect : {CsvDialect::Spanish, CsvDialect::International}) {
        RecordReader reader(text, separatorOf(dialect));
        if (!isHeader(reader.next())) {
            continue;
        }
        result.dialect = dialect;
        while (!reader.atEnd()) {
            const Record record = reader.next();
            if (record.blank() && !record.unterminated) {
                continue;
            }
            std::variant<ImportedRow, QString> row = readRow(record, dialect);
            if (ImportedRow* read = std::get_if<ImportedRow>(&row)) {
                result.rows.append(std::move(*read));
            } else {
                result.refused.append({record.line, std::get<QString>(row)});
            }
        }
        return result;
    }
    result.failure = QStringLiteral(
        "La primera línea no es la cabecera de un archivo de movimientos. Debe ser "
        "«Fecha;Concepto;Entra en;Sale de;Importe» o la misma con comas en lugar de punto "
        "y coma.");
    return result;
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
                            quoted(description) + ';' + quoted(goesInto) + ';' +
                            quoted(comesOutOf) + ';' + plainAmount(cents) + "\r\n";
    write(line);
}

bool CsvWriter::finish() {
    if (auto* file = qobject_cast<QFileDevice*>(&out_); file != nullptr && ok_) {
        ok_ = file->flush();
    }
    return ok_;
}

} // namespace velmora
