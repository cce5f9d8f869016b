#pragma once

// What every window shares for the whole run: the year session they all work on,
// the colours and the return row. Created at start-up and handed to each window;
// tests build their own over a temporary program folder.

#include "state/YearSession.h"
#include "ui/Palette.h"

#include <QString>

namespace velmora {

struct AppState {
    explicit AppState(QString settingsFolder = {}) : session(std::move(settingsFolder)) {}

    // Swapped for another year only through the year's life cycle (YearDatabase).
    YearSession session;
    Palette palette;
    int returnRow = 0;

    // The year's connection, which every window works through.
    Database& db() const { return session.db(); }
};

} // namespace velmora
