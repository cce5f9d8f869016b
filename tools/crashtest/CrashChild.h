#pragma once

// The child of velmora-crashtest: opens the installation through the program's
// own start-up, then writes to it through the same calls the windows make, one
// random write after another, until it is killed. Each write is announced on
// standard output before it starts and confirmed once it has returned.

#include "Protocol.h"

#include <QRandomGenerator>
#include <QString>

#include <vector>

namespace velmora {
struct Account;
struct Entry;
} // namespace velmora

namespace velmora::crashtest {

// A random movement the ledger allows (income into a cash account, an expense
// out of one, or a transfer between two) dated in year, with its class set.
EntryValues randomMovement(QRandomGenerator& random, const std::vector<Account>& accounts, int year,
                           const QString& description);

// The entry the editor would save with these values; its class is set by the save.
Entry entryOf(qint64 id, const EntryValues& values);

// The drive the child backs the year up to: a folder beside the program folder.
QString driveFor(const QString& programFolder);
// Where the child writes the files it imports, beside the program folder too.
QString importFolderFor(const QString& programFolder);

// Never returns normally; 1 when a write fails.
int runChild(const QString& programFolder, quint64 seed);

} // namespace velmora::crashtest
