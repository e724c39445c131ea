// Cell hints: the control's side of the tooltip.
#include "control/Tessera.h"

#include "framework/module.h"

void CTessera::CreateHintWindow()
{
    if (HWND hwnd = ControlWindow()) m_hint.Create(hwnd, fw::Module::Instance());
}

void CTessera::DestroyHintWindow()
{
    m_hint.Destroy();
}

void CTessera::UpdateCellHint(int row, int col)
{
    if (!m_hint.Retarget(CCellID(row, col))) return;
    RECT box;
    const CCellRef cell = GetCell(row, col);
    // A cell without a hint leaves the tool as it was: the tooltip stays
    // hidden while the pointer is away from the last hinted cell.
    if (cell && *cell.Hint().Text() && CellBox(row, col, box)) m_hint.SetTool(box, cell.Hint().Text());
}

void CTessera::RelayToHint(UINT msg, WPARAM wp, LPARAM lp)
{
    m_hint.Relay(msg, wp, lp);
}

// Right and middle button messages go to the hint window only.
LRESULT CTessera::OnRelayToHint(UINT msg, WPARAM wp, LPARAM lp, BOOL&)
{
    RelayToHint(msg, wp, lp);
    return 0;
}
