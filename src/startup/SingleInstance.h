#pragma once

// Only one copy of the program runs per program folder: the first holds a lock
// file there for as long as it runs.

#include <QString>

#include <memory>

class QLockFile;

namespace velmora {

class SingleInstance {
public:
    explicit SingleInstance(const QString& programFolder);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False only when another running copy holds the lock. A folder where no lock
    // can be written (read-only) does not keep the program from starting.
    bool acquire();

private:
    std::unique_ptr<QLockFile> lock_;
};

} // namespace velmora
