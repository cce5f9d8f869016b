#include "ui/GuardedApplication.h"

#include "state/Logging.h"
#include "ui/MessageService.h"

#include <new>

namespace velmora {

const QString kOutOfMemoryText = QStringLiteral(
    "No queda memoria libre para terminar lo que se estaba haciendo, y se ha dejado sin hacer; "
    "lo que ya estaba guardado no se ha perdido. Cierre otros programas antes de seguir.");

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
        qCWarning(lcUi) << "sin memoria al tratar el evento" << event->type() << "de" << receiver;
    }
    if (messages_ != nullptr && !telling_) {
        telling_ = true;
        try {
            messages_->fail(nullptr, kOutOfMemoryText);
        } catch (const std::bad_alloc&) {
            qCWarning(lcUi) << "sin memoria ni para avisar";
        }
        telling_ = false;
    }
    return false;
}

} // namespace velmora
