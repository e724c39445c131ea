#include "interaction/SelectionModel.h"

#include <algorithm>

// --- Current cell ----------------------------------------------------------------

CCellID CSelectionModel::SetFocusCell(int row, int col)
{
    const CCellID old = m_current;
    if (old == CCellID(row, col)) return old;

    m_host.OnLeaveCell(old.row, old.col);
    m_current = CCellID(row, col);
    m_host.OnEnterCell(row, col);

    // The very first current cell of a grid gets no focus flag and is not
    // scrolled to; hosts rely on that first move being quiet.
    if (m_grid.IsValid(old)) {
        m_grid.ClearFocusFlags();
        m_host.BringIntoView(row, col);
        m_grid.SetFocusFlag(row, col);
    }
    m_host.RefreshMove(old, m_current);
    return old;
}

void CSelectionModel::ResetFocusCell() noexcept
{
    m_grid.ClearFocusFlags();
    m_current = CCellID();
}

// --- Rectangles ---------------------------------------------------------------------

namespace selection {

bool Contains(const CCellRange& r, int row, int col) noexcept
{
    return row >= r.minRow && row <= r.maxRow && col >= r.minCol && col <= r.maxCol;
}

void Subtract(const CCellRange& a, const CCellRange& b, std::vector<CCellRange>& out)
{
    const CCellRange both{std::max(a.minRow, b.minRow), std::max(a.minCol, b.minCol), std::min(a.maxRow, b.maxRow),
                          std::min(a.maxCol, b.maxCol)};
    if (both.minRow > both.maxRow || both.minCol > both.maxCol) {
        out.push_back(a);
        return;
    }
    // Whole rows above and below the overlap, then what is left and right of it.
    if (a.minRow < both.minRow) out.push_back(CCellRange{a.minRow, a.minCol, both.minRow - 1, a.maxCol});
    if (both.maxRow < a.maxRow) out.push_back(CCellRange{both.maxRow + 1, a.minCol, a.maxRow, a.maxCol});
    if (a.minCol < both.minCol) out.push_back(CCellRange{both.minRow, a.minCol, both.maxRow, both.minCol - 1});
    if (both.maxCol < a.maxCol) out.push_back(CCellRange{both.minRow, both.maxCol + 1, both.maxRow, a.maxCol});
}

namespace {

// The cells of the rectangles in from that none of those in minus holds.
void AppendMinus(const std::vector<CCellRange>& from, const std::vector<CCellRange>& minus,
                 std::vector<CCellRange>& out)
{
    std::vector<CCellRange> pieces, next;
    for (const CCellRange& r : from) {
        pieces.assign(1, r);
        for (const CCellRange& m : minus) {
            next.clear();
            for (const CCellRange& p : pieces) Subtract(p, m, next);
            pieces.swap(next);
        }
        out.insert(out.end(), pieces.begin(), pieces.end());
    }
}

} // namespace

std::vector<CCellRange> Changed(const std::vector<CCellRange>& before, const std::vector<CCellRange>& after)
{
    std::vector<CCellRange> out;
    // Selections of many pieces come only from hosts that select cells one
    // by one; there the cells of both stand for the change.
    if (before.size() * after.size() > 1024) {
        out = before;
        out.insert(out.end(), after.begin(), after.end());
        return out;
    }
    AppendMinus(before, after, out);
    AppendMinus(after, before, out);
    return out;
}

} // namespace selection

// --- Selection ---------------------------------------------------------------------

bool CSelectionModel::IsSelected(int row, int col) const noexcept
{
    for (const CCellRange& r : m_ranges)
        if (selection::Contains(r, row, col)) return true;
    return false;
}

bool CSelectionModel::Add(int row, int col)
{
    if (IsSelected(row, col)) return false;
    // A row-major walk continues the last row's run, and a finished row
    // joins the rows before it: a rectangle stays one or two pieces.
    CCellRange* last = m_ranges.empty() ? nullptr : &m_ranges.back();
    if (last && last->minRow == row && last->maxRow == row && last->maxCol + 1 == col) {
        last->maxCol = col;
    } else {
        m_ranges.push_back(CCellRange{row, col, row, col});
        last = &m_ranges.back();
    }
    if (m_ranges.size() > 1) {
        CCellRange& prev = m_ranges[m_ranges.size() - 2];
        if (prev.minCol == last->minCol && prev.maxCol == last->maxCol && prev.maxRow + 1 == last->minRow
            && last->minRow == last->maxRow) {
            prev.maxRow = row;
            m_ranges.pop_back();
        }
    }
    return true;
}

bool CSelectionModel::Remove(int row, int col)
{
    for (size_t i = 0; i < m_ranges.size(); ++i) {
        const CCellRange r = m_ranges[i];
        if (!selection::Contains(r, row, col)) continue;
        m_ranges.erase(m_ranges.begin() + static_cast<std::ptrdiff_t>(i));
        selection::Subtract(r, CCellRange{row, col, row, col}, m_ranges);
        return true;
    }
    return false;
}

bool CSelectionModel::SetCellSelected(int row, int col, bool select, bool* changed)
{
    if (changed) *changed = false;
    if (!m_grid.IsValid(row, col)) return false;
    if (select ? !Add(row, col) : !Remove(row, col)) return true;
    if (changed) *changed = true;
    if (select) m_host.OnSelectCell(col, row);
    m_host.SelectionChanged();
    return true;
}

