#include "PreviewTiming.h"

#include "Measurements.h"
#include "Memory.h"

#include "reports/ReportDefinition.h"
#include "reports/frmInformeListado.h"
#include "ui/AppState.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace velmora::bench {

namespace {

void installReportFile(const QString& dataRoot) {
    const QString path = reportFilePath(dataRoot);
    if (QFileInfo::exists(path)) {
        return;
    }
    QFile file(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !file.open(QIODevice::WriteOnly) ||
        file.write(defaultReportFile()) != defaultReportFile().size()) {
        throw std::runtime_error("cannot write the report file " + path.toStdString());
    }
}

} // namespace

PreviewFigures timePreview(AppState& state, Services& services, int runs) {
    installReportFile(state.session.dataRoot());
    PreviewFigures figures;
    const auto once = [&] {
        startPhase();
        const double before = residentMiB();
        QElapsedTimer clock;
        clock.start();
        auto window = std::make_unique<frmInformeListado>(state, services);
        window->setRequest({QStringLiteral("Datos"),
                            {},
                            QStringLiteral("Familia de prueba"),
                            QStringLiteral("Listado de apuntes"),
                            {},
                            {}});
        auto* viewer = window->findChild<QWidget*>(QStringLiteral("CRViewer"));
        if (viewer == nullptr) {
            throw std::runtime_error("the report window has no viewer");
        }
        QList<QWidget*> watched = viewer->findChildren<QWidget*>();
        watched.append(viewer);
        waitForFirstPaint(*window, watched, clock);
        // The whole paint pass that showed the pages has run by now.
        const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        figures.grewMiB = std::max(figures.grewMiB, phasePeakMiB() - before);
        if (!window->loaded()) {
            throw std::runtime_error("the report window could not load the report");
        }
        window.reset();
        QCoreApplication::processEvents();
        return ms;
    };
    figures.ms = median(repeatMeasure(runs, once));
    return figures;
}

} // namespace velmora::bench
