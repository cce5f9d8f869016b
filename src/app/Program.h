#pragma once

// Start-up: the settings folder (made on the first start), one copy per year only,
// the colours, the connection, then the main window.

#include <QString>

#include <memory>
#include <optional>

namespace velmora {

struct AppState;
struct Services;
class frmPrincipal;

class Program {
public:
    // programFolder is the executable's; the settings are read there or in the
    // user's configuration folder (settingsFolderFor).
    Program(const QString& programFolder, Services& services);
    ~Program();

    // Shows the main window and returns nothing; or returns the exit code when the
    // program must end before it (the user declines the first installation, another
    // copy runs, the database cannot be opened).
    std::optional<int> start();

    AppState& state() { return *state_; }
    frmPrincipal* mainWindow() { return mainWindow_.get(); }

private:
    // The first start of a day keeps a copy of the year as it was.
    void writeDailyCopy();
    void removeCopyLeftovers();

    Services& services_;
    std::unique_ptr<AppState> state_;
    std::unique_ptr<frmPrincipal> mainWindow_;
};

} // namespace velmora
