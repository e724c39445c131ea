// Timing helpers for the benchmark programs.
#pragma once

#include <windows.h>
#include <psapi.h>
#include <cstdio>

namespace bench {

class Stopwatch {
public:
    Stopwatch() { QueryPerformanceFrequency(&m_freq); Restart(); }
    void Restart() { QueryPerformanceCounter(&m_start); }
    double Ms() const
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return 1000.0 * static_cast<double>(now.QuadPart - m_start.QuadPart) / static_cast<double>(m_freq.QuadPart);
    }

private:
    LARGE_INTEGER m_freq;
    LARGE_INTEGER m_start;
};

inline SIZE_T WorkingSet()
{
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof(pmc);
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof(pmc));
    return pmc.WorkingSetSize;
}

inline void Report(const char* what, double value, const char* unit)
{
    std::printf("%-48s %12.3f %s\n", what, value, unit);
}

} // namespace bench
