#include "ui/WindowKit.h"

#include "ui/Services.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

namespace velmora {

namespace {

// Sees the Enter that a focused button lets pass up to its window.
class EnterPressesButtons : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) {
            return false;
        }
        auto* window = static_cast<QWidget*>(watched);
        auto* button = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
        if (button == nullptr || !window->isAncestorOf(button) || !button->isEnabled()) {
            return false;
        }
        button->click();
        return true;
    }
};

} // namespace

void pressButtonsOnEnter(QWidget& window) {
    window.installEventFilter(new EnterPressesButtons(&window));
}

QPushButton* commandButton(QWidget& parent, const char* name, const QString& text) {
    auto* button = new QPushButton(text, &parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

void setTabChain(std::initializer_list<QWidget*> chain) {
    QWidget* previous = nullptr;
    for (QWidget* next : chain) {
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, next);
        }
        previous = next;
    }
}

WaitCursor::WaitCursor(QWidget& window) : window_(window) {
    window_.setCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor() {
    window_.unsetCursor();
}

int runWithWaitCursor(QWidget& owner, DialogRunner& dialogs, QDialog& window) {
    const WaitCursor wait(owner);
    return dialogs.run(window);
}

ModalWindow::ModalWindow(QWidget* parent) : QDialog(parent) {
    pressButtonsOnEnter(*this);
}

void ModalWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!opened_) {
        opened_ = true;
        opened();
    }
}

} // namespace velmora
