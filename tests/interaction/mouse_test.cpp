// Mouse gestures and cell hints of the hosted control, driven by real mouse
// messages at points computed from its column widths and row heights, with
// a sink that records its events. The editor opening on a release and the
// auto-scroll, whose arrow keys go through the key handler, are here too.
// The pure questions of the gestures come last, as tables, and the one-pass
// move of a row or column against the neighbour exchanges it replaces.
#include <windows.h>
#include <gtest/gtest.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "interaction/MouseGesture.h"
#include "interaction/keyed_grid.h"
#include "model/GridTable.h"
#include "support/hosted_grid.h"
#include "view/Metrics.h"
#include "view/windowed_grid.h"

namespace {

using Events = std::vector<std::string>;
// DISPIDs: 1 OnBeforeEdit, 5 OnFixedColClick, 6 OnFixedRowClick, 7 OnClick,
// 8 OnDblClick, 9 OnKeyPress, 10 OnSelectCell, 11 OnSelectRange,
// 13 OnEnterCell, 14 OnLeaveCell, 15 ViewChange, 16/17 OnDragAndDropRow/Col.

using Cell = std::pair<int, int>;  // row, column

class Mouse : public test::HostedGrid {
protected:
    void SetUp() override
    {
        HostedGrid::SetUp();
        if (HasFatalFailure()) return;
        // Column 0 and row 0 fixed; 30 + 5 x 50 by 8 x 20 pixels.
        Size(6, 8);
        sink.Events().clear();
    }
    void TearDown() override
    {
        ClipCursor(nullptr);
        HostedGrid::TearDown();
    }
    void Size(int cols, int rows)
    {
        grid->put_Cols(cols);
        grid->put_Rows(rows);
        for (int c = 0; c < cols; ++c) grid->put_ColWidth(c, c == 0 ? 30 : 50);
        for (int r = 0; r < rows; ++r) grid->put_RowHeight(r, 20);
    }

    int W(int col) const { int w = 0; grid->get_ColWidth(col, &w); return w; }
    int H(int row) const { int h = 0; grid->get_RowHeight(row, &h); return h; }
    int X(int col) const { int x = 0; for (int c = 0; c < col; ++c) x += W(c); return x; }
    int Y(int row) const { int y = 0; for (int r = 0; r < row; ++r) y += H(r); return y; }
    int CX(int col) const { return X(col) + W(col) / 2; }
    int CY(int row) const { return Y(row) + H(row) / 2; }

    LRESULT Send(UINT msg, int x, int y, WPARAM keys = 0) const { return SendMessageW(control, msg, keys, MAKELPARAM(x, y)); }
    void Press(int x, int y, WPARAM keys = 0) const { Send(WM_LBUTTONDOWN, x, y, MK_LBUTTON | keys); }
    void Drag(int x, int y) const { Send(WM_MOUSEMOVE, x, y, MK_LBUTTON); }
    void Hover(int x, int y) const { Send(WM_MOUSEMOVE, x, y); }
    void Release(int x, int y, WPARAM keys = 0) const { Send(WM_LBUTTONUP, x, y, keys); }
    void Click(int x, int y, WPARAM keys = 0) const { Press(x, y, keys), Release(x, y, keys); }
    void ClickCell(int row, int col, WPARAM keys = 0) const { Click(CX(col), CY(row), keys); }

    // Events without the repaint requests.
    Events Raised()
    {
        Events out;
        for (const std::string& e : sink.Events())
            if (e != "15()") out.push_back(e);
        return out;
    }
    bool RaisedAny(const std::string& prefix)
    {
        return std::any_of(sink.Events().begin(), sink.Events().end(), [&](auto& e) { return e.rfind(prefix, 0) == 0; });
    }
    Cell Current() const
    {
        Cell c;
        grid->get_CurrentCellRow(&c.first), grid->get_CurrentCellCol(&c.second);
        return c;
    }
    std::string Corners() const { return test::Corners(grid.Get()); }
    void Region(int row, int col) const { test::Region(grid.Get(), row, col); }
    void SetHint(int row, int col, const wchar_t* text) const
    {
        Region(row, col);
        grid->put_Hint(fw::Bstr(text).Get());
    }

