#include "ui/clsMW.h"

#include "state/Logging.h"
#include "ui/MessageService.h"

#include <QAbstractScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

namespace velmora {

namespace {

const QString kClass = QStringLiteral("clsMW");
const QString kOperation = QStringLiteral("ssc_Subclass");

} // namespace

clsMW::clsMW(MessageService& messages, QObject* parent) : QObject(parent), messages_(messages) {}

clsMW::~clsMW() {
    for (const QPointer<QWidget>& widget : std::as_const(hooked_)) {
        if (widget) {
            for (QWidget* part : parts(*widget)) {
                part->removeEventFilter(this);
            }
        }
    }
}

QList<QWidget*> clsMW::parts(QWidget& widget) {
    QList<QWidget*> result{&widget};
    // A grid receives the wheel over its rows through its viewport and over its
    // scroll bar through the bar itself; both count as the grid.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(&widget)) {
        result << area->viewport() << area->verticalScrollBar();
    }
    return result;
}

bool clsMW::InitMouseWheel(QWidget* widget) {
    if (widget == nullptr) {
        fail(nullptr, QStringLiteral("Invalid window handle"));
        return false;
    }
    if (widget->thread() != thread()) {
        // Qt delivers no events to a filter living in another thread.
        fail(widget, QStringLiteral("Window handle belongs to another process"));
        return false;
    }
    if (hooked_.contains(widget)) {
        fail(widget, QStringLiteral("Window handle is already subclassed"));
        return false;
    }
    hooked_.append(widget);
    for (QWidget* part : parts(*widget)) {
        part->installEventFilter(this);
    }
    return true;
}

void clsMW::fail(QWidget* widget, const QString& message) {
    qCCritical(lcUi).noquote() << kClass + QLatin1Char('.') + kOperation + QStringLiteral(": ") +
                                      message;
    messages_.show(widget != nullptr ? widget->window() : nullptr,
                   Message{message + QLatin1Char('.'),
                           QStringLiteral("Error in ") + kClass + QLatin1Char('.') + kOperation,
                           MessageIcon::Warning});
}

bool clsMW::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Wheel) {
        return false;
    }
    const QPoint delta = static_cast<QWheelEvent*>(event)->angleDelta();
    if (delta.y() == 0 && delta.x() != 0) {
        return false; // a sideways tilt is not the wheel the grids answer
    }
    for (const QPointer<QWidget>& widget : std::as_const(hooked_)) {
        if (!widget || !parts(*widget).contains(watched)) {
            continue;
        }
        QAbstractSlider* bar = qobject_cast<QAbstractSlider*>(widget.data());
        if (auto* area = qobject_cast<QAbstractScrollArea*>(widget.data())) {
            bar = area->verticalScrollBar();
        }
        if (bar == nullptr) {
            return false;
        }
        // Only the sign counts: one event is one line, however far it turned.
        bar->triggerAction(delta.y() >= 0 ? QAbstractSlider::SliderSingleStepSub
                                          : QAbstractSlider::SliderSingleStepAdd);
        event->accept();
        return true;
    }
    return false;
}

} // namespace velmora
