#pragma once

// Memory of one phase of the run at a time. Linux keeps the process's high-water
// mark (VmHWM); writing 5 to /proc/self/clear_refs sets it back to what the process
// holds now, so that the list's peak and the import's peak each show on their own
// instead of the largest of them hiding the others.

namespace velmora::bench {

// Hands the heap freed so far back to the system and starts a new phase: the
// peak counts from what the process holds now.
void startPhase();

// The most the process has held since startPhase(), in MiB; -1 when Linux does
// not say.
double phasePeakMiB();

// What the process holds now, in MiB; -1 when Linux does not say.
double residentMiB();

} // namespace velmora::bench
