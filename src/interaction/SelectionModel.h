// CSelectionModel: the current cell, the selection anchor and the selected
// cells. Mouse and keyboard handling drive it; the control supplies events,
// scrolling and repaints through CSelectionHost. The selection is kept as
// the rectangles it is made of, so that selecting or dropping a whole grid
// costs the same as one cell.
#pragma once

#include <cstddef>
#include <vector>

#include "model/GridTable.h"

// The gesture that mouse and keyboard handling are running.
enum class MouseMode : int {
    Idle = 0,
    SelectAll = 1,
    SelectColumns = 2,
    SelectRows = 3,
    SelectCells = 4,
    OverRowDivider = 6,
    SizingRow = 7,
    OverColumnDivider = 8,
    SizingColumn = 9,
    PrepareEdit = 10,
    DragRow = 11,
    DragColumn = 12,
};

// What the selection needs of its owner.
class CSelectionHost {
public:
    virtual bool RangeSelectAllowed() const = 0;
    // Whether anybody receives OnSelectCell: without, a rectangle is selected
    // whole, without a step per cell.
    virtual bool SelectCellHeard() const = 0;
    virtual void OnLeaveCell(int row, int col) = 0;
    virtual void OnEnterCell(int row, int col) = 0;
    // Column first, as the event declares it.
    virtual void OnSelectCell(int col, int row) = 0;
    virtual void BringIntoView(int row, int col) = 0;
    // One repaint of the cells of all the ranges: queued, or painted at once
    // when now. The ranges lie inside the table.
    virtual void RepaintCells(const std::vector<CCellRange>& ranges, bool now) = 0;
    // Repaint request, button placement and ViewChange after the current
    // cell moved from one cell to another (either may be no cell).
    virtual void RefreshMove(const CCellID& from, const CCellID& to) = 0;
    // Once for every call that changed which cells are selected, however
    // many cells it changed.
    virtual void SelectionChanged() {}

protected:
    ~CSelectionHost() = default;
};

namespace selection {

bool Contains(const CCellRange& r, int row, int col) noexcept;
// The cells of a that are not in b, as up to four rectangles appended to out.
void Subtract(const CCellRange& a, const CCellRange& b, std::vector<CCellRange>& out);
// The cells selected in one of the two selections and not in the other, as
// disjoint rectangles (each selection is made of disjoint rectangles).
std::vector<CCellRange> Changed(const std::vector<CCellRange>& before, const std::vector<CCellRange>& after);

} // namespace selection

class CSelectionModel {
public:
    CSelectionModel(CGridTable& grid, CSelectionHost& host) noexcept : m_grid(grid), m_host(host) {}
    CSelectionModel(const CSelectionModel&) = delete;
    CSelectionModel& operator=(const CSelectionModel&) = delete;

    // --- current cell ---
    CCellID FocusCell() const noexcept { return m_current; }
    // Moves the current cell with OnLeaveCell and OnEnterCell; returns the
    // old one. Moving to the current cell does nothing.
    CCellID SetFocusCell(int row, int col);
    // Forgets the current cell without events, for exchanges that move the
    // cells under it.
    void ResetFocusCell() noexcept;

    // --- gesture state ---
    CCellID Anchor() const noexcept { return m_anchor; }
    void SetAnchor(const CCellID& cell) noexcept { m_anchor = cell; }
    MouseMode Mode() const noexcept { return m_mode; }
    void SetMode(MouseMode mode) noexcept { m_mode = mode; }

    // --- selection ---
    // False for a position without a cell. *changed (may be null) tells
    // whether the cell's state changed; selecting raises OnSelectCell.
    bool SetCellSelected(int row, int col, bool select, bool* changed = nullptr);
    // Replaces the selection by the rectangle, raising OnSelectCell for each
    // of its cells in row-major order. An invalid rectangle only clears.
    // Nothing happens while range selection is off.
    void SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol, bool forceRepaint = false);
    void SelectAllCells();
    void SelectColumnsTo(const CCellID& cell);
    void SelectRowsTo(const CCellID& cell);
    void SelectCellsTo(const CCellID& cell);
    // Extends by the running gesture, from the anchor to cell.
    void ExtendSelection(const CCellID& cell);
    // Deselects everything without events or repaints.
    void ClearSelection() noexcept;
    // Drops what lies outside the table after Rows or Cols shrank.
    void PruneOutsideGrid();

    bool IsSelected(int row, int col) const noexcept;
    // Moves cell to the next selected cell, by columns then rows, from the
    // first when cell is (-1, -1); false past the last. A walk holds no copy
    // and survives changes between steps.
    bool NextSelected(CCellID& cell) const noexcept;
    size_t SelectedCount() const noexcept;
    // Smallest and largest row and column of the selected cells; all -1
    // when nothing is selected.
    CCellRange Bounds() const noexcept;
    // The disjoint rectangles the selection is made of.
    const std::vector<CCellRange>& Ranges() const noexcept { return m_ranges; }

private:
    // Adds one cell, growing the last rectangle where the cell continues it;
    // false when it was selected already.
    bool Add(int row, int col);
    bool Remove(int row, int col);
    bool RangeSelect() const { return m_host.RangeSelectAllowed(); }

    CGridTable& m_grid;
    CSelectionHost& m_host;
    CCellID m_current;
    CCellID m_anchor;
    MouseMode m_mode = MouseMode::Idle;
    std::vector<CCellRange> m_ranges;
};
