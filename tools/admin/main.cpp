#include "admin/AdminCommands.h"
#include "common/OwnMessages.h"
#include "years/Installation.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    velmora::tools::keepOnlyOwnMessages();
    QCoreApplication app(argc, argv);
    // The program's name, so that both find the same configuration folder.
    QCoreApplication::setApplicationName(QStringLiteral("Velmora"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    // Beside the executable for a build or an unpacked copy, where velmora finds
    // them; the user's configuration folder for the installed one.
    return velmora::admin::runAdmin(
        QCoreApplication::arguments().mid(1),
        velmora::adminSettingsFolder(
            QCoreApplication::applicationDirPath(),
            QStringLiteral(VELMORA_INSTALL_BINDIRS).split(QLatin1Char(':'))),
        out, err);
}
