// The scroll bars, the scrolling messages and bringing a cell into view. The
// scroll state lives in the window's own scroll bars; a position counts the
// pixels of non-fixed content scrolled past.
#include "control/Tessera.h"

#include <algorithm>

namespace {

SCROLLINFO Info(UINT mask)
{
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = mask;
    return si;
}

int ScrollPos(HWND hwnd, int bar)
{
    SCROLLINFO si = Info(SIF_POS);
    return hwnd && GetScrollInfo(hwnd, bar, &si) ? si.nPos : 0;
}

void SetPosition(HWND hwnd, int bar, int pos)
{
    SCROLLINFO si = Info(SIF_POS);
    si.nPos = pos;
    SetScrollInfo(hwnd, bar, &si, TRUE);
}

// A view never scrolls by a hidden (zero-size) cell alone: the step takes
// the next cell with a size, or 0 when there is none.
int StepDown(const view::CAxis& axis, int first)
{
    for (int i = first; i < axis.Count(); ++i)
        if (axis.Size(i) > 0) return axis.Size(i);
    return 0;
}

int StepUp(const view::CAxis& axis, int first)
{
    for (int i = first - 1; i >= axis.Fixed(); --i)
        if (axis.Size(i) > 0) return axis.Size(i);
    return 0;
}

// Guards WM_SIZE against itself for every grid of the process: showing or
// hiding a scroll bar resizes the client area.
bool g_bInSize = false;

} // namespace

view::CLayout CTessera::Layout() const
{
    HWND hwnd = ControlWindow();
    RECT rc = {0, 0, 0, 0};
    if (hwnd) GetClientRect(hwnd, &rc);
    return view::CLayout(m_grid, rc.right, rc.bottom, ScrollPos(hwnd, SB_HORZ), ScrollPos(hwnd, SB_VERT),
                         m_metrics.edgeTolerance);
}

void CTessera::UpdateScrollBars()
{
    HWND hwnd = ControlWindow();
    if (!m_nAllowDraw || !hwnd) return;
    // A bar that appears or goes away changes the client area, and with it
    // the other bar's page; a second pass settles it.
    for (int pass = 0; pass < 3; ++pass) {
        RECT before;
        GetClientRect(hwnd, &before);
        if (IsRectEmpty(&before)) return;
        const view::CLayout layout = Layout();
        if (!m_grid.IsValid(layout.ShownRange())) return;

        const long long hpage = std::max(0, static_cast<int>(before.right) - layout.FixedColumnsWidth());
        const long long vpage = std::max(0, static_cast<int>(before.bottom) - layout.FixedRowsHeight());
        SCROLLINFO si = Info(SIF_PAGE);
        si.nPage = static_cast<UINT>(hpage);
        SetScrollInfo(hwnd, SB_HORZ, &si, FALSE);
        si.nPage = static_cast<UINT>(vpage);
        SetScrollInfo(hwnd, SB_VERT, &si, FALSE);

        const long long scrollW = static_cast<long long>(layout.ContentWidth()) - layout.FixedColumnsWidth();
        const long long scrollH = static_cast<long long>(layout.ContentHeight()) - layout.FixedRowsHeight();
        m_nHScrollMax = hpage < scrollW ? static_cast<int>(std::min<long long>(scrollW - 1, 0x7FFFFFFE)) : 0;
        m_nVScrollMax = vpage < scrollH ? static_cast<int>(std::min<long long>(scrollH - 1, 0x7FFFFFFE)) : 0;

        switch (m_nScrollBars) {
        case 0:
            SetScrollRange(hwnd, SB_VERT, 0, m_nVScrollMax, TRUE);
            SetScrollRange(hwnd, SB_HORZ, 0, m_nHScrollMax, TRUE);
            break;
        case 1:
            SetScrollRange(hwnd, SB_VERT, 0, 0, TRUE);
            SetScrollRange(hwnd, SB_HORZ, 0, m_nHScrollMax, TRUE);
            break;
        case 2:
            SetScrollRange(hwnd, SB_VERT, 0, m_nVScrollMax, TRUE);
            SetScrollRange(hwnd, SB_HORZ, 0, 0, TRUE);
            break;
        case 3:
            SetScrollRange(hwnd, SB_VERT, 0, 0, TRUE);
            SetScrollRange(hwnd, SB_HORZ, 0, 0, TRUE);
            break;
        default:
            return;
        }
        RECT after;
        GetClientRect(hwnd, &after);
        if (after.right == before.right && after.bottom == before.bottom) return;
    }
}

void CTessera::BeginScroll()
{
    HideEdit();
    if (GetFocus() != ControlWindow()) SetFocus();
}

