#pragma once

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <sys/resource.h>

// Figures of this process for the benchmark's lines.

// Peak resident memory (VmHWM) in bytes; 0 when it cannot be read.
inline double peakRssBytes()
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) * 1024.0;
    return 0;
}

// Starts the peak over from the memory in use now, so a step's own peak can
// be read after it.
inline void resetPeakRss()
{
    std::ofstream out("/proc/self/clear_refs");
    out << "5";
}

inline double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Processor time of this process so far, user and system; on a shared
// machine it tells the work done from the waiting.
inline double cpuSeconds()
{
    rusage use {};
    getrusage(RUSAGE_SELF, &use);
    return double(use.ru_utime.tv_sec + use.ru_stime.tv_sec) + double(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

// One figure per line: name value unit.
inline void printFigure(const std::string& name, double value, const char* unit, int decimals = 3)
{
    std::printf("%s %.*f %s\n", name.c_str(), decimals, value, unit);
    std::fflush(stdout);
}

inline void printMegabytes(const std::string& name, double bytes) { printFigure(name, bytes / 1e6, "MB", 0); }
