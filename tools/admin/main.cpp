#include "admin/AdminCommands.h"
#include "common/OwnMessages.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    velmora::tools::keepOnlyOwnMessages();
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    // The program folder is the executable's: velmora reads its settings there when
    // ruta.ini is there, and in the user's configuration folder otherwise.
    return velmora::admin::runAdmin(QCoreApplication::arguments().mid(1),
                                    QCoreApplication::applicationDirPath(), out, err);
}
