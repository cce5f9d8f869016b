#pragma once

// A throw-away installation like the one velmora-admin makes: a program folder
// with its settings files and a data root holding one year's ledger filled with
// demonstration entries. The shared state is opened through the program's own
// connection set-up, so the benchmark measures the paths the program runs.

#include "ui/AppState.h"

#include <QString>
#include <QTemporaryDir>

namespace velmora::bench {

class Installation {
public:
    // Throws std::runtime_error when a folder, a settings file or the ledger
    // cannot be made.
    Installation(int year, int entries);

    AppState& state() { return state_; }
    int year() const { return year_; }

private:
    void writeSettings(const QString& programFolder, const QString& dataRoot) const;
    void createLedger(const QString& databasePath, int entries) const;

    // Declared first so that it outlives the connection held by state_.
    QTemporaryDir dir_;
    int year_;
    AppState state_;
};

} // namespace velmora::bench
