#include "support/TestServices.h"

#include <QApplication>
#include <QDialog>
#include <QTest>

namespace velmora::test {

int ScriptedDialogs::run(QDialog& dialog) {
    titles.append(dialog.windowTitle());
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog)) {
        qWarning("window %s was never shown", qPrintable(dialog.windowTitle()));
    }
    dialog.activateWindow();
    QApplication::setActiveWindow(&dialog);
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
