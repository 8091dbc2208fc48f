#pragma once
// Resident memory of the whole benchmark process, from /proc.

#include <fstream>
#include <malloc.h>
#include <string>

// In MB: VmRSS now, VmHWM the peak.
inline double procStatusMb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0)
            return std::stod(line.substr(key.size())) / 1024.0; // kB
    return -1;
}

// Freed memory handed back, and the peak counted again from now.
inline void restartPeak() {
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}
