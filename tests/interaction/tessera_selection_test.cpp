// The control's selection members and events, on a control made in this
// process without a window, so that the selection can be started as user
// input would, with a real sink on the control's connection point.
#include "interaction/keyed_grid.h"

namespace {

using List = std::vector<std::string>;  // "dispid(args in declared order)"

struct TesseraSelection : keys_test::KeyedGrid {
    TesseraSelection() : KeyedGrid(false) {}
};

const std::string kNone = "-1,-1--1,-1";

TEST_F(TesseraSelection, EventsCarryTheirArgumentsInDeclaredOrder)
{
    grid->SetFocusCell(2, 5);
    grid->SetFocusCell(2, 5);
    grid->SetFocusCell(3, 4);
    EXPECT_EQ((List{"14(-1,-1)", "13(2,5)", "14(2,5)", "13(3,4)"}), sink.Events());
    int n = 0;
    Itf()->get_CurrentCellRow(&n); EXPECT_EQ(3, n);
    Itf()->get_CurrentCellCol(&n); EXPECT_EQ(4, n);

    sink.Events().clear();
    grid->Selection().SetSelectedRange(2, 2, 3, 4);
    EXPECT_EQ((List{"10(2,2)", "10(3,2)", "10(4,2)", "10(2,3)", "10(3,3)", "10(4,3)"}), sink.Events());

    // No window: ClearSelection raises nothing at all, and keeps the current cell.
    sink.Events().clear();
    EXPECT_HRESULT_SUCCEEDED(Itf()->ClearSelection());
    EXPECT_TRUE(sink.Events().empty());
    EXPECT_EQ(kNone, Corners());
    EXPECT_FALSE(grid->GetCell(3, 4).Selected());
    EXPECT_EQ(CCellID(3, 4), grid->FocusCell());

    // A current cell that new fixed rows or columns cover is dropped.
    Itf()->put_FixedCols(4);
    EXPECT_EQ(CCellID(3, 4), grid->FocusCell());
    Itf()->put_FixedCols(5);
    EXPECT_EQ(CCellID(-1, -1), grid->FocusCell());
    grid->SetFocusCell(3, 6);
    Itf()->put_FixedRows(3);
    EXPECT_EQ(CCellID(3, 6), grid->FocusCell());
    Itf()->put_FixedRows(4);
    EXPECT_EQ(CCellID(-1, -1), grid->FocusCell());
}

TEST_F(TesseraSelection, CornerSettersMoveOneCornerOfAnExistingSelection)
{
    Itf()->put_SelectionLeftTopX(3);  // nothing selected: stays empty
    EXPECT_EQ(kNone, Corners());
    grid->Selection().SetSelectedRange(2, 1, 4, 3);
    Itf()->put_SelectionRightBottomX(0);
    EXPECT_EQ("0,2-1,4", Corners());
    Itf()->put_SelectionLeftTopY(6);  // beyond the other corner: the roles swap
    EXPECT_EQ("0,4-1,6", Corners());
    Itf()->put_SelectionRightBottomY(10);  // outside the table
    EXPECT_EQ(kNone, Corners());
}

TEST_F(TesseraSelection, RangeSelectOffHidesTheSelectionAndRefusesNewOnes)
{
    grid->Selection().SetSelectedRange(2, 1, 4, 3);
    Itf()->put_RangeSelect(VARIANT_FALSE);
    VARIANT_BOOL draw = 1;
    Itf()->get_DrawSelection(&draw);
    EXPECT_EQ(0, draw);
    Itf()->put_DrawSelection(1);  // refused while range selection is off
    Itf()->get_DrawSelection(&draw);
    EXPECT_EQ(0, draw);
    EXPECT_EQ(kNone, Corners());

    sink.Events().clear();
    grid->Selection().SetSelectedRange(5, 5, 6, 6);
    Itf()->put_SelectionLeftTopX(1);
    EXPECT_TRUE(sink.Events().empty());
    EXPECT_TRUE(grid->GetCell(2, 1).Selected());  // left in place
    EXPECT_FALSE(grid->GetCell(5, 5).Selected());

    Itf()->put_RangeSelect(VARIANT_TRUE);
    EXPECT_EQ("1,2-3,4", Corners());
}

TEST_F(TesseraSelection, LargeGridSelectsBeyondRow65535AndShrinksCleanly)
{
    Itf()->put_Rows(70000);
    grid->Selection().SetSelectedRange(65534, 1, 65537, 2);
    EXPECT_EQ("1,65534-2,65537", Corners());
    Itf()->put_SelectionLeftTopY(0);
    EXPECT_EQ("1,0-2,65537", Corners());
    Itf()->put_SelectionRightBottomY(1);
    EXPECT_EQ("1,0-2,1", Corners());
    for (int row = 2; row < 70000; ++row)
        ASSERT_FALSE(grid->GetCell(row, 1).Selected() || grid->GetCell(row, 2).Selected()) << row;

    // Shrinking leaves no corner on a cell that is gone.
    grid->Selection().SetSelectedRange(65534, 1, 65537, 2);
    Itf()->put_Rows(65536);
    EXPECT_EQ("1,65534-2,65535", Corners());
    Itf()->put_Cols(2);
    EXPECT_EQ("1,65534-1,65535", Corners());
}

// Selected flags must not travel with moved cells, nor the current cell.
TEST_F(TesseraSelection, ExchangesClearTheSelectionOfTheCellsThatMove)
{
    grid->Selection().SetSelectedRange(1, 1, 2, 2);
    grid->SetFocusCell(1, 1);
    sink.Events().clear();
    Itf()->ExchangeCols(2, 5);
    EXPECT_TRUE(sink.Events().empty());
    EXPECT_EQ(CCellID(), grid->FocusCell());
    EXPECT_EQ(0u, grid->Selection().SelectedCount());
    for (int row = 0; row < 10; ++row)
        for (int col = 0; col < 10; ++col) EXPECT_FALSE(grid->GetCell(row, col).Selected()) << row << "," << col;
}

} // namespace
