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
    // Only cells with a button window have anything to place; most grids
    // have none, and then no cell needs a visit.
    if (!m_bButtonsMade) return;
    const view::CLayout layout = Layout();
    bool any = false;
    for (int row = 0; row < m_grid.Rows(); ++row) {
        for (int col = 0; col < m_grid.Cols(); ++col) {
            CGridCell* cell = m_grid.GetCell(row, col);
            if (cell && cell->HasButton()) {
                any = true;
                cell->PositionButton(CellButtonRect(layout, row, col));
            }
        }
    }
    m_bButtonsMade = any;
}

void CTessera::Refresh()
{
    if (!m_nAllowDraw || !ControlWindow()) return;
    FireViewChange();
    PositionButtons();
    Fire_ViewChange();
}
