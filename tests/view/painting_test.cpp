// What a paint leaves on the pixels: drawn through IViewObject::Draw into a
// memory bitmap, through WM_PAINT with a context, and through real paints of
// the window, whole or in part.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "view/windowed_grid.h"

namespace {

using view_test::Canvas;
using view_test::Grid;

constexpr COLORREF kGridLine = 0xC0C0C0;
constexpr COLORREF kBlack = 0;
constexpr COLORREF kUnpainted = RGB(255, 0, 255);

// Three by three after the fixed row and column: a table smaller than the window.
void Small(const Grid& g)
{
    g.Itf()->put_Rows(4);
    g.Itf()->put_Cols(4);
}

TEST(Painting, LinesEdgesCurrentCellAndBackground)
{
    Grid g;
    Small(g);
    g.Itf()->put_BackColor(0x123456);
    g->SetFocusCell(1, 1);  // the first current cell takes no flag
    g->SetFocusCell(2, 2);
    g.Itf()->put_SelectedCellColor(0x00FFFF);
    const auto painted = g.Paint();
    const Canvas& c = *painted;
    const int midY = g.Y(1) + g.H(1) / 2;
    const int midX = g.X(1) + g.W(1) / 2;
    // A grid line on the last pixel of every shown column and row, none in
    // the fixed area.
    for (int i = 1; i < 4; ++i) {
        EXPECT_EQ(kGridLine, c.At(g.X(i + 1) - 1, midY)) << i;
        EXPECT_EQ(kGridLine, c.At(midX, g.Y(i + 1) - 1)) << i;
    }
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
    for (POINT p : {POINT{0, midY}, POINT{midX, 0}, POINT{g.X(4), midY}, POINT{midX, g.Y(4)}})
        EXPECT_EQ(kBlack, c.At(p.x, p.y)) << p.x << "," << p.y;
}

TEST(Painting, SelectionBordersHiddenRowsAndDrawingOff)
{
    Grid g;
    Small(g);
    g.Itf()->put_BackColor(0x123456);
    g.Itf()->put_SelectedRangeColor(0x0000FF);
    g->GetCell(1, 3).SetSelected(true);
    g->GetCell(2, 1).Set(&CellAttrs::color, RGB(0, 255, 0));
    g->GetCell(3, 1).Set(&CellAttrs::color, RGB(0, 0, 128));
    const int midY = g.Y(1) + g.H(1) / 2;
    const POINT selected = {g.X(3) + 4, g.Y(1) + 4};
    auto c = g.Paint();
    EXPECT_EQ(0x0000FFu, c->At(selected.x, selected.y));
    EXPECT_EQ(RGB(0, 255, 0), c->At(g.X(1) + 4, g.Y(2) + 4));
    g.Itf()->put_DrawSelection(VARIANT_FALSE);
    c = g.Paint();
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), c->At(selected.x, selected.y));

    // No border: the fixed column's raised edge shows at x 0.
    g.Itf()->put_BorderStyle(0);
    c = g.Paint();
    EXPECT_EQ(GetSysColor(COLOR_3DHIGHLIGHT), c->At(0, midY));
    EXPECT_EQ(0x123456u, c->At(g.X(4), midY));
    // Three pixels, centred on the table's outline.
    g.Itf()->put_BorderStyle(3);
    c = g.Paint();
    EXPECT_EQ(kBlack, c->At(1, midY));
    for (int dx = -1; dx <= 1; ++dx) EXPECT_EQ(kBlack, c->At(g.X(4) + dx, midY)) << dx;
    EXPECT_EQ(0x123456u, c->At(g.X(4) + 2, midY));

    // A row of height 0 leaves no trace: the next row starts right after
    // the row above.
    g.Itf()->put_RowHeight(2, 0);
    c = g.Paint();
    const int x = g.X(1) + 4;
    for (int y = g.Y(2); y < g.Y(3) + 4; ++y) EXPECT_NE(RGB(0, 255, 0), c->At(x, y)) << y;
    EXPECT_EQ(RGB(0, 0, 128), c->At(x, g.Y(2) + 2));
    EXPECT_EQ(kGridLine, c->At(x, g.Y(2) - 1));
    g.Itf()->put_RowHeight(2, 20);

    // Drawing off: the fixed area keeps its plain fill without text or
    // edges; normal cells are still painted.
    g.Itf()->put_FixedColor(0x808000);
    g.SetText(0, 1, L"HEAD");
    g.Itf()->put_AllowDraw(0);
    c = g.Paint();
    const RECT header = {g.X(1) + 1, 2, g.X(2) - 1, g.H(0) - 1};  // below the border
    for (int px = header.left; px < header.right; ++px)
        for (int y = header.top; y < header.bottom; ++y)
            ASSERT_EQ(GetSysColor(COLOR_BTNFACE), c->At(px, y)) << px << "," << y;
    EXPECT_EQ(RGB(0, 0, 128), c->At(g.X(1) + 4, g.Y(3) + 4));
    g.Itf()->put_AllowDraw(1);
    c = g.Paint();
    EXPECT_EQ(0x808000u, c->At(g.X(1) + 2, 2));
    EXPECT_LT(c->Ink(header).left, header.right);  // the title is drawn
}

