#include "app/Program.h"
#include "ui/GuardedApplication.h"
#include "ui/MessageService.h"
#include "ui/Services.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyle>
#include <QStyleFactory>
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
    // The desktop's own style and palette. Fusion only where the desktop names no
    // style of its own and Qt would fall back to its bare "Windows" look.
    if (QApplication::style()->name().compare(QStringLiteral("windows"), Qt::CaseInsensitive) ==
        0) {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    }
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));

    // Qt's own texts (context menus, standard buttons) in Spanish too.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Spanish, QLocale::Spain), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTranslator);
    }

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
