#include "ui/Services.h"

#include <QDialog>
#include <QFileDialog>
#include <QPrinterInfo>
#include <QStorageInfo>

namespace velmora {

namespace {

std::optional<QString> chosen(const QString& path) {
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path;
}

} // namespace

int DialogRunner::run(QDialog& dialog) {
    return dialog.exec();
}

std::optional<QString> FileChooser::openFile(QWidget* parent, const QString& caption,
                                             const QString& folder, const QString& filter) {
    return chosen(QFileDialog::getOpenFileName(parent, caption, folder, filter));
}

std::optional<QString> FileChooser::saveFile(QWidget* parent, const QString& caption,
                                             const QString& suggested, const QString& filter) {
    return chosen(QFileDialog::getSaveFileName(parent, caption, suggested, filter));
}

QStringList SystemInfo::printerNames() const {
    return QPrinterInfo::availablePrinterNames();
}

QList<Drive> SystemInfo::drives() const {
    QList<Drive> drives;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady()) {
            continue;
        }
        const QString label = volume.displayName();
        drives.append(Drive{volume.rootPath(), label.isEmpty() ? volume.rootPath() : label,
                            volume.isReadOnly()});
    }
    return drives;
}

} // namespace velmora
