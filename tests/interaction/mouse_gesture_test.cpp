// The pure questions of the mouse gestures, as tables, and the one-pass
// move of a row or column against the neighbour exchanges it replaces.
#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "interaction/MouseGesture.h"
#include "model/GridTable.h"

namespace {

TEST(MouseGesture, PlanDropLandsBeforeTheTarget)
{
    struct Case {
        int dragged, target;
        bool inside;
        int from, to, count;
    } cases[] = {
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
    for (const Case& c : cases) {
        const mouse::Drop d = mouse::PlanDrop(c.dragged, c.target, 1, 10, c.inside);
        EXPECT_EQ(c.from, d.from) << c.dragged << "->" << c.target;
        EXPECT_EQ(c.to, d.to) << c.dragged << "->" << c.target;
        EXPECT_EQ(c.count, d.count) << c.dragged << "->" << c.target;
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
    struct Case {
        POINT pt;
        std::vector<WORD> keys;
        std::vector<POINT> probes;
    } cases[] = {
        {{50, 50}, {}, {}},
        {{50, 10}, {VK_UP}, {{50, 21}}},
        {{50, 100}, {VK_DOWN}, {{50, 100}}},
        {{-20, 150}, {VK_DOWN, VK_LEFT}, {{0, 100}, {31, 100}}},
        {{250, 50}, {VK_RIGHT}, {{200, 50}}},
        {{10, 10}, {VK_UP, VK_LEFT}, {{10, 21}, {31, 10}}},
    };
    for (const Case& c : cases) {
        const mouse::ScrollSteps plan = mouse::PlanAutoScroll(c.pt, client, 30, 20);
        ASSERT_EQ(static_cast<int>(c.keys.size()), plan.count) << c.pt.x << "," << c.pt.y;
        for (int i = 0; i < plan.count; ++i) {
            EXPECT_EQ(c.keys[i], plan.steps[i].key);
            EXPECT_EQ(c.probes[i].x, plan.steps[i].probe.x);
            EXPECT_EQ(c.probes[i].y, plan.steps[i].probe.y);
        }
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
