#include "startup/Fields.h"

#include "startup/AppState.h"
#include "ui/Formats.h"
#include "ui/MessageService.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QSignalBlocker>
#include <QTimer>

namespace velmora {

namespace {

const QString kDateMask = QStringLiteral("99/99/9999;_");
const QColor kWhite(255, 255, 255);

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

void paintFieldBackground(QWidget& field, const QColor& colour) {
    QPalette palette = field.palette();
    palette.setColor(QPalette::Base, colour);
    field.setPalette(palette);
}

bool isWindowSwitch(Qt::FocusReason reason) {
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

bool isEnter(const QKeyEvent& event) {
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

LeaveCheck::LeaveCheck(QWidget& field, const AppState& state, MessageService& messages,
                       QString message, std::function<bool()> valid)
    : field_(field), state_(state), messages_(messages), message_(std::move(message)),
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
    paintFieldBackground(field_, state_.mainColor());
    takingFocusBack = true;
    field_.setFocus(Qt::OtherFocusReason);
    takingFocusBack = false;
}

DateField::DateField(const AppState& state, MessageService& messages, Mask mask, QWidget* parent)
    : QLineEdit(parent), state_(state), mask_(mask),
      check_(*this, state, messages, QStringLiteral("Ponga una fecha correcta"),
             [this] { return date().has_value(); }) {
    if (mask_ == Mask::Always) {
        setInputMask(kDateMask);
    }
    paintFieldBackground(*this, kWhite);
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
    QLineEdit::focusInEvent(event);
    paintFieldBackground(*this, state_.mainColor());
    afterFocus(this, [](DateField& field) { field.selectAll(); });
}

void DateField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (!check_.fieldLeft(event->reason())) {
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
    if (isEnter(*event)) {
        focusNextChild();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

AmountField::AmountField(const AppState& state, MessageService& messages, QWidget* parent)
    : QLineEdit(parent), state_(state),
      check_(*this, state, messages, QStringLiteral("Ponga un nº correcto"),
             [this] { return amount().has_value(); }) {
    paintFieldBackground(*this, kWhite);
}

std::optional<double> AmountField::amount() const {
    return parseAmount(text());
}

void AmountField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    paintFieldBackground(*this, state_.mainColor());
    afterFocus(this, [](AmountField& field) { field.selectAll(); });
}

void AmountField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (check_.fieldLeft(event->reason())) {
        paintFieldBackground(*this, kWhite);
    }
}

void AmountField::keyPressEvent(QKeyEvent* event) {
    if (isEnter(*event)) {
        focusNextChild();
        return;
    }
    if (event->text() == QLatin1String(".")) {
        QKeyEvent comma(event->type(), Qt::Key_Comma, event->modifiers(), QStringLiteral(","),
                        event->isAutoRepeat(), static_cast<ushort>(event->count()));
        QLineEdit::keyPressEvent(&comma);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

TextField::TextField(const AppState& state, QWidget* parent) : QLineEdit(parent), state_(state) {
    paintFieldBackground(*this, kWhite);
}

void TextField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    paintFieldBackground(*this, state_.mainColor());
    afterFocus(this, [](TextField& field) { field.selectAll(); });
}

void TextField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (!isWindowSwitch(event->reason())) {
        paintFieldBackground(*this, kWhite);
    }
}

void TextField::keyPressEvent(QKeyEvent* event) {
    if (isEnter(*event)) {
        focusNextChild();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

DescriptionField::DescriptionField(const AppState& state, int maxLength, QWidget* parent)
    : QPlainTextEdit(parent), state_(state), maxLength_(maxLength) {
    setTabChangesFocus(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    paintFieldBackground(*this, kWhite);
    connect(this, &QPlainTextEdit::textChanged, this, &DescriptionField::keepWithinLength);
}

void DescriptionField::keepWithinLength() {
    const QString text = toPlainText();
    if (text.size() <= maxLength_) {
        return;
    }
    const QSignalBlocker blocker(this);
    setPlainText(text.left(maxLength_));
    moveCursor(QTextCursor::End);
}

void DescriptionField::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    paintFieldBackground(*this, state_.mainColor());
    afterFocus(this, [](DescriptionField& field) { field.moveCursor(QTextCursor::End); });
}

void DescriptionField::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    if (!isWindowSwitch(event->reason())) {
        paintFieldBackground(*this, kWhite);
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
