#pragma once

// The colours every window paints with, in one place: the two the user chooses
// (the main colour for the focused field and every other grid row, the section
// colour for the information areas) and the fixed ones. Models and fields read
// it when they paint, and a change is announced, so that a colour picked once
// reaches every open window.

#include <QColor>
#include <QObject>

namespace velmora {

// Colours are stored as numbers with red in the lowest byte, then green, then blue.
QColor colourFromValue(qint32 value);
qint32 valueFromColour(const QColor& colour);

class Palette : public QObject {
    Q_OBJECT
public:
    explicit Palette(QObject* parent = nullptr);

    QColor main() const { return colourFromValue(main_); }
    QColor section() const { return colourFromValue(section_); }
    qint32 mainValue() const { return main_; }
    qint32 sectionValue() const { return section_; }
    void setMain(qint32 value);
    void setSection(qint32 value);

    // A data row of a list grid, counted from 0: the first white, the second in
    // the main colour, and so on.
    QColor band(int row) const { return row % 2 == 1 ? main() : white(); }

    static QColor white() { return {255, 255, 255}; }
    // Row numbers and the other cells the user cannot select.
    static QColor fixedCells() { return {240, 240, 240}; }
    // The amount of money that leaves: expenses in the entry list.
    static QColor negativeAmount() { return {255, 0, 0}; }
    // A field that shows a value the user cannot change.
    static QColor readOnlyField() { return {192, 192, 192}; }

signals:
    void changed();

private:
    qint32 main_ = 0;
    qint32 section_ = 0;
};

// Paints a label or frame's own background, for the information areas.
void paintBackground(QWidget& widget, const QColor& colour);
// Paints the background of a field's text.
void paintFieldBackground(QWidget& field, const QColor& colour);

} // namespace velmora
