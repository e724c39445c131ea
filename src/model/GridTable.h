// CGridTable: the cells of the grid with the sizes of its rows and columns.
// It knows nothing of windows or events; the control adds those steps.
#pragma once

#include <windows.h>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/GridCell.h"
#include "model/SizeSums.h"

// A position in the grid, row first; (-1, -1) is no cell.
struct CCellID {
    int row = -1;
    int col = -1;
    CCellID() noexcept = default;
    CCellID(int r, int c) noexcept : row(r), col(c) {}
    bool operator==(const CCellID& o) const noexcept { return row == o.row && col == o.col; }
    bool operator!=(const CCellID& o) const noexcept { return !(*this == o); }
};

// Inclusive rectangle of cells.
struct CCellRange {
    int minRow = -1;
    int minCol = -1;
    int maxRow = -1;
    int maxCol = -1;
};

class CGridTable {
public:
    static constexpr int kDefaultColWidth = 50;
    static constexpr int kDefaultRowHeight = 40;

    CGridTable() = default;
    CGridTable(const CGridTable&) = delete;
    CGridTable& operator=(const CGridTable&) = delete;

    int Rows() const noexcept { return static_cast<int>(m_rows.size()); }
    int Cols() const noexcept { return static_cast<int>(m_colWidths.size()); }
    int FixedRows() const noexcept { return m_nFixedRows; }
    int FixedCols() const noexcept { return m_nFixedCols; }
    void SetFixedRows(int n) noexcept { m_nFixedRows = n; }
    void SetFixedCols(int n) noexcept { m_nFixedCols = n; }

    bool IsValid(int row, int col) const noexcept
    {
        return row >= 0 && row < Rows() && col >= 0 && col < Cols();
    }
    bool IsValid(const CCellID& cell) const noexcept { return IsValid(cell.row, cell.col); }
    bool IsValid(const CCellRange& r) const noexcept
    {
        return r.minRow >= 0 && r.minCol >= 0 && r.maxRow >= 0 && r.maxCol >= 0
            && r.maxRow < Rows() && r.maxCol < Cols()
            && r.minRow <= r.maxRow && r.minCol <= r.maxCol;
    }

    CGridCell* GetCell(int row, int col) const noexcept
    {
        if (!IsValid(row, col)) return nullptr;
        return (*m_rows[row])[col].get();
    }

    // -1 for a position outside the table.
    int GetColumnWidth(int col) const noexcept;
    int GetRowHeight(int row) const noexcept;
    // False (nothing stored) for a position outside the table.
    bool SetColumnWidth(int col, int width) noexcept;
    bool SetRowHeight(int row, int height) noexcept;

    // Sums with the wrap-around of 32-bit arithmetic.
    int TotalWidth() const noexcept { return static_cast<int>(m_totalWidth); }
    int TotalHeight() const noexcept { return static_cast<int>(m_totalHeight); }

    // Widths and heights with their running sums, current as of this call.
    const CSizeSums& ColumnSums() const { m_colSums.Update(m_colWidths); return m_colSums; }
    const CSizeSums& RowSums() const { m_rowSums.Update(m_rowHeights); return m_rowSums; }

    // Destroys or makes cells at the end; counts below 0 are ignored. New
    // columns and rows get the default sizes and new cells. False, with the
    // table unchanged, when the cells cannot be had.
    bool ResizeCols(int count);
    bool ResizeRows(int count);
    // Whether a table of that size stays within the cells a grid may hold.
    static bool CanHold(long long rows, long long cols) noexcept;
    // 200 million cells is tens of gigabytes: beyond that a size is a mistake.
    static constexpr long long kMaxCells = 200000000;
    // Bytes that growing the table to rows x cols is expected to take beyond
    // what it holds now (cells, their slots, new rows); 0 for a shrink.
    static unsigned long long GrowCost(long long oldRows, long long oldCols, long long rows, long long cols) noexcept;

