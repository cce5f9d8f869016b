#include "ui/Fields.h"

#include "store/Amount.h"
#include "store/Formats.h"
#include "ui/MessageService.h"
#include "ui/Palette.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>

namespace velmora {

namespace {

const QString kDateMask = QStringLiteral("99/99/9999;_");

// While a field takes the focus back after a complaint, the field it takes it
// from must not complain in turn, or two bad values would bounce the focus forever.
bool takingFocusBack = false;

// A mouse click places the caret after the focus arrives; act again once it has.
template <typename Field, typename Action> void afterFocus(Field* field, Action action) {
    action(*field);
    QTimer::singleShot(0, field, [guard = QPointer<Field>(field), action] {
        if (guard && guard->hasFocus()) {
            action(*guard);
        }
    });
}

} // namespace

bool isWindowSwitch(Qt::FocusReason reason) {
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

bool isEnter(const QKeyEvent& event) {
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

bool isEnterPress(const QEvent& event) {
    return event.type() == QEvent::KeyPress && isEnter(static_cast<const QKeyEvent&>(event));
}

LeaveCheck::LeaveCheck(QWidget& field, const Palette& palette, MessageService& messages,
                       QString message, std::function<bool()> valid)
    : field_(field), palette_(palette), messages_(messages), message_(std::move(message)),
      valid_(std::move(valid)) {}

bool LeaveCheck::fieldLeft(Qt::FocusReason reason) {
    if (isWindowSwitch(reason) || takingFocusBack) {
        return false;
    }
    if (valid_()) {
        return true;
    }
    if (!pending_) {
        pending_ = true;
        QTimer::singleShot(0, &field_, [this, guard = QPointer<QWidget>(&field_)] {
            if (guard && pending_) {
                complain();
            }
        });
    }
    return false;
}

bool LeaveCheck::checkNow() {
    if (valid_()) {
        return true;
    }
    complain();
    return false;
}

void LeaveCheck::complain() {
    pending_ = false;
    messages_.inform(&field_, message_);
    paintFieldBackground(field_, palette_.main());
    takingFocusBack = true;
    field_.setFocus(Qt::OtherFocusReason);
    takingFocusBack = false;
}

TextField::TextField(const Palette& palette, QWidget* parent)
    : QLineEdit(parent), palette_(palette) {
    paintFieldBackground(*this, Palette::white());
}

void TextField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    paintFieldBackground(*this, palette_.main());
    afterFocus(this, [](TextField& field) { field.selectAll(); });
}

void TextField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (left(event->reason())) {
        paintFieldBackground(*this, Palette::white());
    }
}

bool TextField::left(Qt::FocusReason reason) {
    return !isWindowSwitch(reason);
}

void TextField::keyPressEvent(QKeyEvent* event) {
    if (isEnter(*event)) {
        focusNextChild();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void showStoredText(QLineEdit& field, const QString& text, int typingLimit) {
    field.setMaxLength(std::max(typingLimit, static_cast<int>(text.size())));
    field.setText(text);
}

DateField::DateField(const Palette& palette, MessageService& messages, Mask mask, QWidget* parent)
    : TextField(palette, parent), mask_(mask),
      check_(*this, palette, messages, QStringLiteral("Ponga una fecha correcta"),
             [this] { return date().has_value(); }) {
    if (mask_ == Mask::Always) {
        setInputMask(kDateMask);
    }
}

std::optional<QDate> DateField::date() const {
    return parseDate(text());
}

void DateField::focusInEvent(QFocusEvent* event) {
    if (mask_ != Mask::Always && inputMask().isEmpty()) {
        const QString current = text();
        setInputMask(kDateMask);
        setText(current);
    }
    clickSelectsAll_ = true;
    TextField::focusInEvent(event);
}

void DateField::keyPressEvent(QKeyEvent* event) {
    clickSelectsAll_ = false;
    selectedAllAt_.invalidate();
    TextField::keyPressEvent(event);
}

void DateField::mousePressEvent(QMouseEvent* event) {
    TextField::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && clickSelectsAll_) {
        clickSelectsAll_ = false;
        holdingSelection_ = true;
        selectAll();
        selectedAllAt_.start();
    }
}

void DateField::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && selectedAllAt_.isValid() &&
        !selectedAllAt_.hasExpired(QApplication::doubleClickInterval())) {
        holdingSelection_ = true;
        selectAll();
        return;
    }
    TextField::mouseDoubleClickEvent(event);
}

