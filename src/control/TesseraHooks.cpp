// Steps of the common paths that need the layout, the scroll bars or the
// in-place editors. Until those parts exist each step has nothing to do
// beyond what is written here.
#include "control/Tessera.h"

void CTessera::CloseEditor()
{
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
    if (!m_grid.HasButtonCells()) return;
    const view::CLayout layout = Layout();
    m_grid.ForEachButtonCell(
        [&](int row, int col, CGridCell& cell) { cell.PositionButton(CellButtonRect(layout, row, col)); });
}

void CTessera::Refresh()
{
    if (!m_nAllowDraw || !ControlWindow()) return;
    FireViewChange();
    PositionButtons();
    Fire_ViewChange();
}
