#include "entries/MovementRule.h"

namespace velmora {

std::optional<QString> classifyMovement(const QString& goesIntoKind,
                                        const QString& comesOutOfKind) {
    const QString pair = goesIntoKind + comesOutOfKind;
    if (pair == QLatin1String("CI")) {
        return QStringLiteral("I");
    }
    if (pair == QLatin1String("GC")) {
        return QStringLiteral("G");
    }
    if (pair == QLatin1String("CC") || pair == QLatin1String("II") || pair == QLatin1String("GG")) {
        return QStringLiteral("T");
    }
    return std::nullopt;
}

} // namespace velmora
