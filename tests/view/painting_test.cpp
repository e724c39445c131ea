// What a paint leaves on the pixels: drawn through IViewObject::Draw into a
// memory bitmap, through WM_PAINT with a context, and through a real paint
// of the window.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "control/Tessera.h"
#include "framework/com_ptr.h"
#include "framework/module.h"
#include "support/ax_host.h"  // PumpMessages

namespace {

class CWindowedTessera : public CTessera {
public:
    HWND Open(HWND parent, const RECT& rc) { return CreateControlWindow(parent, rc); }
    HWND Hwnd() const { return ControlWindow(); }
};

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
        // Three by three: a table smaller than the window.
        m_itf->put_Rows(4);
        m_itf->put_Cols(4);
    }
    ~Grid()
    {
        m_itf.Reset();
        if (m_frame) DestroyWindow(m_frame);
        test::PumpMessages();
    }

    CWindowedTessera* operator->() const { return m_grid; }
    ITessera* Itf() const { return m_itf.Get(); }
    int W(int col) const { int w = 0; m_itf->get_ColWidth(col, &w); return w; }
    int H(int row) const { int h = 0; m_itf->get_RowHeight(row, &h); return h; }
    // Left and top of a cell, unscrolled.
    int X(int col) const { int x = 0; for (int c = 0; c < col; ++c) x += W(c); return x; }
    int Y(int row) const { int y = 0; for (int r = 0; r < row; ++r) y += H(r); return y; }

    void SetText(int row, int col, const wchar_t* text) const
    {
        VARIANT v;
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocString(text);
        m_grid->GetCell(row, col)->SetValue(v);
        VariantClear(&v);
    }

    HRESULT Draw(const Canvas& canvas, const RECT& bounds) const
    {
        fw::ComPtr<IViewObject> view;
        HRESULT hr = m_itf->QueryInterface(IID_IViewObject, view.PutVoid());
        if (FAILED(hr)) return hr;
        RECTL rcl = {bounds.left, bounds.top, bounds.right, bounds.bottom};
        return view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.Dc(), &rcl, nullptr, nullptr, 0);
    }

private:
    HWND m_frame = nullptr;
    fw::ComPtr<ITessera> m_itf;
    CWindowedTessera* m_grid = nullptr;
};

constexpr COLORREF kGridLine = 0xC0C0C0;
constexpr COLORREF kBlack = 0;

TEST(Painting, LinesEdgesCurrentCellAndBackground)
{
    Grid g;
    g.Itf()->put_BackColor(0x123456);
    g->SetFocusCell(1, 1);  // the first current cell takes no flag
    g->SetFocusCell(2, 2);
    g.Itf()->put_SelectedCellColor(0x00FFFF);
    Canvas c(400, 300);
    ASSERT_HRESULT_SUCCEEDED(g.Draw(c, RECT{0, 0, 400, 300}));

    const int midY = g.Y(1) + g.H(1) / 2;
    const int midX = g.X(1) + g.W(1) / 2;
    // A grid line on the last pixel of every shown column and row, none in
    // the fixed area.
    for (int col = 1; col < 4; ++col) EXPECT_EQ(kGridLine, c.At(g.X(col + 1) - 1, midY)) << col;
    for (int row = 1; row < 4; ++row) EXPECT_EQ(kGridLine, c.At(midX, g.Y(row + 1) - 1)) << row;
    EXPECT_NE(kGridLine, c.At(g.X(1) - 1, midY));

    // Fixed cells: fill, raised edges; the headers of the current row and
    // column sunken.
    const COLORREF light = GetSysColor(COLOR_3DHIGHLIGHT);
    const COLORREF dark = GetSysColor(COLOR_3DDKSHADOW);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), c.At(g.W(0) / 2, g.Y(1) + 3));
    EXPECT_EQ(light, c.At(5, g.Y(1)));                 // top of row 1's header
    EXPECT_EQ(dark, c.At(g.W(0) - 1, g.Y(1) + 5));     // its right
    EXPECT_EQ(dark, c.At(5, g.Y(2) - 1));              // its bottom
    EXPECT_EQ(light, c.At(g.X(1), 5));                 // column 1's header
    EXPECT_EQ(dark, c.At(5, g.Y(2)));                  // row 2's header: sunken
    EXPECT_EQ(dark, c.At(g.X(2), 5));                  // column 2's header: sunken
    EXPECT_NE(dark, c.At(g.X(2) + 5, g.H(0) - 1));

    // The current cell: a black frame on its first column and row and one
    // pixel inside its last ones, filled inside.
    const int left = g.X(2), top = g.Y(2), right = g.X(3) - 1, bottom = g.Y(3) - 1;
    EXPECT_EQ(kBlack, c.At(left, top + 5));
    EXPECT_EQ(kBlack, c.At(left + 5, top));
    EXPECT_EQ(kBlack, c.At(right - 1, top + 5));
    EXPECT_EQ(kBlack, c.At(left + 5, bottom - 1));
    EXPECT_EQ(kGridLine, c.At(right, top + 5));
    EXPECT_EQ(0x00FFFFu, c.At(left + 2, top + 2));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), c.At(g.X(1) + 2, g.Y(1) + 2));

    // BackColor right of and below the table; the one-pixel border round it.
    EXPECT_EQ(0x123456u, c.At(g.X(4) + 5, 10));
    EXPECT_EQ(0x123456u, c.At(10, g.Y(4) + 5));
    EXPECT_EQ(0x123456u, c.At(399, 299));
    EXPECT_EQ(kBlack, c.At(0, midY));
    EXPECT_EQ(kBlack, c.At(midX, 0));
    EXPECT_EQ(kBlack, c.At(g.X(4), midY));
    EXPECT_EQ(kBlack, c.At(midX, g.Y(4)));
}

