#pragma once

// A report file: plain text that says which table a report lists, in which
// order, with which columns, headings, totals and footer, and which parameters a
// caller may fill. Datos.rpt beside this file explains the format to whoever
// edits one by hand.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace velmora {

struct ReportHeading {
    enum class Style { Large, Title, Normal };
    Style style = Style::Normal;
    QString text; // with {placeholders}
};

struct ReportColumn {
    // Cents: whole cents as the totals give them; an empty text leaves the cell
    // blank, as a register leaves the side an entry does not touch.
    enum class Kind { Text, Date, Amount, Cents };
    QString caption;
    QString expression; // SQL over the report's table
    Kind kind = Kind::Text;
    int width = 1; // relative to the other columns

    // Printed to the right, in the row's colour.
    bool isFigure() const { return kind == Kind::Amount || kind == Kind::Cents; }
};

struct ReportTotal {
    QString caption;
    QString expression; // an SQL aggregate giving whole cents
};

struct ReportDefinition {
    QStringList parameters;
    QString table;
    QString order; // SQL ORDER BY list; empty keeps the table's order
    bool landscape = false;
    QList<ReportHeading> headings;
    QList<ReportColumn> columns;
    QList<ReportTotal> totals;
    // An SQL condition over a row: where it holds, the row's amounts are printed
    // in the colour the screen gives to expenses. Empty: all in black.
    QString negative;
    QString footerLeft;
    QString footerRight;
};

// Throws ReportError (BadFile) naming the line and what is wrong with it.
ReportDefinition parseReportDefinition(const QByteArray& text);
// Reads the whole file at once, so nothing holds it open while a report is
// shown. Throws ReportError: FileNotFound when it is not there, BadFile when it
// cannot be read or parsed.
ReportDefinition readReportFile(const QString& path);

// {data root}/Informes/Datos.rpt
QString reportFilePath(const QString& dataRoot);
// {data root}/Informes/Extracto.rpt
QString registerReportFilePath(const QString& dataRoot);
// {data root}/Informes/Resumen.rpt
QString summaryReportFilePath(const QString& dataRoot);
// The entry list report that comes with the program; the installation writes it.
QByteArray defaultReportFile();
// The account register's report that comes with the program.
QByteArray defaultRegisterReportFile();
// The yearly summary's report that comes with the program.
QByteArray defaultSummaryReportFile();

} // namespace velmora
