#include "ui/Palette.h"

#include "ui/Contrast.h"

#include <QWidget>

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

Palette::Palette(QObject* parent) : QObject(parent) {}

void Palette::setMain(qint32 value) {
    if (value != main_) {
        main_ = value;
        emit changed();
    }
}

void Palette::setSection(qint32 value) {
    if (value != section_) {
        section_ = value;
        emit changed();
    }
}

void paintBackground(QWidget& widget, const QColor& colour) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::WindowText, textOn(colour));
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

void paintFieldBackground(QWidget& field, const QColor& colour) {
    QPalette palette = field.palette();
    palette.setColor(QPalette::Base, colour);
    palette.setColor(QPalette::Text, textOn(colour));
    field.setPalette(palette);
}

} // namespace velmora
