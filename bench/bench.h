// Timing helpers for the benchmark programs.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <oaidl.h>
#include <ocidl.h>
#include <psapi.h>
#include <cstdio>
#include <cwchar>

#include "framework/com_ptr.h"
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

// The platform's list view in report view, virtual so that any number of
// rows costs nothing to fill, filling the client area of a frame of its own:
// the table a host would otherwise use, for comparison. Cells read "Cell r:c".
class VirtualList {
public:
    VirtualList(int rows, int cols, int colWidth, int width, int height, DWORD style = 0)
    {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        WNDCLASSW wc = {};
        wc.lpfnWndProc = FrameProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kClass;
        RegisterClassW(&wc);
        m_frame = CreateWindowExW(0, kClass, L"list view", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr,
                                  nullptr, wc.hInstance, nullptr);
        m_list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA | style,
                                 0, 0, width, height, m_frame, nullptr, wc.hInstance, nullptr);
        for (int col = 0; col < cols; ++col) {
            wchar_t title[16];
            swprintf(title, 16, L"Col %d", col);
            LVCOLUMNW c = {};
            c.mask = LVCF_WIDTH | LVCF_TEXT;
            c.cx = colWidth;
            c.pszText = title;
            SendMessageW(m_list, LVM_INSERTCOLUMNW, col, reinterpret_cast<LPARAM>(&c));
        }
        SendMessageW(m_list, LVM_SETITEMCOUNT, rows, 0);
    }
    ~VirtualList()
    {
        DestroyWindow(m_frame);
        UnregisterClassW(kClass, GetModuleHandleW(nullptr));
    }
    VirtualList(const VirtualList&) = delete;
    VirtualList& operator=(const VirtualList&) = delete;

    HWND Frame() const { return m_frame; }
    HWND List() const { return m_list; }

private:
    static constexpr const wchar_t* kClass = L"KvadraBenchListFrame";
    static LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
    {
        if (msg == WM_NOTIFY) {
            auto* info = reinterpret_cast<NMLVDISPINFOW*>(lp);
            if (info->hdr.code == LVN_GETDISPINFOW && (info->item.mask & LVIF_TEXT)) {
                swprintf(info->item.pszText, info->item.cchTextMax, L"Cell %d:%d", info->item.iItem,
                         info->item.iSubItem);
                return 0;
            }
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    }

    HWND m_frame = nullptr;
    HWND m_list = nullptr;
};

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

// A sink connected to a control's events for the object's lifetime.
class Connection {
public:
    Connection(IUnknown* control, IDispatch* sink)
    {
        fw::ComPtr<IConnectionPointContainer> cpc;
        if (SUCCEEDED(control->QueryInterface(IID_IConnectionPointContainer, cpc.PutVoid())) &&
            SUCCEEDED(cpc->FindConnectionPoint(DIID__ITesseraEvents, m_point.Put())))
            m_point->Advise(sink, &m_cookie);
    }
    ~Connection()
    {
        if (m_point) m_point->Unadvise(m_cookie);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

private:
    fw::ComPtr<IConnectionPoint> m_point;
    DWORD m_cookie = 0;
};

} // namespace bench
