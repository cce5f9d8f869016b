#include "ui/MessageService.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QStringList>

namespace velmora {

void MessageService::inform(QWidget* parent, const QString& text) {
    show(parent, Message{text, kAppTitle, MessageIcon::Information, MessageButtons::Ok});
}

void MessageService::warn(QWidget* parent, const QString& text) {
    show(parent, Message{text, kAppTitle, MessageIcon::Warning, MessageButtons::Ok});
}

void MessageService::fail(QWidget* parent, const QString& text, const QString& title) {
    show(parent, Message{text, title, MessageIcon::Critical, MessageButtons::Ok});
}

bool MessageService::ask(QWidget* parent, const QString& text, MessageIcon icon,
                         const QString& title) {
    return show(parent, Message{text, title, icon, MessageButtons::YesNo}) == MessageAnswer::Yes;
}

MessageAnswer DialogMessageService::show(QWidget* parent, const Message& message) {
    QMessageBox box(parent);
    box.setWindowTitle(message.title);
    box.setText(message.text);
    switch (message.icon) {
    case MessageIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MessageIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MessageIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MessageIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (message.buttons) {
    case MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("Sí"));
        box.button(QMessageBox::No)->setText(QStringLiteral("No"));
        break;
    case MessageButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("Cancelar"));
        break;
    }
    if (QAbstractButton* ok = box.button(QMessageBox::Ok)) {
        ok->setText(QStringLiteral("Aceptar"));
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    default:
        return message.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
}

MessageAnswer RecordingMessageService::show(QWidget*, const Message& message) {
    shown_.append(message);
    if (!answers_.isEmpty()) {
        return answers_.dequeue();
    }
    return message.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}

QStringList RecordingMessageService::texts() const {
    QStringList result;
    for (const Message& m : shown_) {
        result.append(m.text);
    }
    return result;
}

} // namespace velmora
