#pragma once

// Milliseconds since the kernel started this process, read from /proc, so
// that the game's start-up probe and the bare-window benchmark measure alike.
// The reading moves in steps of one clock tick (10 ms here).

#include <fstream>
#include <string>

#include <unistd.h>

namespace probes {

inline double msSinceProcessStart()
{
    std::ifstream stat("/proc/self/stat");
    std::string field;
    for (int i = 0; i < 22 && stat >> field; ++i) {
    }
    const double startTicks = std::stod(field);
    std::ifstream uptimeFile("/proc/uptime");
    double uptimeSeconds = 0;
    uptimeFile >> uptimeSeconds;
    return (uptimeSeconds - startTicks / static_cast<double>(sysconf(_SC_CLK_TCK))) * 1000.0;
}

} // namespace probes
