#pragma once

// Entries out to a CSV file: the same rows the main window lists for a filter
// and range, oldest first, in the program's own CSV layout.

#include <QIODevice>

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

} // namespace velmora
