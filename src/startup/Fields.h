#pragma once

// The input fields every window shares: the field with the focus is painted in
// the main colour, Enter moves on as Tab does, and a date field keeps the focus
// until it holds a real date.

#include <QDate>
#include <QLineEdit>

#include <optional>

namespace velmora {

struct AppState;
class MessageService;

void paintFieldBackground(QWidget& field, const QColor& colour);
bool isWindowSwitch(Qt::FocusReason reason);

class DateField : public QLineEdit {
    Q_OBJECT
public:
    // Always: the "99/99/9999" mask stays; WhileFocused: it is set on each focus
    // and removed once a valid date is left, so the date reads as plain text.
    enum class Mask { Always, WhileFocused };

    DateField(const AppState& state, MessageService& messages, Mask mask,
              QWidget* parent = nullptr);

    std::optional<QDate> date() const;
    // False, after telling the user "Ponga una fecha correcta" and taking the focus
    // back, when the text is not a date.
    bool checkDate();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void complain();

    const AppState& state_;
    MessageService& messages_;
    Mask mask_;
    bool complaintPending_ = false;
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
