// Cells that run code while the grid paints: button windows follow their
// cells, and an object value is converted through the host's own code,
// which may drop the very cell being painted.
#include <windows.h>
#include <gtest/gtest.h>

#include "support/grid_helpers.h"
#include "view/windowed_grid.h"

namespace {

// Every paint places the buttons, a 20-pixel square at the right end of
// their cells, which exchanges move; a shrink takes cell and button, and
// placing buttons afterwards must not reach for either.
TEST(ButtonPlacement, ButtonsFollowExchangesAndGoWithTheirCells)
{
    view_test::Grid g(600, 400);
    ITessera* grid = g.Itf();
    grid->put_Rows(8);
    grid->put_Cols(6);
    test::Region(grid, 2, 2);
    grid->put_TypeEx(8);
    HWND button = FindWindowExW(g.Window(), nullptr, L"BUTTON", nullptr);
    ASSERT_NE(nullptr, button);
    auto expectAt = [&](int row, int col) {
        InvalidateRect(g.Window(), nullptr, FALSE);
        UpdateWindow(g.Window());
        RECT rc;
        GetWindowRect(button, &rc);
        MapWindowPoints(HWND_DESKTOP, g.Window(), reinterpret_cast<POINT*>(&rc), 2);
        EXPECT_EQ(g.X(col + 1) - 20, rc.left) << row << "," << col;
        EXPECT_EQ(g.Y(row), rc.top) << row << "," << col;
    };
    expectAt(2, 2);
    grid->ExchangeRows(2, 5);
    expectAt(5, 2);
    grid->ExchangeCols(3, 2);
    expectAt(5, 3);
    grid->ExchangeRows(1, 4);  // rows without buttons change nothing
    expectAt(5, 3);
    grid->put_Rows(5);
    EXPECT_FALSE(IsWindow(button));
    UpdateWindow(g.Window());
    grid->put_Rows(8);
    UpdateWindow(g.Window());
    EXPECT_EQ(nullptr, FindWindowExW(g.Window(), nullptr, L"BUTTON", nullptr));
}

TEST(HostReentry, PaintSurvivesAValueThatDropsItsCell)
{
    auto windowed = std::make_unique<view_test::Grid>();
    HWND hwnd = windowed->Window();
    ITessera* grid = windowed->Itf();
    grid->put_Rows(6);
    grid->put_Cols(4);
    test::Region(grid, 2, 2);

    // A type outside the known ones stores the object as it is; a number
    // type set afterwards keeps it, since it converts.
    grid->put_CType(8);
    // Its value is "2.5"; once armed, reading it shrinks the grid.
    test::HostValue object;
    bool armed = false;
    object.onRead = [&] {
        if (armed) armed = false, grid->put_Rows(1);
    };
    object.answer.Ref().vt = VT_BSTR;
    object.answer.Ref().bstrVal = SysAllocString(L"2.5");
    ASSERT_HRESULT_SUCCEEDED(grid->put_Value(object.AsVariant()));
    grid->put_CType(4);
    fw::Bstr pattern(L"0.00");
    grid->put_NUMFormat(pattern.Get());

    armed = true;
    const int reads = object.reads;
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
    EXPECT_GT(object.reads, reads);
    EXPECT_FALSE(armed);
    int rows = 0;
    grid->get_Rows(&rows);
    EXPECT_EQ(1, rows);
    // The dropped cell let go of the object; nothing else holds it.
    windowed.reset();
    EXPECT_EQ(0u, object.Refs());
}

} // namespace
