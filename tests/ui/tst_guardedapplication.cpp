// The program's last safety net: an allocation that fails while an event is
// handled ends that event, is told in Spanish, and the program goes on.

#include "ui/GuardedApplication.h"
#include "ui/MessageService.h"

#include <QTest>

#include <new>

using namespace velmora;

namespace {

// Fails as an allocation would, on every event of the user's kind.
class Failing : public QObject {
protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) {
            throw std::bad_alloc();
        }
        return QObject::event(event);
    }
};

} // namespace

class TestGuardedApplication : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void failedAllocationEndsTheEventOnly_data();
    void failedAllocationEndsTheEventOnly();

private:
    RecordingMessageService messages_;
};

void TestGuardedApplication::init() {
    messages_.clear();
    static_cast<GuardedApplication*>(QCoreApplication::instance())->setMessages(&messages_);
}

void TestGuardedApplication::cleanup() {
    static_cast<GuardedApplication*>(QCoreApplication::instance())->setMessages(nullptr);
}

void TestGuardedApplication::failedAllocationEndsTheEventOnly_data() {
    QTest::addColumn<bool>("queued");
    QTest::newRow("an event handled") << false;
    QTest::newRow("a slot called from the event loop") << true;
}

// Once std::bad_alloc left the event loop and ended the program with an abort.
void TestGuardedApplication::failedAllocationEndsTheEventOnly() {
    QFETCH(bool, queued);
    Failing failing;
    if (queued) {
        QMetaObject::invokeMethod(
            &failing, [] { throw std::bad_alloc(); }, Qt::QueuedConnection);
        QCoreApplication::processEvents();
    } else {
        QEvent fail(QEvent::User);
        QVERIFY(!QCoreApplication::sendEvent(&failing, &fail));
    }
    QCOMPARE(messages_.texts(), QStringList{kOutOfMemoryText});
    QCOMPARE(messages_.shown().first().icon, MessageIcon::Critical);
    // The program goes on: the next event is handled.
    bool handled = false;
    QMetaObject::invokeMethod(
        &failing, [&handled] { handled = true; }, Qt::QueuedConnection);
    QCoreApplication::processEvents();
    QVERIFY(handled);
}

int main(int argc, char* argv[]) {
    GuardedApplication app(argc, argv);
    TestGuardedApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_guardedapplication.moc"
