#pragma once

// The parent's side of velmora-crashtest: a throw-away installation, what it
// must hold after each kill, and the figures of what it did not.

#include "Protocol.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <map>
#include <optional>
#include <set>
#include <vector>

namespace velmora::crashtest {

struct Figures {
    int kills = 0;
    int integrityFailures = 0; // database files that do not pass PRAGMA integrity_check
    int lostCommits = 0;       // confirmed writes missing, or rows nobody wrote
    int halfApplied = 0;       // a rename or a new year seen part done
    int badSettings = 0;       // a settings file empty or neither its old nor its new content
    // How much the kills had to find: writes confirmed, and kills in the middle of one.
    int confirmedWrites = 0;
    int killsMidWrite = 0;
    int killsMidImport = 0;  // of those, in an import
    int killsMidReceipt = 0; // in writing a due receipt
    int killsMidBackup = 0;  // and in a backup to the drive
    QStringList faults;      // what was found, in words, each with the kill that found it
    bool clean() const { return integrityFailures + lostCommits + halfApplied + badSettings == 0; }
};

// A program folder with its settings files and a data root with one year whose
// ledger holds a few accounts of each kind and some entries.
class CrashInstallation {
public:
    // Throws std::runtime_error when it cannot be made.
    explicit CrashInstallation(quint64 seed);

    QString programFolder() const { return dir_.filePath(QStringLiteral("Velmora")); }
    QString dataRoot() const { return dir_.filePath(QStringLiteral("Datos")); }
    QString year() const { return QStringLiteral("2024"); }
    QString databasePath() const;
    // Left on disk for whoever looks into a failure.
    void keep() { dir_.setAutoRemove(false); }
    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};

// What a year's ledger holds, as far as the check looks.
struct LedgerContent {
    std::map<qint64, EntryValues> entries;
    std::map<QString, QString> accounts;     // name, kind
    std::map<QString, qint64> openings;      // account, cents
    std::map<QString, qint64> receiptMonths; // "receipt month" written, its entry
    // account, its budget as the child sets it: one amount for every month, or twelve
    std::map<QString, std::vector<qint64>> budgets;
};

// What the installation must hold, carried from kill to kill: the installation
// stays, so damage would pile up and is looked for each time.
class CrashModel {
public:
    // Takes the installation as it is now as the truth.
    explicit CrashModel(const CrashInstallation& installation);

    // Checks the installation after a child was killed, with what it reported,
    // and adds what it finds to figures. Then the model takes what the files
    // hold, so that one fault is counted once; a created year is checked and
    // removed, and ano.ini is put back on the installation's year, as a user
    // going back to it would.
    void check(const ChildReport& report, Figures& figures);

private:
    struct Copy {
        QString path;
        qint64 entries = 0;
    };

    void fault(Figures& figures, int Figures::*figure, const QString& what) const;
    void apply(const Step& step);
    void checkSettings(const ChildReport& report, Figures& figures);
    void checkLedger(const ChildReport& report, Figures& figures);
    bool resolveInFlight(const Step& step, const LedgerContent& found);
    void checkYears(const ChildReport& report, Figures& figures);
    void checkCopies(Figures& figures);
    void checkBackup(const ChildReport& report, Figures& figures);
    // The entries an import of the file at path writes, in the order it writes them.
    std::vector<EntryValues> importedRows(const QString& path) const;

    QString programFolder_;
    QString dataRoot_;
    QString year_;
    QString databasePath_;
    QByteArray dataRootFile_; // ruta.ini, never written by the child
    qint64 colour_ = 0;
    LedgerContent ledger_;
    std::vector<QString> years_; // confirmed, not yet checked
    std::vector<Copy> copies_;   // confirmed, still to be kept
    std::set<QString> checkedCopies_;
    QString importFolder_;                // where the child writes the files it imports
    QString backupFile_;                  // the year's copy on the drive
    std::optional<qint64> backupEntries_; // what it holds, once one was made
};

} // namespace velmora::crashtest