TEST(Painting, SelectionBordersHiddenRowsAndDrawingOff)
{
    Grid g;
    g.Itf()->put_BackColor(0x123456);
    g.Itf()->put_SelectedRangeColor(0x0000FF);
    g->GetCell(1, 3)->m_bSelected = true;
    g->GetCell(2, 1)->m_Color = RGB(0, 255, 0);
    g->GetCell(3, 1)->m_Color = RGB(0, 0, 128);
    const int midY = g.Y(1) + g.H(1) / 2;
    const POINT selected = {g.X(3) + 4, g.Y(1) + 4};
    {
        Canvas c(400, 300);
        g.Draw(c, RECT{0, 0, 400, 300});
        EXPECT_EQ(0x0000FFu, c.At(selected.x, selected.y));
        EXPECT_EQ(RGB(0, 255, 0), c.At(g.X(1) + 4, g.Y(2) + 4));
    }
    {
        g.Itf()->put_DrawSelection(VARIANT_FALSE);
        Canvas c(400, 300);
        g.Draw(c, RECT{0, 0, 400, 300});
        EXPECT_EQ(GetSysColor(COLOR_WINDOW), c.At(selected.x, selected.y));
    }
    {
        // No border: the fixed column's raised edge shows at x 0.
        g.Itf()->put_BorderStyle(0);
        Canvas c(400, 300);
        g.Draw(c, RECT{0, 0, 400, 300});
        EXPECT_EQ(GetSysColor(COLOR_3DHIGHLIGHT), c.At(0, midY));
        EXPECT_EQ(0x123456u, c.At(g.X(4), midY));
    }
    {
        // Three pixels, centred on the table's outline.
        g.Itf()->put_BorderStyle(3);
        Canvas c(400, 300);
        g.Draw(c, RECT{0, 0, 400, 300});
        EXPECT_EQ(kBlack, c.At(1, midY));
        for (int dx = -1; dx <= 1; ++dx) EXPECT_EQ(kBlack, c.At(g.X(4) + dx, midY)) << dx;
        EXPECT_EQ(0x123456u, c.At(g.X(4) + 2, midY));
    }
    {
        // A row of height 0 leaves no trace: the next row starts right
        // after the row above.
        g.Itf()->put_RowHeight(2, 0);
        Canvas c(400, 300);
        g.Draw(c, RECT{0, 0, 400, 300});
        const int x = g.X(1) + 4;
        for (int y = g.Y(2); y < g.Y(3) + 4; ++y) EXPECT_NE(RGB(0, 255, 0), c.At(x, y)) << y;
        EXPECT_EQ(RGB(0, 0, 128), c.At(x, g.Y(2) + 2));
        EXPECT_EQ(kGridLine, c.At(x, g.Y(2) - 1));
        g.Itf()->put_RowHeight(2, 20);
    }
    {
        // Drawing off: the fixed area keeps its plain fill without text or
        // edges; normal cells are still painted.
        g.Itf()->put_FixedColor(0x808000);
        g.SetText(0, 1, L"HEAD");
        g.Itf()->put_AllowDraw(0);
        Canvas c(400, 300);
        g.Draw(c, RECT{0, 0, 400, 300});
        const RECT header = {g.X(1) + 1, 2, g.X(2) - 1, g.H(0) - 1};  // below the border
        for (int x = header.left; x < header.right; ++x)
            for (int y = header.top; y < header.bottom; ++y)
                ASSERT_EQ(GetSysColor(COLOR_BTNFACE), c.At(x, y)) << x << "," << y;
        EXPECT_EQ(RGB(0, 0, 128), c.At(g.X(1) + 4, g.Y(3) + 4));
        g.Itf()->put_AllowDraw(1);
        Canvas on(400, 300);
        g.Draw(on, RECT{0, 0, 400, 300});
        EXPECT_EQ(0x808000u, on.At(g.X(1) + 2, 2));
        EXPECT_LT(on.Ink(header).left, header.right);  // the title is drawn
    }
}

