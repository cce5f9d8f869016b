#include "support/WindowSpace.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QTest>

namespace velmora::test {

namespace {

QRect inWindow(const QWidget& widget, const QWidget& window) {
    return QRect(widget.mapTo(&window, QPoint(0, 0)), widget.size());
}

QString nameOf(const QWidget& widget) {
    return widget.objectName().isEmpty() ? QString::fromLatin1(widget.metaObject()->className())
                                         : widget.objectName();
}

} // namespace

void resizeAndSettle(QWidget& window, QSize size) {
    window.resize(size);
    if (window.layout() != nullptr) {
        window.layout()->activate();
    }
    QApplication::processEvents();
    QApplication::processEvents();
}

QStringList buttonsOutOfReach(const QWidget& window) {
    QStringList out;
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        // Buttons of a closed-up popup or of a hidden page belong to no command in sight.
        if (button->window() != &window || !button->isVisibleTo(&window) ||
            nameOf(*button).startsWith(QLatin1String("qt_"))) {
            continue;
        }
        if (!window.rect().contains(inWindow(*button, window)) || button->width() <= 0) {
            out.append(nameOf(*button));
        }
    }
    return out;
}

QStringList cutLabels(const QWidget& window) {
    QStringList out;
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->window() != &window || !label->isVisibleTo(&window) || label->text().isEmpty()) {
            continue;
        }
        const QSize needed =
            label->wordWrap() ? QSize(0, label->heightForWidth(label->width())) : label->sizeHint();
        const QRect shown = inWindow(*label, window);
        if (label->width() < needed.width() || label->height() < needed.height() ||
            !window.rect().contains(shown)) {
            out.append(nameOf(*label));
        }
    }
    return out;
}

} // namespace velmora::test
