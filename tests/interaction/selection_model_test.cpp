// The selection model on its own, with a host that records what it is asked.
// Then the control's selection members and events, on a control made in this
// process without a window, with a real sink on its connection point.
#include "interaction/SelectionModel.h"
#include "interaction/keyed_grid.h"

namespace {

using Calls = std::vector<std::string>;

class RecordingHost final : public CSelectionHost {
public:
    bool rangeSelect = true;
    bool heard = true;
    Calls calls;
    int repaints = 0;
    int paintedNow = 0;
    std::vector<CCellRange> repainted;  // the last request's ranges

    bool RangeSelectAllowed() const override { return rangeSelect; }
    bool SelectCellHeard() const override { return heard; }
    void OnLeaveCell(int row, int col) override { Add("Leave", row, col); }
    void OnEnterCell(int row, int col) override { Add("Enter", row, col); }
    void OnSelectCell(int col, int row) override { Add("Select", col, row); }
    void BringIntoView(int row, int col) override { Add("View", row, col); }
    void RepaintCells(const std::vector<CCellRange>& ranges, bool now) override
    {
        ++(now ? paintedNow : repaints);
        repainted = ranges;
    }
    void RefreshMove(const CCellID&, const CCellID&) override { calls.push_back("Refresh"); }

private:
    void Add(const char* what, int a, int b)
    {
        calls.push_back(std::string(what) + "(" + std::to_string(a) + "," + std::to_string(b) + ")");
    }
};

struct SelectionModel : ::testing::Test {
    CGridTable grid;
    RecordingHost host;
    CSelectionModel sel{grid, host};

    void Size(int rows, int cols, int fixedRows = 1, int fixedCols = 1)
    {
        grid.ResizeCols(cols);
        grid.ResizeRows(rows);
        grid.SetFixedRows(fixedRows);
        grid.SetFixedCols(fixedCols);
    }

