#pragma once

// What every window shares for the whole run: the year session they all work on,
// the colours and the return row. Created at start-up and handed to each window;
// tests build their own over a temporary program folder.

#include "state/YearSession.h"
#include "store/AccountStore.h"
#include "ui/Palette.h"

#include <QString>

#include <vector>

namespace velmora {

struct AppState {
    explicit AppState(QString settingsFolder = {}) : session(std::move(settingsFolder)) {}

    // Swapped for another year only through the year's life cycle (YearDatabase).
    YearSession session;
    Palette palette;
    int returnRow = 0;
    // Accounts deleted from this year since it was opened, the last one last. Kept
    // here because the account list is closed and opened again meanwhile.
    std::vector<StoredAccount> deletedAccounts;
    // What the year window's new year takes from the current one besides its file:
    // the balances at the current year's end and the receipts. Set where the program is put
    // together, since the year's life cycle lies below the balances.
    NewYearStep newYearStep;

    // The year's connection, which every window works through.
    Database& db() const { return session.db(); }
};

} // namespace velmora
