#pragma once

// The program's application object, with a last safety net: an allocation that
// fails while an event is handled (a click, a menu item, a key) ends that one
// event, not the program. The user is told in Spanish through the message
// service; the engine's words go to the log. Work that writes runs in
// transactions, so a write cut short this way leaves nothing half done.

#include <QApplication>

namespace velmora {

class MessageService;

// What the user reads when the net has caught an allocation failure.
extern const QString kOutOfMemoryText;

class GuardedApplication : public QApplication {
    Q_OBJECT
public:
    GuardedApplication(int& argc, char** argv);

    // Where the failure is told; until set, it only goes to the log.
    void setMessages(MessageService* messages) { messages_ = messages; }

    bool notify(QObject* receiver, QEvent* event) override;

private:
    MessageService* messages_ = nullptr;
    bool telling_ = false; // the message is on screen: a second failure is only logged
};

} // namespace velmora
