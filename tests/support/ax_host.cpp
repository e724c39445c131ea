#include "support/ax_host.h"

namespace test {
namespace {

using AtlAxWinInitFn = BOOL(WINAPI*)();
using AtlAxGetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);

HMODULE AtlModule()
{
    static HMODULE atl = [] {
        HMODULE m = LoadLibraryW(L"atl.dll");
        if (m) {
            auto init = reinterpret_cast<AtlAxWinInitFn>(reinterpret_cast<void*>(GetProcAddress(m, "AtlAxWinInit")));
            if (init) init();
        }
        return m;
    }();
    return atl;
}

} // namespace

AxHost::AxHost(const std::wstring& progidOrClsid, int width, int height)
{
    if (!AtlModule()) return;
    m_frame = CreateWindowExW(0, PlainWindowClass(), L"Kvadra test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              0, 0, width + 40, height + 60, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!m_frame) return;
    m_container = CreateWindowExW(0, L"AtlAxWin", progidOrClsid.c_str(), WS_CHILD | WS_VISIBLE,
                                  10, 10, width, height, m_frame, nullptr, GetModuleHandleW(nullptr), nullptr);
    PumpMessages();
}

AxHost::~AxHost() { Destroy(); }

void AxHost::Destroy()
{
    if (m_frame) {
        DestroyWindow(m_frame);
        m_frame = nullptr;
        m_container = nullptr;
        PumpMessages();
    }
}

fw::ComPtr<IUnknown> AxHost::Control() const
{
    fw::ComPtr<IUnknown> unk;
    auto get = reinterpret_cast<AtlAxGetControlFn>(
        reinterpret_cast<void*>(GetProcAddress(AtlModule(), "AtlAxGetControl")));
    if (get && m_container) get(m_container, unk.Put());
    return unk;
}

const wchar_t* PlainWindowClass()
{
    static const wchar_t* name = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = L"KvadraTestWindow";
        RegisterClassW(&wc);
        return wc.lpszClassName;
    }();
    return name;
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace test
