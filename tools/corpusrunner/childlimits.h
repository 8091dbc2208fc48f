#pragma once
// Limits for one child of the corpus runner, and what the child used. The runner starts
// every picture in a process of its own so that a crash, a runaway loop or a huge
// allocation is seen as such instead of taking the runner down.

#include <QtGlobal>

namespace corpus {

// Caps the calling process: CPU seconds and, when addressSpaceBytes > 0, its address space.
void limitThisProcess(int cpuSeconds, qint64 addressSpaceBytes);
// Peak resident memory of the calling process so far, in KiB.
qint64 peakResidentKiB();

} // namespace corpus
