// Steps of the common paths that need the layout, the scroll bars or the
// in-place editors. Until those parts exist each step has nothing to do
// beyond what is written here.
#include "control/Tessera.h"

#include <algorithm>

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
    // A 20 x 20 square at the cell's right end; all zero off screen.
    POINT pt;
    if (!ControlWindow() || !layout.CellShows(row, col) || !layout.CellPosition(row, col, pt))
        return RECT{0, 0, 0, 0};
    const int right = pt.x + m_grid.GetColumnWidth(col);
    return RECT{right - 20, pt.y, right, pt.y + 20};
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
