#pragma once

// A path as the user reads it in a message: native separators and, when it is
// too long to read (a data root of 64 KB read from ruta.ini would fill the whole
// message box), its beginning and its end with "…" in place of the middle.

#include <QString>

namespace velmora {

inline constexpr qsizetype kPathTextMaxLength = 160;

QString pathForMessage(const QString& path);

} // namespace velmora
