#include "admin/AdminCommands.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace {

QtMessageHandler previousHandler = nullptr;

// Qt's own warnings (an unset XDG_RUNTIME_DIR, say) are English and change nothing
// the tool reports in Spanish; the program's log lines are kept.
void ownMessagesOnly(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const bool ours =
        context.category != nullptr && std::strncmp(context.category, "velmora", 7) == 0;
    if (ours || type == QtFatalMsg) {
        previousHandler(type, context, message);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    previousHandler = qInstallMessageHandler(ownMessagesOnly);
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    // The program folder is the executable's: that is where velmora looks for its settings.
    return velmora::admin::runAdmin(QCoreApplication::arguments().mid(1),
                                    QCoreApplication::applicationDirPath(), out, err);
}
