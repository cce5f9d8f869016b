#include "reports/ReportFiles.h"

#include "reports/ReportDefinition.h"
#include "reports/ReportError.h"
#include "state/Logging.h"
#include "state/PathGate.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace velmora {

QList<BundledReport> bundledReports(const QString& dataRoot) {
    return {{reportFilePath(dataRoot), defaultReportFile()},
            {registerReportFilePath(dataRoot), defaultRegisterReportFile()},
            {summaryReportFilePath(dataRoot), defaultSummaryReportFile()}};
}

bool writeMissingReport(const BundledReport& report) {
    if (!nothingAt(report.path)) {
        return false;
    }
    const QString folder = QFileInfo(report.path).absolutePath();
    QSaveFile file(report.path);
    if (!QDir().mkpath(folder) || !file.open(QIODevice::WriteOnly) ||
        file.write(report.bytes) != report.bytes.size() || !file.commit()) {
        qCWarning(lcReports).noquote()
            << "no se puede escribir" << report.path << "-" << file.errorString();
        throw ReportError(
            ReportError::Kind::BadFile,
            QStringLiteral("No se puede escribir el archivo de reporte %1. "
                           "Compruebe que se puede escribir en la carpeta %2.")
                .arg(QDir::toNativeSeparators(report.path), QDir::toNativeSeparators(folder)));
    }
    return true;
}

} // namespace velmora
