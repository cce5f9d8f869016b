#include "ReportTiming.h"

#include "Measurements.h"
#include "Memory.h"

#include "reports/Report.h"
#include "reports/ReportError.h"
#include "reports/ReportPages.h"

#include <QElapsedTimer>
#include <QPrinter>
#include <QTemporaryDir>

#include <stdexcept>

namespace velmora::bench {

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
