#pragma once

// The report files that come with the program, written into the data root's
// Informes folder when they are missing. One that is there is never written
// over: the user may have edited it.

#include <QByteArray>
#include <QList>
#include <QString>

namespace velmora {

struct BundledReport {
    QString path;
    QByteArray bytes;
};

// Datos.rpt, Extracto.rpt and Resumen.rpt under dataRoot, in that order.
QList<BundledReport> bundledReports(const QString& dataRoot);

// Writes the file whole, making its folder, unless anything is at its path (a
// dangling link too). True when it was written. Throws ReportError (BadFile)
// saying in Spanish why it could not be written; nothing half-written is left.
bool writeMissingReport(const BundledReport& report);

} // namespace velmora
