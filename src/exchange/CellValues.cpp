#include "exchange/CellValues.h"

#include "store/Amount.h"

#include <QRegularExpression>

#include <cmath>

namespace velmora {

namespace {

QString quoted(const QString& text) {
    return QStringLiteral("«%1»").arg(text);
}

// The text without currency, spaces and sign marks: what is left are the digits
// and the marks between them.
struct BareAmount {
    QString digits;
    bool negative = false;
    bool valid = true;
};

BareAmount bare(const QString& cell) {
    BareAmount result;
    QString text = cell.trimmed();
    for (const QString& currency : {QStringLiteral("€"), QStringLiteral("EUR")}) {
        text.remove(currency, Qt::CaseInsensitive);
    }
    text = text.trimmed();
    if (text.startsWith(QLatin1Char('(')) && text.endsWith(QLatin1Char(')'))) {
        result.negative = true;
        text = text.mid(1, text.size() - 2).trimmed();
    }
    // U+2212 is the minus sign of typeset figures; a few banks put the sign last.
    const auto isMinus = [](QChar c) { return c == QLatin1Char('-') || c == QChar(0x2212); };
    if (!text.isEmpty() && (isMinus(text.front()) || text.front() == QLatin1Char('+'))) {
        result.negative = result.negative != isMinus(text.front());
        text.remove(0, 1);
    } else if (!text.isEmpty() && isMinus(text.back())) {
        result.negative = !result.negative;
        text.chop(1);
    }
    for (const QChar c : text) {
        // Spaces, also the narrow ones, group thousands in some exports.
        if (c.isSpace() || c == QChar(0x202F)) {
            continue;
        }
        if (!c.isDigit() && c != QLatin1Char('.') && c != QLatin1Char(',')) {
            result.valid = false;
            return result;
        }
        result.digits.append(c);
    }
    result.valid = !result.digits.isEmpty();
    return result;
}

// The decimal mark the text itself shows, if any.
std::optional<QChar> plainMark(const QString& digits) {
    const qsizetype comma = digits.lastIndexOf(QLatin1Char(','));
    const qsizetype point = digits.lastIndexOf(QLatin1Char('.'));
    if (comma >= 0 && point >= 0) {
        return comma > point ? QLatin1Char(',') : QLatin1Char('.');
    }
    const qsizetype at = std::max(comma, point);
    if (at < 0) {
        return std::nullopt;
    }
    const QChar mark = digits.at(at);
    if (digits.count(mark) > 1) {
        return mark == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',');
    }
    const qsizetype after = digits.size() - at - 1;
    if (after == 3) {
        return std::nullopt; // "1.234": a thousand or one and a bit
    }
    return mark;
}

} // namespace

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

void DecimalMarkVote::see(const SheetCell& cell) {
    if (cell.number) {
        return;
    }
    const BareAmount amount = bare(cell.text);
    if (!amount.valid) {
        return;
    }
    if (const std::optional<QChar> mark = plainMark(amount.digits)) {
        ++(*mark == QLatin1Char(',') ? comma_ : point_);
    }
}

std::variant<qint64, QString> readBankAmount(const SheetCell& cell, DecimalMark mark) {
    const QString text = cell.text.trimmed();
    if (text.isEmpty()) {
        return QStringLiteral("falta el importe");
    }
    const auto beyond = [&text](bool negative) {
        return QStringLiteral("el importe %1 pasa del límite de %2%3")
            .arg(quoted(text), negative ? QStringLiteral("-") : QString(),
                 formatCents(kMaxAmountCents));
    };
    if (cell.number) {
        bool ok = false;
        const double value = text.toDouble(&ok);
        const std::optional<qint64> cents = ok ? amountCents(value) : std::nullopt;
        if (!ok || !std::isfinite(value)) {
            return QStringLiteral("el importe %1 no es un número").arg(quoted(text));
        }
        if (!cents || *cents > kMaxAmountCents || *cents < -kMaxAmountCents) {
            return beyond(value < 0);
        }
        return *cents;
    }
    const BareAmount amount = bare(text);
    if (!amount.valid) {
        return QStringLiteral("el importe %1 no es un número").arg(quoted(text));
    }
    const QChar decimal =
        plainMark(amount.digits)
            .value_or(mark == DecimalMark::Comma ? QLatin1Char(',') : QLatin1Char('.'));
    const qsizetype at = amount.digits.lastIndexOf(decimal);
    QString whole = at < 0 ? amount.digits : amount.digits.left(at);
    const QString fraction = at < 0 ? QString() : amount.digits.mid(at + 1);
    whole.remove(decimal == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(','));
    if (whole.contains(decimal) || fraction.contains(QLatin1Char('.')) ||
        fraction.contains(QLatin1Char(',')) || (whole.isEmpty() && fraction.isEmpty())) {
        return QStringLiteral("el importe %1 no es un número").arg(quoted(text));
    }
    const std::optional<qint64> cents = centsOfDigits(amount.negative, whole, fraction);
    if (!cents || *cents > kMaxAmountCents || *cents < -kMaxAmountCents) {
        return beyond(amount.negative);
    }
    return *cents;
}

std::variant<QDate, QString> readBankDate(const SheetCell& cell, bool date1904) {
    const QString text = cell.text.trimmed();
    if (text.isEmpty()) {
        return QStringLiteral("falta la fecha");
    }
    if (cell.number) {
        bool ok = false;
        const double serial = text.toDouble(&ok);
        // Day 1 is 1 January 1900 (or 2 January 1904); a serial past 31/12/9999
        // is no date.
        if (ok && serial >= 1 && serial < 2958466) {
            const QDate origin = date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
            return origin.addDays(qint64(std::floor(serial)));
        }
        return QStringLiteral("la fecha %1 no es una fecha").arg(quoted(text));
    }
    static const QRegularExpression dayFirst(
        QStringLiteral("^(\\d{1,2})([/.-])(\\d{1,2})\\2(\\d{4}|\\d{2})(?:[ T].*)?$"));
    static const QRegularExpression yearFirst(
        QStringLiteral("^(\\d{4})([/-])(\\d{1,2})\\2(\\d{1,2})(?:[ T].*)?$"));
    int year = 0;
    int month = 0;
    int day = 0;
    if (const QRegularExpressionMatch m = dayFirst.match(text); m.hasMatch()) {
        day = m.captured(1).toInt();
        month = m.captured(3).toInt();
        year = m.captured(4).toInt();
        if (m.captured(4).size() == 2) {
            year += 2000;
        }
    } else if (const QRegularExpressionMatch iso = yearFirst.match(text); iso.hasMatch()) {
        year = iso.captured(1).toInt();
        month = iso.captured(3).toInt();
        day = iso.captured(4).toInt();
    } else {
        return QStringLiteral("la fecha %1 no se entiende; se esperaba dd/mm/aaaa o aaaa-mm-dd")
            .arg(quoted(text.left(40)));
    }
    const QDate date(year, month, day);
    if (!date.isValid()) {
        return QStringLiteral("la fecha %1 no existe").arg(quoted(text));
    }
    return date;
}

} // namespace velmora