    // Every cell against the rectangle, the bounds, the count and the walk.
    ::testing::AssertionResult Is(const CCellRange& r)
    {
        size_t walked = 0;
        for (CCellID at; sel.NextSelected(at);) ++walked;
        if (walked != sel.SelectedCount()) return ::testing::AssertionFailure() << "walked " << walked;
        const CCellRange b = sel.Bounds();
        if (std::tie(b.minRow, b.minCol, b.maxRow, b.maxCol) != std::tie(r.minRow, r.minCol, r.maxRow, r.maxCol))
            return ::testing::AssertionFailure() << "bounds " << b.minRow << "," << b.minCol << "-" << b.maxRow
                                                 << "," << b.maxCol;
        for (int row = 0; row < grid.Rows(); ++row)
            for (int col = 0; col < grid.Cols(); ++col) {
                const bool inside = row >= r.minRow && row <= r.maxRow && col >= r.minCol && col <= r.maxCol;
                if (sel.IsSelected(row, col) != inside)
                    return ::testing::AssertionFailure() << "cell (" << row << "," << col << ")";
            }
        return ::testing::AssertionSuccess();
    }
};

const CCellRange kNone{-1, -1, -1, -1};

TEST_F(SelectionModel, RangeSelectsEveryCellRowMajorColumnFirstEachTime)
{
    Size(10, 10);
    sel.SetSelectedRange(2, 2, 3, 4);
    EXPECT_EQ((Calls{"Select(2,2)", "Select(3,2)", "Select(4,2)", "Select(2,3)", "Select(3,3)", "Select(4,3)"}),
              host.calls);
    EXPECT_TRUE(Is({2, 2, 3, 4}));
    EXPECT_EQ(1, host.repaints);

    // Dragging on: the cells already selected are reported again; the cells
    // joining and leaving are repainted, in one request.
    host.calls.clear();
    sel.SetSelectedRange(2, 2, 4, 3);
    EXPECT_EQ((Calls{"Select(2,2)", "Select(3,2)", "Select(2,3)", "Select(3,3)", "Select(2,4)", "Select(3,4)"}),
              host.calls);
    EXPECT_EQ(2, host.repaints);
    size_t cells = 0;
    for (const CCellRange& r : host.repainted) {
        for (int row = r.minRow; row <= r.maxRow; ++row)
            for (int col = r.minCol; col <= r.maxCol; ++col) ++cells;
        EXPECT_FALSE(r.minRow <= 3 && r.maxRow >= 2 && r.minCol <= 3 && r.maxCol >= 2);  // kept cells stay
    }
    EXPECT_EQ(4u, cells);
    EXPECT_TRUE(Is({2, 2, 4, 3}));

    // A forced repaint paints at once; the same selection again repaints nothing.
    sel.SetSelectedRange(2, 2, 2, 2, true);
    EXPECT_EQ(1, host.paintedNow);
    sel.SetSelectedRange(2, 2, 2, 2);
    EXPECT_EQ(2, host.repaints);
}

// Without a listener a rectangle is selected whole: no step per cell, and one
// repaint request however many rows change.
TEST_F(SelectionModel, UnheardSelectionsCostTheSameOnAnySize)
{
    Size(100000, 10);
    host.heard = false;
    sel.SelectAllCells();
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(99999u * 9, sel.SelectedCount());
    sel.SetSelectedRange(5, 5, 5, 5);
    sel.SetAnchor(CCellID(1, 5));
    sel.SelectColumnsTo(CCellID(7, 3));
    EXPECT_EQ(3, host.repaints);
    EXPECT_TRUE(Is({1, 3, 99999, 5}));
}

TEST_F(SelectionModel, SingleCellsReportWhetherTheyChanged)
{
    Size(10, 10);
    // A position without a cell; then one cell selected, selected again and deselected.
    for (auto [row, select, answer, changed] : {std::tuple{10, true, false, false}, {3, true, true, true},
                                                {3, true, true, false}, {3, false, true, true}}) {
        bool was = !changed;
        EXPECT_EQ(answer, sel.SetCellSelected(row, 3, select, &was)) << row << select;
        EXPECT_EQ(changed, was) << row << select;
    }
    EXPECT_EQ((Calls{"Select(3,3)"}), host.calls);  // no event to deselect
}

TEST_F(SelectionModel, RefusedRectanglesClearAndRangeSelectOffChangesNothing)
{
    Size(10, 10);
    for (CCellRange r : {CCellRange{-1, 1, 2, 2}, CCellRange{1, 1, 10, 2}, CCellRange{3, 1, 2, 2}}) {
        sel.SetSelectedRange(1, 1, 2, 2);
        sel.SetSelectedRange(r.minRow, r.minCol, r.maxRow, r.maxCol);
        EXPECT_EQ(0u, sel.SelectedCount());
        EXPECT_TRUE(Is(kNone));
    }
    sel.SetSelectedRange(1, 1, 2, 2);
    host.rangeSelect = false;
    host.calls.clear();
    sel.SetSelectedRange(3, 3, 4, 4);
    sel.SelectAllCells();
    sel.SetMode(MouseMode::SelectCells);
    sel.ExtendSelection(CCellID(5, 5));
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(Is({1, 1, 2, 2}));
}

TEST_F(SelectionModel, GesturesSelectFromTheAnchorInsideTheMovableCells)
{
    Size(8, 6, 2, 1);
    sel.SetAnchor(CCellID(5, 4));
    const struct { MouseMode mode; CCellID to; CCellRange selected; } steps[] = {
        {MouseMode::SelectAll, CCellID(), {2, 1, 7, 5}},
        {MouseMode::SelectColumns, CCellID(3, 2), {2, 2, 7, 4}},
        {MouseMode::SelectColumns, CCellID(3, 0), {2, 2, 7, 4}},  // a fixed column starts nothing
        {MouseMode::SelectRows, CCellID(3, 0), {3, 1, 5, 5}},
        {MouseMode::SelectCells, CCellID(7, 1), {5, 1, 7, 4}},
        {MouseMode::SelectCells, CCellID(8, 1), {5, 1, 7, 4}},    // outside the table
        {MouseMode::SizingRow, CCellID(2, 2), {5, 1, 7, 4}},
    };
    for (const auto& s : steps) {
        sel.SetMode(s.mode);
        sel.ExtendSelection(s.to);
        EXPECT_TRUE(Is(s.selected)) << static_cast<int>(s.mode) << " to " << s.to.row << "," << s.to.col;
    }
}

TEST_F(SelectionModel, DeselectedCellsSplitTheirRectangleAndTheBoundsFollow)
{
    Size(2, 40000, 0, 0);
    sel.SetSelectedRange(0, 32766, 1, 32770);
    EXPECT_TRUE(Is({0, 32766, 1, 32770}));
    EXPECT_TRUE(sel.SetCellSelected(1, 32770, false));
    EXPECT_TRUE(sel.SetCellSelected(0, 32770, false));
    EXPECT_TRUE(Is({0, 32766, 1, 32769}));
}

struct TesseraSelection : keys_test::KeyedGrid {
    TesseraSelection() : KeyedGrid(false) {}
};

const std::string kNoCorners = "-1,-1--1,-1";

// The events' arguments are checked through the keys and the mouse.
TEST_F(TesseraSelection, ClearingCornersRangeSelectOffAndExchangesWithoutAWindow)
{
    grid->SetFocusCell(3, 4);
    grid->Selection().SetSelectedRange(2, 2, 3, 4);
    // No window: ClearSelection raises nothing at all, and keeps the current cell.
    sink.Events().clear();
    EXPECT_HRESULT_SUCCEEDED(Itf()->ClearSelection());
    EXPECT_TRUE(sink.Events().empty());
    EXPECT_EQ(kNoCorners, Corners());
    EXPECT_FALSE(grid->Selection().IsSelected(3, 4));
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

    // The corner setters move one corner of an existing selection.
    Itf()->put_FixedRows(1);
    Itf()->put_FixedCols(1);
    Itf()->put_SelectionLeftTopX(3);  // nothing selected: stays empty
    EXPECT_EQ(kNoCorners, Corners());
    grid->Selection().SetSelectedRange(2, 1, 4, 3);
    Itf()->put_SelectionRightBottomX(0);
    EXPECT_EQ("0,2-1,4", Corners());
    Itf()->put_SelectionLeftTopY(6);  // beyond the other corner: the roles swap
    EXPECT_EQ("0,4-1,6", Corners());
    Itf()->put_SelectionRightBottomY(10);  // outside the table
    EXPECT_EQ(kNoCorners, Corners());

    // Range selection off hides the selection and refuses new ones.
    grid->Selection().SetSelectedRange(2, 1, 4, 3);
    Itf()->put_RangeSelect(VARIANT_FALSE);
    VARIANT_BOOL draw = 1;
    Itf()->get_DrawSelection(&draw);
    EXPECT_EQ(0, draw);
    Itf()->put_DrawSelection(1);  // refused while range selection is off
    Itf()->get_DrawSelection(&draw);
    EXPECT_EQ(0, draw);
    EXPECT_EQ(kNoCorners, Corners());

    sink.Events().clear();
    grid->Selection().SetSelectedRange(5, 5, 6, 6);
    Itf()->put_SelectionLeftTopX(1);
    EXPECT_TRUE(sink.Events().empty());
    EXPECT_TRUE(grid->Selection().IsSelected(2, 1));  // left in place
    EXPECT_FALSE(grid->Selection().IsSelected(5, 5));

    Itf()->put_RangeSelect(VARIANT_TRUE);
    EXPECT_EQ("1,2-3,4", Corners());

    // Selected flags must not travel with moved cells, nor the current cell.
    grid->Selection().SetSelectedRange(1, 1, 2, 2);
    grid->SetFocusCell(1, 1);
    sink.Events().clear();
    Itf()->ExchangeCols(2, 5);
    EXPECT_TRUE(sink.Events().empty());
    EXPECT_EQ(CCellID(), grid->FocusCell());
    EXPECT_EQ(0u, grid->Selection().SelectedCount());
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

    // Shrinking leaves no corner on a cell that is gone.
    grid->Selection().SetSelectedRange(65534, 1, 65537, 2);
    Itf()->put_Rows(65536);
    EXPECT_EQ("1,65534-2,65535", Corners());
    Itf()->put_Cols(2);
    EXPECT_EQ("1,65534-1,65535", Corners());
}

} // namespace