TEST(Painting, WrappingEllipsisAndMnemonicPrefix)
{
    Grid g;
    Small(g);
    g.Itf()->put_ColWidth(1, 40);
    g.Itf()->put_RowHeight(1, 60);
    g.Itf()->put_RowHeight(2, 60);
    g.SetText(1, 1, L"aaaa bbbb cccc");
    g.SetText(2, 1, L"aaaa bbbb cccc");
    g->GetCell(1, 1).Set(&CellAttrs::wordWrap, 1);
    g->GetCell(2, 1).Set(&CellAttrs::wordWrap, 2);
    g.SetText(1, 2, L"&x");
    g.SetText(2, 2, L"x");
    const auto c = g.Paint();
    auto ink = [&](int row, int col) {
        return c->Ink(RECT{g.X(col), g.Y(row), g.X(col + 1) - 1, g.Y(row + 1) - 1});
    };

    // Three lines against one; the cut word stays inside the cell.
    const RECT wrapped = ink(1, 1), cut = ink(2, 1);
    ASSERT_LT(wrapped.top, wrapped.bottom);
    ASSERT_LT(cut.top, cut.bottom);
    EXPECT_GT(wrapped.bottom - wrapped.top, 2 * (cut.bottom - cut.top));
    EXPECT_LT(cut.right, g.X(2) - 1);

    // "&x" shows an underlined x and no ampersand.
    const RECT prefixed = ink(1, 2), plain = ink(2, 2);
    EXPECT_LE(std::abs(plain.left - prefixed.left), 1);
    EXPECT_LE(prefixed.right - prefixed.left, plain.right - plain.left + 3);
    EXPECT_GT(prefixed.bottom - g.Y(1), plain.bottom - g.Y(2));
}

TEST(Painting, WindowPaintsAndWindowlessDrawing)
{
    Grid g;
    Small(g);
    HWND hwnd = g.Window();
    ASSERT_NE(nullptr, hwnd);
    g.Itf()->put_BackColor(0x123456);

    // WM_ERASEBKGND leaves the pixels alone; WM_USER is answered 0.
    Canvas erased(50, 50);
    EXPECT_EQ(1, SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(erased.Dc()), 0));
    EXPECT_EQ(kUnpainted, erased.At(10, 10));
    EXPECT_EQ(0, SendMessageW(hwnd, WM_USER, 1, 2));

    // WM_PAINT with a context paints into it, only where the context lets it.
    const RECT client = g.Client();
    Canvas sent(client.right, client.bottom), strip(client.right, client.bottom);
    SendMessageW(hwnd, WM_PAINT, reinterpret_cast<WPARAM>(sent.Dc()), 0);
    EXPECT_EQ(kGridLine, sent.At(g.X(2) - 1, g.Y(1) + 5));
    EXPECT_EQ(0x123456u, sent.At(client.right - 1, client.bottom - 1));
    IntersectClipRect(strip.Dc(), 0, 0, 120, 40);
    SendMessageW(hwnd, WM_PAINT, reinterpret_cast<WPARAM>(strip.Dc()), 0);
    EXPECT_EQ(kBlack, strip.At(0, 20));
    EXPECT_EQ(kUnpainted, strip.At(121, 20));
    EXPECT_EQ(kUnpainted, strip.At(20, 41));
    EXPECT_EQ(kUnpainted, strip.At(client.right - 1, client.bottom - 1));

    // A real paint reaches the screen.
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
    Canvas copy(client.right, client.bottom);
    copy.CopyScreen(hwnd);
    EXPECT_EQ(kGridLine, copy.At(g.X(2) - 1, g.Y(1) + 5));
    EXPECT_EQ(0x123456u, copy.At(client.right - 1, client.bottom - 1));

    // A forced selection change repaints its cells at once, before any
    // paint, grid lines included.
    g.Itf()->put_SelectedRangeColor(0x0000FF);
    ValidateRect(hwnd, nullptr);
    g->Selection().SetSelectedRange(1, 1, 1, 1, true);
    copy.CopyScreen(hwnd);
    EXPECT_EQ(0x0000FFu, copy.At(g.X(1) + 4, g.Y(1) + 4));
    EXPECT_EQ(kGridLine, copy.At(g.X(2) - 1, g.Y(1) + 5));
    EXPECT_EQ(kGridLine, copy.At(g.X(1) + 5, g.Y(2) - 1));

    // Without a window the table is drawn at the bounds' corner.
    Grid windowless(400, 300, false);
    Small(windowless);
    Canvas off(300, 200);
    ASSERT_HRESULT_SUCCEEDED(windowless.Draw(off, RECT{20, 10, 300, 200}));
    EXPECT_EQ(kUnpainted, off.At(10, 5));
    EXPECT_EQ(kBlack, off.At(20, 10 + windowless.Y(1) + 5));
    EXPECT_EQ(kGridLine, off.At(20 + windowless.X(2) - 1, 10 + windowless.Y(1) + 5));
}

// After line scrolls only the uncovered strips are painted; together with
// the moved pixels they must give exactly the picture of a full repaint.
TEST(Painting, ScrolledStripsMatchAFullRepaint)
{
    Grid g(300, 200);
    g.Itf()->put_Rows(60);
    for (int r = 1; r < 60; ++r) {
        g.SetText(r, 1, std::to_wstring(r * 7).c_str());
        g->GetCell(r, 2).Set(&CellAttrs::color, r % 2 ? RGB(255, 255, 200) : RGB(200, 255, 255));
    }
    const HWND hwnd = g.Window();
    InvalidateRect(hwnd, nullptr, TRUE);  // without a container, Refresh asks the window for nothing
    UpdateWindow(hwnd);
    for (int step = 0; step < 3; ++step) {
        SendMessageW(hwnd, WM_VSCROLL, SB_LINEDOWN, 0);
        UpdateWindow(hwnd);
    }
    const RECT client = g.Client();
    Canvas scrolled(client.right, client.bottom), full(client.right, client.bottom);
    scrolled.CopyScreen(hwnd);
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
    full.CopyScreen(hwnd);
    EXPECT_EQ(0u, full.PixelsDifferingFrom(scrolled));
}

} // namespace
