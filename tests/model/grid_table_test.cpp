// The grid table: sizes, resizes, exchanges, the focus flag and size texts.
#include <windows.h>
#include <psapi.h>
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdio>

#include "model/GridTable.h"

namespace {

void Fill(CGridTable& t, int rows, int cols)
{
    t.ResizeCols(cols);
    t.ResizeRows(rows);
}

TEST(GridTable, ValidityInAllThreeForms)
{
    CGridTable t;
    Fill(t, 3, 4);
    EXPECT_TRUE(t.IsValid(0, 0));
    EXPECT_TRUE(t.IsValid(2, 3));
    EXPECT_FALSE(t.IsValid(3, 0));
    EXPECT_FALSE(t.IsValid(0, 4));
    EXPECT_FALSE(t.IsValid(-1, 0));
    EXPECT_TRUE(t.IsValid(CCellID(1, 1)));
    EXPECT_FALSE(t.IsValid(CCellID()));

    CCellRange r{0, 0, 2, 3};
    EXPECT_TRUE(t.IsValid(r));
    r.minRow = 3;  // first beyond last
    EXPECT_FALSE(t.IsValid(r));
    r = CCellRange{0, -1, 1, 1};
    EXPECT_FALSE(t.IsValid(r));
    r = CCellRange{0, 0, 1, 4};
    EXPECT_FALSE(t.IsValid(r));
    EXPECT_EQ(nullptr, t.GetCell(3, 0));
}

TEST(GridTable, ResizingKeepsSizesAndTotals)
{
    CGridTable t;
    Fill(t, 10, 10);
    EXPECT_EQ(500, t.TotalWidth());
    EXPECT_EQ(400, t.TotalHeight());
    ASSERT_TRUE(t.SetColumnWidth(9, 80));
    EXPECT_EQ(530, t.TotalWidth());
    EXPECT_FALSE(t.SetColumnWidth(10, 80));
    EXPECT_FALSE(t.SetRowHeight(-1, 80));
    EXPECT_EQ(-1, t.GetColumnWidth(10));
    EXPECT_EQ(-1, t.GetRowHeight(-1));

    t.SetRowHeight(2, -5);  // stored unchecked
    EXPECT_EQ(-5, t.GetRowHeight(2));
    EXPECT_EQ(355, t.TotalHeight());

    t.ResizeCols(9);
    EXPECT_EQ(450, t.TotalWidth());
    t.ResizeCols(12);
    EXPECT_EQ(600, t.TotalWidth());
    EXPECT_EQ(50, t.GetColumnWidth(11));
    ASSERT_NE(nullptr, t.GetCell(9, 11));

    t.ResizeRows(0);
    EXPECT_EQ(0, t.TotalHeight());
    EXPECT_EQ(12, t.Cols());
    t.ResizeRows(1);
    EXPECT_EQ(40, t.TotalHeight());
    EXPECT_NE(nullptr, t.GetCell(0, 11));
    t.ResizeCols(-1);
    EXPECT_EQ(12, t.Cols());
}

TEST(GridTable, ExchangesMoveCellsAndSizes)
{
    CGridTable t;
    Fill(t, 4, 4);
    t.SetColumnWidth(1, 11);
    t.SetRowHeight(2, 22);
    CGridCell* a = t.GetCell(0, 1);
    CGridCell* b = t.GetCell(0, 3);
    ASSERT_TRUE(t.ExchangeCols(1, 3));
    EXPECT_EQ(b, t.GetCell(0, 1));
    EXPECT_EQ(a, t.GetCell(0, 3));
    EXPECT_EQ(11, t.GetColumnWidth(3));
    EXPECT_EQ(50, t.GetColumnWidth(1));

    CGridCell* r2 = t.GetCell(2, 0);
    ASSERT_TRUE(t.ExchangeRows(2, 0));
    EXPECT_EQ(r2, t.GetCell(0, 0));
    EXPECT_EQ(22, t.GetRowHeight(0));

    // Equal, negative and too large indices are refused alike.
    EXPECT_FALSE(t.ExchangeRows(1, 1));
    EXPECT_FALSE(t.ExchangeRows(-1, 2));
    EXPECT_FALSE(t.ExchangeRows(1, 4));
    EXPECT_FALSE(t.ExchangeCols(4, 0));
}

TEST(GridTable, OnlyOneCellCarriesTheFocusFlag)
{
    CGridTable t;
    Fill(t, 3, 3);
    CGridCell* first = t.GetCell(1, 1);
    t.SetFocusFlag(first);
    EXPECT_TRUE(first->m_bFocus);
    t.SetFocusFlag(t.GetCell(2, 2));
    EXPECT_FALSE(first->m_bFocus);
    EXPECT_TRUE(t.GetCell(2, 2)->m_bFocus);

    // A destroyed cell leaves no dangling flag behind.
    t.ResizeRows(2);
    t.ClearFocusFlags();
    t.SetFocusFlag(t.GetCell(1, 2));
    t.ResizeCols(2);
    t.ClearFocusFlags();
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c) EXPECT_FALSE(t.GetCell(r, c)->m_bFocus);
}

