// Mouse gestures that need the in-place editors and the key handler: the
// editor opening on a release and on a double click, and the auto-scroll,
// whose arrow keys go through the key handler.
#include <algorithm>

#include "interaction/mouse_host.h"

namespace {

using mouse_test::Events;

class MousePending : public mouse_test::MouseHost {
protected:
    // Dispatches this thread's messages, timers among them, for ms.
    static void Run(DWORD ms)
    {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < ms) {
            test::PumpMessages();
            Sleep(5);
        }
    }
    size_t Count(const std::string& event) { return static_cast<size_t>(std::count(sink.Events().begin(), sink.Events().end(), event)); }
    HWND Editor() const { return FindWindowExW(control, nullptr, L"Edit", nullptr); }
    void EditBit(int row, int col)
    {
        Region(row, col);
        grid->put_TypeEx(2);
    }
    // Holds the button with the pointer at a client point of the control;
    // false when the platform did not put the pointer there.
    bool PointAt(int x, int y) const
    {
        POINT pt = {x, y}, now = {};
        ClientToScreen(control, &pt);
        ClipCursor(nullptr);
        SetCursorPos(pt.x, pt.y);
        return GetCursorPos(&now) && now.x == pt.x && now.y == pt.y;
    }
};

TEST_F(MousePending, ReleaseOnTheCurrentCellOpensTheEditor)
{
    ClickCell(2, 3);
    EXPECT_EQ(nullptr, Editor());
    EditBit(2, 3);
    sink.Events().clear();
    Press(CX(3), CY(2));
    EXPECT_EQ((Events{"7()"}), sink.Events());
    Release(CX(3), CY(2));
    EXPECT_TRUE(RaisedAny("1(3,2"));
    EXPECT_FALSE(RaisedAny("11("));
    EXPECT_NE(nullptr, Editor());
}

TEST_F(MousePending, DoubleClickOpensTheEditorOnTheCurrentCell)
{
    EditBit(4, 2);
    ClickCell(1, 1);
    Press(CX(2), CY(4));
    Release(CX(2), CY(4));
    Send(WM_LBUTTONDBLCLK, CX(2), CY(4), MK_LBUTTON);
    Release(CX(2), CY(4));
    EXPECT_TRUE(RaisedAny("8()"));
    EXPECT_NE(nullptr, Editor());
}

// The ticks are sent by hand: under Wine the pointer warp that places the
// cursor also takes the capture away, which ends the gesture as it should.
TEST_F(MousePending, AutoScrollAboveTheCellsMovesUpOneRowPerTick)
{
    Size(6, 40);
    for (int i = 0; i < 10; ++i) SendMessageW(control, WM_VSCROLL, SB_LINEDOWN, 0);
    // Row 11 shows first, under the fixed row; press on row 12.
    Press(CX(2), CY(2));
    const int startRow = Current().row;
    Drag(CX(2), 10);
    if (!PointAt(CX(2), 10)) GTEST_SKIP() << "the pointer could not be placed";
    sink.Events().clear();
    SendMessageW(control, WM_TIMER, 513, 0);
    SendMessageW(control, WM_TIMER, 513, 0);
    // Wine may end the gesture after the warp (capture lost) before the
    // second tick; each tick that ran moved up one row.
    const size_t ticks = Count("9(38)");
    EXPECT_GE(ticks, 1u);
    EXPECT_EQ(startRow - static_cast<int>(ticks), Current().row);

    Release(CX(2), 10);
    EXPECT_FALSE(KillTimer(control, 513));
}

TEST_F(MousePending, CaptureLossStopsTheAutoScroll)
{
    Size(6, 40);
    Press(CX(2), CY(2));
    Drag(CX(2), 10);
    SetCapture(host.Frame());
    EXPECT_FALSE(KillTimer(control, 513));
    sink.Events().clear();
    Run(100);
    EXPECT_EQ(0u, Count("9(38)"));
}

} // namespace
