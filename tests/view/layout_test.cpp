// Geometry without a window: positions, shown ranges, hit tests and divider
// tests for given client sizes and scroll positions.
#include <gtest/gtest.h>

#include <vector>

#include "view/Layout.h"

namespace {

// rows x cols of default size (50 wide, 40 high).
void Shape(CGridTable& g, int rows, int cols, int fixedRows, int fixedCols)
{
    g.ResizeCols(cols);
    g.ResizeRows(rows);
    g.SetFixedRows(fixedRows);
    g.SetFixedCols(fixedCols);
}

TEST(Layout, FirstScrolledCellStartsOnACellBoundary)
{
    CGridTable g;
    Shape(g, 5, 3, 0, 0);
    EXPECT_EQ(CCellID(0, 0), view::CLayout(g, 100, 100, 0, 0).FirstScrolledCell());
    // A partly scrolled column is skipped whole.
    EXPECT_EQ(1, view::CLayout(g, 100, 100, 1, 0).FirstScrolledCell().col);
    EXPECT_EQ(1, view::CLayout(g, 100, 100, 50, 0).FirstScrolledCell().col);
    EXPECT_EQ(2, view::CLayout(g, 100, 100, 51, 0).FirstScrolledCell().col);
    // The last column is never skipped.
    EXPECT_EQ(2, view::CLayout(g, 100, 100, 100000, 0).FirstScrolledCell().col);
    EXPECT_EQ(2, view::CLayout(g, 100, 100, 0, 41).FirstScrolledCell().row);

    Shape(g, 5, 3, 2, 1);
    EXPECT_EQ(CCellID(2, 1), view::CLayout(g, 100, 100, 0, 0).FirstScrolledCell());
    EXPECT_EQ(CCellID(3, 2), view::CLayout(g, 100, 100, 10, 10).FirstScrolledCell());
}

TEST(Layout, PositionsOfFixedAndScrolledCells)
{
    CGridTable g;
    Shape(g, 10, 10, 1, 1);
    g.SetColumnWidth(2, 70);
    const view::CLayout at0(g, 300, 200, 0, 0);
    RECT rc;
    ASSERT_TRUE(at0.CellBox(0, 0, rc));
    EXPECT_EQ(0, rc.left); EXPECT_EQ(0, rc.top); EXPECT_EQ(49, rc.right); EXPECT_EQ(39, rc.bottom);
    ASSERT_TRUE(at0.CellBox(2, 3, rc));
    EXPECT_EQ(170, rc.left); EXPECT_EQ(80, rc.top); EXPECT_EQ(219, rc.right); EXPECT_EQ(119, rc.bottom);
    // Far right and below the client still has a position.
    POINT pt;
    ASSERT_TRUE(at0.CellPosition(9, 9, pt));
    EXPECT_EQ(470, pt.x); EXPECT_EQ(360, pt.y);
    EXPECT_FALSE(at0.CellShows(9, 9));
    EXPECT_FALSE(at0.CellPosition(10, 0, pt));
    EXPECT_FALSE(at0.CellPosition(0, -1, pt));

    // Scrolled by one column and two rows: those are gone, fixed ones stay.
    const view::CLayout scrolled(g, 300, 200, 50, 80);
    EXPECT_EQ(CCellID(3, 2), scrolled.FirstScrolledCell());
    EXPECT_FALSE(scrolled.CellPosition(3, 1, pt));
    EXPECT_FALSE(scrolled.CellPosition(0, 1, pt));  // fixed row, scrolled column
    EXPECT_FALSE(scrolled.CellPosition(2, 0, pt));  // fixed column, scrolled row
    ASSERT_TRUE(scrolled.CellBox(3, 2, rc));
    EXPECT_EQ(50, rc.left); EXPECT_EQ(40, rc.top); EXPECT_EQ(119, rc.right);
    ASSERT_TRUE(scrolled.CellPosition(0, 3, pt));
    EXPECT_EQ(120, pt.x); EXPECT_EQ(0, pt.y);
    ASSERT_TRUE(scrolled.CellPosition(4, 0, pt));
    EXPECT_EQ(0, pt.x); EXPECT_EQ(80, pt.y);
    ASSERT_TRUE(scrolled.CellPosition(0, 0, pt));
    EXPECT_EQ(0, pt.x); EXPECT_EQ(0, pt.y);
}

TEST(Layout, ShownRangesWithPartlyShownLastCells)
{
    CGridTable g;
    Shape(g, 10, 10, 1, 1);
    RECT extent;
    // Rows end at 80, 120, 160: the fourth row is cut at 150.
    CCellRange r = view::CLayout(g, 180, 150, 0, 0).ShownRange(&extent);
    EXPECT_EQ(1, r.minRow); EXPECT_EQ(3, r.maxRow);
    EXPECT_EQ(1, r.minCol); EXPECT_EQ(3, r.maxCol);
    EXPECT_EQ(180, extent.right); EXPECT_EQ(150, extent.bottom);
    CCellRange whole = view::CLayout(g, 180, 150, 0, 0).WholeShownRange();
    EXPECT_EQ(2, whole.maxRow); EXPECT_EQ(2, whole.maxCol);
    // A row ending exactly at the client's edge is whole.
    whole = view::CLayout(g, 200, 160, 0, 0).WholeShownRange();
    EXPECT_EQ(3, whole.maxRow); EXPECT_EQ(3, whole.maxCol);
    // Scrolled to the end: the range ends with the table, the extent with it.
    r = view::CLayout(g, 1000, 1000, 0, 120).ShownRange(&extent);
    EXPECT_EQ(4, r.minRow); EXPECT_EQ(9, r.maxRow); EXPECT_EQ(9, r.maxCol);
    EXPECT_EQ(500, extent.right); EXPECT_EQ(280, extent.bottom);
    // A client smaller than one row still shows that row.
    whole = view::CLayout(g, 60, 50, 0, 0).WholeShownRange();
    EXPECT_TRUE(g.IsValid(whole));
    EXPECT_EQ(1, whole.maxRow); EXPECT_EQ(1, whole.maxCol);
    // No non-fixed rows: no valid range.
    Shape(g, 1, 10, 1, 1);
    EXPECT_FALSE(g.IsValid(view::CLayout(g, 200, 200, 0, 0).ShownRange()));
}

TEST(Layout, CellAtPointBoundaries)
{
    CGridTable g;
    Shape(g, 10, 10, 1, 1);
    const view::CLayout l(g, 300, 200, 0, 0);
    EXPECT_EQ(CCellID(1, 1), l.CellAtPoint(50, 40, false));   // left/top edges belong to the cell
    EXPECT_EQ(CCellID(0, 0), l.CellAtPoint(49, 39, true));
    EXPECT_EQ(CCellID(-1, -1), l.CellAtPoint(49, 39, false)); // fixed cells refused
    EXPECT_EQ(CCellID(-1, 1), l.CellAtPoint(99, 39, false));
    EXPECT_EQ(CCellID(1, 2), l.CellAtPoint(100, 79, false));
    EXPECT_EQ(CCellID(-1, -1), l.CellAtPoint(-1, -1, true));
    EXPECT_EQ(CCellID(9, 9), l.CellAtPoint(499, 399, false));
    EXPECT_EQ(CCellID(-1, -1), l.CellAtPoint(500, 400, true)); // past the table

    const view::CLayout scrolled(g, 300, 200, 60, 45);  // first scrolled cell (3, 3)
    EXPECT_EQ(CCellID(3, 3), scrolled.CellAtPoint(50, 40, false));
    EXPECT_EQ(CCellID(0, 0), scrolled.CellAtPoint(0, 0, true));
    EXPECT_EQ(CCellID(4, 4), scrolled.CellAtPoint(100, 80, false));
}

TEST(Layout, DividerHotZones)
{
    CGridTable g;
    Shape(g, 10, 10, 1, 1);
    const view::CLayout l(g, 300, 200, 0, 0);
    // Column 1 spans 50..99.
    for (int x : {96, 100 - 3, 98, 99}) EXPECT_EQ(x >= 97, l.OnColumnEdge(x, 10)) << x;
    for (int x = 50; x <= 53; ++x) EXPECT_TRUE(l.OnColumnEdge(x, 10)) << x;
    EXPECT_FALSE(l.OnColumnEdge(54, 10));
    // Column 0 has no left edge; its right edge counts.
    for (int x = 0; x <= 3; ++x) EXPECT_FALSE(l.OnColumnEdge(x, 10)) << x;
    EXPECT_TRUE(l.OnColumnEdge(47, 10));
    // Only in the fixed rows.
    EXPECT_FALSE(l.OnColumnEdge(99, 40));

    // Row 1 spans 40..79, tested in the fixed column.
    EXPECT_TRUE(l.OnRowEdge(10, 40));
    EXPECT_TRUE(l.OnRowEdge(10, 43));
    EXPECT_FALSE(l.OnRowEdge(10, 44));
    EXPECT_FALSE(l.OnRowEdge(10, 75));
    EXPECT_TRUE(l.OnRowEdge(10, 77));
    EXPECT_FALSE(l.OnRowEdge(10, 1));  // row 0 has no top edge
    EXPECT_TRUE(l.OnRowEdge(10, 38));
    EXPECT_FALSE(l.OnRowEdge(50, 77)); // outside the fixed columns
}

// A plain walk over the sizes, the way the results are defined.
int WalkFirst(const std::vector<int>& w, int fixed, int pos)
{
    int i = fixed, sum = 0;
    while (sum < pos && i < static_cast<int>(w.size()) - 1) sum += w[i++];
    return i;
}

int WalkIndexAt(const std::vector<int>& w, int fixed, int first, int v)
{
    int fixedExtent = 0;
    for (int i = 0; i < fixed; ++i) fixedExtent += w[i];
    if (v < 0) return -1;
    int start = v < fixedExtent ? 0 : fixedExtent;
    int from = v < fixedExtent ? 0 : first;
    int to = v < fixedExtent ? fixed : static_cast<int>(w.size());
    for (int i = from; i < to; ++i, start += w[i - 1])
        if (start <= v && v < start + w[i]) return i;
    return -1;
}

TEST(Layout, SearchesAgreeWithAPlainWalk)
{
    // Hidden (zero-width) columns, and a negative width that rules out
    // searching.
    for (const std::vector<int>& widths : {std::vector<int>{30, 0, 20, 0, 0, 45, 10, 0, 60, 5},
                                           std::vector<int>{30, 0, 20, -5, 0, 45, 10, 0, 60, 5}}) {
        CGridTable g;
        Shape(g, 1, static_cast<int>(widths.size()), 0, 2);
        for (size_t i = 0; i < widths.size(); ++i) g.SetColumnWidth(static_cast<int>(i), widths[i]);
        for (int pos = 0; pos <= 200; pos += 3) {
            const view::CLayout l(g, 120, 10, pos, 0);
            const int first = WalkFirst(widths, 2, pos);
            ASSERT_EQ(first, l.FirstScrolledCell().col) << pos;
            for (int x = -2; x <= 200; ++x)
                ASSERT_EQ(WalkIndexAt(widths, 2, first, x), l.CellAtPoint(x, 0, true).col) << pos << " " << x;
        }
    }
}

TEST(Layout, LargeGridStaysExact)
{
    CGridTable g;
    Shape(g, 100000, 3, 1, 0);
    g.SetRowHeight(50000, 7);
    const int vpos = 40 * 60000;
    const view::CLayout l(g, 150, 400, 0, vpos);
    EXPECT_EQ(60001 + 1, l.FirstScrolledCell().row);  // row 50000 is 33 short
    EXPECT_EQ(60002, l.CellAtPoint(0, 40, false).row);
    EXPECT_EQ(40 * 100000 - 33, l.ContentHeight());
    const CCellRange r = l.ShownRange();
    EXPECT_EQ(60002 + 8, r.maxRow);  // 9 rows of 40 below the fixed row reach 400
}

} // namespace