    HWND Editor() const { return FindWindowExW(control, nullptr, L"Edit", nullptr); }
    void EditBit(int row, int col)
    {
        Region(row, col);
        grid->put_TypeEx(2);
    }
    // Puts the pointer at a client point of the control and clips it to that
    // pixel: late motion from the X server, which Wine may apply after the
    // warp, then cannot move it before the control reads it. false when the
    // platform did not put the pointer there.
    bool PointAt(int x, int y) const
    {
        POINT pt = {x, y}, now = {};
        ClientToScreen(control, &pt);
        const RECT pixel = {pt.x, pt.y, pt.x + 1, pt.y + 1};
        SetCursorPos(pt.x, pt.y);
        ClipCursor(&pixel);
        return GetCursorPos(&now) && now.x == pt.x && now.y == pt.y;
    }
};

TEST_F(Mouse, ClicksMoveTheCurrentCellAndSelect)
{
    Press(CX(3), CY(2));
    EXPECT_EQ((Events{"14(-1,-1)", "13(2,3)", "7()", "10(3,2)"}), Raised());
    Release(CX(3), CY(2));
    EXPECT_EQ("11()", Raised().back());

    // On the current cell: OnClick alone; the release opens the editor.
    EditBit(2, 3);
    sink.Events().clear();
    ClickCell(2, 3);
    EXPECT_EQ((Events{"7()", "1(3,2,'text',&0)"}), Raised());
    EXPECT_NE(nullptr, Editor());

    // Shift: from the current cell, which moves to the clicked one.
    ClickCell(5, 4, MK_SHIFT);
    EXPECT_EQ("3,2-4,5", Corners());
    EXPECT_EQ((Cell{5, 4}), Current());

    // The corner selects every movable cell, with no fixed-click event.
    sink.Events().clear();
    ClickCell(0, 0);
    EXPECT_EQ("1,1-5,7", Corners());
    EXPECT_FALSE(RaisedAny("5(") || RaisedAny("6("));

    // The empty background: nothing.
    sink.Events().clear();
    Press(350, 250);
    EXPECT_TRUE(sink.Events().empty());
    Release(350, 250);

    // A double click opens the editor on the current cell.
    EditBit(4, 2);
    ClickCell(1, 1);
    ClickCell(4, 2);
    Send(WM_LBUTTONDBLCLK, CX(2), CY(4), MK_LBUTTON);
    Release(CX(2), CY(4));
    EXPECT_TRUE(RaisedAny("8()"));
    EXPECT_TRUE(IsWindowVisible(Editor()));
    // Any press ends the edit.
    Press(CX(1), CY(1));
    EXPECT_FALSE(IsWindowVisible(Editor()));
    Release(CX(1), CY(1));
    grid->ExchangeRows(1, 2);
    EXPECT_EQ(Cell(-1, -1), Current());
}

// A move repaints only what it changed in the control's own window, and the
// picture is still the one a full repaint gives, after scrolls and after
// gestures on the whole grid.
TEST_F(Mouse, MovesRepaintOnlyWhatChanged)
{
    Size(6, 40);
    Region(3, 2);
    grid->put_Color(RGB(200, 255, 255));
    ClickCell(2, 3);
    UpdateWindow(control);
    RECT client, dirty;
    GetClientRect(control, &client);
    SendMessageW(control, WM_KEYDOWN, VK_RIGHT, 0);
    GetUpdateRect(control, &dirty, FALSE);
    EXPECT_LT((dirty.right - dirty.left) * (dirty.bottom - dirty.top), client.right * client.bottom / 4);
    UpdateWindow(control);
    for (int i = 0; i < 20; ++i) {
        SendMessageW(control, WM_KEYDOWN, i < 18 ? VK_DOWN : VK_LEFT, 0);
        UpdateWindow(control);
    }
    const auto samePicture = [&](const char* gesture) {
        UpdateWindow(control);
        view_test::Canvas partial(client.right, client.bottom), full(client.right, client.bottom);
        partial.CopyScreen(control);
        InvalidateRect(control, nullptr, TRUE);
        UpdateWindow(control);
        full.CopyScreen(control);
        EXPECT_EQ(0u, full.PixelsDifferingFrom(partial)) << gesture;
    };
    const struct { int x, y; WPARAM keys; const char* gesture; } clicks[] = {
        {CX(2), CY(4), MK_SHIFT, "shift+click"}, {5, 5, 0, "corner"}, {CX(3), 70, 0, "cell"}, {CX(2), 10, 0, "header"},
        {CX(4), 10, MK_SHIFT, "shift+header"}};
    for (const auto& c : clicks) Click(c.x, c.y, c.keys), samePicture(c.gesture);
    {
        keys_test::Held ctrl{VK_CONTROL};
        SendMessageW(control, WM_KEYDOWN, 'A', 0);
    }
    samePicture("ctrl+a");
    SendMessageW(control, WM_KEYDOWN, VK_DELETE, 0);
    samePicture("delete");
}

TEST_F(Mouse, HeaderPressSelectsWithoutFocusAndDragsWithIt)
{
    // The fixed-click event expected, and the event of the release, or null.
    const struct { bool focused, dragOn, columns; const char *fixedClick, *corners, *drop; } cases[] = {
        {false, true, true, "5(3)", "3,1-3,7", nullptr},
        {false, true, false, "6(2)", "1,2-5,2", nullptr},
        {true, true, true, nullptr, "-1,-1--1,-1", "17(3,3)"},
        {true, true, false, nullptr, "-1,-1--1,-1", "16(2,2)"},
        {true, false, true, nullptr, "-1,-1--1,-1", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.columns ? "column" : "row") + (c.focused ? " focused" : "") +
                     (c.dragOn ? " drag" : ""));
        grid->ClearSelection();
        grid->put_DragAndDropCols(c.dragOn);
        grid->put_DragAndDropRows(c.dragOn);
        ::SetFocus(c.focused ? control : host.Frame());
        ASSERT_EQ(c.focused, GetFocus() == control);
        sink.Events().clear();
        const int x = c.columns ? CX(3) : CX(0);
        const int y = c.columns ? CY(0) : CY(2);
        Press(x, y);
        EXPECT_TRUE(RaisedAny("7()"));
        EXPECT_TRUE(c.fixedClick ? RaisedAny(c.fixedClick) : !(RaisedAny("5(") || RaisedAny("6(") || RaisedAny("10(")));
        EXPECT_EQ(c.corners, Corners());
        sink.Events().clear();
        Release(x, y);
        if (c.drop) { EXPECT_EQ(c.drop, Raised().back()); }
    }
}

