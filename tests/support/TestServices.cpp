#include "support/TestServices.h"

#include <QApplication>
#include <QDialog>
#include <QTest>

namespace velmora::test {

bool showForInput(QWidget& window) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return false;
    }
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    return true;
}

int ScriptedDialogs::run(QDialog& dialog) {
    titles.append(dialog.windowTitle());
    if (!showForInput(dialog)) {
        qWarning("window %s was never shown", qPrintable(dialog.windowTitle()));
    }
    if (scripts_.empty()) {
        qWarning("no script for window %s", qPrintable(dialog.windowTitle()));
    } else {
        Script script = std::move(scripts_.front());
        scripts_.pop_front();
        script(dialog);
    }
    if (dialog.isVisible()) {
        dialog.reject();
    }
    return dialog.result();
}

} // namespace velmora::test
