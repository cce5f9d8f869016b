#pragma once

// One logging category per part of the program. What the user is told is
// Spanish and short; the engine's own words, which help whoever looks into a
// failure, go here and reach the system journal.

#include <QLoggingCategory>

namespace velmora {

Q_DECLARE_LOGGING_CATEGORY(lcStartup)
Q_DECLARE_LOGGING_CATEGORY(lcEntries)
Q_DECLARE_LOGGING_CATEGORY(lcAccounts)
Q_DECLARE_LOGGING_CATEGORY(lcAnalysis)
Q_DECLARE_LOGGING_CATEGORY(lcYears)
Q_DECLARE_LOGGING_CATEGORY(lcMaintenance)
Q_DECLARE_LOGGING_CATEGORY(lcPreferences)
Q_DECLARE_LOGGING_CATEGORY(lcReports)
Q_DECLARE_LOGGING_CATEGORY(lcExchange)
Q_DECLARE_LOGGING_CATEGORY(lcUi)

} // namespace velmora
