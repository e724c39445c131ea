// Where the cells of the grid fall in the control window's client area, for
// one client size and one pair of scroll positions. Fixed rows and columns
// never scroll; the rest is shown from a cell boundary. Cell rectangles are
// inclusive (right = left + width - 1).
#pragma once

#include <windows.h>

#include "model/GridTable.h"

namespace view {

// Resize hot zone around column and row dividers, in pixels at 96 DPI.
constexpr int kEdgeTolerance = 3;

// One direction of the grid: columns along x or rows along y.
class CAxis {
public:
    // fixed <= sums.Count(); pos is the scroll position, extent the client
    // width or height.
    CAxis(const CSizeSums& sums, int fixed, int pos, int extent) noexcept
        : m_sums(sums), m_fixed(fixed), m_pos(pos), m_extent(extent) {}

    int Count() const noexcept { return m_sums.Count(); }
    int Fixed() const noexcept { return m_fixed; }
    int Extent() const noexcept { return m_extent; }
    int Size(int i) const noexcept { return m_sums.Size(i); }
    const CSizeSums& Sums() const noexcept { return m_sums; }

    int FixedExtent() const noexcept { return m_sums.Before(m_fixed); }
    int Content() const noexcept { return m_sums.Before(Count()); }

    // The first non-fixed index on screen. A position inside a cell skips the
    // whole cell; the last index is never skipped.
    int FirstScrolled() const noexcept;
    // Start of cell i given the first scrolled index; false when i is a
    // non-fixed index scrolled away before the view.
    bool Start(int i, int first, int& at) const noexcept;
    // Start of cell i wherever it lies: before the view when scrolled away.
    long long Origin(int i, int first) const noexcept;
    // The cell holding coordinate v (start <= v < start + size), or -1. Fixed
    // cells answer only when fixedAllowed.
    int IndexAt(int v, int first, bool fixedAllowed) const noexcept;
    // The last index at least partly inside the extent, from first on, and
    // where the shown cells end. reached: the cells reach the extent's end.
    int LastShown(int first, int& end, bool& reached) const noexcept;
    // The part [lo, hi) of the extent that cells a..b cover where they show;
    // false when none of it shows.
    bool Covered(int a, int b, int first, int& lo, int& hi) const noexcept;

private:
    const CSizeSums& m_sums;
    int m_fixed;
    int m_pos;
    int m_extent;
};

class CLayout {
public:
    CLayout(const CGridTable& grid, int clientWidth, int clientHeight, int hpos, int vpos,
            int edgeTolerance = kEdgeTolerance);

    const CAxis& Cols() const noexcept { return m_cols; }
    const CAxis& Rows() const noexcept { return m_rows; }

    int FixedColumnsWidth() const noexcept { return m_cols.FixedExtent(); }
    int FixedRowsHeight() const noexcept { return m_rows.FixedExtent(); }
    int ContentWidth() const noexcept { return m_cols.Content(); }
    int ContentHeight() const noexcept { return m_rows.Content(); }

    CCellID FirstScrolledCell() const noexcept;
    // False when the cell is outside the table or scrolled away left or above;
    // the client's right and bottom edges are not considered.
    bool CellPosition(int row, int col, POINT& pt) const noexcept;
    bool CellBox(int row, int col, RECT& rc) const noexcept;
    // Not scrolled away, and its top-left corner inside the client area.
    bool CellShows(int row, int col) const noexcept;
    // Where the cell lies, scrolled away or beyond the client area too, with
    // exclusive right and bottom edges; empty outside the table.
    RECT CellRect(int row, int col) const noexcept;

    // Non-fixed cells at least partly inside the client area. extent, when
    // given, receives the painted part: from (0, 0) to where the last shown
    // column and row end (exclusive), limited to the client area.
    CCellRange ShownRange(RECT* extent = nullptr) const noexcept;
    // The same without a last row or column that is only partly inside; the
    // first scrolled row and column are always kept.
    CCellRange WholeShownRange() const noexcept;

    // Where the cells of a range show, with exclusive right and bottom edges
    // (their grid lines included), inside the client area; empty when none
    // of them shows.
    RECT RangeBox(const CCellRange& range) const noexcept;
    // f(row, col) for each cell of the range that shows.
    template <class F>
    void ForEachShownCell(const CCellRange& range, F f) const;

    // The cell under a client point; row and column are found independently
    // and -1 where there is none.
    CCellID CellAtPoint(int x, int y, bool fixedAllowed) const noexcept;
    // Within the edge tolerance of a column's left (not column 0) or right
    // edge, in the fixed rows; rows likewise in the fixed columns.
    bool OnColumnEdge(int x, int y) const noexcept;
    bool OnRowEdge(int x, int y) const noexcept;
    int EdgeTolerance() const noexcept { return m_edgeTolerance; }

private:
    const CGridTable& m_grid;
    CAxis m_cols;
    CAxis m_rows;
    int m_edgeTolerance;
};

template <class F>
void CLayout::ForEachShownCell(const CCellRange& range, F f) const
{
    const CCellRange shown = ShownRange();
    // Each axis shows its fixed lines, then the scrolled ones from the first shown.
    auto lines = [](int a, int b, int fixed, int first, int last, auto each) {
        for (int i = a; i <= b && i < fixed; ++i) each(i);
        for (int i = a > first ? a : first; i <= b && i <= last; ++i) each(i);
    };
    lines(range.minRow, range.maxRow, m_rows.Fixed(), shown.minRow, shown.maxRow, [&](int row) {
        lines(range.minCol, range.maxCol, m_cols.Fixed(), shown.minCol, shown.maxCol, [&](int col) { f(row, col); });
    });
}

} // namespace view
