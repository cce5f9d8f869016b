#pragma once

// Services for tests: a clock fixed on a chosen day, modal windows that are shown
// without blocking and driven by a script, one script per window opened, and file
// dialogs answered from a list.

#include "support/PrintedPdf.h"
#include "ui/Services.h"

#include <QDate>
#include <QStringList>

class QWidget;

#include <deque>
#include <functional>

namespace velmora::test {

class FixedClock : public Clock {
public:
    QDate day{2024, 5, 17};
    QDate today() const override { return day; }
};

class ScriptedDialogs : public DialogRunner {
public:
    using Script = std::function<void(QDialog&)>;

    // The next window opened runs this script; one left open by it is cancelled.
    void expect(Script script) { scripts_.push_back(std::move(script)); }
    int run(QDialog& dialog) override;

    // The captions of the windows opened so far.
    QStringList titles;
    size_t pending() const { return scripts_.size(); }

private:
    std::deque<Script> scripts_;
};

// Shows a window and makes it the one that takes keys and focus, as a user's
// click would; false when the platform never showed it.
bool showForInput(QWidget& window);

// The drives and printers a test lists in place of the machine's own.
class ListedDrives : public SystemInfo {
public:
    QList<Drive> drivesToList;
    QStringList printersToList;
    QList<Drive> drives() const override { return drivesToList; }
    QStringList printerNames() const override { return printersToList; }
};

// Services over the given messages, with scripted windows and file dialogs, a
// fixed clock and the drives and printers the test lists.
struct TestServices {
    explicit TestServices(MessageService& messages)
        : services{messages, dialogs, clock, files, system} {}
    ScriptedDialogs dialogs;
    FixedClock clock;
    ScriptedFiles files;
    ListedDrives system;
    Services services;
};

} // namespace velmora::test
