#include "store/Formats.h"

#include <QRegularExpression>
#include <QStringList>

namespace velmora {

QString formatDate(const QDate& date) {
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

QString namedEntries(const std::vector<qint64>& ids) {
    constexpr size_t kNamed = 5;
    QStringList numbers;
    for (size_t i = 0; i < ids.size() && i < kNamed; ++i) {
        numbers.append(QString::number(ids[i]));
    }
    return numbers.join(QStringLiteral(", ")) +
           (ids.size() > kNamed ? QStringLiteral(" y otros") : QString());
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

} // namespace velmora
