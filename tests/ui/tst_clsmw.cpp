// Wheel events sent to a real list grid: one line per event whatever its
// distance, Qt's own scrolling back once the hook is released, and the hook's
// refusals shown and logged.

#include "support/TestServices.h"
#include "ui/ListGrid.h"
#include "ui/clsMW.h"

#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QThread>
#include <QWheelEvent>

#include <memory>

using namespace velmora;

namespace {

struct Grid {
    QStandardItemModel model{100, 2};
    std::unique_ptr<QTableView> view{makeListGrid(nullptr, &model, "mshDatos")};

    Grid() {
        view->resize(300, 200);
        test::showForInput(*view);
        view->verticalScrollBar()->setValue(20);
    }
    int top() const { return view->verticalScrollBar()->value(); }
    void wheel(QWidget* target, int delta) const {
        const QPointF at(target->width() / 2, target->height() / 2);
        QWheelEvent event(at, target->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    }
};

} // namespace

class TestClsMW : public QObject {
    Q_OBJECT
private slots:
    void oneLinePerEvent_data();
    void oneLinePerEvent();
    void refusals_data();
    void refusals();
};

void TestClsMW::oneLinePerEvent_data() {
    QTest::addColumn<bool>("overBar");
    QTest::addColumn<int>("delta");
    QTest::addColumn<bool>("released");
    QTest::addColumn<int>("moved");
    QTest::newRow("one notch away") << false << 120 << false << -1;
    QTest::newRow("three notches towards") << false << -360 << false << 1;
    QTest::newRow("over the scroll bar") << true << -360 << false << 1;
    // Qt's own three lines a notch: the hook is what made it one.
    QTest::newRow("released") << false << -120 << true << 3;
}

void TestClsMW::oneLinePerEvent() {
    QFETCH(bool, overBar);
    QFETCH(int, delta);
    QFETCH(bool, released);
    QFETCH(int, moved);
    RecordingMessageService messages;
    Grid grid;
    auto hook = std::make_unique<clsMW>(messages);
    QVERIFY(hook->InitMouseWheel(grid.view.get()));
    if (released) {
        hook.reset();
    }
    grid.wheel(overBar ? static_cast<QWidget*>(grid.view->verticalScrollBar())
                       : grid.view->viewport(),
               delta);
    QCOMPARE(grid.top(), 20 + moved);
    QVERIFY(messages.shown().isEmpty());
}

void TestClsMW::refusals_data() {
    QTest::addColumn<int>("cause");
    QTest::addColumn<QString>("message");
    QTest::newRow("no widget") << 0 << "Invalid window handle";
    QTest::newRow("another thread") << 1 << "Window handle belongs to another process";
    QTest::newRow("twice") << 2 << "Window handle is already subclassed";
}

void TestClsMW::refusals() {
    QFETCH(int, cause);
    QFETCH(QString, message);
    RecordingMessageService messages;
    Grid grid;
    QThread elsewhere;
    clsMW hook(messages);
    if (cause == 1) {
        hook.moveToThread(&elsewhere);
    }
    if (cause == 2) {
        QVERIFY(hook.InitMouseWheel(grid.view.get()));
    }
    QTest::ignoreMessage(QtCriticalMsg, qPrintable("clsMW.ssc_Subclass: " + message));
    QVERIFY(!hook.InitMouseWheel(cause == 0 ? nullptr : grid.view.get()));
    QCOMPARE(messages.shown().size(), 1);
    const Message& shown = messages.shown().first();
    QCOMPARE(shown.text, message + ".");
    QCOMPARE(shown.title, "Error in clsMW.ssc_Subclass");
    QCOMPARE(shown.icon, MessageIcon::Warning);
    // A second hook must not add a second line.
    grid.wheel(grid.view->viewport(), -120);
    QCOMPARE(grid.top(), cause == 2 ? 21 : 23);
}

QTEST_MAIN(TestClsMW)
#include "tst_clsmw.moc"
