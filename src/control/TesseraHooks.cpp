// Steps of the common paths that need the layout, the scroll bars or the
// in-place editors. Until those parts exist each step has nothing to do
// beyond what is written here.
#include "control/Tessera.h"

#include <algorithm>

#include "view/Gdi.h"

void CTessera::CloseEditor()
{
    EndEdit(false);
}

RECT CTessera::CellButtonRect(int row, int col) const
{
    return CellButtonRect(Layout(), row, col);
}

RECT CTessera::CellButtonRect(const view::CLayout& layout, int row, int col) const
{
    // A square at the cell's right end (20 x 20 at 96 DPI); all zero off screen.
    POINT pt;
    if (!ControlWindow() || !layout.CellShows(row, col) || !layout.CellPosition(row, col, pt))
        return RECT{0, 0, 0, 0};
    const int right = pt.x + m_grid.GetColumnWidth(col);
    const int size = m_metrics.cellButton;
    return RECT{right - size, pt.y, right, pt.y + size};
}

void CTessera::PositionButtons()
{
    // Most grids have no button cells, and then there is nothing to place.
    if (!m_grid.HasButtonCells() && m_shownButtons.empty()) return;
    // An open month calendar keeps them hidden; closing it shows them again.
    if (m_editor.Kind() == interaction::EditorKind::MonthCalendar) return;
    // Only the cells on screen are placed, and the buttons shown last time
    // that are no longer on screen hidden: the cost follows the screen, not
    // the table.
    const view::CLayout layout = Layout();
    const CCellRange shown = layout.ShownRange();
    std::vector<HWND> now;
    for (int row = shown.minRow; row >= 0 && row <= shown.maxRow; ++row) {
        if (!m_grid.RowHasButtonCells(row)) continue;
        for (int col = shown.minCol; col >= 0 && col <= shown.maxCol; ++col) {
            CCellRef cell = m_grid.GetCell(row, col);
            if (!cell || !cell.ButtonListed() || !cell.HasButton()) continue;
            const RECT rc = CellButtonRect(layout, row, col);
            cell.PositionButton(rc);
            if (rc.right != rc.left && (cell = m_grid.GetCell(row, col)) && cell.HasButton())
                now.push_back(cell.ButtonWindow());
        }
    }
    HideButtonsBut(now);
    m_shownButtons = std::move(now);
}

void CTessera::HideButtonsBut(const std::vector<HWND>& keep)
{
    for (HWND button : m_shownButtons) {
        if (std::find(keep.begin(), keep.end(), button) != keep.end()) continue;
        if (IsWindow(button) && GetParent(button) == ControlWindow()) ShowWindow(button, SW_HIDE);
    }
}

void CTessera::Refresh()
{
    if (!m_nAllowDraw || !ControlWindow()) return;
    FireViewChange();
    PositionButtons();
    Fire_ViewChange();
}

void CTessera::RefreshMove(const CCellID& from, const CCellID& to)
{
    if (!m_nAllowDraw || !ControlWindow()) return;
    // A container that draws the control is asked as for any change; the
    // control's own window repaints only what the move changed, in one
    // request.
    if (IsInPlaceActive()) {
        HWND hwnd = ControlWindow();
        // Fixed cells show the current row and column sunken: only those of
        // a row or column that stopped or started being current change. A
        // current cell among the fixed ones sinks a whole fixed line.
        auto fixed = [&](const CCellID& c) {
            return (c.row >= 0 && c.row < m_grid.FixedRows()) || (c.col >= 0 && c.col < m_grid.FixedCols());
        };
        const bool both = m_grid.IsValid(from) && m_grid.IsValid(to);
        const bool rowChanged = !both || from.row != to.row;
        const bool colChanged = !both || from.col != to.col;
        const view::CLayout layout = Layout();
        view::CRgn region(CreateRectRgn(0, 0, 0, 0));
        if (!fixed(from) && !fixed(to) && region && AddAround(region.Get(), layout, from, rowChanged, colChanged) &&
            AddAround(region.Get(), layout, to, rowChanged, colChanged)) {
            InvalidateRgn(hwnd, region.Get(), TRUE);
        } else {
            InvalidateRect(hwnd, nullptr, TRUE);
        }
    } else {
        FireViewChange();
    }
    PositionButtons();
    Fire_ViewChange();
}

bool CTessera::AddAround(HRGN region, const view::CLayout& layout, const CCellID& cell, bool rowHeaders,
                         bool colHeaders)
{
    if (!m_grid.IsValid(cell)) return true;
    bool ok = true;
    // Cell boxes are inclusive; the right and bottom lines belong to them.
    auto add = [&](int row1, int col1, int row2, int col2) {
        RECT a, b;
        if (!layout.CellBox(row1, col1, a) || !layout.CellBox(row2, col2, b)) return;
        view::CRgn box(CreateRectRgn(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right) + 1,
                                     std::max(a.bottom, b.bottom) + 1));
        if (!box || CombineRgn(region, region, box.Get(), RGN_OR) == ERROR) ok = false;
    };
    add(cell.row, cell.col, cell.row, cell.col);
    if (rowHeaders && m_grid.FixedCols() > 0) add(cell.row, 0, cell.row, m_grid.FixedCols() - 1);
    if (colHeaders && m_grid.FixedRows() > 0) add(0, cell.col, m_grid.FixedRows() - 1, cell.col);
    return ok;
}
