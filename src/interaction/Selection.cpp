// The control's side of the current cell and the selection: the automation
// members and the hooks through which the selection model raises events
// and asks for repaints.
#include "control/Tessera.h"

#include <algorithm>

// --- Hooks ---------------------------------------------------------------------------

bool CTessera::SelectionHooks::RangeSelectAllowed() const
{
    return m_owner.m_bRangeSelect != 0;
}

void CTessera::SelectionHooks::OnLeaveCell(int row, int col)
{
    m_owner.Fire_OnLeaveCell(static_cast<short>(row), static_cast<short>(col));
}

void CTessera::SelectionHooks::OnEnterCell(int row, int col)
{
    m_owner.Fire_OnEnterCell(static_cast<short>(row), static_cast<short>(col));
    // Unless the sink moved on meanwhile, the cell now has the focus.
    if (m_owner.FocusCell() == CCellID(row, col) && m_owner.Grid().IsValid(row, col)
        && m_owner.m_accessibleHooks.HasFocus())
        m_owner.NotifyAccessible(EVENT_OBJECT_FOCUS, m_owner.ChildIdOf(row, col));
}

void CTessera::SelectionHooks::SelectionChanged()
{
    m_owner.NotifyAccessible(EVENT_OBJECT_SELECTIONWITHIN, CHILDID_SELF);
}

void CTessera::SelectionHooks::OnSelectCell(int col, int row)
{
    m_owner.Fire_OnSelectCell(static_cast<short>(col), static_cast<short>(row));
}

void CTessera::SelectionHooks::BringIntoView(int row, int col)
{
    m_owner.BringIntoView(row, col);
}

bool CTessera::SelectionHooks::SelectCellHeard() const
{
    return m_owner.EventsHeard();
}

// Cells off the screen cost nothing; those on it are asked for in one
// region, or painted on one context when asked for now.
void CTessera::SelectionHooks::RepaintCells(const std::vector<CCellRange>& ranges, bool now)
{
    HWND hwnd = m_owner.ControlWindow();
    if (!m_owner.m_nAllowDraw || !hwnd) return;
    const view::CLayout layout = m_owner.Layout();
    if (now) {
        HDC dc = GetDC(hwnd);
        for (const CCellRange& r : ranges)
            layout.ForEachShownCell(r, [&](int row, int col) { m_owner.PaintCellNow(dc, row, col); });
        if (dc) ReleaseDC(hwnd, dc);
        return;
    }
    view::CRgn region(CreateRectRgn(0, 0, 0, 0));
    bool any = false;
    for (const CCellRange& r : ranges) {
        const RECT box = layout.RangeBox(r);
        if (IsRectEmpty(&box)) continue;
        view::CRgn piece(CreateRectRgnIndirect(&box));
        if (!region || !piece || CombineRgn(region.Get(), region.Get(), piece.Get(), RGN_OR) == ERROR) {
            InvalidateRect(hwnd, nullptr, TRUE);
            return;
        }
        any = true;
    }
    if (any) InvalidateRgn(hwnd, region.Get(), TRUE);
}

void CTessera::SelectionHooks::RefreshMove(const CCellID& from, const CCellID& to)
{
    m_owner.RefreshMove(from, to);
}

// --- Automation members --------------------------------------------------------------

STDMETHODIMP CTessera::get_CurrentCellCol(int* pVal)
{
    if (!pVal) return E_POINTER;
    *pVal = FocusCell().col;
    return S_OK;
}

STDMETHODIMP CTessera::get_CurrentCellRow(int* pVal)
{
    if (!pVal) return E_POINTER;
    *pVal = FocusCell().row;
    return S_OK;
}

HRESULT CTessera::GetSelectionCorner(Corner which, int* pVal)
{
    if (!pVal) return E_POINTER;
    // Without range selection there is no selection to report, even when
    // cells selected earlier are still marked.
    if (!m_bRangeSelect) {
        *pVal = -1;
        return S_OK;
    }
    const CCellRange b = m_selection.Bounds();
    switch (which) {
    case Corner::LeftTopX: *pVal = b.minCol; break;
    case Corner::LeftTopY: *pVal = b.minRow; break;
    case Corner::RightBottomX: *pVal = b.maxCol; break;
    case Corner::RightBottomY: *pVal = b.maxRow; break;
    }
    return S_OK;
}

HRESULT CTessera::PutSelectionCorner(Corner which, int newVal)
{
    int x1 = -1, y1 = -1, x2 = -1, y2 = -1;
    GetSelectionCorner(Corner::LeftTopX, &x1);
    GetSelectionCorner(Corner::LeftTopY, &y1);
    GetSelectionCorner(Corner::RightBottomX, &x2);
    GetSelectionCorner(Corner::RightBottomY, &y2);
    switch (which) {
    case Corner::LeftTopX: x1 = newVal; break;
    case Corner::LeftTopY: y1 = newVal; break;
    case Corner::RightBottomX: x2 = newVal; break;
    case Corner::RightBottomY: y2 = newVal; break;
    }
    // An empty selection gives -1 corners, which the range test refuses:
    // only the user starts a selection from nothing.
    m_selection.SetSelectedRange(std::min(y1, y2), std::min(x1, x2), std::max(y1, y2), std::max(x1, x2));
    return S_OK;
}

STDMETHODIMP CTessera::get_SelectionLeftTopX(int* pVal) { return GetSelectionCorner(Corner::LeftTopX, pVal); }
STDMETHODIMP CTessera::put_SelectionLeftTopX(int newVal) { return PutSelectionCorner(Corner::LeftTopX, newVal); }
STDMETHODIMP CTessera::get_SelectionLeftTopY(int* pVal) { return GetSelectionCorner(Corner::LeftTopY, pVal); }
STDMETHODIMP CTessera::put_SelectionLeftTopY(int newVal) { return PutSelectionCorner(Corner::LeftTopY, newVal); }
STDMETHODIMP CTessera::get_SelectionRightBottomX(int* pVal) { return GetSelectionCorner(Corner::RightBottomX, pVal); }
STDMETHODIMP CTessera::put_SelectionRightBottomX(int newVal) { return PutSelectionCorner(Corner::RightBottomX, newVal); }
STDMETHODIMP CTessera::get_SelectionRightBottomY(int* pVal) { return GetSelectionCorner(Corner::RightBottomY, pVal); }
STDMETHODIMP CTessera::put_SelectionRightBottomY(int newVal) { return PutSelectionCorner(Corner::RightBottomY, newVal); }

STDMETHODIMP CTessera::ClearSelection()
{
    m_selection.ClearSelection();
    Refresh();
    return S_OK;
}
