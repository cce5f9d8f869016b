#pragma once

// Services for tests: a clock fixed on a chosen day, and modal windows that are
// shown without blocking and driven by a script, one script per window opened.

#include "ui/Services.h"

#include <QDate>
#include <QStringList>

#include <optional>

class QWidget;

#include <deque>
#include <functional>

namespace velmora::test {

class FixedClock : public Clock {
public:
    QDate day{2024, 5, 17};
    QDate today() const override { return day; }
};

// Answers file dialogs with the names given, in order; nothing (a cancel) once
// they run out.
class ScriptedFiles : public FileChooser {
public:
    std::optional<QString> openFile(QWidget*, const QString&, const QString&,
                                    const QString&) override {
        return next();
    }
    std::optional<QString> saveFile(QWidget*, const QString&, const QString&,
                                    const QString&) override {
        return next();
    }
    std::deque<QString> answers;

private:
    std::optional<QString> next() {
        if (answers.empty()) {
            return std::nullopt;
        }
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// A machine with the printers and drives a test puts there.
class FixedSystem : public SystemInfo {
public:
    QStringList printerNames() const override { return printers; }
    QList<Drive> drives() const override { return mountedDrives; }
    QStringList printers;
    QList<Drive> mountedDrives;
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

// Services over the given messages, with scripted windows and a fixed clock.
struct TestServices {
    explicit TestServices(MessageService& messages)
        : services{messages, dialogs, clock, files, system} {}
    ScriptedDialogs dialogs;
    FixedClock clock;
    ScriptedFiles files;
    FixedSystem system;
    Services services;
};

} // namespace velmora::test
