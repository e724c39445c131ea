// Rows carved from shared blocks: a line used again, or lengthened after
// the columns shrank, holds new cells, and blocks go once they are empty.
#include <windows.h>
#include <gtest/gtest.h>

#include "model/GridTable.h"

namespace {

void Mark(CGridTable& t)
{
    VARIANT v;
    v.vt = VT_I4;
    for (int r = 0; r < t.Rows(); ++r)
        for (int c = 0; c < t.Cols(); ++c) {
            CCellRef cell = t.GetCell(r, c);
            cell.SetType(2);
            v.lVal = r * 100 + c;
            ASSERT_TRUE(cell.SetValue(v));
            ASSERT_TRUE(cell.Set(&CellAttrs::color, RGB(r, c, 1)));
            cell.SetSelected(true);
        }
}

// Every cell outside the first rows x cols is a new one.
void ExpectNew(CGridTable& t, int rows, int cols, const char* what)
{
    for (int r = 0; r < t.Rows(); ++r)
        for (int c = 0; c < t.Cols(); ++c) {
            if (r < rows && c < cols) continue;
            CCellRef cell = t.GetCell(r, c);
            EXPECT_EQ(VT_BSTR, cell.Value().vt) << what << " " << r << "," << c;
            EXPECT_EQ(CellAttrs().color, cell.Color()) << what << " " << r << "," << c;
            EXPECT_FALSE(cell.Selected()) << what << " " << r << "," << c;
        }
}

TEST(CellLines, ReusedAndLengthenedLinesHoldNewCells)
{
    CGridTable t;
    t.ResizeCols(4);
    t.ResizeRows(50);
    Mark(t);
    t.ExchangeRows(3, 40);
    t.ResizeRows(10);  // the lines of rows 10..49 go back
    t.ResizeRows(60);  // and are used again
    ExpectNew(t, 10, 4, "rows again");
    EXPECT_EQ(4002, t.GetCell(3, 2).Value().lVal);

    t.ResizeCols(2);  // lines keep their length
    t.ResizeCols(6);
    ExpectNew(t, 10, 2, "columns again");
    EXPECT_EQ(901, t.GetCell(9, 1).Value().lVal);
    EXPECT_EQ(RGB(9, 1, 1), t.GetCell(9, 1).Color());
    t.ResizeRows(0);
    EXPECT_EQ(0u, t.AttrSets());
}

TEST(CellLines, BlocksGoWhenEmptyAndGrowWithTheTable)
{
    CCellLines lines;
    lines.SetStride(10);
    lines.Reserve(3);
    CellSlot* a = lines.Take();
    CellSlot* b = lines.Take();
    CellSlot* c = lines.Take();
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(1u, lines.Blocks());
    EXPECT_EQ(nullptr, lines.Take());  // nothing reserved
    lines.Give(b);
    lines.Reserve(1);
    EXPECT_EQ(b, lines.Take());  // given back, used first
    lines.Reserve(2);  // a second block, as large as what the table holds
    EXPECT_EQ(2u, lines.Blocks());
    lines.SetStride(20);  // lines already out keep theirs
    EXPECT_EQ(10u, lines.Capacity(a));
    for (CellSlot* p : {a, b, c}) lines.Give(p);
    EXPECT_EQ(1u, lines.Blocks());  // the unused one stays until used
    EXPECT_EQ(0u, lines.Capacity(nullptr));
}

} // namespace
