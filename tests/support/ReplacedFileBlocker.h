#pragma once

// Another program that takes a year's database the moment the program has
// replaced it (by a compaction or a restore) and holds it: while this lives,
// every new connection to the file at that path fails as busy, once the file
// there is no longer the one that was there when it was made. Connections to
// the old file, and to any other, open as usual.

#include <QString>

namespace velmora::test {

class ReplacedFileBlocker {
public:
    explicit ReplacedFileBlocker(const QString& path);
    ~ReplacedFileBlocker();
    ReplacedFileBlocker(const ReplacedFileBlocker&) = delete;
    ReplacedFileBlocker& operator=(const ReplacedFileBlocker&) = delete;

    // The other program lets go: connections open again.
    void release();
};

} // namespace velmora::test
