#pragma once

// Text that can be read on whatever is painted under it. The program paints the
// user's colours and its own bands over a desktop palette it does not choose, so
// every text colour it draws is checked against the background under it and
// moved, only as far as needed, to a shade that reads.

#include <QColor>
#include <QVariant>

namespace velmora {

// The least contrast between a text and its background that reads comfortably.
inline constexpr double kReadableContrast = 4.5;

// Relative-luminance contrast of two colours, from 1 (the same) to 21 (black on
// white); the order does not matter.
double contrastRatio(const QColor& first, const QColor& second);

// wanted itself when it reads on background; otherwise the nearest darker or
// lighter shade of it that does.
QColor readableOn(const QColor& background, const QColor& wanted);

// Plain text on a background the program paints: black or white, whichever
// reads better.
QColor textOn(const QColor& background);

// A grid cell's text colour from the background and text colour its model
// describes (either may be unset): on a painted background the text reads on it;
// on none, a described colour reads on the desktop's own field colour, and plain
// text keeps the desktop's.
QVariant readableCellText(const QVariant& background, const QVariant& wanted);

} // namespace velmora