TEST_F(Mouse, DividersSizeOrFitTheColumnOrRowBeforeThem)
{
    for (bool columns : {true, false}) {
        SCOPED_TRACE(columns ? "columns" : "rows");
        auto at = [&](int along) { return columns ? POINT{along, 10} : POINT{10, along}; };
        auto size2 = [&] { return columns ? W(2) : H(2); };
        auto edge = [&] { return (columns ? X(3) : Y(3)) + 2; };  // 2 px past column (row) 3's near edge
        const int start = columns ? X(2) : Y(2), before = size2();
        // Pressed at the edge in the fixed row (column), released at `along`.
        auto sizeTo = [&](int along) {
            const POINT p = at(edge()), q = at(along);
            Hover(p.x, p.y);
            Press(p.x, p.y);
            Drag(q.x, q.y);
            Release(q.x, q.y);
            return size2();
        };
        EXPECT_EQ(before, sizeTo(edge()));  // released where pressed: nothing changes
        EXPECT_EQ(40, sizeTo(start + 40));
        // Sizing off: the same gesture sizes nothing (and, without the
        // focus, is a header click rather than a drag).
        ::SetFocus(host.Frame());
        columns ? grid->put_ColSizing(VARIANT_FALSE) : grid->put_RowSizing(VARIANT_FALSE);
        EXPECT_EQ(40, sizeTo(start + 25));

        // A double click on a divider fits as Adjust does.
        columns ? grid->put_ColSizing(VARIANT_TRUE) : grid->put_RowSizing(VARIANT_TRUE);
        Size(6, 8);
        const POINT p = columns ? POINT{X(3) + 2, 10} : POINT{10, Y(4) + 2};
        Hover(p.x, p.y);
        Send(WM_LBUTTONDBLCLK, p.x, p.y, MK_LBUTTON);
        Release(p.x, p.y);
        const int fitted = columns ? W(2) : H(3);
        EXPECT_NE(columns ? 50 : 20, fitted);
        EXPECT_EQ(columns ? 50 : 20, columns ? W(3) : H(4));  // the one after the divider stays
        columns ? grid->put_ColWidth(2, 7) : grid->put_RowHeight(3, 7);
        columns ? grid->AdjustColWidth(2) : grid->AdjustRowHeight(3);
        EXPECT_EQ(fitted, columns ? W(2) : H(3));
    }
}

