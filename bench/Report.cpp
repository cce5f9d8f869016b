#include "Report.h"

#include <QStringList>

#include <algorithm>

namespace velmora::bench {

namespace {

QString number(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

} // namespace

QString Target::text() const {
    const QString limitText = QString::number(limit, 'g', 6);
    return (kind == Kind::AtMost ? QStringLiteral("<= ") : QStringLiteral("< ")) + limitText;
}

void Report::add(const QString& key, double value, int decimals, std::optional<Target> target) {
    figures_.push_back({key, value, decimals, target});
}

QString Report::table() const {
    const QString figureHeader = QStringLiteral("figure");
    const QString valueHeader = QStringLiteral("value");
    qsizetype keyWidth = figureHeader.size();
    qsizetype valueWidth = valueHeader.size();
    for (const Figure& f : figures_) {
        keyWidth = std::max(keyWidth, f.key.size());
        valueWidth = std::max(valueWidth, number(f.value, f.decimals).size());
    }

    QStringList lines;
    lines << figureHeader.leftJustified(keyWidth) + QStringLiteral("  ") +
                 valueHeader.rightJustified(valueWidth) + QStringLiteral("  target");
    lines << QString(keyWidth + valueWidth + 14, QLatin1Char('-'));
    for (const Figure& f : figures_) {
        QString line = f.key.leftJustified(keyWidth) + QStringLiteral("  ") +
                       number(f.value, f.decimals).rightJustified(valueWidth);
        if (f.target) {
            line += QStringLiteral("  ") + f.target->text().leftJustified(8) +
                    (f.target->met(f.value) ? QStringLiteral(" ok") : QStringLiteral(" NO"));
        }
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

QString Report::jsonLine() const {
    QStringList members;
    for (const Figure& f : figures_) {
        // Keys are plain identifiers of our own, so they need no escaping.
        members << QLatin1Char('"') + f.key + QStringLiteral("\":") + number(f.value, f.decimals);
    }
    return QLatin1Char('{') + members.join(QLatin1Char(',')) + QLatin1Char('}');
}

} // namespace velmora::bench
