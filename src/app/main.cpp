#include "app/Desktop.h"
#include "app/Program.h"
#include "ui/GuardedApplication.h"
#include "ui/MessageService.h"
#include "ui/Services.h"

#include <QApplication>
#include <QIcon>
#include <QTranslator>

int main(int argc, char* argv[]) {
    // Outlives the application, which tells through it what it could not finish.
    velmora::DialogMessageService messages;
    velmora::GuardedApplication app(argc, argv);
    app.setMessages(&messages);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    // The installed menu entry and icon, so that a desktop groups the windows under them.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.velmora.Velmora"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.velmora.Velmora")));
    QTranslator qtTexts;
    velmora::setUpDesktop(qtTexts);

    velmora::DialogRunner dialogs;
    const velmora::Clock clock;
    velmora::FileChooser files;
    const velmora::SystemInfo system;
    velmora::Services services{messages, dialogs, clock, files, system};
    velmora::Program program(QCoreApplication::applicationDirPath(), services);
    if (const std::optional<int> exitCode = program.start()) {
        return *exitCode;
    }
    return QApplication::exec();
}
