#include "ui/Services.h"

#include <QDialog>

namespace velmora {

int DialogRunner::run(QDialog& dialog) {
    return dialog.exec();
}

} // namespace velmora
