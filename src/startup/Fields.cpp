#include "startup/Fields.h"

#include "startup/AppState.h"
#include "ui/Formats.h"
#include "ui/MessageService.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

namespace velmora {

namespace {

const QString kDateMask = QStringLiteral("99/99/9999;_");
const QColor kWhite(255, 255, 255);

// While a field takes the focus back after a complaint, the field it takes it
// from must not complain in turn, or two bad dates would bounce the focus forever.
bool takingFocusBack = false;

} // namespace

void paintFieldBackground(QWidget& field, const QColor& colour) {
    QPalette palette = field.palette();
    palette.setColor(QPalette::Base, colour);
    field.setPalette(palette);
}

bool isWindowSwitch(Qt::FocusReason reason) {
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

DateField::DateField(const AppState& state, MessageService& messages, Mask mask, QWidget* parent)
    : QLineEdit(parent), state_(state), messages_(messages), mask_(mask) {
    if (mask_ == Mask::Always) {
        setInputMask(kDateMask);
    }
    paintFieldBackground(*this, kWhite);
}

std::optional<QDate> DateField::date() const {
    return parseDate(text());
}

bool DateField::checkDate() {
    if (date()) {
        return true;
    }
    complain();
    return false;
}

void DateField::complain() {
    complaintPending_ = false;
    messages_.inform(this, QStringLiteral("Ponga una fecha correcta"));
    paintFieldBackground(*this, state_.mainColor());
    takingFocusBack = true;
    setFocus(Qt::OtherFocusReason);
    takingFocusBack = false;
}

void DateField::focusInEvent(QFocusEvent* event) {
    if (mask_ == Mask::WhileFocused && inputMask().isEmpty()) {
        const QString current = text();
        setInputMask(kDateMask);
        setText(current);
    }
    QLineEdit::focusInEvent(event);
    paintFieldBackground(*this, state_.mainColor());
    selectAll();
    // A mouse click places the caret after focusing; select again once it has.
    QTimer::singleShot(0, this, [field = QPointer<DateField>(this)] {
        if (field && field->hasFocus()) {
            field->selectAll();
        }
    });
}

void DateField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (isWindowSwitch(event->reason()) || takingFocusBack) {
        return;
    }
    if (!date()) {
        // Told after the focus change has finished, never from inside it.
        if (!complaintPending_) {
            complaintPending_ = true;
            QTimer::singleShot(0, this, [field = QPointer<DateField>(this)] {
                if (field && field->complaintPending_) {
                    field->complain();
                }
            });
        }
        return;
    }
    paintFieldBackground(*this, kWhite);
    if (mask_ == Mask::WhileFocused) {
        const QString current = text();
        setInputMask(QString());
        setText(current);
    }
}

void DateField::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        focusNextChild();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

FilterField::FilterField(const AppState& state, OnLeave onLeave, QWidget* parent)
    : QLineEdit(parent), state_(state), onLeave_(onLeave) {}

void FilterField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    paintFieldBackground(*this, state_.mainColor());
}

void FilterField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (isWindowSwitch(event->reason())) {
        return;
    }
    if (onLeave_ == OnLeave::Hide) {
        hide();
    } else {
        paintFieldBackground(*this, kWhite);
    }
}

} // namespace velmora
