#include "state/Logging.h"

namespace velmora {

Q_LOGGING_CATEGORY(lcStartup, "velmora.startup")
Q_LOGGING_CATEGORY(lcEntries, "velmora.entries")
Q_LOGGING_CATEGORY(lcAccounts, "velmora.accounts")
Q_LOGGING_CATEGORY(lcAnalysis, "velmora.analysis")
Q_LOGGING_CATEGORY(lcYears, "velmora.years")
Q_LOGGING_CATEGORY(lcMaintenance, "velmora.maintenance")
Q_LOGGING_CATEGORY(lcPreferences, "velmora.preferences")
Q_LOGGING_CATEGORY(lcReports, "velmora.reports")
Q_LOGGING_CATEGORY(lcExchange, "velmora.exchange")
Q_LOGGING_CATEGORY(lcUi, "velmora.ui")

} // namespace velmora
