// A control made in this process with a window of its own inside a plain
// frame, without a container, so that its scroll bars, layout and pixels can
// be read directly; and a bitmap to paint into and read back.
#pragma once

#include <windows.h>

#include <algorithm>
#include <memory>

#include "control/Tessera.h"
#include "framework/com_ptr.h"
#include "framework/module.h"
#include "support/ax_host.h"  // PumpMessages

namespace view_test {

// A 32-bit top-down bitmap in a memory context, prefilled with one colour.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = RGB(255, 0, 255)) : m_width(width), m_height(height)
    {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
        HBRUSH brush = CreateSolidBrush(fill);
        RECT all = {0, 0, width, height};
        FillRect(m_dc, &all, brush);
        DeleteObject(brush);
    }
    ~Canvas()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    HDC Dc() const { return m_dc; }
    COLORREF At(int x, int y) const
    {
        GdiFlush();
        const DWORD p = m_bits[y * m_width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    // What the window shows on the screen now.
    void CopyScreen(HWND hwnd) const
    {
        HDC screen = GetDC(hwnd);
        BitBlt(m_dc, 0, 0, m_width, m_height, screen, 0, 0, SRCCOPY);
        ReleaseDC(hwnd, screen);
    }
    size_t PixelsDifferingFrom(const Canvas& other) const
    {
        GdiFlush();
        size_t n = 0;
        for (int i = 0; i < m_width * m_height; ++i) n += m_bits[i] != other.m_bits[i];
        return n;
    }
    // Bounding box of the pixels inside rc that are darker than mid-grey.
    RECT Ink(const RECT& rc) const
    {
        RECT ink = {rc.right, rc.bottom, rc.left, rc.top};
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x) {
                const COLORREF c = At(x, y);
                if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 100) {
                    ink.left = std::min<LONG>(ink.left, x);
                    ink.top = std::min<LONG>(ink.top, y);
                    ink.right = std::max<LONG>(ink.right, x + 1);
                    ink.bottom = std::max<LONG>(ink.bottom, y + 1);
                }
            }
        return ink;
    }

private:
    int m_width;
    int m_height;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    DWORD* m_bits = nullptr;
};

class CWindowedTessera : public CTessera {
public:
    HWND Open(HWND parent, const RECT& rc) { return CreateControlWindow(parent, rc); }
    HWND Hwnd() const { return ControlWindow(); }
};

class Grid {
public:
    explicit Grid(int width = 400, int height = 300, bool window = true)
    {
        if (!fw::Module::Instance()) fw::Module::Init(GetModuleHandleW(nullptr));
        EXPECT_HRESULT_SUCCEEDED(fw::CreateInstance<CWindowedTessera>(nullptr, IID_ITessera, m_itf.PutVoid()));
        m_grid = static_cast<CWindowedTessera*>(static_cast<CTessera*>(m_itf.Get()));
        if (window) {
            m_frame = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width,
                                      height, nullptr, nullptr, nullptr, nullptr);
            m_grid->Open(m_frame, RECT{0, 0, width, height});
            ShowWindow(m_grid->Hwnd(), SW_SHOW);
        }
        test::PumpMessages();
    }
    ~Grid()
    {
        m_itf.Reset();
        if (m_frame) DestroyWindow(m_frame);
        test::PumpMessages();
    }

    CWindowedTessera* operator->() const { return m_grid; }
    ITessera* Itf() const { return m_itf.Get(); }
    HWND Window() const { return m_grid->Hwnd(); }

    int W(int col) const { int w = 0; m_itf->get_ColWidth(col, &w); return w; }
    int H(int row) const { int h = 0; m_itf->get_RowHeight(row, &h); return h; }
    // Left and top of a cell, unscrolled.
    int X(int col) const { int x = 0; for (int c = 0; c < col; ++c) x += W(c); return x; }
    int Y(int row) const { int y = 0; for (int r = 0; r < row; ++r) y += H(r); return y; }
    RECT Client() const { RECT rc; GetClientRect(Window(), &rc); return rc; }

    void SetText(int row, int col, const wchar_t* text) const
    {
        VARIANT v;
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocString(text);
        m_grid->GetCell(row, col).SetValue(v);
        VariantClear(&v);
    }
    // Paints through IViewObject::Draw, as a container does for a
    // windowless or printed control.
    HRESULT Draw(HDC dc, const RECT& bounds) const
    {
        fw::ComPtr<IViewObject> view;
        HRESULT hr = m_itf->QueryInterface(IID_IViewObject, view.PutVoid());
        if (FAILED(hr)) return hr;
        RECTL rcl = {bounds.left, bounds.top, bounds.right, bounds.bottom};
        return view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &rcl, nullptr, nullptr, 0);
    }

    // A new 400 x 300 bitmap with the control drawn over all of it.
    std::unique_ptr<Canvas> Paint() const
    {
        auto canvas = std::make_unique<Canvas>(400, 300);
        EXPECT_HRESULT_SUCCEEDED(Draw(canvas->Dc(), RECT{0, 0, 400, 300}));
        return canvas;
    }

private:
    HWND m_frame = nullptr;
    fw::ComPtr<ITessera> m_itf;
    CWindowedTessera* m_grid = nullptr;
};

} // namespace view_test
