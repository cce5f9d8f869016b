#pragma once

// Every window tells the user things through this service instead of opening
// message boxes itself, so tests can answer questions from a script and read
// every text that would have been shown.

#include <QList>
#include <QQueue>
#include <QString>

class QWidget;

namespace velmora {

inline const QString kAppTitle = QStringLiteral("Velmora");

enum class MessageIcon { None, Information, Warning, Critical, Question };
enum class MessageButtons { Ok, YesNo, OkCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

struct Message {
    QString text;
    QString title = kAppTitle;
    MessageIcon icon = MessageIcon::Information;
    MessageButtons buttons = MessageButtons::Ok;
};

class MessageService {
public:
    virtual ~MessageService() = default;
    virtual MessageAnswer show(QWidget* parent, const Message& message) = 0;

    // A notice: information icon, OK, the application title.
    void inform(QWidget* parent, const QString& text);
    // Something the user should put right: warning icon, OK, the application title.
    void warn(QWidget* parent, const QString& text);
    // A failure the user must see: critical icon, OK.
    void fail(QWidget* parent, const QString& text, const QString& title = kAppTitle);
    // A Yes/No question; true for Yes.
    bool ask(QWidget* parent, const QString& text, MessageIcon icon = MessageIcon::Information,
             const QString& title = kAppTitle);
};

// Real message boxes, with the buttons in Spanish.
class DialogMessageService : public MessageService {
public:
    MessageAnswer show(QWidget* parent, const Message& message) override;
};

// Records what would have been shown and answers from a script; with nothing
// scripted it answers the first button (OK or Yes).
class RecordingMessageService : public MessageService {
public:
    MessageAnswer show(QWidget* parent, const Message& message) override;

    void answerNext(MessageAnswer answer) { answers_.enqueue(answer); }
    const QList<Message>& shown() const { return shown_; }
    QStringList texts() const;
    void clear() { shown_.clear(); }

private:
    QList<Message> shown_;
    QQueue<MessageAnswer> answers_;
};

} // namespace velmora