bool CTessera::MoveView(int bar, int pos, bool line)
{
    HWND hwnd = ControlWindow();
    const bool vert = bar == SB_VERT;
    const view::CLayout before = Layout();
    const view::CAxis& axisBefore = vert ? before.Rows() : before.Cols();
    const int oldPos = ScrollPos(hwnd, bar);
    const int oldFirst = axisBefore.FirstScrolled();

    SetPosition(hwnd, bar, pos);
    if (ScrollPos(hwnd, bar) == oldPos) return false;

    const view::CLayout after = Layout();
    const view::CAxis& axis = vert ? after.Rows() : after.Cols();
    const int newFirst = axis.FirstScrolled();
    if (newFirst == oldFirst) return true;

    RECT area;
    GetClientRect(hwnd, &area);
    (vert ? area.top : area.left) = axis.FixedExtent();
    if (IsRectEmpty(&area)) return true;

    // The pixels move by what lies between the old and the new first cell,
    // which a position inside a cell makes differ from the step asked for.
    const long long shift = axis.Sums().Before64(oldFirst) - axis.Sums().Before64(newFirst);
    const long long page = vert ? area.bottom - area.top : area.right - area.left;
    if (line && shift > -page && shift < page) {
        const int dx = vert ? 0 : static_cast<int>(shift);
        const int dy = vert ? static_cast<int>(shift) : 0;
        ScrollWindowEx(hwnd, dx, dy, &area, &area, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
    } else {
        InvalidateRect(hwnd, &area, TRUE);
    }
    return true;
}

void CTessera::ScrollStep(int bar, int code)
{
    HWND hwnd = ControlWindow();
    if (!hwnd) return;
    BeginScroll();

    SCROLLINFO si = Info(SIF_POS | SIF_TRACKPOS);
    const bool known = GetScrollInfo(hwnd, bar, &si) != FALSE;
    const long long p = known ? si.nPos : 0;
    const int max = bar == SB_VERT ? m_nVScrollMax : m_nHScrollMax;

    const view::CLayout layout = Layout();
    const view::CAxis& axis = bar == SB_VERT ? layout.Rows() : layout.Cols();
    const int first = axis.FirstScrolled();
    const long long page = static_cast<long long>(axis.Extent()) - axis.FixedExtent();

    switch (code) {
    case SB_LINEUP:
        if (p < 1 || first <= axis.Fixed()) break;
        MoveView(bar, static_cast<int>(std::max(p - StepUp(axis, first), 0LL)), true);
        break;
    case SB_LINEDOWN:
        if (p >= max) break;
        MoveView(bar, static_cast<int>(std::min(p + StepDown(axis, first), static_cast<long long>(max))), true);
        break;
    case SB_PAGEUP:
        if (p < 1) break;
        MoveView(bar, static_cast<int>(std::max(p - page, 0LL)), false);
        break;
    case SB_PAGEDOWN:
        if (p >= max) break;
        MoveView(bar, static_cast<int>(std::min(static_cast<long long>(max), p + page)), false);
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        if (known) MoveView(bar, si.nTrackPos, false);
        break;
    case SB_TOP:
        if (p < 1) break;
        SetPosition(hwnd, bar, 0);
        Refresh();
        break;
    case SB_BOTTOM:
        if (p >= max) break;
        SetPosition(hwnd, bar, max);
        Refresh();
        break;
    default:
        break;
    }
    PositionButtons();
}

LRESULT CTessera::OnHScroll(UINT msg, WPARAM wp, LPARAM lp, BOOL&)
{
    // The cells moved under the pointer: the next move sets the tool again.
    m_hint.ForgetCell();
    RelayToHint(msg, wp, lp);
    ScrollStep(SB_HORZ, LOWORD(wp));
    return 0;
}

LRESULT CTessera::OnVScroll(UINT msg, WPARAM wp, LPARAM lp, BOOL&)
{
    // The cells moved under the pointer: the next move sets the tool again.
    m_hint.ForgetCell();
    RelayToHint(msg, wp, lp);
    ScrollStep(SB_VERT, LOWORD(wp));
    return 0;
}

LRESULT CTessera::OnMouseWheel(UINT, WPARAM wp, LPARAM, BOOL&)
{
    HWND hwnd = ControlWindow();
    const long long delta = static_cast<short>(HIWORD(wp));
    long long n;
    WPARAM up;
    WPARAM down;
    if (m_nWheelScrollLines == -1) {  // one page per notch
        n = delta / WHEEL_DELTA;
        up = SB_PAGEUP;
        down = SB_PAGEDOWN;
    } else {
        n = delta * m_nWheelScrollLines / WHEEL_DELTA;
        up = SB_LINEUP;
        down = SB_LINEDOWN;
    }
    // Posted, so that each step is handled after the wheel message.
    for (long long i = 0; i < n; ++i) PostMessageW(hwnd, WM_VSCROLL, up, 0);
    for (long long i = 0; i < -n; ++i) PostMessageW(hwnd, WM_VSCROLL, down, 0);
    return 0;
}

LRESULT CTessera::OnSize(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (g_bInSize || !ControlWindow()) {
        handled = FALSE;
        return 0;
    }
    g_bInSize = true;
    UpdateScrollBars();
    g_bInSize = false;
    return 0;
}

void CTessera::BringIntoView(int row, int col)
{
    HWND hwnd = ControlWindow();
    if (!hwnd || !m_grid.IsValid(row, col)) return;

    // The position that shows the cell with the least scrolling: the cell at
    // the start of the view when it lies before it, else just enough that its
    // far edge fits (a cell larger than the view starts it).
    auto wanted = [](const view::CAxis& axis, int i) -> long long {
        const int first = axis.FirstScrolled();
        const CSizeSums& sums = axis.Sums();
        const long long origin = sums.Before64(axis.Fixed());
        if (i < axis.Fixed()) return -1;
        if (i < first) return sums.Before64(i) - origin;
        const long long room = static_cast<long long>(axis.Extent()) - axis.FixedExtent();
        const long long end = sums.Before64(i + 1);
        if (end - sums.Before64(first) <= room) return -1;
        int k = i;
        while (k - 1 > first && end - sums.Before64(k - 1) <= room) --k;
        return sums.Before64(k) - origin;
    };

    const view::CLayout layout = Layout();
    const long long hpos = wanted(layout.Cols(), col);
    const long long vpos = wanted(layout.Rows(), row);
    if (hpos < 0 && vpos < 0) return;
    BeginScroll();
    if (hpos >= 0) MoveView(SB_HORZ, static_cast<int>(std::min<long long>(hpos, m_nHScrollMax)), true);
    if (vpos >= 0) MoveView(SB_VERT, static_cast<int>(std::min<long long>(vpos, m_nVScrollMax)), true);
    PositionButtons();
}
