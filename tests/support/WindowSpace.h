#pragma once

// What a window shows of itself at the size it has: the commands a user cannot
// reach, and the labels whose text does not fit.

#include <QSize>
#include <QStringList>

class QWidget;

namespace velmora::test {

// Resizes the window and lets its layouts settle.
void resizeAndSettle(QWidget& window, QSize size);

// The buttons of `window` that are hidden, or not wholly inside it.
QStringList buttonsOutOfReach(const QWidget& window);

// The visible labels of `window` cut at their right or bottom edge.
QStringList cutLabels(const QWidget& window);

} // namespace velmora::test
