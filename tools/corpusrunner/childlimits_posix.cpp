#include "childlimits.h"

#include <sys/resource.h>

namespace corpus {

void limitThisProcess(int cpuSeconds, qint64 addressSpaceBytes) {
    rlimit cpu{};
    cpu.rlim_cur = static_cast<rlim_t>(cpuSeconds);
    cpu.rlim_max = static_cast<rlim_t>(cpuSeconds + 1);
    setrlimit(RLIMIT_CPU, &cpu);
    if (addressSpaceBytes > 0) {
        rlimit as{};
        as.rlim_cur = as.rlim_max = static_cast<rlim_t>(addressSpaceBytes);
        setrlimit(RLIMIT_AS, &as);
    }
    // A crash is reported by its signal; a core file of every crash would only fill the disk.
    rlimit core{};
    setrlimit(RLIMIT_CORE, &core);
}

qint64 peakResidentKiB() {
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0)
        return -1;
    return usage.ru_maxrss; // KiB on Linux
}

} // namespace corpus
