// Mouse handling of the control window: the messages go to the gesture
// unit, which calls back here for events, editing and the platform.
#include "control/Tessera.h"

#include "framework/module.h"
#include "resources/resource.h"

namespace {

class CWindowDC {
public:
    explicit CWindowDC(HWND hwnd) noexcept : m_hwnd(hwnd), m_dc(hwnd ? GetDC(hwnd) : nullptr) {}
    ~CWindowDC()
    {
        if (m_dc) ReleaseDC(m_hwnd, m_dc);
    }
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;
    HDC Get() const noexcept { return m_dc; }

private:
    HWND m_hwnd;
    HDC m_dc;
};

} // namespace

LRESULT CTessera::OnMouseMessage(UINT msg, WPARAM wp, LPARAM lp, BOOL&)
{
    HWND hwnd = ControlWindow();
    const MSG outer = m_mouseHooks.current;
    m_mouseHooks.current = MSG{hwnd, msg, wp, lp, 0, {0, 0}};
    // Press, move and release read the coordinates unsigned, the double
    // click signed.
    const int x = LOWORD(lp);
    const int y = HIWORD(lp);
    LRESULT result = 0;
    switch (msg) {
    case WM_LBUTTONDOWN: m_mouse.Press(x, y, wp); break;
    case WM_MOUSEMOVE: m_mouse.Move(x, y, wp); break;
    case WM_LBUTTONUP:
        if (m_mouse.Release(x, y)) result = DefWindowProcW(hwnd, msg, wp, lp);
        break;
    case WM_LBUTTONDBLCLK:
        m_mouse.DoubleClick(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
        break;
    case WM_TIMER:
        if (wp == mouse::kScrollTimerId) m_mouse.Tick();
        break;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lp) != hwnd) m_mouse.CaptureLost();
        break;
    default: break;
    }
    m_mouseHooks.current = outer;
    return result;
}

// --- Hooks ---------------------------------------------------------------------------

bool CTessera::MouseHooks::Enabled() const { return m_owner.m_nEnabled != 0; }
bool CTessera::MouseHooks::ColSizing() const { return m_owner.m_bColSizing != 0; }
bool CTessera::MouseHooks::RowSizing() const { return m_owner.m_bRowSizing != 0; }
bool CTessera::MouseHooks::DragRows() const { return m_owner.m_nDragAndDropRows != 0; }
bool CTessera::MouseHooks::DragCols() const { return m_owner.m_nDragAndDropCols != 0; }

view::CLayout CTessera::MouseHooks::Layout() const { return m_owner.Layout(); }

RECT CTessera::MouseHooks::Client() const
{
    RECT rc = {0, 0, 0, 0};
    if (HWND hwnd = m_owner.ControlWindow()) GetClientRect(hwnd, &rc);
    return rc;
}

POINT CTessera::MouseHooks::CursorPos() const
{
    POINT pt = {0, 0};
    GetCursorPos(&pt);
    ScreenToClient(m_owner.ControlWindow(), &pt);
    return pt;
}

// Closing commits, as HideEdit does.
void CTessera::MouseHooks::CloseEditor() { m_owner.EndEdit(false); }
void CTessera::MouseHooks::EditCell(int row, int col) { m_owner.EditCell(row, col); }

bool CTessera::MouseHooks::HasFocus() const
{
    return m_owner.ControlWindow() && GetFocus() == m_owner.ControlWindow();
}

void CTessera::MouseHooks::TakeFocus() { m_owner.SetFocus(); }

void CTessera::MouseHooks::OnClick() { m_owner.Fire_OnClick(); }
void CTessera::MouseHooks::OnDblClick() { m_owner.Fire_OnDblClick(); }
void CTessera::MouseHooks::OnSelectRange() { m_owner.Fire_OnSelectRange(); }
void CTessera::MouseHooks::OnFixedColClick(int col) { m_owner.Fire_OnFixedColClick(static_cast<short>(col)); }
void CTessera::MouseHooks::OnFixedRowClick(int row) { m_owner.Fire_OnFixedRowClick(static_cast<short>(row)); }

void CTessera::MouseHooks::Drop(bool rows, const mouse::Drop& drop)
{
    if (drop.count <= 0) return;
    // What the first of the exchanges does, then the move in one pass.
    m_owner.m_selection.ClearSelection();
    if (rows) {
        m_owner.m_grid.MoveRow(drop.from, drop.to);
    } else {
        m_owner.m_grid.MoveCol(drop.from, drop.to);
    }
    m_owner.AccReordered();
    m_owner.m_selection.ResetFocusCell();
    m_owner.ClearSelection();
    // Each further exchange would have cleared an empty selection again and
    // asked for one more repaint; the host sees those requests all the same.
    for (int i = 1; i < drop.count; ++i)
        if (m_owner.m_nAllowDraw && m_owner.ControlWindow()) m_owner.Fire_ViewChange();
}

