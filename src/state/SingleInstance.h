#pragma once

// Only one copy of the program works on a year's database at a time: two copies
// would write the same year over each other.
//
// The first copy holds an flock() on a lock file for as long as it runs. The kernel
// lets the lock go when the process ends, however it ends, so only a live process can
// keep another copy out: a file left behind by a crash or a power cut never stops the
// program, whatever it holds. Our process id is written into the file for whoever
// looks at it; nothing reads it back.
//
// The file lives in the user's runtime folder (the temporary folder when there is
// none), named after the database, not in the program folder: a system-wide install
// has a read-only program folder, and two program folders may share one data folder.

#include <QString>

namespace velmora {

class SingleInstance {
public:
    explicit SingleInstance(const QString& databasePath);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False only when another running copy holds the lock. Where no lock file can be
    // made at all the program starts anyway, and the log says why.
    bool acquire();

    // The lock file for a year's database; any spelling of its path gives the same one,
    // before the database exists and after.
    static QString lockPathFor(const QString& databasePath);
    const QString& lockPath() const { return path_; }

private:
    QString path_;
    int fd_ = -1;
};

} // namespace velmora
