// What a paint leaves on the pixels, drawn through IViewObject::Draw into a
// memory bitmap; the scroll bars, the scrolling messages, the wheel,
// bringing cells into view and fitting columns.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "view/windowed_grid.h"

namespace {

using view_test::Canvas;
using view_test::Grid;

constexpr COLORREF kGridLine = 0xC0C0C0;
constexpr COLORREF kBlack = 0;

TEST(Painting, LinesEdgesCurrentCellBackgroundSelectionBordersHiddenRowsAndDrawingOff)
{
    Grid g;
    g.Itf()->put_Rows(4), g.Itf()->put_Cols(4);  // 3 x 3 beyond the fixed row and column: smaller than the window
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

    // Selection colours, borders, hidden rows and drawing off.
    g.Itf()->put_SelectedRangeColor(0x0000FF);
    g->Selection().SetCellSelected(1, 3, true);
    g->GetCell(2, 1).Set(&CellAttrs::color, RGB(0, 255, 0));
    g->GetCell(3, 1).Set(&CellAttrs::color, RGB(0, 0, 128));
    const POINT selected = {g.X(3) + 4, g.Y(1) + 4};
    auto shot = g.Paint();
    EXPECT_EQ(0x0000FFu, shot->At(selected.x, selected.y));
    EXPECT_EQ(RGB(0, 255, 0), shot->At(g.X(1) + 4, g.Y(2) + 4));
    g.Itf()->put_DrawSelection(VARIANT_FALSE);
    shot = g.Paint();
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), shot->At(selected.x, selected.y));

    // No border: the fixed column's raised edge shows at x 0.
    g.Itf()->put_BorderStyle(0);
    shot = g.Paint();
    EXPECT_EQ(GetSysColor(COLOR_3DHIGHLIGHT), shot->At(0, midY));
    EXPECT_EQ(0x123456u, shot->At(g.X(4), midY));
    // Three pixels, centred on the table's outline.
    g.Itf()->put_BorderStyle(3);
    shot = g.Paint();
    EXPECT_EQ(kBlack, shot->At(1, midY));
    for (int dx = -1; dx <= 1; ++dx) EXPECT_EQ(kBlack, shot->At(g.X(4) + dx, midY)) << dx;
    EXPECT_EQ(0x123456u, shot->At(g.X(4) + 2, midY));

    // A row of height 0 leaves no trace: the next row starts right after
    // the row above.
    g.Itf()->put_RowHeight(2, 0);
    shot = g.Paint();
    const int x = g.X(1) + 4;
    for (int y = g.Y(2); y < g.Y(3) + 4; ++y) EXPECT_NE(RGB(0, 255, 0), shot->At(x, y)) << y;
    EXPECT_EQ(RGB(0, 0, 128), shot->At(x, g.Y(2) + 2));
    EXPECT_EQ(kGridLine, shot->At(x, g.Y(2) - 1));
    g.Itf()->put_RowHeight(2, 20);

    // Drawing off: the fixed area keeps its plain fill without text or
    // edges; normal cells are still painted.
    g.Itf()->put_FixedColor(0x808000);
    g.SetText(0, 1, L"HEAD");
    g.Itf()->put_AllowDraw(0);
    shot = g.Paint();
    const RECT header = {g.X(1) + 1, 2, g.X(2) - 1, g.H(0) - 1};  // below the border
    for (int px = header.left; px < header.right; ++px)
        for (int y = header.top; y < header.bottom; ++y)
            ASSERT_EQ(GetSysColor(COLOR_BTNFACE), shot->At(px, y)) << px << "," << y;
    EXPECT_EQ(RGB(0, 0, 128), shot->At(g.X(1) + 4, g.Y(3) + 4));
    g.Itf()->put_AllowDraw(1);
    shot = g.Paint();
    EXPECT_EQ(0x808000u, shot->At(g.X(1) + 2, 2));
    EXPECT_LT(shot->Ink(header).left, header.right);  // the title is drawn
}