void CTessera::MouseHooks::DropRow(const mouse::Drop& drop, int dragged, int target)
{
    Drop(true, drop);
    m_owner.Fire_OnDragAndDropRow(static_cast<short>(dragged), static_cast<short>(target));
}

void CTessera::MouseHooks::DropCol(const mouse::Drop& drop, int dragged, int target)
{
    Drop(false, drop);
    m_owner.Fire_OnDragAndDropCol(static_cast<short>(dragged), static_cast<short>(target));
}

void CTessera::MouseHooks::SetColWidth(int col, int width)
{
    m_owner.put_ColWidth(col, width);
    m_owner.UpdateScrollBars();
    m_owner.Refresh();
    m_owner.PositionButtons();
}

void CTessera::MouseHooks::SetRowHeight(int row, int height)
{
    m_owner.put_RowHeight(row, height);
    m_owner.UpdateScrollBars();
    m_owner.Refresh();
}

void CTessera::MouseHooks::FitCol(int col)
{
    m_owner.AdjustColWidth(col);
    m_owner.Refresh();
}

void CTessera::MouseHooks::FitRow(int row)
{
    m_owner.AdjustRowHeight(row);
    m_owner.Refresh();
}

void CTessera::MouseHooks::Capture()
{
    if (HWND hwnd = m_owner.ControlWindow()) SetCapture(hwnd);
}

void CTessera::MouseHooks::ReleaseCapture() { ::ReleaseCapture(); }

bool CTessera::MouseHooks::HasCapture() const
{
    return m_owner.ControlWindow() && GetCapture() == m_owner.ControlWindow();
}

void CTessera::MouseHooks::ShowCursor(mouse::Cursor cursor)
{
    HCURSOR h = nullptr;
    switch (cursor) {
    case mouse::Cursor::Arrow: h = LoadCursorW(nullptr, IDC_ARROW); break;
    case mouse::Cursor::SizeWE: h = LoadCursorW(nullptr, IDC_SIZEWE); break;
    case mouse::Cursor::SizeNS: h = LoadCursorW(nullptr, IDC_SIZENS); break;
    case mouse::Cursor::DropAllowed:
        h = LoadCursorW(fw::Module::Instance(), MAKEINTRESOURCEW(IDC_DROP_ALLOWED));
        break;
    case mouse::Cursor::DropRefused:
        h = LoadCursorW(fw::Module::Instance(), MAKEINTRESOURCEW(IDC_DROP_REFUSED));
        break;
    }
    if (h) SetCursor(h);
}

void CTessera::MouseHooks::ClipCursor(const RECT* client)
{
    if (!client) {
        ::ClipCursor(nullptr);
        return;
    }
    RECT rc = *client;
    MapWindowPoints(m_owner.ControlWindow(), nullptr, reinterpret_cast<POINT*>(&rc), 2);
    ::ClipCursor(&rc);
}

void CTessera::MouseHooks::InvertRect(const RECT& rc)
{
    CWindowDC dc(m_owner.ControlWindow());
    if (dc.Get()) ::InvertRect(dc.Get(), &rc);
}

UINT_PTR CTessera::MouseHooks::StartTimer()
{
    HWND hwnd = m_owner.ControlWindow();
    return hwnd ? SetTimer(hwnd, mouse::kScrollTimerId, mouse::kScrollPeriodMs, nullptr) : 0;
}

void CTessera::MouseHooks::StopTimer(UINT_PTR id)
{
    if (HWND hwnd = m_owner.ControlWindow()) KillTimer(hwnd, id);
}

void CTessera::MouseHooks::SendKey(WORD key)
{
    if (HWND hwnd = m_owner.ControlWindow()) SendMessageW(hwnd, WM_KEYDOWN, key, 0);
}

void CTessera::MouseHooks::HoverHint(const CCellID& cell)
{
    if (!m_owner.m_bShowCellHint || !m_owner.HintWindow()) return;
    m_owner.UpdateCellHint(cell.row, cell.col);
    RelayToHint();
}

void CTessera::MouseHooks::RelayToHint()
{
    m_owner.RelayToHint(current.message, current.wParam, current.lParam);
}
