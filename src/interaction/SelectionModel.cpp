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

// --- Selection ---------------------------------------------------------------------

void CSelectionModel::Added(int row, int col) noexcept
{
    if (m_selected.size() == 1) {
        m_bounds = CCellRange{row, col, row, col};
        return;
    }
    m_bounds.minRow = std::min(m_bounds.minRow, row);
    m_bounds.maxRow = std::max(m_bounds.maxRow, row);
    m_bounds.minCol = std::min(m_bounds.minCol, col);
    m_bounds.maxCol = std::max(m_bounds.maxCol, col);
}

bool CSelectionModel::SetCellSelected(int row, int col, bool select, bool* changed)
{
    bool done = false;
    const bool found = Select(row, col, select, &done);
    if (changed) *changed = done;
    if (done) m_host.SelectionChanged();
    return found;
}

bool CSelectionModel::Select(int row, int col, bool select, bool* changed)
{
    if (changed) *changed = false;
    CCellRef cell = m_grid.GetCell(row, col);
    if (!cell) return false;

    if (select && !cell.Selected()) {
        // Flag first, so that a sink calling back sees both views agree.
        cell.SetSelected(true);
        m_selected.insert(Key{col, row});
        Added(row, col);
        if (changed) *changed = true;
        m_host.OnSelectCell(col, row);
    } else if (!select && cell.Selected()) {
        cell.SetSelected(false);
        if (m_selected.erase(Key{col, row})) {
            if (changed) *changed = true;
            if (row == m_bounds.minRow || row == m_bounds.maxRow || col == m_bounds.minCol
                || col == m_bounds.maxCol)
                m_boundsStale = true;
        }
    }
    return true;
}

void CSelectionModel::Repaint(int row, int col, bool now)
{
    if (now)
        m_host.PaintCellNow(row, col);
    else
        InvalidateCell(CCellID(row, col));
}

void CSelectionModel::SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol, bool forceRepaint)
{
    if (!RangeSelect()) return;
    const size_t oldCount = m_selected.size();
    const CCellRange oldBounds = Bounds();
    if (forceRepaint) m_host.BeginPaintNow();

    // Every old cell is deselected; only those leaving the selection need
    // a repaint here, the rest are repainted as they are selected again.
    for (const Key& k : m_selected) {
        CCellRef cell = m_grid.GetCell(k.row, k.col);
        if (!cell) continue;
        cell.SetSelected(false);
        if (k.row < minRow || k.row > maxRow || k.col < minCol || k.col > maxCol)
            Repaint(k.row, k.col, forceRepaint);
    }
    m_selected.clear();
    m_bounds = CCellRange();
    m_boundsStale = false;

    if (m_grid.IsValid(CCellRange{minRow, minCol, maxRow, maxCol})) {
        for (int row = minRow; row <= maxRow; ++row) {
            for (int col = minCol; col <= maxCol; ++col) {
                bool changed = false;
                Select(row, col, true, &changed);
                if (changed) Repaint(row, col, forceRepaint);
            }
        }
    }

    if (forceRepaint) m_host.EndPaintNow();

    // The new selection is one whole rectangle (unless a sink changed it):
    // the same count in the same bounds is the same selection.
    const CCellRange b = Bounds();
    const long long area = m_selected.empty()
        ? 0 : static_cast<long long>(b.maxRow - b.minRow + 1) * (b.maxCol - b.minCol + 1);
    if (m_selected.size() != oldCount || static_cast<long long>(oldCount) != area || b.minRow != oldBounds.minRow
        || b.minCol != oldBounds.minCol || b.maxRow != oldBounds.maxRow || b.maxCol != oldBounds.maxCol)
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
    const bool had = !m_selected.empty();
    for (const Key& k : m_selected) {
        if (CCellRef cell = m_grid.GetCell(k.row, k.col)) cell.SetSelected(false);
    }
    m_selected.clear();
    m_bounds = CCellRange();
    m_boundsStale = false;
    if (had) m_host.SelectionChanged();
}

void CSelectionModel::PruneOutsideGrid()
{
    const int rows = m_grid.Rows();
    const int cols = m_grid.Cols();
    const size_t before = m_selected.size();

    m_selected.erase(m_selected.lower_bound(Key{cols, INT_MIN}), m_selected.end());
    // Rows beyond the table, one column at a time: each column's entries
    // are contiguous, so this costs the columns plus what is removed.
    for (auto it = m_selected.begin(); it != m_selected.end();) {
        const int col = it->col;
        auto from = m_selected.lower_bound(Key{col, rows});
        auto to = m_selected.lower_bound(Key{col + 1, INT_MIN});
        it = m_selected.erase(from, to);
    }

    if (m_selected.empty()) {
        m_bounds = CCellRange();
        m_boundsStale = false;
    } else if (m_selected.size() != before) {
        m_boundsStale = true;
    }
    if (m_selected.size() != before) m_host.SelectionChanged();
}

bool CSelectionModel::NextSelected(CCellID& cell) const
{
    // (-1, -1) sorts before every cell.
    const auto it = m_selected.upper_bound(Key{cell.col, cell.row});
    if (it == m_selected.end()) return false;
    cell = CCellID(it->row, it->col);
    return true;
}

void CSelectionModel::InvalidateCell(const CCellID& cell)
{
    if (!m_grid.IsValid(cell)) return;
    m_host.InvalidateCell(cell.row, cell.col);
}

CCellRange CSelectionModel::Bounds() const
{
    if (m_boundsStale) {
        m_boundsStale = false;
        m_bounds = CCellRange();
        if (!m_selected.empty()) {
            m_bounds.minCol = m_selected.begin()->col;
            m_bounds.maxCol = m_selected.rbegin()->col;
            m_bounds.minRow = INT_MAX;
            m_bounds.maxRow = INT_MIN;
            for (const Key& k : m_selected) {
                m_bounds.minRow = std::min(m_bounds.minRow, k.row);
                m_bounds.maxRow = std::max(m_bounds.maxRow, k.row);
            }
        }
    }
    return m_bounds;
}
