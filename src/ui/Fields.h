#pragma once

// The input fields every window shares: the field with the focus is painted in
// the main colour, Enter moves on as Tab does, and a date or amount field keeps
// the focus until it holds a valid value. A field's length limit holds for
// typing only: a value read from the file is shown whole, so that accepting a
// record unchanged writes back exactly what was read.

#include <QComboBox>
#include <QDate>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <functional>
#include <optional>

namespace velmora {

class MessageService;
class Palette;

bool isWindowSwitch(Qt::FocusReason reason);
bool isEnter(const QKeyEvent& event);
// For an event filter: the event is Enter pressed.
bool isEnterPress(const QEvent& event);

// Tells the user and takes the focus back when a field is left holding an
// invalid value. The message comes after the focus change has finished, never
// from inside it.
class LeaveCheck {
public:
    LeaveCheck(QWidget& field, const Palette& palette, MessageService& messages, QString message,
               std::function<bool()> valid);

    // On leaving: true when the value is valid; otherwise a complaint follows.
    bool fieldLeft(Qt::FocusReason reason);
    // True when valid; otherwise complains at once and takes the focus back.
    bool checkNow();

private:
    void complain();

    QWidget& field_;
    const Palette& palette_;
    MessageService& messages_;
    QString message_;
    std::function<bool()> valid_;
    bool pending_ = false;
};

// A one-line text that is saved, such as a name or a concept: painted in the
// main colour with its whole text selected while it has the focus, white again
// when left, and Enter moves to the next field. The date and amount fields add
// their checks to it.
class TextField : public QLineEdit {
    Q_OBJECT
public:
    explicit TextField(const Palette& palette, QWidget* parent = nullptr);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // On leaving: true when the field turns white again, its text being valid.
    virtual bool left(Qt::FocusReason reason);

    const Palette& palette_;
};

// Sets a text read from the file: the field's length limit, which is for typing,
// grows to hold it whole.
void showStoredText(QLineEdit& field, const QString& text, int typingLimit);

class DateField : public TextField {
    Q_OBJECT
public:
    // Always: the "99/99/9999" mask stays; WhileFocused: it is set on each focus
    // and removed once a valid date is left, so the date reads as plain text;
    // FromFocus: it is set on focus and then stays.
    enum class Mask { Always, WhileFocused, FromFocus };

    DateField(const Palette& palette, MessageService& messages, Mask mask,
              QWidget* parent = nullptr);

    std::optional<QDate> date() const;
    // False, after "Ponga una fecha correcta" and taking the focus back, when the
    // text is not a date.
    bool checkDate() { return check_.checkNow(); }

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool left(Qt::FocusReason reason) override;

private:
    Mask mask_;
    LeaveCheck check_;
    // Until something is typed, a click selects the whole date, even when the
    // focus came earlier (with the window, by key): typing then replaces the
    // date instead of writing over part of it. Later clicks place the caret.
    bool clickSelectsAll_ = false;
    // From that click to its release, so a shaking mouse does not undo it.
    bool holdingSelection_ = false;
    // When that click came: a double click that it starts keeps the date whole
    // rather than picking the day, month or year.
    QElapsedTimer selectedAllAt_;
};

// An amount as a Spanish user types it; "." types the decimal comma. It takes
// the longest amount with its grouping marks, so nothing typed in range is cut.
class AmountField : public TextField {
    Q_OBJECT
public:
    AmountField(const Palette& palette, MessageService& messages, QWidget* parent = nullptr);

    std::optional<double> amount() const;
    // False, after "Ponga un nº correcto" and taking the focus back, when the text
    // is not an amount.
    bool checkAmount() { return check_.checkNow(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool left(Qt::FocusReason reason) override;

private:
    LeaveCheck check_;
};

// A description of several lines; Enter starts a new line. Typing or pasting
// never makes it longer than its limit; a longer text read from the file is
// shown whole and may be shortened, never lengthened.
class DescriptionField : public QPlainTextEdit {
    Q_OBJECT
public:
    DescriptionField(const Palette& palette, int typingLimit, QWidget* parent = nullptr);

    void showStoredText(const QString& text);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void keepWithinLength();

    const Palette& palette_;
    int typingLimit_;
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

    FilterField(const Palette& palette, OnLeave onLeave, QWidget* parent = nullptr);

signals:
    // Escape in a header filter box: the window empties it and lists everything again.
    void escapePressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    const Palette& palette_;
    OnLeave onLeave_;
};

} // namespace velmora
