#include "startup/AppState.h"

namespace velmora {

QColor colourFromValue(qint32 value) {
    const auto v = static_cast<quint32>(value);
    return QColor(static_cast<int>(v & 0xFFu), static_cast<int>((v >> 8) & 0xFFu),
                  static_cast<int>((v >> 16) & 0xFFu));
}

qint32 valueFromColour(const QColor& colour) {
    return static_cast<qint32>(static_cast<quint32>(colour.red()) |
                               (static_cast<quint32>(colour.green()) << 8) |
                               (static_cast<quint32>(colour.blue()) << 16));
}

Database& AppState::db() const {
    if (!connection) {
        throw DbError(QStringLiteral("usar la base de datos"),
                      QStringLiteral("la base de datos está cerrada"), 0);
    }
    return *connection;
}

} // namespace velmora