// The built-in sizes, hosted; ctest runs this again at 144 DPI, named by
// KVADRA_TEST_DPI, in a Wine prefix of its own.
TEST_F(Mouse, BuiltInSizesFollowTheScreenDpi)
{
    const char* dpi = std::getenv("KVADRA_TEST_DPI");
    const view::Metrics m = view::MetricsAt(dpi ? std::atoi(dpi) : 96);
    SendMessageW(control, 0x02E3 /* WM_DPICHANGED_AFTERPARENT */, 0, 0);  // the sizes taken anew, the old ones kept
    grid->put_Cols(7), grid->put_Rows(9);
    EXPECT_EQ((std::vector<int>{m.colWidth, m.rowHeight, 50, 20}), (std::vector<int>{W(6), H(8), W(5), H(7)}));
    RECT r = {}, list = {}, button = {};
    auto box = [&](const wchar_t* cls, RECT& rc) { GetWindowRect(FindWindowExW(control, nullptr, cls, nullptr), &rc); };
    grid->put_ColWidth(2, 200);
    test::Region(grid.Get(), 4, 2), grid->put_TypeEx(12), ClickCell(4, 2);  // a list with a push button
    box(L"COMBOBOX", list), box(L"BUTTON", button);
    EXPECT_EQ(W(2) - 1 - m.buttonSpace, list.right - list.left);
    EXPECT_EQ(m.buttonSize, button.bottom - button.top);
    test::Region(grid.Get(), 4, 3), grid->put_TypeEx(2), ClickCell(4, 3);  // a text box too low for its font grows
    SendMessageW(FindWindowExW(control, nullptr, L"EDIT", nullptr), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_GT(r.top, 0);  // the text clears the border
    test::Region(grid.Get(), 2, 1), grid->put_TypeEx(8), box(L"BUTTON", button);
    EXPECT_EQ(m.cellButton, button.right - button.left);
    Hover(X(3) + 4, 10);  // 4 pixels right of a divider: gripped from 120 DPI on
    EXPECT_EQ(4 <= m.edgeTolerance, GetCursor() == LoadCursorW(nullptr, IDC_SIZEWE));
}

TEST_F(Mouse, DraggedRowsAndColumnsLandBeforeTheTarget)
{
    HMODULE dll = GetModuleHandleW(L"Kvadra.dll");
    ASSERT_NE(nullptr, dll);
    const HCURSOR allowed = LoadCursorW(dll, MAKEINTRESOURCEW(203));
    const HCURSOR refused = LoadCursorW(dll, MAKEINTRESOURCEW(204));
    // Target -1: outside the table; landed: where the dragged one ends, -1 when nothing moves.
    const struct { bool rows; int from, target, landed, exchanges; } cases[] = {
        {true, 5, 2, 2, 3}, {true, 2, 5, 4, 2}, {true, 5, -1, -1, 0},
        {false, 4, 2, 2, 2}, {false, 2, 4, 3, 1}, {false, 4, -1, -1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.rows) + " " + std::to_string(c.from) + "->" + std::to_string(c.target));
        // Sizes tell the rows (columns) apart and travel with them.
        for (int i = 1; i < 8; ++i) grid->put_RowHeight(i, 20 + i);
        for (int i = 1; i < 6; ++i) grid->put_ColWidth(i, 50 + i);
        ::SetFocus(control);
        const POINT from = c.rows ? POINT{CX(0), CY(c.from)} : POINT{CX(c.from), CY(0)};
        const POINT to = c.target < 0 ? (c.rows ? POINT{CX(0), 250} : POINT{350, CY(0)})
                                      : (c.rows ? POINT{CX(0), CY(c.target)} : POINT{CX(c.target), CY(0)});
        Press(from.x, from.y);
        Drag(to.x, to.y);
        EXPECT_EQ(c.target < 0 ? refused : allowed, GetCursor());
        sink.Events().clear();
        Release(to.x, to.y);
        Events expected(c.exchanges, "15()");
        expected.push_back(std::string(c.rows ? "16(" : "17(") + std::to_string(c.from) + "," +
                           std::to_string(c.target) + ")");
        EXPECT_EQ(expected, sink.Events());
        const int at = c.landed >= 0 ? c.landed : c.from;
        EXPECT_EQ(c.rows ? 20 + c.from : 50 + c.from, c.rows ? H(at) : W(at));
        if (c.landed >= 0) { EXPECT_EQ(-1, Current().first); }
    }
}

