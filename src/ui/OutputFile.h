#pragma once

// The file a window writes what the user asked for into (an export, a PDF):
// chosen in the desktop's dialog, given its suffix when typed without one, and
// judged by the path gate before a byte is written.

#include <QString>

#include <optional>

class QWidget;

namespace velmora {

class PathGate;
struct Services;

struct OutputRequest {
    QString caption;        // of the dialog
    QString suggested;      // the path proposed
    QString filter;         // as Qt writes it: "Archivos CSV (*.csv)"
    QString suffix;         // added when the name does not end with it: ".csv"
    bool anySuffix = false; // a name with a suffix of its own keeps it
};

// Nothing when the user cancels or the gate refuses (the user has been told why).
// A name typed without its suffix names another file than the one the dialog
// asked about, so replacing that one is asked here.
std::optional<QString> chooseOutputFile(Services& services, QWidget* parent, const PathGate& gate,
                                        const OutputRequest& request);

} // namespace velmora
