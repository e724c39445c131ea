#include "view/Metrics.h"

#include <initializer_list>

namespace view {

int Scale(int size, int dpi) noexcept
{
    return dpi > 0 ? MulDiv(size, dpi, kBaseDpi) : size;
}

Metrics MetricsAt(int dpi) noexcept
{
    Metrics m;
    if (dpi <= 0) return m;
    for (int* size : {&m.rowHeight, &m.colWidth, &m.cellButton, &m.edgeTolerance, &m.fitMargin, &m.listMinHeight,
                      &m.choiceListHeight, &m.buttonSpace, &m.editorMinWidth, &m.dropDownMinWidth, &m.dropDownHeight,
                      &m.buttonSize, &m.buttonGap, &m.wideButtonSize, &m.wideButtonGap})
        *size = Scale(*size, dpi);
    return m;
}

int WindowDpi(HWND hwnd) noexcept
{
    // Windows 10 (1607) and later; looked up so that older systems load us.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (hwnd && getDpiForWindow) {
        if (const UINT dpi = getDpiForWindow(hwnd)) return static_cast<int>(dpi);
    }
    int dpi = 0;
    if (HDC screen = GetDC(nullptr)) {
        dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : kBaseDpi;
}

} // namespace view
