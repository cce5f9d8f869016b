#pragma once

// The habits every window of the program shares, written once: Enter on a
// focused button presses it, Tab visits the controls in a set order, a window
// opened over another shows the hourglass on it meanwhile, and a modal window
// does its opening work once it is first on screen.

#include <QDialog>

#include <initializer_list>

class QPushButton;

namespace velmora {

class DialogRunner;

// No button in the program is a default button, so that Enter in a field moves
// to the next one; instead Enter on whichever button has the focus presses it.
void pressButtonsOnEnter(QWidget& window);

// A push button as every window makes one: named for the tests, and never a
// default button, so that Enter presses only the button that has the focus.
QPushButton* commandButton(QWidget& parent, const char* name, const QString& text);

// The order in which Tab, and Enter in the fields, visit the controls.
void setTabChain(std::initializer_list<QWidget*> chain);

// The hourglass over a window for as long as an operation runs, whichever way it
// ends.
class WaitCursor {
public:
    explicit WaitCursor(QWidget& window);
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    QWidget& window_;
};

// Shows `window` modally over `owner`, with the hourglass over `owner` until it
// has closed. Gives the window's result.
int runWithWaitCursor(QWidget& owner, DialogRunner& dialogs, QDialog& window);

// A window opened modally over the main window.
class ModalWindow : public QDialog {
    Q_OBJECT
public:
    explicit ModalWindow(QWidget* parent = nullptr);

protected:
    // Runs once, when the window is first shown: fill the lists, load the
    // record, put the focus in the first field.
    virtual void opened() {}
    void showEvent(QShowEvent* event) override;

private:
    bool opened_ = false;
};

} // namespace velmora