SCROLLINFO Bar(const Grid& g, int bar)
{
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    if (!GetScrollInfo(g.Window(), bar, &si)) si.nPos = si.nMax = si.nPage = 0;
    return si;
}

bool BarShown(const Grid& g, int bar)
{
    return (GetWindowLongW(g.Window(), GWL_STYLE) & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
}

std::string Box(LONG l, LONG t, LONG r, LONG b)
{
    return std::to_string(l) + "," + std::to_string(t) + "," + std::to_string(r) + "," + std::to_string(b);
}

// Sends one scroll code with nothing waiting to be painted, and answers
// what the step left to repaint ("" when nothing).
std::string Step(const Grid& g, UINT msg, WPARAM code)
{
    UpdateWindow(g.Window());
    ValidateRect(g.Window(), nullptr);
    SendMessageW(g.Window(), msg, code, 0);
    RECT r = {};
    return GetUpdateRect(g.Window(), &r, FALSE) ? Box(r.left, r.top, r.right, r.bottom) : "";
}

// A forced selection change repaints its cells on the screen at once,
// before any paint, grid lines included.
TEST(Painting, ForcedSelectionChangeRepaintsAtOnce)
{
    Grid g;
    g.Itf()->put_Rows(4), g.Itf()->put_Cols(4);
    HWND hwnd = g.Window();
    g.Itf()->put_SelectedRangeColor(0x0000FF);
    UpdateWindow(hwnd);
    ValidateRect(hwnd, nullptr);
    g->Selection().SetSelectedRange(1, 1, 1, 1, true);
    const RECT client = g.Client();
    Canvas copy(client.right, client.bottom);
    copy.CopyScreen(hwnd);
    EXPECT_EQ(0x0000FFu, copy.At(g.X(1) + 4, g.Y(1) + 4));
    EXPECT_EQ(kGridLine, copy.At(g.X(2) - 1, g.Y(1) + 5));
    EXPECT_EQ(kGridLine, copy.At(g.X(1) + 5, g.Y(2) - 1));
}

TEST(ScrollBars, RangesAndPagesForEachSettingAndContentThatFits)
{
    Grid g;
    g.Itf()->put_Rows(100);  // 99 x 40 high and 9 x 50 wide beyond the fixed row and column
    for (int setting = 0; setting <= 3; ++setting) {
        SCOPED_TRACE(setting);
        g.Itf()->put_ScrollBars(setting);
        const RECT rc = g.Client();
        const bool vert = setting == 0 || setting == 2;
        const bool horz = setting == 0 || setting == 1;
        EXPECT_EQ(vert, BarShown(g, SB_VERT));
        EXPECT_EQ(horz, BarShown(g, SB_HORZ));
        // A hidden bar's page is cut to its empty range by the platform.
        EXPECT_EQ(vert ? UINT(rc.bottom - 40) : 1u, Bar(g, SB_VERT).nPage);
        EXPECT_EQ(horz ? UINT(rc.right - 50) : 1u, Bar(g, SB_HORZ).nPage);
        EXPECT_EQ(vert ? 99 * 40 - 1 : 0, Bar(g, SB_VERT).nMax);
        EXPECT_EQ(horz ? 9 * 50 - 1 : 0, Bar(g, SB_HORZ).nMax);
    }
    g.Itf()->put_ScrollBars(0);
    const UINT page = Bar(g, SB_VERT).nPage;
    MoveWindow(g.Window(), 0, 0, 400, 200, TRUE);
    EXPECT_EQ(page - 100, Bar(g, SB_VERT).nPage);

    // Content that fits has no range and no bar; growing brings the bars
    // back, and each bar's page follows the client the other leaves.
    g.Itf()->put_Rows(4);
    g.Itf()->put_Cols(4);
    for (int bar : {SB_VERT, SB_HORZ}) {
        EXPECT_FALSE(BarShown(g, bar));
        EXPECT_EQ(0, Bar(g, bar).nMax);
    }
    g.Itf()->put_Cols(20);
    EXPECT_TRUE(BarShown(g, SB_HORZ));
    g.Itf()->put_Rows(40);
    EXPECT_TRUE(BarShown(g, SB_VERT));
    EXPECT_EQ(UINT(g.Client().right - 50), Bar(g, SB_HORZ).nPage);

    // Sizes put through automation reach the ranges at once, as the mouse's do.
    g.Itf()->put_Cols(4);
    g.Itf()->put_Rows(4);
    g.Itf()->put_ColWidth(3, 1000);
    EXPECT_EQ(50 + 50 + 50 + 1000 - 50 - 1, Bar(g, SB_HORZ).nMax);
    g.Itf()->put_RowHeight(3, 1000);
    EXPECT_EQ(40 + 40 + 40 + 1000 - 40 - 1, Bar(g, SB_VERT).nMax);
}

TEST(Scroll, LinePageThumbTopAndBottomAndSideways)
{
    Grid g;
    g.Itf()->put_Rows(100);
    g.Itf()->put_Cols(30);
    const RECT client = g.Client();
    const int page = client.bottom - 40;
    const int end = 99 * 40 - page;  // the scroll bar's last position
    // Line steps repaint only the strip uncovered; at either end nothing moves.
    const struct { WPARAM code; int pos; std::string dirty; } steps[] = {
        {SB_LINEUP, 0, ""},
        {SB_LINEDOWN, 40, Box(0, client.bottom - 40, client.right, client.bottom)},
        {SB_LINEDOWN, 80, Box(0, client.bottom - 40, client.right, client.bottom)},
        {SB_LINEUP, 40, Box(0, 40, client.right, 80)},
        {SB_PAGEDOWN, 40 + page, Box(0, 40, client.right, client.bottom)},
        {SB_PAGEUP, 40, Box(0, 40, client.right, client.bottom)},
        {SB_THUMBPOSITION, 40, ""},  // outside a drag the thumb is where the position is
        {SB_BOTTOM, end, "?"},  // a refresh, which only a container turns into a repaint
        {SB_LINEDOWN, end, ""},
        {SB_PAGEDOWN, end, ""},
    };
    for (const auto& s : steps) {
        const std::string dirty = Step(g, WM_VSCROLL, s.code);
        if (s.dirty != "?") {
            EXPECT_EQ(s.dirty, dirty) << s.code << " to " << s.pos;
        }
        EXPECT_EQ(s.pos, Bar(g, SB_VERT).nPos) << s.code;
    }
    // At the end the last row shows whole, within one row of the bottom.
    RECT box;
    ASSERT_TRUE(g->CellBox(99, 1, box));
    EXPECT_LE(box.bottom, client.bottom - 1);
    EXPECT_GT(box.bottom, client.bottom - 1 - 40);
    Step(g, WM_VSCROLL, SB_TOP);
    EXPECT_EQ(0, Bar(g, SB_VERT).nPos);
    EXPECT_EQ(CCellID(1, 1), g->FirstScrolledCell());

    // Hidden rows do not stall a line step.
    g.Itf()->put_RowHeight(1, 0);
    g.Itf()->put_RowHeight(2, 0);
    Step(g, WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(40, Bar(g, SB_VERT).nPos);
    EXPECT_EQ(4, g->FirstScrolledCell().row);
    Step(g, WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(0, Bar(g, SB_VERT).nPos);

    // Sideways a line step repaints the strip right of the fixed column.
    EXPECT_EQ(Box(client.right - 50, 0, client.right, client.bottom), Step(g, WM_HSCROLL, SB_LINERIGHT));
    EXPECT_EQ(50, Bar(g, SB_HORZ).nPos);
    EXPECT_EQ(Box(50, 0, 100, client.bottom), Step(g, WM_HSCROLL, SB_LINELEFT));
    EXPECT_EQ(0, Bar(g, SB_HORZ).nPos);
}

// The wheel setting is read when a control is made: each setting gets a new
// control, and the user's own setting is put back afterwards.
TEST(Wheel, LinesPerNotchPostTheirScrollMessages)
{
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key);
    wchar_t saved[64] = {};
    DWORD size = sizeof saved;
    const bool had = RegQueryValueExW(key, L"WheelScrollLines", nullptr, nullptr, reinterpret_cast<BYTE*>(saved),
                                      &size) == ERROR_SUCCESS;
    auto use = [&](const wchar_t* lines) {
        RegSetValueExW(key, L"WheelScrollLines", 0, REG_SZ, reinterpret_cast<const BYTE*>(lines),
                       static_cast<DWORD>((wcslen(lines) + 1) * sizeof(wchar_t)));
    };
    using Codes = std::vector<WPARAM>;
    const struct { const wchar_t* lines; short delta; Codes posted; } cases[] = {
        {L"3", 120, Codes(3, SB_LINEUP)}, {L"3", 60, Codes(1, SB_LINEUP)},
        {L"3", -240, Codes(6, SB_LINEDOWN)}, {L"3", 39, Codes()},
        {L"0", 120, Codes()}, {L"0", -360, Codes()},
        {L"-1", 240, Codes(2, SB_PAGEUP)}, {L"-1", -180, Codes(1, SB_PAGEDOWN)}, {L"-1", 100, Codes()},
    };
    for (const auto& c : cases) {
        use(c.lines);
        Grid g;
        SendMessageW(g.Window(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(c.delta)), 0);
        Codes posted;
        MSG msg;
        while (PeekMessageW(&msg, g.Window(), WM_VSCROLL, WM_VSCROLL, PM_REMOVE)) posted.push_back(msg.wParam);
        EXPECT_EQ(c.posted, posted) << c.lines << " lines, delta " << c.delta;
    }
    had ? use(saved) : void(RegDeleteValueW(key, L"WheelScrollLines"));
    RegCloseKey(key);
}

TEST(BringIntoView, FarCellBecomesWhollyVisible)
{
    Grid g;
    g.Itf()->put_Rows(100000);
    g.Itf()->put_Cols(40);
    g.Itf()->put_ColWidth(35, 120);
    g->SetFocusCell(1, 1);
    g->SetFocusCell(90000, 35);
    EXPECT_TRUE(g->CellShows(90000, 35));
    RECT box;
    ASSERT_TRUE(g->CellBox(90000, 35, box));
    const RECT client = g.Client();
    EXPECT_LE(box.right, client.right - 1);
    EXPECT_LE(box.bottom, client.bottom - 1);
    EXPECT_GE(box.left, 50);
    EXPECT_GE(box.top, 40);
    // Scrolled no further than needed: the cell ends within one cell of the edge.
    EXPECT_GT(box.bottom, client.bottom - 1 - 40);
    // And back to a cell above and left of the view.
    g->SetFocusCell(5, 2);
    ASSERT_TRUE(g->CellBox(5, 2, box));
    EXPECT_EQ(50, box.left);
    EXPECT_EQ(40, box.top);
}

// Text inside the code page looks exactly as the 8-bit drawing calls drew it.
TEST(Painting, CodePageTextKeepsItsPixels)
{
    Grid g;
    const wchar_t* text = L"Caf\u00E9 \u00C6b";
    auto paint = [&](const wchar_t* shown) {
        g.SetText(0, 1, shown);
        g.SetText(1, 1, shown);
        return g.Paint();
    };
    const auto drawn = paint(text);
    const auto expected = paint(L"");
    // The fixed font in the header, the standard one in the cell; both black.
    fw::ComPtr<IFontDisp> fixed;
    g.Itf()->get_FixedFont(fixed.Put());
    const view::CPropertyFont fonts[2] = {view::CPropertyFont(fixed.Get()), view::CPropertyFont(g->GetCell(2, 2).Font())};
    const RECT boxes[2] = {{g.X(1) + 1, 1, g.X(2) - 2, g.H(0) - 2}, {g.X(1), g.Y(1), g.X(2) - 1, g.Y(2) - 1}};
    for (int i = 0; i < 2; ++i) {
        SelectObject(expected->Dc(), fonts[i].Get());
        SetBkMode(expected->Dc(), TRANSPARENT);
        RECT box = boxes[i];
        DrawTextA(expected->Dc(), "Caf\xE9 \xC6" "b", -1, &box, i == 0 ? DT_WORDBREAK : 0);
    }
    EXPECT_EQ(0u, drawn->PixelsDifferingFrom(*expected));
}

// Fitting makes no font per cell: many rows measure as one row does, and
// leave no object behind.
TEST(Fitting, ManyRowsMakeNoObjectsAndMeasureAsOne)
{
    Grid g;
    g.Itf()->put_Rows(2);
    g.SetText(1, 1, L"Widest text");
    g.Itf()->AdjustColWidth(1);
    g.Itf()->AdjustRowHeight(1);
    const int width = g.W(1), height = g.H(1);
    const int rows = 20000;
    g.Itf()->put_Rows(rows);
    for (int row = 1; row < rows; ++row) g.SetText(row, 1, L"Widest text");
    const DWORD objects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const size_t extras = g->Grid().CellsWithExtras();
    g.Itf()->AdjustColWidths();
    g.Itf()->AdjustRowHeights();
    EXPECT_EQ(width, g.W(1));
    EXPECT_EQ(height, g.H(rows - 1));
    EXPECT_EQ(objects, GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    EXPECT_EQ(extras, g->Grid().CellsWithExtras());
}

TEST(Fitting, SizesFollowTheWidestTextAndThePastTheEndIndexDoesNothing)
{
    Grid g;
    // Left, right and centred text, and text broken at words, before the
    // sizes change.
    for (int col = 1; col <= 3; ++col) {
        g.SetText(1, col, L"ab");
        g->GetCell(1, col).Set(&CellAttrs::alignment, col - 1);
    }
    g.SetText(2, 1, L"aaaa bbbb cccc");
    g->GetCell(2, 1).Set(&CellAttrs::wordWrap, 1);
    const auto shot = g.Paint();
    const auto ink = [&](int col) { return shot->Ink(RECT{g.X(col) + 1, g.Y(1) + 1, g.X(col + 1) - 1, g.Y(2) - 1}); };
    EXPECT_LE(ink(1).left - g.X(1), 4);
    EXPECT_LE(g.X(3) - 1 - ink(2).right, 4);
    const int lead = ink(3).left - g.X(3), trail = g.X(4) - 1 - ink(3).right;
    EXPECT_LE(lead - trail, 2);
    EXPECT_LE(trail - lead, 2);
    const RECT wrapped = shot->Ink(RECT{g.X(1) + 1, g.Y(2) + 1, g.X(2) - 1, g.Y(3) - 1});
    EXPECT_GT(wrapped.bottom - wrapped.top, 2 * (ink(1).bottom - ink(1).top));
    for (int col = 1; col <= 3; ++col) g.SetText(1, col, L"");
    g.SetText(2, 1, L"");

    EXPECT_EQ(S_OK, g.Itf()->AdjustColWidth(3));
    EXPECT_EQ(3, g.W(3));  // every text empty

    g.SetText(2, 4, L"A rather long text for one cell");
    EXPECT_EQ(S_OK, g.Itf()->AdjustColWidths());
    EXPECT_GT(g.W(4), 100);
    EXPECT_EQ(3, g.W(3));
    EXPECT_EQ(S_OK, g.Itf()->AdjustRowHeight(2));
    EXPECT_GT(g.H(2), 3);
    EXPECT_LT(g.H(2), 40);

    fw::Bstr before, after;
    g.Itf()->get_Widths(before.Put());
    UpdateWindow(g.Window());
    ValidateRect(g.Window(), nullptr);
    EXPECT_EQ(S_OK, g.Itf()->AdjustColWidth(10));
    g.Itf()->get_Widths(after.Put());
    EXPECT_STREQ(before.Get(), after.Get());
    EXPECT_FALSE(GetUpdateRect(g.Window(), nullptr, FALSE));
}

} // namespace