TEST_F(Mouse, RangeDragExtendsTheTimerEndsWithTheGestureAndDisabledIgnoresIt)
{
    Press(CX(2), CY(2));
    Drag(CX(3), CY(4));
    EXPECT_EQ("2,2-3,4", Corners());
    EXPECT_EQ((Cell{4, 3}), Current());
    sink.Events().clear();
    Release(CX(3), CY(4));
    EXPECT_EQ((Events{"11()"}), Raised());

    // The auto-scroll timer runs while the button is held, and stops with
    // the release or with the loss of the capture.
    enum End { Held, Released, CaptureLost };
    for (End end : {Held, Released, CaptureLost}) {
        // A cell other than the current one each time.
        Press(CX(2), CY(5 + end));
        ASSERT_EQ(control, GetCapture());
        if (end == Released) Release(CX(2), CY(5 + end));
        if (end == CaptureLost) SetCapture(host.Frame());
        EXPECT_EQ(end == Held, KillTimer(control, 513) != FALSE) << end;
        ReleaseCapture();
    }

    // A disabled control ignores the mouse.
    grid->put_Enabled(VARIANT_FALSE);
    sink.Events().clear();
    Press(CX(2), CY(2));
    Drag(CX(3), CY(4));
    EXPECT_EQ(0, Send(WM_LBUTTONUP, CX(3), CY(4)));
    Send(WM_LBUTTONDBLCLK, CX(3), CY(4), MK_LBUTTON);
    EXPECT_TRUE(sink.Events().empty());
    EXPECT_EQ(Cell(-1, -1), Current());
    EXPECT_EQ(nullptr, GetCapture());
}

// --- Hints -------------------------------------------------------------------------

struct Tool { RECT rect = {}; std::wstring text; bool found = false; };

// The control's one tool, as a tooltip holds it.
Tool ReadTool(HWND tip, HWND owner)
{
    wchar_t buffer[1024] = {};
    TOOLINFOW ti = {};
    ti.cbSize = TTTOOLINFOW_V1_SIZE;
    ti.hwnd = owner;
    ti.uId = 1;
    Tool t;
    t.found = SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
    t.rect = ti.rect;
    ti.lpszText = buffer;
    SendMessageW(tip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&ti));
    t.text = buffer;
    return t;
}

class Hints : public Mouse {
protected:
    // From the tooltip of this thread that holds the control's tool.
    Tool Read() const
    {
        for (HWND tip : test::ThreadWindows(TOOLTIPS_CLASSW))
            if (Tool t = ReadTool(tip, control); t.found) return t;
        return {};
    }
    RECT Box(int row, int col) const { return RECT{X(col), Y(row), X(col) + W(col) - 1, Y(row) + H(row) - 1}; }
    void HoverCell(int row, int col) const { Hover(CX(col), CY(row)); }
};

bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

const wchar_t kGreek[] = L"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac";
const wchar_t kCyrillic[] = L"\u041a\u0438\u0440\u0438\u043b\u043b\u0438\u0446\u0430";

