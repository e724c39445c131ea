// A paint of part of the window must leave the same picture as a paint of
// all of it: after scrolling only the uncovered strip is drawn.
#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "framework/com_ptr.h"
#include "kvadra.h"
#include "support/ax_host.h"

namespace {

std::vector<DWORD> Capture(HWND hwnd)
{
    RECT rc;
    GetClientRect(hwnd, &rc);
    const int w = rc.right, h = rc.bottom;
    HDC screen = GetDC(hwnd);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::vector<DWORD> pixels(static_cast<size_t>(w) * h);
    GetDIBits(mem, bmp, 0, h, pixels.data(), &bi, DIB_RGB_COLORS);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(hwnd, screen);
    return pixels;
}

TEST(PartialPaint, ScrolledStripMatchesAFullRepaint)
{
    test::AxHost host(L"Kvadra.Tessera.1", 300, 200);
    HWND hwnd = host.ControlWindow();
    ASSERT_NE(nullptr, hwnd);
    fw::ComPtr<ITessera> grid;
    ASSERT_HRESULT_SUCCEEDED(host.Control()->QueryInterface(IID_ITessera, grid.PutVoid()));
    grid->put_Rows(60);
    for (int r = 1; r < 60; ++r) {
        grid->put_CRegionLeftTopX(1);
        grid->put_CRegionRightBottomX(2);
        grid->put_CRegionLeftTopY(r);
        grid->put_CRegionRightBottomY(r);
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = VT_I4;
        V_I4(&v) = r * 7;
        grid->put_Value(v);
        grid->put_Color(r % 2 ? RGB(255, 255, 200) : RGB(200, 255, 255));
    }
    UpdateWindow(hwnd);

    for (int step = 0; step < 3; ++step) {
        SendMessageW(hwnd, WM_VSCROLL, SB_LINEDOWN, 0);
        UpdateWindow(hwnd);
    }
    std::vector<DWORD> scrolled = Capture(hwnd);
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
    std::vector<DWORD> full = Capture(hwnd);
    ASSERT_EQ(full.size(), scrolled.size());
    size_t differing = 0;
    for (size_t i = 0; i < full.size(); ++i) differing += full[i] != scrolled[i];
    EXPECT_EQ(0u, differing);
    grid.Reset();
}

} // namespace
