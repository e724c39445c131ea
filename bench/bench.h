// Timing helpers for the benchmark programs.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <psapi.h>
#include <cstdio>

#include "kvadra.h"

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

// Every figure names the DLL's bitness: `make bench` runs both.
#ifdef _WIN64
constexpr const char* kArch = "x64";
#else
constexpr const char* kArch = "x86";
#endif

inline void Report(const char* what, double value, const char* unit)
{
    std::printf("%s %-48s %12.3f %s\n", kArch, what, value, unit);
}

// An event sink that only counts, as a host doing little per event would.
class CountingSink final : public IDispatch {
public:
    long count = 0;

    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, DIID__ITesseraEvents)) {
            *ppv = static_cast<IDispatch*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(GetTypeInfoCount)(UINT* n) override { *n = 0; return S_OK; }
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHOD(Invoke)(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        ++count;
        return S_OK;
    }
};

} // namespace bench
