#pragma once

// The whole-file operations on a year's database, timed through the program's own
// code (YearDatabase, copyDatabase) against the bare SQLite work underneath them:
// a backup against sqlite3_backup alone, a compaction against VACUUM INTO alone,
// and the creation of a new year from the current one.

namespace velmora {
class YearSession;
} // namespace velmora

namespace velmora::bench {

struct FileOperationTimes {
    double backupRawMs = 0;
    double backupMs = 0;
    double compactRawMs = 0;
    double compactMs = 0;
    double yearCreateMs = 0;
};

// Leaves the state on the year it was on, with a compacted database; the year
// created for the measurement is removed again. Throws std::runtime_error on a
// failed operation.
FileOperationTimes timeFileOperations(YearSession& state, int runs);

} // namespace velmora::bench
