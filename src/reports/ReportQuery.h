#pragma once

// Reads what a report lists: the rows its formula selects from the year's
// database, formatted for paper, and its totals. The file is opened read-only
// and every statement passes a guard that lets through nothing but reading the
// year's own tables and a known set of functions, so neither a report file nor
// a selection formula can change, attach or call anything.

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

namespace velmora {

struct ReportDefinition;

struct ReportRows {
    int columns = 0;
    std::vector<QString> cells; // row after row, as printed
    QStringList totals;         // one per total of the definition, as printed
    std::vector<bool> negative; // one per row when the definition has the condition

    bool isNegative(size_t row) const { return row < negative.size() && negative[row]; }

    size_t rowCount() const { return columns == 0 ? 0 : cells.size() / size_t(columns); }
    const QString& cell(size_t row, int column) const {
        return cells[row * size_t(columns) + size_t(column)];
    }
};

// formula: an SQL condition over the report's table; empty selects every row.
// values: the report's parameters. The formula and the file's expressions read
// them as :name, bound as text and never pasted into the SQL, so a quote in a
// value is only a quote; a :name the report does not declare is refused.
// Throws ReportError: BadFormula for a formula the guard or the engine refuses,
// BadFile for the definition's own expressions, Database when the file cannot
// be read.
ReportRows queryReport(const ReportDefinition& definition, const QString& databasePath,
                       const QString& formula, const QHash<QString, QString>& values = {});

} // namespace velmora
