#pragma once

// Start-up: one copy per year only, the colours, the connection, then the main window.

#include <QString>

#include <memory>
#include <optional>

namespace velmora {

struct AppState;
struct Services;
class SingleInstance;
class frmPrincipal;

class Program {
public:
    Program(QString programFolder, Services& services);
    ~Program();

    // Shows the main window and returns nothing; or returns the exit code when the
    // program must end before it (another copy runs, the database cannot be opened).
    std::optional<int> start();

    AppState& state() { return *state_; }
    frmPrincipal* mainWindow() { return mainWindow_.get(); }

private:
    // The first start of a day keeps a copy of the year as it was.
    void writeDailyCopy();

    Services& services_;
    std::unique_ptr<AppState> state_;
    std::unique_ptr<SingleInstance> instance_;
    std::unique_ptr<frmPrincipal> mainWindow_;
};

} // namespace velmora
