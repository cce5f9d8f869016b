#pragma once

// One report as a window works with it: opened from its file, given its
// parameters, the database and the record selection, then read. An empty report
// (a kind of report that has no file) has nothing to show.

#include "reports/ReportDefinition.h"
#include "reports/ReportQuery.h"
#include "reports/ReportRequest.h"

#include <QDate>
#include <QHash>
#include <QString>

#include <optional>

namespace velmora {

class Report {
public:
    Report() = default;
    explicit Report(ReportDefinition definition);
    // Throws ReportError, as readReportFile.
    static Report open(const QString& path);

    bool isEmpty() const { return !definition_.has_value(); }
    // The parameters the file declares, in its order.
    QStringList parameterNames() const;
    // A name the file does not declare is ignored.
    void setParameter(const QString& name, const QString& value);
    // The request's parameters (empresa as pEmpresa, titulo as pTitulo, info as
    // pInfo, and its valores) and its selection.
    void setRequest(const ReportRequest& request);
    void setDatabase(const QString& path) { databasePath_ = path; }
    void setSelectionFormula(const QString& formula) { formula_ = formula; }
    void setPrintDate(const QDate& day) { printDate_ = day; }

    // Reads the selected rows and the totals; throws ReportError. An empty
    // report reads nothing.
    void read();
    bool hasRows() const { return read_; }

    // Only on a report that is not empty.
    const ReportDefinition& definition() const { return *definition_; }
    const ReportRows& rows() const { return rows_; }

    // A heading or footer with its {placeholders} filled: the parameters, and
    // {Pagina}, {Paginas}, {Fecha}, {Registros}. An unknown one stays as written,
    // so whoever edits the file sees the slip.
    QString fill(const QString& text, int page, int pages) const;

private:
    std::optional<ReportDefinition> definition_;
    QHash<QString, QString> values_;
    QString databasePath_;
    QString formula_;
    QDate printDate_;
    ReportRows rows_;
    bool read_ = false;
};

} // namespace velmora