TEST_F(Hints, HoverMovesTheToolFromCellToCellUnlessHintsCannotShow)
{
    SetHint(2, 3, kGreek);
    SetHint(4, 3, kCyrillic);
    SetHint(0, 2, L"fixed");
    HoverCell(2, 3);
    EXPECT_EQ(kGreek, Read().text);
    EXPECT_TRUE(Box(2, 3) == Read().rect);

    // Inside the same cell nothing is sent, even for a changed hint.
    SetHint(2, 3, L"changed");
    Hover(CX(3) + 5, CY(2) + 3);
    EXPECT_EQ(kGreek, Read().text);
    // A cell without a hint leaves the tool alone.
    HoverCell(3, 3);
    EXPECT_EQ(kGreek, Read().text);
    EXPECT_TRUE(Box(2, 3) == Read().rect);

    HoverCell(4, 3);
    EXPECT_EQ(kCyrillic, Read().text);
    EXPECT_TRUE(Box(4, 3) == Read().rect);
    HoverCell(0, 2);
    EXPECT_EQ(L"fixed", Read().text);

    // After a scroll the same cell gets its new rectangle.
    Size(6, 30);
    SetHint(5, 1, L"five");
    HoverCell(5, 1);
    EXPECT_EQ(Y(5), Read().rect.top);
    SendMessageW(control, WM_VSCROLL, SB_LINEDOWN, 0);
    // Row 1 scrolled away: row 5 is now one row higher.
    Hover(CX(1), Y(5) - H(1) + 5);
    EXPECT_EQ(Y(5) - H(1), Read().rect.top);

    // Nothing is updated when hints cannot show.
    SendMessageW(control, WM_VSCROLL, SB_TOP, 0);
    SetHint(2, 3, kGreek);
    SetHint(0, 3, L"edge");
    enum Why { HintsOff, Disabled, OverDivider };
    for (Why why : {HintsOff, Disabled, OverDivider}) {
        HoverCell(5, 5);  // away, and a cell without a hint
        if (why == HintsOff) grid->put_ShowCellHint(VARIANT_FALSE);
        if (why == Disabled) grid->put_Enabled(VARIANT_FALSE);
        const Tool before = Read();
        why == OverDivider ? Hover(X(3) + 1, 10) : HoverCell(2, 3);
        EXPECT_EQ(before.text, Read().text) << why;
        grid->put_ShowCellHint(VARIANT_TRUE);
        grid->put_Enabled(VARIANT_TRUE);
    }
    Hover(CX(3), 10);
    EXPECT_EQ(L"edge", Read().text);
}

// A control whose window is made again gets a new tooltip, and the first
// hover over the cell hinted before sets the tool again.
TEST(HintWindow, GoesWithTheWindowAndComesBackWithNoHintedCell)
{
    view_test::Grid g(400, 300);
    test::Region(g.Itf(), 2, 2);
    g.Itf()->put_Hint(fw::Bstr(L"two").Get());
    const LPARAM centre = MAKELPARAM(g.X(2) + 25, g.Y(2) + 20);
    HWND first = g->HintWindow();
    ASSERT_NE(nullptr, first);
    SendMessageW(g.Window(), WM_MOUSEMOVE, 0, centre);

    HWND parent = GetParent(g.Window());
    DestroyWindow(g.Window());
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(nullptr, g->HintWindow());

    g->Open(parent, RECT{0, 0, 400, 300});
    ASSERT_NE(nullptr, g->HintWindow());
    SendMessageW(g.Window(), WM_MOUSEMOVE, 0, centre);
    EXPECT_EQ(L"two", ReadTool(g->HintWindow(), g.Window()).text);
}

// The ticks are sent by hand, so that their number depends on the test
// alone; each reads the pointer, held above the cells.
TEST_F(Mouse, AutoScrollAboveTheCellsMovesUpOneRowPerTick)
{
    Size(6, 40);
    for (int i = 0; i < 10; ++i) SendMessageW(control, WM_VSCROLL, SB_LINEDOWN, 0);
    // Row 11 shows first, under the fixed row; press on row 12.
    Press(CX(2), CY(2));
    const int startRow = Current().first;
    Drag(CX(2), 10);
    if (!PointAt(CX(2), 10)) GTEST_SKIP() << "the pointer could not be placed";
    sink.Events().clear();
    SendMessageW(control, WM_TIMER, 513, 0);
    SendMessageW(control, WM_TIMER, 513, 0);
    EXPECT_EQ(2, std::count(sink.Events().begin(), sink.Events().end(), "9(38)"));
    EXPECT_EQ(startRow - 2, Current().first);

    Release(CX(2), 10);
    EXPECT_FALSE(KillTimer(control, 513));
}

TEST(MouseGesture, PlanDropLandsBeforeTheTarget)
{
    const struct { int dragged, target; bool inside; int from, to, count; } cases[] = {
        {5, 2, true, 5, 2, 3},    // up: ends at the target
        {2, 5, true, 2, 4, 2},    // down: ends just above it
        {2, 3, true, -1, -1, 0},  // onto the next one: already there
        {4, 4, true, -1, -1, 0},
        {9, 1, true, 9, 1, 8},    // onto the first movable one
        {5, 0, true, -1, -1, 0},  // onto a fixed one
        {5, -1, false, -1, -1, 0},
        {5, 3, false, -1, -1, 0},  // row hit, column missed
        {-1, 5, true, -1, -1, 0},  // no current row
        {12, 5, true, -1, -1, 0},  // gone from the table
    };
    for (const auto& c : cases) {
        const mouse::Drop d = mouse::PlanDrop(c.dragged, c.target, 1, 10, c.inside);
        EXPECT_EQ(std::make_tuple(c.from, c.to, c.count), std::make_tuple(d.from, d.to, d.count))
            << c.dragged << "->" << c.target << " " << c.inside;
    }
}

