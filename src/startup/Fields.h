#pragma once

// The input fields every window shares: the field with the focus is painted in
// the main colour, Enter moves on as Tab does, and a date or amount field keeps
// the focus until it holds a valid value.

#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <functional>
#include <optional>

namespace velmora {

struct AppState;
class MessageService;

void paintFieldBackground(QWidget& field, const QColor& colour);
bool isWindowSwitch(Qt::FocusReason reason);
bool isEnter(const QKeyEvent& event);

// Tells the user and takes the focus back when a field is left holding an
// invalid value. The message comes after the focus change has finished, never
// from inside it.
class LeaveCheck {
public:
    LeaveCheck(QWidget& field, const AppState& state, MessageService& messages, QString message,
               std::function<bool()> valid);

    // On leaving: true when the value is valid; otherwise a complaint follows.
    bool fieldLeft(Qt::FocusReason reason);
    // True when valid; otherwise complains at once and takes the focus back.
    bool checkNow();

private:
    void complain();

    QWidget& field_;
    const AppState& state_;
    MessageService& messages_;
    QString message_;
    std::function<bool()> valid_;
    bool pending_ = false;
};

class DateField : public QLineEdit {
    Q_OBJECT
public:
    // Always: the "99/99/9999" mask stays; WhileFocused: it is set on each focus
    // and removed once a valid date is left, so the date reads as plain text;
    // FromFocus: it is set on focus and then stays.
    enum class Mask { Always, WhileFocused, FromFocus };

    DateField(const AppState& state, MessageService& messages, Mask mask,
              QWidget* parent = nullptr);

    std::optional<QDate> date() const;
    // False, after "Ponga una fecha correcta" and taking the focus back, when the
    // text is not a date.
    bool checkDate() { return check_.checkNow(); }

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    const AppState& state_;
    Mask mask_;
    LeaveCheck check_;
};

// An amount as a Spanish user types it; "." types the decimal comma.
class AmountField : public QLineEdit {
    Q_OBJECT
public:
    AmountField(const AppState& state, MessageService& messages, QWidget* parent = nullptr);

    std::optional<double> amount() const;
    // False, after "Ponga un nº correcto" and taking the focus back, when the text
    // is not an amount.
    bool checkAmount() { return check_.checkNow(); }

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    const AppState& state_;
    LeaveCheck check_;
};

// A one-line text that is saved: a name, a concept.
class TextField : public QLineEdit {
    Q_OBJECT
public:
    TextField(const AppState& state, QWidget* parent = nullptr);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    const AppState& state_;
};

// A description of several lines; Enter starts a new line. Never holds more
// than its maximum of characters, however the text arrives.
class DescriptionField : public QPlainTextEdit {
    Q_OBJECT
public:
    DescriptionField(const AppState& state, int maxLength, QWidget* parent = nullptr);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void keepWithinLength();

    const AppState& state_;
    int maxLength_;
};

// A drop-down list of fixed choices. Enter moves to the next field, or runs the
// window's own action when one is set.
class ListField : public QComboBox {
    Q_OBJECT
public:
    explicit ListField(QWidget* parent = nullptr);
    void setEnterAction(std::function<void()> action) { enterAction_ = std::move(action); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<void()> enterAction_;
};

class FilterField : public QLineEdit {
    Q_OBJECT
public:
    // Hide: a header filter box that disappears when left (its colour stays);
    // White: a box that stays and turns white again.
    enum class OnLeave { Hide, White };

    FilterField(const AppState& state, OnLeave onLeave, QWidget* parent = nullptr);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    const AppState& state_;
    OnLeave onLeave_;
};

} // namespace velmora
