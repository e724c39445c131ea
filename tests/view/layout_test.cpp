// Geometry without a window: positions, shown ranges, hit tests and divider
// tests for given client sizes and scroll positions; the built-in sizes by DPI.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "view/Layout.h"
#include "view/Metrics.h"

namespace {

// rows x cols of default size (50 wide, 40 high).
void Shape(CGridTable& g, int rows, int cols, int fixedRows, int fixedCols)
{
    g.ResizeCols(cols);
    g.ResizeRows(rows);
    g.SetFixedRows(fixedRows);
    g.SetFixedCols(fixedCols);
}

// Where a cell is, as "left,top" or "left,top-right,bottom"; "-" when it has no place.
std::string At(const view::CLayout& l, int row, int col, bool box = false)
{
    RECT rc;
    POINT pt;
    if (box) {
        if (!l.CellBox(row, col, rc)) return "-";
        return std::to_string(rc.left) + "," + std::to_string(rc.top) + "-" + std::to_string(rc.right) + "," +
               std::to_string(rc.bottom);
    }
    if (!l.CellPosition(row, col, pt)) return "-";
    return std::to_string(pt.x) + "," + std::to_string(pt.y);
}

TEST(Layout, FirstScrolledCellStartsOnACellBoundary)
{
    CGridTable g;
    Shape(g, 5, 3, 0, 0);
    // A partly scrolled column is skipped whole; the last one never is.
    const struct { int hpos, vpos; CCellID first; } cases[] = {
        {0, 0, {0, 0}}, {1, 0, {0, 1}}, {50, 0, {0, 1}}, {51, 0, {0, 2}}, {100000, 0, {0, 2}}, {0, 41, {2, 0}}};
    for (const auto& c : cases)
        EXPECT_EQ(c.first, view::CLayout(g, 100, 100, c.hpos, c.vpos).FirstScrolledCell()) << c.hpos << "," << c.vpos;
    Shape(g, 5, 3, 2, 1);
    EXPECT_EQ(CCellID(2, 1), view::CLayout(g, 100, 100, 0, 0).FirstScrolledCell());
    EXPECT_EQ(CCellID(3, 2), view::CLayout(g, 100, 100, 10, 10).FirstScrolledCell());
}

TEST(Layout, PositionsHitsDividersAndShownRangesOfFixedAndScrolledCells)
{
    CGridTable g;
    Shape(g, 10, 10, 1, 1);
    g.SetColumnWidth(2, 70);
    const view::CLayout at0(g, 300, 200, 0, 0);
    EXPECT_EQ("0,0-49,39", At(at0, 0, 0, true));
    EXPECT_EQ("170,80-219,119", At(at0, 2, 3, true));
    EXPECT_EQ("470,360", At(at0, 9, 9));  // beyond the client still has a place
    EXPECT_FALSE(at0.CellShows(9, 9));
    EXPECT_EQ("-", At(at0, 10, 0, true));
    EXPECT_EQ("-", At(at0, 0, -1));

    // Scrolled by one column and two rows: those are gone, fixed ones stay.
    const view::CLayout scrolled(g, 300, 200, 50, 80);
    EXPECT_EQ(CCellID(3, 2), scrolled.FirstScrolledCell());
    EXPECT_EQ("-", At(scrolled, 3, 1));
    EXPECT_EQ("-", At(scrolled, 0, 1));  // fixed row, scrolled column
    EXPECT_EQ("-", At(scrolled, 2, 0));  // fixed column, scrolled row
    EXPECT_EQ("50,40-119,79", At(scrolled, 3, 2, true));
    EXPECT_EQ("120,0", At(scrolled, 0, 3));
    EXPECT_EQ("0,80", At(scrolled, 4, 0));
    EXPECT_EQ("0,0", At(scrolled, 0, 0));

    g.SetColumnWidth(2, 50);
    const view::CLayout l(g, 300, 200, 0, 0), scrolled2(g, 300, 200, 60, 45);  // first scrolled: (3, 3)
    const struct { const view::CLayout& l; int x, y; bool fixed; CCellID cell; } cases[] = {
        {l, 50, 40, false, {1, 1}},    // left and top edges belong to the cell
        {l, 49, 39, true, {0, 0}},
        {l, 49, 39, false, {-1, -1}},  // fixed cells refused
        {l, 99, 39, false, {-1, 1}},
        {l, 100, 79, false, {1, 2}},
        {l, -1, -1, true, {-1, -1}},
        {l, 499, 399, false, {9, 9}},
        {l, 500, 400, true, {-1, -1}},  // past the table
        {scrolled2, 50, 40, false, {3, 3}},
        {scrolled2, 0, 0, true, {0, 0}},
        {scrolled2, 100, 80, false, {4, 4}},
    };
    for (const auto& c : cases) EXPECT_EQ(c.cell, c.l.CellAtPoint(c.x, c.y, c.fixed)) << c.x << "," << c.y;

    // Column 1 spans 50..99, within the fixed row; column 0 has no left edge.
    for (int x : {0, 3, 54, 96}) EXPECT_FALSE(l.OnColumnEdge(x, 10)) << x;
    for (int x : {47, 50, 53, 97, 99}) EXPECT_TRUE(l.OnColumnEdge(x, 10)) << x;
    EXPECT_FALSE(l.OnColumnEdge(99, 40));  // only in the fixed rows
    // Row 1 spans 40..79, within the fixed column; row 0 has no top edge.
    for (int y : {1, 44, 75}) EXPECT_FALSE(l.OnRowEdge(10, y)) << y;
    for (int y : {38, 40, 43, 77}) EXPECT_TRUE(l.OnRowEdge(10, y)) << y;
    EXPECT_FALSE(l.OnRowEdge(50, 77));  // only in the fixed columns

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
    // Scrolled to the end: the range and the extent end with the table.
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

// The searches over running sums must agree with the walk, also over hidden
// (zero-width) columns and a negative width that rules out searching.
TEST(Layout, SearchesAgreeWithAPlainWalk)
{
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

// DPI, then row, column, cell button, grip, fit margin, lists, button space,
// widths, drop-down height, editor buttons and gaps.
TEST(Metrics, BuiltInSizesScaleWithTheDpi)
{
    for (const std::vector<int>& r : std::vector<std::vector<int>>{
             {96, 40, 50, 20, 3, 3, 60, 160, 24, 80, 100, 24, 20, 5, 23, 2},
             {120, 50, 63, 25, 4, 4, 75, 200, 30, 100, 125, 30, 25, 6, 29, 3},
             {144, 60, 75, 30, 5, 5, 90, 240, 36, 120, 150, 36, 30, 8, 35, 3},
             {192, 80, 100, 40, 6, 6, 120, 320, 48, 160, 200, 48, 40, 10, 46, 4}}) {
        const view::Metrics m = view::MetricsAt(r[0]);
        EXPECT_EQ(r, (std::vector<int>{r[0], m.rowHeight, m.colWidth, m.cellButton, m.edgeTolerance, m.fitMargin,
                                       m.listMinHeight, m.choiceListHeight, m.buttonSpace, m.editorMinWidth,
                                       m.dropDownMinWidth, m.dropDownHeight, m.buttonSize, m.buttonGap,
                                       m.wideButtonSize, m.wideButtonGap}));
    }
}

} // namespace
