// Button windows follow their cells: placing them visits a list of button
// cells, which exchanges must remap and shrinking must prune.
#include <windows.h>
#include <gtest/gtest.h>

#include "support/grid_helpers.h"
#include "view/windowed_grid.h"

namespace {

constexpr int kButtonType = 8;
constexpr int kColWidth = 60;
constexpr int kRowHeight = 30;

POINT ButtonCorner(HWND grid, HWND button)
{
    RECT rc;
    GetWindowRect(button, &rc);
    MapWindowPoints(HWND_DESKTOP, grid, reinterpret_cast<POINT*>(&rc), 2);
    return POINT{rc.left, rc.top};
}

TEST(ButtonPlacement, ButtonsFollowExchangesAndGoWithTheirCells)
{
    view_test::Grid windowed(600, 400);
    HWND hwnd = windowed.Window();
    ITessera* grid = windowed.Itf();
    grid->put_Rows(8);
    grid->put_Cols(6);
    for (int c = 0; c < 6; ++c) grid->put_ColWidth(c, kColWidth);
    for (int r = 0; r < 8; ++r) grid->put_RowHeight(r, kRowHeight);
    test::Region(grid, 2, 2);
    grid->put_TypeEx(kButtonType);
    HWND button = FindWindowExW(hwnd, nullptr, L"BUTTON", nullptr);
    ASSERT_NE(nullptr, button);

    // Every paint places the buttons; a 20-pixel square at the cell's
    // right end.
    auto repaint = [&] {
        InvalidateRect(hwnd, nullptr, FALSE);
        UpdateWindow(hwnd);
    };
    auto expectAt = [&](int row, int col) {
        repaint();
        const POINT pt = ButtonCorner(hwnd, button);
        EXPECT_EQ((col + 1) * kColWidth - 20, pt.x) << row << "," << col;
        EXPECT_EQ(row * kRowHeight, pt.y) << row << "," << col;
    };
    expectAt(2, 2);
    grid->ExchangeRows(2, 5);
    expectAt(5, 2);
    grid->ExchangeCols(3, 2);
    expectAt(5, 3);
    grid->ExchangeRows(1, 4);  // rows without buttons change nothing
    expectAt(5, 3);

    // Shrinking the table destroys the cell and its button; placing buttons
    // afterwards must not reach for either.
    grid->put_Rows(5);
    EXPECT_FALSE(IsWindow(button));
    repaint();
    grid->put_Rows(8);
    repaint();
    EXPECT_EQ(nullptr, FindWindowExW(hwnd, nullptr, L"BUTTON", nullptr));
}

} // namespace