TEST(Painting, WrappingEllipsisAndMnemonicPrefix)
{
    Grid g;
    g.Itf()->put_ColWidth(1, 40);
    g.Itf()->put_RowHeight(1, 60);
    g.Itf()->put_RowHeight(2, 60);
    g.SetText(1, 1, L"aaaa bbbb cccc");
    g.SetText(2, 1, L"aaaa bbbb cccc");
    g->GetCell(1, 1)->m_WordWrap = 1;
    g->GetCell(2, 1)->m_WordWrap = 2;
    g.SetText(1, 2, L"&x");
    g.SetText(2, 2, L"x");
    Canvas c(400, 300);
    g.Draw(c, RECT{0, 0, 400, 300});

    const RECT wrapped = c.Ink(RECT{g.X(1), g.Y(1), g.X(2) - 1, g.Y(2) - 1});
    const RECT cut = c.Ink(RECT{g.X(1), g.Y(2), g.X(2) - 1, g.Y(3) - 1});
    ASSERT_LT(wrapped.top, wrapped.bottom);
    ASSERT_LT(cut.top, cut.bottom);
    // Three lines against one; the cut word stays inside the cell.
    EXPECT_GT(wrapped.bottom - wrapped.top, 2 * (cut.bottom - cut.top));
    EXPECT_LT(cut.right, g.X(2) - 1);

    // "&x" shows an underlined x and no ampersand.
    const RECT prefixed = c.Ink(RECT{g.X(2), g.Y(1), g.X(3) - 1, g.Y(2) - 1});
    const RECT plain = c.Ink(RECT{g.X(2), g.Y(2), g.X(3) - 1, g.Y(3) - 1});
    EXPECT_LE(std::abs((plain.left - g.X(2)) - (prefixed.left - g.X(2))), 1);
    EXPECT_LE(prefixed.right - prefixed.left, plain.right - plain.left + 3);
    EXPECT_GT(prefixed.bottom - g.Y(1), plain.bottom - g.Y(2));
}

TEST(Painting, WindowPaintsAndWindowlessDrawing)
{
    Grid g;
    HWND hwnd = g->Hwnd();
    ASSERT_NE(nullptr, hwnd);
    g.Itf()->put_BackColor(0x123456);

    // WM_ERASEBKGND leaves the pixels alone; WM_USER is answered 0.
    Canvas erased(50, 50);
    EXPECT_EQ(1, SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(erased.Dc()), 0));
    EXPECT_EQ(RGB(255, 0, 255), erased.At(10, 10));
    EXPECT_EQ(0, SendMessageW(hwnd, WM_USER, 1, 2));

    // WM_PAINT with a context paints into it.
    RECT client;
    GetClientRect(hwnd, &client);
    Canvas sent(client.right, client.bottom);
    SendMessageW(hwnd, WM_PAINT, reinterpret_cast<WPARAM>(sent.Dc()), 0);
    EXPECT_EQ(kGridLine, sent.At(g.X(2) - 1, g.Y(1) + 5));
    EXPECT_EQ(0x123456u, sent.At(client.right - 1, client.bottom - 1));

    // Only the part the context lets through is painted.
    Canvas strip(client.right, client.bottom);
    IntersectClipRect(strip.Dc(), 0, 0, 120, 40);
    SendMessageW(hwnd, WM_PAINT, reinterpret_cast<WPARAM>(strip.Dc()), 0);
    EXPECT_EQ(kBlack, strip.At(0, 20));
    EXPECT_EQ(RGB(255, 0, 255), strip.At(121, 20));
    EXPECT_EQ(RGB(255, 0, 255), strip.At(20, 41));
    EXPECT_EQ(RGB(255, 0, 255), strip.At(client.right - 1, client.bottom - 1));

    // A real paint reaches the screen.
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
    HDC screen = GetDC(hwnd);
    Canvas copy(client.right, client.bottom);
    BitBlt(copy.Dc(), 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, screen);
    EXPECT_EQ(kGridLine, copy.At(g.X(2) - 1, g.Y(1) + 5));
    EXPECT_EQ(0x123456u, copy.At(client.right - 1, client.bottom - 1));

    // A forced selection change repaints its cells at once, before any
    // paint, grid lines included.
    g.Itf()->put_SelectedRangeColor(0x0000FF);
    ValidateRect(hwnd, nullptr);
    g->Selection().SetSelectedRange(1, 1, 1, 1, true);
    screen = GetDC(hwnd);
    BitBlt(copy.Dc(), 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, screen);
    EXPECT_EQ(0x0000FFu, copy.At(g.X(1) + 4, g.Y(1) + 4));
    EXPECT_EQ(kGridLine, copy.At(g.X(2) - 1, g.Y(1) + 5));
    EXPECT_EQ(kGridLine, copy.At(g.X(1) + 5, g.Y(2) - 1));

    // Without a window the table is drawn at the bounds' corner.
    Grid windowless(400, 300, false);
    Canvas off(300, 200);
    ASSERT_HRESULT_SUCCEEDED(windowless.Draw(off, RECT{20, 10, 300, 200}));
    EXPECT_EQ(RGB(255, 0, 255), off.At(10, 5));
    EXPECT_EQ(kBlack, off.At(20, 10 + windowless.Y(1) + 5));
    EXPECT_EQ(kGridLine, off.At(20 + windowless.X(2) - 1, 10 + windowless.Y(1) + 5));
}

} // namespace
