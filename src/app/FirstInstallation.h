#pragma once

// The first start, when neither folder holds ruta.ini: offers a data root in the home
// folder and makes it as velmora-admin init does, with the settings in settingsFolder.

#include <QString>

#include <optional>

namespace velmora {

struct Services;

// Nothing when the year is there to open; the exit code when the program ends here
// (the user declines, or the installation cannot be made).
std::optional<int> installFirstYear(const QString& settingsFolder, Services& services);

} // namespace velmora
