// The control in a real container window: its scroll bars, the scrolling
// messages and what they repaint, the wheel, bringing cells into view and
// fitting columns to their texts.
#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "control/Tessera.h"
#include "framework/com_ptr.h"
#include "framework/module.h"
#include "support/ax_host.h"  // PumpMessages

namespace {

// The control with a window of its own inside a plain frame, without a
// container, so that its scroll bars and layout can be read directly.
class CWindowedTessera : public CTessera {
public:
    HWND Open(HWND parent, const RECT& rc) { return CreateControlWindow(parent, rc); }
    HWND Hwnd() const { return ControlWindow(); }
};

class Grid {
public:
    explicit Grid(int width = 400, int height = 300)
    {
        if (!fw::Module::Instance()) fw::Module::Init(GetModuleHandleW(nullptr));
        m_frame = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width, height,
                                  nullptr, nullptr, nullptr, nullptr);
        EXPECT_HRESULT_SUCCEEDED(fw::CreateInstance<CWindowedTessera>(nullptr, IID_ITessera, m_itf.PutVoid()));
        m_grid = static_cast<CWindowedTessera*>(static_cast<CTessera*>(m_itf.Get()));
        m_grid->Open(m_frame, RECT{0, 0, width, height});
        test::PumpMessages();
    }
    ~Grid()
    {
        m_itf.Reset();
        DestroyWindow(m_frame);
        test::PumpMessages();
    }

    CWindowedTessera* operator->() const { return m_grid; }
    ITessera* Itf() const { return m_itf.Get(); }
    HWND Window() const { return m_grid->Hwnd(); }
    // Resizes the control window as a container would.
    void Resize(int width, int height) const { MoveWindow(Window(), 0, 0, width, height, TRUE); }

    SCROLLINFO Bar(int bar) const
    {
        SCROLLINFO si = {};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL;
        if (!GetScrollInfo(Window(), bar, &si)) si.nPos = si.nMax = si.nPage = 0;
        return si;
    }
    bool BarShown(int bar) const
    {
        return (GetWindowLongW(Window(), GWL_STYLE) & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
    }
    RECT Client() const
    {
        RECT rc;
        GetClientRect(Window(), &rc);
        return rc;
    }
    // Sends one scroll code with nothing waiting to be painted, and answers
    // what the step left to repaint (empty when nothing).
    RECT Step(UINT msg, WPARAM code) const
    {
        UpdateWindow(Window());
        ValidateRect(Window(), nullptr);
        SendMessageW(Window(), msg, code, 0);
        RECT dirty = {};
        GetUpdateRect(Window(), &dirty, FALSE);
        return dirty;
    }

private:
    HWND m_frame = nullptr;
    fw::ComPtr<ITessera> m_itf;
    CWindowedTessera* m_grid = nullptr;
};

RECT Rect(LONG l, LONG t, LONG r, LONG b) { return RECT{l, t, r, b}; }

::testing::AssertionResult Same(const RECT& want, const RECT& got)
{
    if (EqualRect(&want, &got)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "{" << got.left << "," << got.top << "," << got.right << ","
                                         << got.bottom << "} instead of {" << want.left << "," << want.top
                                         << "," << want.right << "," << want.bottom << "}";
}

TEST(ScrollBars, RangesAndPagesForEachSetting)
{
    Grid g;
    ASSERT_NE(nullptr, g.Window());
    g.Itf()->put_Rows(100);  // 100 x 40 high, 10 x 50 wide, one fixed row and column
    for (int setting = 0; setting <= 3; ++setting) {
        SCOPED_TRACE(setting);
        g.Itf()->put_ScrollBars(setting);
        const RECT rc = g.Client();
        const bool vert = setting == 0 || setting == 2;
        const bool horz = setting == 0 || setting == 1;
        EXPECT_EQ(vert, g.BarShown(SB_VERT));
        EXPECT_EQ(horz, g.BarShown(SB_HORZ));
        // A hidden bar's page is cut to its empty range by the platform.
        EXPECT_EQ(vert ? UINT(rc.bottom - 40) : 1u, g.Bar(SB_VERT).nPage);
        EXPECT_EQ(horz ? UINT(rc.right - 50) : 1u, g.Bar(SB_HORZ).nPage);
        EXPECT_EQ(vert ? 99 * 40 - 1 : 0, g.Bar(SB_VERT).nMax);
        EXPECT_EQ(horz ? 9 * 50 - 1 : 0, g.Bar(SB_HORZ).nMax);
    }
}

TEST(ScrollBars, ContentThatFitsHidesTheBar)
{
    Grid g;
    g.Itf()->put_Rows(4);
    g.Itf()->put_Cols(4);
    EXPECT_FALSE(g.BarShown(SB_VERT));
    EXPECT_FALSE(g.BarShown(SB_HORZ));
    EXPECT_EQ(0, g.Bar(SB_VERT).nMax);
    EXPECT_EQ(0, g.Bar(SB_HORZ).nMax);
    // Growing the table brings the bars back; the client area shrinks and
    // the other bar's page follows it.
    g.Itf()->put_Cols(20);
    EXPECT_TRUE(g.BarShown(SB_HORZ));
    g.Itf()->put_Rows(40);
    EXPECT_TRUE(g.BarShown(SB_VERT));
    EXPECT_EQ(UINT(g.Client().right - 50), g.Bar(SB_HORZ).nPage);
}

TEST(ScrollBars, ResizingTheWindowMovesThePage)
{
    Grid g;
    g.Itf()->put_Rows(100);
    const UINT page = g.Bar(SB_VERT).nPage;
    g.Resize(400, 200);
    EXPECT_EQ(page - 100, g.Bar(SB_VERT).nPage);
}

class LineScroll : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, g.Window());
        g.Itf()->put_Rows(100);
        g.Itf()->put_ScrollBars(2);
        client = g.Client();
    }
    int Pos() const { return g.Bar(SB_VERT).nPos; }

    Grid g;
    RECT client{};
};