TEST(MouseGesture, SizedIndexTakesThePreviousCellNearTheLeftEdge)
{
    EXPECT_EQ(2, mouse::SizedIndex(103, 100, 3));
    EXPECT_EQ(2, mouse::SizedIndex(100, 100, 3));
    EXPECT_EQ(3, mouse::SizedIndex(104, 100, 3));
    EXPECT_EQ(3, mouse::SizedIndex(147, 100, 3));  // near the right edge: this one
}

TEST(MouseGesture, AutoScrollStepsFollowThePointerOutsideTheCells)
{
    const RECT client = {0, 0, 200, 100};  // fixed area 30 wide, 20 high
    const struct { POINT pt; std::vector<WORD> keys; std::vector<POINT> probes; } cases[] = {
        {{50, 50}, {}, {}},
        {{50, 10}, {VK_UP}, {{50, 21}}},
        {{50, 100}, {VK_DOWN}, {{50, 100}}},
        {{-20, 150}, {VK_DOWN, VK_LEFT}, {{0, 100}, {31, 100}}},
        {{250, 50}, {VK_RIGHT}, {{200, 50}}},
        {{10, 10}, {VK_UP, VK_LEFT}, {{10, 21}, {31, 10}}},
    };
    for (const auto& c : cases) {
        const mouse::ScrollSteps plan = mouse::PlanAutoScroll(c.pt, client, 30, 20);
        ASSERT_EQ(static_cast<int>(c.keys.size()), plan.count) << c.pt.x << "," << c.pt.y;
        for (int i = 0; i < plan.count; ++i)
            EXPECT_EQ(std::make_tuple(c.keys[i], c.probes[i].x, c.probes[i].y),
                      std::make_tuple(plan.steps[i].key, plan.steps[i].probe.x, plan.steps[i].probe.y))
                << c.pt.x << "," << c.pt.y << " step " << i;
    }
}

// A 6 x 6 table whose cells, rows and columns can be told apart.
void Fill(CGridTable& t)
{
    t.ResizeCols(6);
    t.ResizeRows(6);
    for (int i = 0; i < 6; ++i) {
        t.SetRowHeight(i, 10 + i);
        t.SetColumnWidth(i, 40 + i);
        for (int j = 0; j < 6; ++j) t.GetCell(i, j).Set(&CellAttrs::typeEx, i * 6 + j);
    }
}

std::vector<int> Picture(const CGridTable& t)
{
    std::vector<int> out;
    for (int r = 0; r < t.Rows(); ++r)
        for (int c = 0; c < t.Cols(); ++c) out.push_back(t.GetCell(r, c).TypeEx());
    for (int i = 0; i < 6; ++i) {
        out.push_back(t.GetRowHeight(i));
        out.push_back(t.GetColumnWidth(i));
        out.push_back(t.RowSums().Before(i));
        out.push_back(t.ColumnSums().Before(i));
    }
    return out;
}

TEST(MouseGesture, MoveGivesTheOrderOfTheNeighbourExchanges)
{
    for (bool rows : {true, false}) {
        for (auto [from, to] : {std::pair{5, 1}, std::pair{1, 4}, std::pair{0, 5}}) {
            CGridTable moved, exchanged;
            Fill(moved);
            Fill(exchanged);
            const int step = from < to ? 1 : -1;
            for (int i = from; i != to; i += step)
                rows ? exchanged.ExchangeRows(i, i + step) : exchanged.ExchangeCols(i, i + step);
            ASSERT_TRUE(rows ? moved.MoveRow(from, to) : moved.MoveCol(from, to));
            EXPECT_EQ(Picture(exchanged), Picture(moved)) << rows << " " << from << "->" << to;
        }
    }
    CGridTable t;
    Fill(t);
    EXPECT_FALSE(t.MoveRow(1, 6));
    EXPECT_FALSE(t.MoveCol(-1, 0));
    EXPECT_FALSE(t.MoveRow(2, 2));
}

} // namespace
