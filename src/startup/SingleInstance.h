#pragma once

// Only one copy of the program runs per program folder: two copies would write the
// same year over each other.
//
// The first copy holds an flock() on a lock file for as long as it runs. The kernel
// lets the lock go when the process ends, however it ends, so only a live process can
// keep another copy out: a file left behind by a crash or a power cut, or copied along
// with the folder, never stops the program, whatever it holds. Our process id is
// written into the file for whoever looks at it; nothing reads it back.

#include <QString>

namespace velmora {

class SingleInstance {
public:
    explicit SingleInstance(const QString& programFolder);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False only when another running copy holds the lock. Where no lock file can be
    // made at all the program starts anyway, and the log says why.
    bool acquire();

private:
    QString path_;
    int fd_ = -1;
};

} // namespace velmora
