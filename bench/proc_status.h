#pragma once

// What the probes read of a running process from /proc.

#include <fstream>
#include <string>

// VmRSS in kilobytes; -1 once the process is gone.
inline long residentKilobytes(int pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}
