#pragma once

// The one table of hostile paths that every window and command naming a file is
// tried with: each of the program's own files, each also reached through a link,
// and paths that are no file to write or read at all (a pipe, a device, a folder,
// a folder that does not exist, a link to nothing).

#include <QList>
#include <QString>

namespace velmora::test {

class TestLedger;

struct HostilePath {
    QByteArray name; // the data row's name
    QString path;
    QString refusal;      // a part of the reason the gate gives
    bool ownFile = false; // one of the program's files, whose bytes must not change
};

// Paths that must never be written: the ledger's installation gets every file
// an installation can hold (another year, a safety copy, every settings file,
// the compaction file) first. Links and the rest are made in scratch.
QList<HostilePath> hostileOutputs(TestLedger& ledger, const QString& scratch);

// A test over its own installation: the data function adds one row per hostile
// output with the column "refusal", and the test function makes the paths in its
// installation and takes the one its row names.
void addHostileOutputRows();
HostilePath hostileOutput(TestLedger& ledger, const QString& scratch);

// Paths that are no regular file to read, made in scratch.
QList<HostilePath> hostileInputs(const QString& scratch);

// The same for reading: one row per hostile input with the column "refusal", and
// the path of the row under test made in scratch. With a limit, one more row: a
// file one byte past it, made sparse so that it takes no room.
void addHostileInputRows(qint64 limit = 0);
HostilePath hostileInput(const QString& scratch, qint64 limit = 0);

} // namespace velmora::test
