#pragma once

// What the child process tells the parent through its standard output, one line
// per step: "intent WRITE" just before a write starts, and "WRITE" once its commit
// has returned. A write announced but never confirmed may or may not be in the
// files when the child is killed; a confirmed one must be.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace velmora::crashtest {

// An entry's columns as the check compares them: the amount in whole cents, the
// date as stored. The child never puts a space in a name or a description.
struct EntryValues {
    QString date;
    qint64 cents = 0;
    QString goesInto;
    QString comesOutOf;
    QString movementClass;
    QString description;
    bool operator==(const EntryValues&) const = default;
};

enum class StepKind {
    Insert,
    Update,
    Delete,
    Rename,
    Compact,
    Year,
    Copy,
    Colour,
    Backup,
    Import,
    Opening,
    Receipt,
    Budget
};

struct Step {
    StepKind kind = StepKind::Compact;
    qint64 id = 0;     // the entry; for a copy or a backup, the entries it holds; for an
                       // import, the rows it adds
    qint64 number = 0; // the colour; for an import, the number of its first entry; for an
                       // opening balance, its cents; for a receipt, the receipt's number
    EntryValues values;
    QString oldName; // the account renamed, or given an opening balance; a receipt's month
    QString newName; // the account's new name, the year's name, the copy's or the file's path
    // A budget: none when cleared, one amount for every month, or twelve, in cents.
    std::vector<qint64> amounts{};
};

// "insert 12 2024-03-05 1050 Caja Nomina I Apunte-3", "rename Caja Caja-7-1",
// "copy 120 /path/with spaces.mdb", "backup 120", "import 12 401 /path/file.csv",
// "opening Banco -1250", "receipt 402 3 2024-05 2024-05-31 4530 Luz Caja G Recibo-7-2",
// "budget Luz 5000", "budget Luz 1 2 3 4 5 6 7 8 9 10 11 12", "budget Luz" (cleared) ...
QString lineOf(const Step& step);
std::optional<Step> stepOf(const QString& line);

struct ChildReport {
    bool ready = false;           // the child had opened the installation
    std::vector<Step> committed;  // in order
    std::optional<Step> inFlight; // announced, not confirmed
    int unreadable = 0;           // lines that are none of the above
};

ChildReport parseReport(const QByteArray& output);

} // namespace velmora::crashtest
