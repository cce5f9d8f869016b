#pragma once

// Wheel scrolling for the list grids: Qt scrolls a grid by several lines per
// notch, and a fast turn by more still; the program's grids move one line per
// wheel event, up for a turn away from the user and down for one towards.
// The object watches the widgets it was given until it is destroyed.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace velmora {

class MessageService;

class clsMW : public QObject {
    Q_OBJECT
public:
    explicit clsMW(MessageService& messages, QObject* parent = nullptr);
    // Every widget hooked goes back to its own wheel handling.
    ~clsMW() override;

    // Hooks `widget`: a grid (any scroll area) moves one line per wheel event
    // over it and the event goes no further; a scroll bar moves one step;
    // anything else keeps its own handling. False, with the user told and the
    // failure logged, for no widget, one already hooked, or one this object
    // cannot watch from its thread.
    bool InitMouseWheel(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fail(QWidget* widget, const QString& message);
    // The widget, and the parts of a scroll area that receive its wheel events.
    static QList<QWidget*> parts(QWidget& widget);

    MessageService& messages_;
    QList<QPointer<QWidget>> hooked_;
};

} // namespace velmora