TEST(GridTable, SizesAsText)
{
    CGridTable t;
    Fill(t, 2, 3);
    EXPECT_EQ(L"50 50 50", t.WidthsText());
    t.SetColumnWidth(1, -7);
    EXPECT_EQ(L"50 -7 50", t.WidthsText());
    EXPECT_EQ(L"40 40", t.HeightsText());
    t.ResizeCols(0);
    EXPECT_EQ(L"", t.WidthsText());

    // Long texts are not cut.
    CGridTable wide;
    Fill(wide, 0, 3000);
    EXPECT_EQ(3000u * 3 - 1, wide.WidthsText().size());
}

TEST(GridTable, SizeTextIsSplitAtEverySpace)
{
    using V = std::vector<int>;
    EXPECT_EQ(V({60, 70}), CGridTable::ParseSizes("60 70"));
    EXPECT_EQ(V({60, 0, 70}), CGridTable::ParseSizes("60  70"));
    EXPECT_EQ(V({60, 0}), CGridTable::ParseSizes("60 "));
    EXPECT_EQ(V({0}), CGridTable::ParseSizes(""));
    EXPECT_EQ(V({0, 5}), CGridTable::ParseSizes(" 5"));
    // Tabs are not separators but atoi skips them in front of a number.
    EXPECT_EQ(V({5}), CGridTable::ParseSizes("\t5\t6"));
    EXPECT_EQ(V({-3, 7, 12, 0}), CGridTable::ParseSizes("-3 +7x 12px abc"));
    EXPECT_EQ(V({INT_MAX, INT_MIN}), CGridTable::ParseSizes("99999999999 -99999999999"));
    EXPECT_EQ(V({0, 1}), CGridTable::ParseSizes("- 1"));
    // The text ends at a NUL.
    EXPECT_EQ(V({1}), CGridTable::ParseSizes(std::string("1\0 2", 4)));
}

SIZE_T WorkingSet()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                            sizeof counters);
    return counters.WorkingSetSize;
}

TEST(GridTable, LargeTablesStayFastAndSmall)
{
    using Clock = std::chrono::steady_clock;
    const SIZE_T before = WorkingSet();
    auto start = Clock::now();
    CGridTable t;
    Fill(t, 100000, 10);
    ASSERT_EQ(1000000u, static_cast<size_t>(t.Rows()) * t.Cols());
    const double perCell = static_cast<double>(WorkingSet() - before) / 1e6;
    std::printf("1,000,000 cells: %.2f s, %.0f bytes per cell\n",
                std::chrono::duration<double>(Clock::now() - start).count(), perCell);
    EXPECT_LT(perCell, 250.0);
    // Moving a new last row to the top: one exchange per row, none of them
    // touching the cells.
    t.ResizeRows(100001);
    for (int i = t.Rows() - 1; i > 1; --i) t.ExchangeRows(i, i - 1);
    for (int i = 0; i < 100000; ++i) t.SetRowHeight(i, 30);
    EXPECT_EQ(100000 * 30 + 40, t.TotalHeight());
    t.ResizeRows(0);
    auto seconds = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_LT(seconds, 10.0);
}

} // namespace
