#include "ui/Formats.h"

#include <QRegularExpression>

namespace velmora {

QString formatAmount(double value) {
    // 'f' rounds the binary value to the nearest hundredth as printf does.
    QString digits = QString::number(value, 'f', 2);
    bool negative = digits.startsWith(QLatin1Char('-'));
    if (negative) {
        digits.remove(0, 1);
    }
    if (digits == QLatin1String("0.00")) {
        negative = false;
    }
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    const QString whole = digits.left(point);
    const QString decimals = digits.mid(point + 1);
    QString grouped;
    grouped.reserve(whole.size() + whole.size() / 3 + 4);
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) {
            grouped.append(QLatin1Char('.'));
        }
        grouped.append(whole.at(i));
    }
    return (negative ? QStringLiteral("-") : QString()) + grouped + QLatin1Char(',') + decimals;
}

QString formatDate(const QDate& date) {
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

std::optional<QDate> parseDate(const QString& text) {
    static const QRegularExpression shape(QStringLiteral("^(\\d{2})/(\\d{2})/(\\d{4})$"));
    const QRegularExpressionMatch m = shape.match(text.trimmed());
    if (!m.hasMatch()) {
        return std::nullopt;
    }
    const QDate date(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    if (!date.isValid()) {
        return std::nullopt;
    }
    return date;
}

std::optional<double> parseAmount(const QString& text) {
    static const QRegularExpression shape(
        QStringLiteral("^[-+]?(\\d{1,3}(\\.\\d{3})+|\\d*)(,\\d*)?$"));
    static const QRegularExpression digit(QStringLiteral("\\d"));
    const QString trimmed = text.trimmed();
    if (!shape.match(trimmed).hasMatch() || !trimmed.contains(digit)) {
        return std::nullopt;
    }
    QString plain = trimmed;
    plain.remove(QLatin1Char('.'));
    plain.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = plain.toDouble(&ok);
    if (!ok) {
        return std::nullopt;
    }
    return value;
}

} // namespace velmora
