// The current cell and the selection.
#include "control/Tessera.h"

CCellID CTessera::SetFocusCell(int row, int col)
{
    const CCellID old = m_idCurrentCell;
    if (old == CCellID(row, col)) return old;

    Fire_OnLeaveCell(static_cast<short>(old.row), static_cast<short>(old.col));
    m_idCurrentCell = CCellID(row, col);
    Fire_OnEnterCell(static_cast<short>(row), static_cast<short>(col));

    // The very first current cell gets no focus flag and is not scrolled to.
    if (m_grid.IsValid(old)) {
        m_grid.ClearFocusFlags();
        BringIntoView(row, col);
        if (m_grid.IsValid(row, col)) m_grid.SetFocusFlag(m_grid.GetCell(row, col));
    }
    Refresh();
    return old;
}

STDMETHODIMP CTessera::ClearSelection()
{
    // Nothing can be selected yet: only the repaint remains.
    Refresh();
    return S_OK;
}