void DateField::mouseMoveEvent(QMouseEvent* event) {
    if (!holdingSelection_) {
        TextField::mouseMoveEvent(event);
    }
}

void DateField::mouseReleaseEvent(QMouseEvent* event) {
    TextField::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        holdingSelection_ = false;
    }
}

bool DateField::left(Qt::FocusReason reason) {
    if (!check_.fieldLeft(reason)) {
        return false;
    }
    if (mask_ == Mask::WhileFocused) {
        const QString current = text();
        setInputMask(QString());
        setText(current);
    }
    return true;
}

AmountField::AmountField(const Palette& palette, MessageService& messages, QWidget* parent)
    : TextField(palette, parent),
      check_(*this, palette, messages, QStringLiteral("Ponga un nº correcto"),
             [this] { return amount().has_value(); }) {
    setMaxLength(kAmountTextLength);
}

std::optional<double> AmountField::amount() const {
    return parseAmount(text());
}

bool AmountField::left(Qt::FocusReason reason) {
    return check_.fieldLeft(reason);
}

void AmountField::keyPressEvent(QKeyEvent* event) {
    if (event->text() == QLatin1String(".")) {
        QKeyEvent comma(event->type(), Qt::Key_Comma, event->modifiers(), QStringLiteral(","),
                        event->isAutoRepeat(), static_cast<ushort>(event->count()));
        TextField::keyPressEvent(&comma);
        return;
    }
    TextField::keyPressEvent(event);
}

DescriptionField::DescriptionField(const Palette& palette, int typingLimit, QWidget* parent)
    : QPlainTextEdit(parent), palette_(palette), typingLimit_(typingLimit),
      maxLength_(typingLimit) {
    setTabChangesFocus(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    paintFieldBackground(*this, Palette::white());
    connect(this, &QPlainTextEdit::textChanged, this, &DescriptionField::keepWithinLength);
}

void DescriptionField::showStoredText(const QString& text) {
    maxLength_ = std::max(typingLimit_, static_cast<int>(text.size()));
    setPlainText(text);
}

void DescriptionField::keepWithinLength() {
    const int excess = static_cast<int>(toPlainText().size()) - maxLength_;
    if (excess <= 0) {
        return;
    }
    // What was just typed or pasted ends at the cursor: its tail goes, and the
    // text around it stays as it was. A text set as a whole leaves the cursor at
    // its start; then its own tail goes.
    const QSignalBlocker blocker(this);
    QTextCursor cursor = textCursor();
    int end = cursor.position();
    if (end < excess) {
        cursor.movePosition(QTextCursor::End);
        end = cursor.position();
    }
    cursor.setPosition(end - excess);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    setTextCursor(cursor);
}

void DescriptionField::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    paintFieldBackground(*this, palette_.main());
    afterFocus(this, [](DescriptionField& field) { field.moveCursor(QTextCursor::End); });
}

void DescriptionField::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    if (!isWindowSwitch(event->reason())) {
        paintFieldBackground(*this, Palette::white());
    }
}

ListField::ListField(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
}

void ListField::keyPressEvent(QKeyEvent* event) {
    if (isEnter(*event)) {
        if (enterAction_) {
            enterAction_();
        } else {
            focusNextChild();
        }
        return;
    }
    QComboBox::keyPressEvent(event);
}

FilterField::FilterField(const Palette& palette, OnLeave onLeave, QWidget* parent)
    : QLineEdit(parent), palette_(palette), onLeave_(onLeave) {}

void FilterField::keyPressEvent(QKeyEvent* event) {
    // A box that stays on a dialog leaves Escape to the dialog, which closes.
    if (onLeave_ == OnLeave::Hide && event->key() == Qt::Key_Escape &&
        event->modifiers() == Qt::NoModifier) {
        event->accept();
        emit escapePressed();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void FilterField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    paintFieldBackground(*this, palette_.main());
}

void FilterField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (isWindowSwitch(event->reason())) {
        return;
    }
    if (onLeave_ == OnLeave::Hide) {
        hide();
    } else {
        paintFieldBackground(*this, Palette::white());
    }
}

} // namespace velmora
