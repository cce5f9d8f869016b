// The command buttons of the windows with a toolbar: each shows a picture, also
// where the desktop has no icon theme, and tells in its tooltip the key that
// presses it.
#include "app/frmPrincipal.h"
#include "reports/frmInformeListado.h"
#include "support/WindowFixture.h"

#include <QImage>
#include <QKeySequence>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>

using namespace velmora;
using velmora::test::WindowFixture;

namespace {

bool paintsSomething(const QIcon& icon) {
    const QImage picture = icon.pixmap(32, 32).toImage();
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (qAlpha(picture.pixel(x, y)) > 0) {
                return true;
            }
        }
    }
    return false;
}

// What is wrong with the window's command buttons, one line each.
QStringList buttonFaults(const QWidget& window) {
    QStringList faults;
    QList<QToolButton*> buttons = window.findChildren<QToolButton*>();
    // Qt's own, such as the menu bar's overflow arrow.
    buttons.removeIf([](const QToolButton* button) {
        return button->objectName().startsWith(QStringLiteral("qt_"));
    });
    if (buttons.size() < 2) {
        faults.append(QStringLiteral("only %1 buttons").arg(buttons.size()));
    }
    for (const QToolButton* button : buttons) {
        const QString caption = button->text();
        const QString key = QKeySequence::mnemonic(caption).toString(QKeySequence::NativeText);
        const QString name = QString(caption).remove(QLatin1Char('&'));
        if (button->icon().isNull() || !paintsSomething(button->icon())) {
            faults.append(button->objectName() + QStringLiteral(": no picture"));
        }
        // A picture alone (the preview's page buttons) names its shortcut instead.
        const QRegularExpressionMatch named =
            QRegularExpression(QStringLiteral("^\\S.* \\((.+)\\)$")).match(button->toolTip());
        const bool readable =
            caption.isEmpty()
                ? named.hasMatch() &&
                      !QKeySequence::fromString(named.captured(1), QKeySequence::NativeText)
                           .isEmpty()
                : !key.isEmpty() && button->toolTip().contains(key) &&
                      button->toolTip().startsWith(name);
        if (!readable) {
            faults.append(button->objectName() + QStringLiteral(": tooltip «") + button->toolTip() +
                          QStringLiteral("»"));
        }
    }
    return faults;
}

} // namespace

class TestToolbars : public QObject {
    Q_OBJECT
private slots:
    void everyButtonShowsItsPictureAndKey_data();
    void everyButtonShowsItsPictureAndKey();
};

void TestToolbars::everyButtonShowsItsPictureAndKey_data() {
    QTest::addColumn<bool>("mainWindow");
    QTest::newRow("main window") << true;
    QTest::newRow("report window") << false;
}

void TestToolbars::everyButtonShowsItsPictureAndKey() {
    QFETCH(bool, mainWindow);
    QStringList faults;
    if (mainWindow) {
        WindowFixture<frmPrincipal> f;
        f.open();
        faults = buttonFaults(*f.window);
    } else {
        WindowFixture<frmInformeListado> f;
        f.open([](frmInformeListado& window) {
            window.setRequest({QStringLiteral("Datos"),
                               QStringLiteral("Data <= '2024-03-31'"),
                               QStringLiteral("Familia"),
                               QStringLiteral("Listado de apuntes"),
                               QStringLiteral("Del 01/01/2024 al 31/03/2024"),
                               {}});
        });
        faults = buttonFaults(*f.window);
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestToolbars)
#include "tst_toolbars.moc"
