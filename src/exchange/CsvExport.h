#pragma once

// Entries out to a CSV file: the same rows the main window lists for a filter
// and range, oldest first, in the program's own CSV layout.

#include <QIODevice>
#include <QString>

#include <vector>

namespace velmora {

class Database;
struct EntryFilter;

struct CsvExport {
    int written = 0;
    // Entries whose amount is no number (another program wrote it): left out,
    // since no amount written for them would read back as what the file holds.
    std::vector<qint64> unreadable;
    bool complete = false; // every byte reached the device
};

// Throws DbError when the year cannot be read.
CsvExport exportCsv(Database& db, const EntryFilter& filter, QIODevice& out);

// An export to a file, as the main window and velmora-admin both write it.
struct CsvExportFile {
    enum class Outcome { Written, CannotOpen, Incomplete };
    Outcome outcome = Outcome::Written;
    CsvExport rows;
    QString error; // the system's own words, for the log
};

// Writes the file beside path and puts it in place only when whole, so an export
// that fails half-way leaves the file that was there, if any. The path has passed
// the path gate. Throws DbError when the year cannot be read; nothing is written.
CsvExportFile exportCsvFile(Database& db, const EntryFilter& filter, const QString& path);

} // namespace velmora
