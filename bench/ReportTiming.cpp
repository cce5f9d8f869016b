#include "ReportTiming.h"

#include "Measurements.h"

#include "reports/Report.h"
#include "reports/ReportError.h"
#include "reports/ReportPages.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>

#include <stdexcept>

namespace velmora::bench {

namespace {

// What the process holds now, in MiB; -1 when Linux does not say.
double residentMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
        }
    }
    return -1;
}

} // namespace

ReportFigures timeReport(const QString& databasePath, int entries, int runs) {
    QTemporaryDir dir;
    if (!dir.isValid()) {
        throw std::runtime_error("no temporary folder for the report");
    }
    ReportFigures figures;
    const auto once = [&] {
        QElapsedTimer clock;
        clock.start();
        velmora::Report report(parseReportDefinition(defaultReportFile()));
        report.setParameter(QStringLiteral("pEmpresa"), QStringLiteral("Familia de prueba"));
        report.setParameter(QStringLiteral("pTitulo"), QStringLiteral("Listado de apuntes"));
        report.setDatabase(databasePath);
        report.setSelectionFormula(
            QStringLiteral("Id IN (SELECT Id FROM apuntes ORDER BY Data, Id LIMIT %1)")
                .arg(entries));
        try {
            report.read();
        } catch (const ReportError& error) {
            throw std::runtime_error(error.description().toStdString());
        }
        const double before = residentMiB();
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("informe.pdf")));
        if (!printReport(report, printer)) {
            throw std::runtime_error("the report could not be written");
        }
        figures.paintingMiB = std::max(figures.paintingMiB, residentMiB() - before);
        figures.rows = qint64(report.rows().rowCount());
        const QRectF page(QPointF(0, 0),
                          printer.pageLayout().paintRectPixels(printer.resolution()).size());
        figures.pages = ReportPages(report, printer, page).count();
        return double(clock.elapsed());
    };
    figures.ms = median(repeatMeasure(runs, once));
    return figures;
}

} // namespace velmora::bench
