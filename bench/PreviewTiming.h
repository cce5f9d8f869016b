#pragma once

// The report window opened over the whole year, as a user opens it: from its
// construction until the viewer's first paint has run, and what the process grew
// by meanwhile.

namespace velmora {
struct AppState;
struct Services;
} // namespace velmora

namespace velmora::bench {

struct PreviewFigures {
    double ms = 0;      // to the first paint of the pages, median
    double grewMiB = 0; // the most the process grew by while opening, largest of the runs
};

// Installs the program's own report file when the data root has none. Throws
// std::runtime_error when the window cannot load the report or never paints.
PreviewFigures timePreview(AppState& state, Services& services, int runs);

} // namespace velmora::bench