TEST_F(LineScroll, LineStepsMoveOneRowAndRepaintOnlyTheStrip)
{
    RECT dirty = g.Step(WM_VSCROLL, SB_LINEUP);  // at the top: nothing
    EXPECT_EQ(0, Pos());
    EXPECT_TRUE(IsRectEmpty(&dirty));

    dirty = g.Step(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(40, Pos());
    EXPECT_EQ(CCellID(2, 1), g->FirstScrolledCell());
    EXPECT_TRUE(Same(Rect(0, client.bottom - 40, client.right, client.bottom), dirty));

    g.Step(WM_VSCROLL, SB_LINEDOWN);
    dirty = g.Step(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(40, Pos());
    EXPECT_TRUE(Same(Rect(0, 40, client.right, 80), dirty));
}

TEST_F(LineScroll, PageThumbTopAndBottom)
{
    const int page = client.bottom - 40;
    RECT dirty = g.Step(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(page, Pos());
    EXPECT_TRUE(Same(Rect(0, 40, client.right, client.bottom), dirty));
    g.Step(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(2 * page, Pos());
    g.Step(WM_VSCROLL, SB_PAGEUP);
    EXPECT_EQ(page, Pos());

    // Outside a drag the thumb is where the position is: nothing moves.
    dirty = g.Step(WM_VSCROLL, SB_THUMBPOSITION);
    EXPECT_EQ(page, Pos());
    EXPECT_TRUE(IsRectEmpty(&dirty));

    g.Step(WM_VSCROLL, SB_BOTTOM);
    const int end = 99 * 40 - page;  // the scroll bar's last position
    EXPECT_EQ(end, Pos());
    RECT box;
    ASSERT_TRUE(g->CellBox(99, 1, box));
    EXPECT_LE(box.bottom, client.bottom - 1);
    EXPECT_GT(box.bottom, client.bottom - 1 - 40);

    // At the effective end a line step moves nothing at all.
    dirty = g.Step(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(end, Pos());
    EXPECT_TRUE(IsRectEmpty(&dirty));
    dirty = g.Step(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(end, Pos());

    g.Step(WM_VSCROLL, SB_TOP);
    EXPECT_EQ(0, Pos());
    EXPECT_EQ(CCellID(1, 1), g->FirstScrolledCell());
}

TEST_F(LineScroll, HiddenRowsDoNotStopLineSteps)
{
    g.Itf()->put_RowHeight(1, 0);
    g.Itf()->put_RowHeight(2, 0);
    g.Step(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(40, Pos());
    EXPECT_EQ(4, g->FirstScrolledCell().row);
    g.Step(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(0, Pos());
}

TEST(HorizontalScroll, LineStepRepaintsTheStripRightOfTheFixedColumns)
{
    Grid g;
    g.Itf()->put_Cols(30);
    g.Itf()->put_ScrollBars(1);
    const RECT client = g.Client();
    RECT dirty = g.Step(WM_HSCROLL, SB_LINERIGHT);
    EXPECT_EQ(50, g.Bar(SB_HORZ).nPos);
    EXPECT_TRUE(Same(Rect(client.right - 50, 0, client.right, client.bottom), dirty));
    dirty = g.Step(WM_HSCROLL, SB_LINELEFT);
    EXPECT_EQ(0, g.Bar(SB_HORZ).nPos);
    EXPECT_TRUE(Same(Rect(50, 0, 100, client.bottom), dirty));
}

// The wheel setting is read when a control is made; each case makes one
// under its own setting and restores the user's afterwards.
class Wheel : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key);
        DWORD size = sizeof saved;
        had = RegQueryValueExW(key, L"WheelScrollLines", nullptr, nullptr, reinterpret_cast<BYTE*>(saved),
                               &size) == ERROR_SUCCESS;
    }
    void TearDown() override
    {
        if (had)
            RegSetValueExW(key, L"WheelScrollLines", 0, REG_SZ, reinterpret_cast<const BYTE*>(saved),
                           static_cast<DWORD>((wcslen(saved) + 1) * sizeof(wchar_t)));
        else
            RegDeleteValueW(key, L"WheelScrollLines");
        RegCloseKey(key);
    }
    void Use(const wchar_t* lines)
    {
        RegSetValueExW(key, L"WheelScrollLines", 0, REG_SZ, reinterpret_cast<const BYTE*>(lines),
                       static_cast<DWORD>((wcslen(lines) + 1) * sizeof(wchar_t)));
    }
    // The WM_VSCROLL codes one wheel message posts, taken off the queue.
    static std::vector<WPARAM> Posted(HWND hwnd, short delta)
    {
        SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0);
        std::vector<WPARAM> codes;
        MSG msg;
        while (PeekMessageW(&msg, hwnd, WM_VSCROLL, WM_VSCROLL, PM_REMOVE)) codes.push_back(msg.wParam);
        return codes;
    }

    HKEY key = nullptr;
    wchar_t saved[64] = {};
    bool had = false;
};

TEST_F(Wheel, ThreeLinesPerNotch)
{
    Use(L"3");
    Grid g;
    EXPECT_EQ(std::vector<WPARAM>(3, SB_LINEUP), Posted(g.Window(), 120));
    EXPECT_EQ(std::vector<WPARAM>(1, SB_LINEUP), Posted(g.Window(), 60));
    EXPECT_EQ(std::vector<WPARAM>(6, SB_LINEDOWN), Posted(g.Window(), -240));
    EXPECT_TRUE(Posted(g.Window(), 39).empty());
}

TEST_F(Wheel, NoLinesPostsNothing)
{
    Use(L"0");
    Grid g;
    EXPECT_TRUE(Posted(g.Window(), 120).empty());
    EXPECT_TRUE(Posted(g.Window(), -360).empty());
}

TEST_F(Wheel, MinusOneScrollsAPagePerNotch)
{
    Use(L"-1");
    Grid g;
    EXPECT_EQ(std::vector<WPARAM>(2, SB_PAGEUP), Posted(g.Window(), 240));
    EXPECT_EQ(std::vector<WPARAM>(1, SB_PAGEDOWN), Posted(g.Window(), -180));
    EXPECT_TRUE(Posted(g.Window(), 100).empty());
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

TEST(Fitting, ColumnWidthFollowsTheWidestText)
{
    Grid g;
    int width = 0;
    EXPECT_EQ(S_OK, g.Itf()->AdjustColWidth(3));
    g.Itf()->get_ColWidth(3, &width);
    EXPECT_EQ(3, width);  // every text empty

    g.Itf()->put_CRegionLeftTopX(4);
    g.Itf()->put_CRegionLeftTopY(2);
    g.Itf()->put_CRegionRightBottomX(4);
    g.Itf()->put_CRegionRightBottomY(2);
    fw::Variant v;
    v.Ref().vt = VT_BSTR;
    v.Ref().bstrVal = SysAllocString(L"A rather long text for one cell");
    ASSERT_EQ(S_OK, g.Itf()->put_Value(v.Ref()));
    EXPECT_EQ(S_OK, g.Itf()->AdjustColWidths());
    g.Itf()->get_ColWidth(4, &width);
    EXPECT_GT(width, 100);
    g.Itf()->get_ColWidth(3, &width);
    EXPECT_EQ(3, width);
    int height = 0;
    EXPECT_EQ(S_OK, g.Itf()->AdjustRowHeight(2));
    g.Itf()->get_RowHeight(2, &height);
    EXPECT_GT(height, 3);
    EXPECT_LT(height, 40);
}

TEST(Fitting, IndexPastTheLastColumnDoesNothing)
{
    Grid g;
    fw::Bstr before;
    g.Itf()->get_Widths(before.Put());
    UpdateWindow(g.Window());
    ValidateRect(g.Window(), nullptr);
    EXPECT_EQ(S_OK, g.Itf()->AdjustColWidth(10));
    fw::Bstr after;
    g.Itf()->get_Widths(after.Put());
    EXPECT_STREQ(before.Get(), after.Get());
    EXPECT_FALSE(GetUpdateRect(g.Window(), nullptr, FALSE));
}

} // namespace