void CSelectionModel::SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol, bool forceRepaint)
{
    if (!RangeSelect()) return;
    const std::vector<CCellRange> before = std::move(m_ranges);
    m_ranges.clear();

    const CCellRange r{minRow, minCol, maxRow, maxCol};
    if (m_grid.IsValid(r)) {
        if (!m_host.SelectCellHeard()) {
            m_ranges.push_back(r);
        } else {
            // Each cell is selected before its event, so that a sink calling
            // back sees it; a sink may change the table or the selection.
            for (int row = minRow; row <= maxRow; ++row)
                for (int col = minCol; col <= maxCol; ++col)
                    if (m_grid.IsValid(row, col) && Add(row, col)) m_host.OnSelectCell(col, row);
        }
    }

    const std::vector<CCellRange> changed = selection::Changed(before, m_ranges);
    if (changed.empty()) return;
    m_host.RepaintCells(changed, forceRepaint);
    m_host.SelectionChanged();
}

void CSelectionModel::SelectAllCells()
{
    if (!RangeSelect()) return;
    SetSelectedRange(m_grid.FixedRows(), m_grid.FixedCols(), m_grid.Rows() - 1, m_grid.Cols() - 1);
}

void CSelectionModel::SelectColumnsTo(const CCellID& cell)
{
    if (!RangeSelect() || cell.col < m_grid.FixedCols() || !m_grid.IsValid(cell)) return;
    SetSelectedRange(m_grid.FixedRows(), std::min(m_anchor.col, cell.col), m_grid.Rows() - 1,
                     std::max(m_anchor.col, cell.col));
}

void CSelectionModel::SelectRowsTo(const CCellID& cell)
{
    if (!RangeSelect() || cell.row < m_grid.FixedRows() || !m_grid.IsValid(cell)) return;
    SetSelectedRange(std::min(m_anchor.row, cell.row), m_grid.FixedCols(), std::max(m_anchor.row, cell.row),
                     m_grid.Cols() - 1);
}

void CSelectionModel::SelectCellsTo(const CCellID& cell)
{
    if (!RangeSelect() || cell.row < m_grid.FixedRows() || cell.col < m_grid.FixedCols()
        || !m_grid.IsValid(cell))
        return;
    SetSelectedRange(std::min(m_anchor.row, cell.row), std::min(m_anchor.col, cell.col),
                     std::max(m_anchor.row, cell.row), std::max(m_anchor.col, cell.col));
}

void CSelectionModel::ExtendSelection(const CCellID& cell)
{
    if (!RangeSelect()) return;
    switch (m_mode) {
    case MouseMode::SelectAll: SelectAllCells(); break;
    case MouseMode::SelectColumns: SelectColumnsTo(cell); break;
    case MouseMode::SelectRows: SelectRowsTo(cell); break;
    case MouseMode::SelectCells: SelectCellsTo(cell); break;
    default: break;
    }
}

void CSelectionModel::ClearSelection() noexcept
{
    const bool had = !m_ranges.empty();
    m_ranges.clear();
    if (had) m_host.SelectionChanged();
}

void CSelectionModel::PruneOutsideGrid()
{
    const int lastRow = m_grid.Rows() - 1;
    const int lastCol = m_grid.Cols() - 1;
    bool changed = false;
    for (size_t i = m_ranges.size(); i-- > 0;) {
        CCellRange& r = m_ranges[i];
        if (r.maxRow <= lastRow && r.maxCol <= lastCol) continue;
        changed = true;
        r.maxRow = std::min(r.maxRow, lastRow);
        r.maxCol = std::min(r.maxCol, lastCol);
        if (r.minRow > r.maxRow || r.minCol > r.maxCol) m_ranges.erase(m_ranges.begin() + static_cast<std::ptrdiff_t>(i));
    }
    if (changed) m_host.SelectionChanged();
}

bool CSelectionModel::NextSelected(CCellID& cell) const noexcept
{
    // The first cell after cell in each rectangle, by columns then rows; the
    // smallest of them. (-1, -1) comes before every cell.
    bool found = false;
    CCellID best;
    auto consider = [&](int col, int row) {
        if (!found || col < best.col || (col == best.col && row < best.row)) best = CCellID(row, col);
        found = true;
    };
    for (const CCellRange& r : m_ranges) {
        if (cell.col < r.minCol)
            consider(r.minCol, r.minRow);
        else if (cell.col <= r.maxCol && cell.row < r.minRow)
            consider(cell.col, r.minRow);
        else if (cell.col <= r.maxCol && cell.row < r.maxRow)
            consider(cell.col, cell.row + 1);
        else if (cell.col < r.maxCol)
            consider(cell.col + 1, r.minRow);
    }
    if (found) cell = best;
    return found;
}

size_t CSelectionModel::SelectedCount() const noexcept
{
    size_t n = 0;
    for (const CCellRange& r : m_ranges)
        n += static_cast<size_t>(r.maxRow - r.minRow + 1) * static_cast<size_t>(r.maxCol - r.minCol + 1);
    return n;
}

CCellRange CSelectionModel::Bounds() const noexcept
{
    if (m_ranges.empty()) return CCellRange();
    CCellRange b = m_ranges.front();
    for (const CCellRange& r : m_ranges) {
        b.minRow = std::min(b.minRow, r.minRow);
        b.minCol = std::min(b.minCol, r.minCol);
        b.maxRow = std::max(b.maxRow, r.maxRow);
        b.maxCol = std::max(b.maxCol, r.maxCol);
    }
    return b;
}
