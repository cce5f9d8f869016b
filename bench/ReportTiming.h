#pragma once

// The report of the year's first entries through the program's own report file,
// read and painted into a PDF file, as "&PDF" does when no PDF printer is chosen.

#include <QString>

namespace velmora::bench {

struct ReportFigures {
    double ms = 0; // reading and painting, median
    int pages = 0;
    qint64 rows = 0;
    double paintingMiB = 0; // what the process grew by while painting the pages
};

// Throws std::runtime_error when the report cannot be read or written.
ReportFigures timeReport(const QString& databasePath, int entries, int runs);

} // namespace velmora::bench
