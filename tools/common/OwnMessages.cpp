#include "common/OwnMessages.h"

#include <QtGlobal>

#include <cstring>

namespace velmora::tools {

namespace {

QtMessageHandler previousHandler = nullptr;

void ownMessagesOnly(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const bool ours =
        context.category != nullptr && std::strncmp(context.category, "velmora", 7) == 0;
    if (ours || type == QtFatalMsg) {
        previousHandler(type, context, message);
    }
}

} // namespace

void keepOnlyOwnMessages() {
    previousHandler = qInstallMessageHandler(ownMessagesOnly);
}

} // namespace velmora::tools