    // Swap two columns or rows with their sizes; false when an index is
    // outside the table or both are the same.
    bool ExchangeCols(int col1, int col2) noexcept;
    bool ExchangeRows(int row1, int row2) noexcept;
    // Moves one column or row to index to, the ones between shifting by one:
    // the order a run of neighbour exchanges gives, at the cost of one pass.
    bool MoveCol(int from, int to) noexcept;
    bool MoveRow(int from, int to) noexcept;

    // Rows keep a count of their cells that were given a button window, so
    // that placing buttons visits those rows and not the whole table. The
    // counts travel with row exchanges; a cell that lost its button, or a
    // column cut away, is counted out on the next walk.
    void NoteButtonCell(int row, int col) noexcept;
    bool HasButtonCells() const noexcept { return m_nButtonCells > 0; }
    // Whether the row may hold button cells (its count is pruned lazily).
    bool RowHasButtonCells(int row) const noexcept
    {
        return row >= 0 && row < static_cast<int>(m_rowButtons.size()) && m_rowButtons[row] > 0;
    }
    // f(row, col, cell) for each cell that has a button window.
    template <class F>
    void ForEachButtonCell(F f);
    // f(row, col) for each listed cell, with its button window or without
    // (taken down while the control has no window).
    template <class F>
    void ForEachListedCell(F f);

    // Only one cell carries the focus flag, so clearing is cheap.
    void SetFocusFlag(CGridCell* cell) noexcept;
    void ClearFocusFlags() noexcept;

    // Sizes as decimal numbers separated by single spaces.
    std::wstring WidthsText() const;
    std::wstring HeightsText() const;

    // Splits 8-bit text at every space and reads each piece as atoi does.
    static std::vector<int> ParseSizes(const std::string& text);
    // atoi on [begin, end): white space, a sign, digits; 0 without digits,
    // clamped to the int range.
    static int Atoi(const char* begin, const char* end) noexcept;

private:
    using Row = std::vector<std::unique_ptr<CGridCell>>;

    void ForgetFocusFlag(const CGridCell* cell) noexcept
    {
        if (cell == m_pFocusFlagged) m_pFocusFlagged = nullptr;
    }

    std::vector<std::unique_ptr<Row>> m_rows;
    std::vector<int> m_rowHeights;
    std::vector<int> m_colWidths;
    std::uint32_t m_totalWidth = 0;
    std::uint32_t m_totalHeight = 0;
    mutable CSizeSums m_colSums;
    mutable CSizeSums m_rowSums;
    int m_nFixedRows = 0;
    int m_nFixedCols = 0;
    CGridCell* m_pFocusFlagged = nullptr;
    std::vector<int> m_rowButtons;  // per row, listed button cells
    long long m_nButtonCells = 0;   // their sum
};

template <class F>
void CGridTable::ForEachButtonCell(F f)
{
    for (int row = 0; row < Rows() && m_nButtonCells > 0; ++row) {
        if (m_rowButtons[row] == 0) continue;
        int counted = 0;
        for (int col = 0; col < Cols(); ++col) {
            CGridCell* cell = GetCell(row, col);
            if (!cell->m_bButtonListed) continue;
            if (cell->HasButton()) {
                ++counted;
            } else {
                cell->m_bButtonListed = false;
            }
        }
        m_nButtonCells += counted - m_rowButtons[row];
        m_rowButtons[row] = counted;
        // Window code runs in f; the row is read again for each cell.
        for (int col = 0; col < Cols(); ++col) {
            CGridCell* cell = GetCell(row, col);
            if (cell && cell->m_bButtonListed && cell->HasButton()) f(row, col, *cell);
        }
    }
}

template <class F>
void CGridTable::ForEachListedCell(F f)
{
    // f runs window code: the table is read again for each cell.
    for (int row = 0; row < Rows() && m_nButtonCells > 0; ++row) {
        if (m_rowButtons[row] == 0) continue;
        for (int col = 0; col < Cols(); ++col) {
            CGridCell* cell = GetCell(row, col);
            if (cell && cell->m_bButtonListed) f(row, col);
        }
    }
}
