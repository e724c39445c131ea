// The control's side of accessibility: the window's object, the hooks it
// reads the grid through, and the WinEvents raised as the grid changes.
#include "control/Tessera.h"

#include <oleacc.h>

using view::access::CellAction;
using view::access::SelectStep;

// --- The object and the events ---------------------------------------------------------

LRESULT CTessera::OnGetObject(UINT, WPARAM wp, LPARAM lp, BOOL& handled)
{
    // The id arrives zero-extended on some 64-bit systems: compared as a LONG.
    if (static_cast<LONG>(lp) != OBJID_CLIENT || !ControlWindow()) {
        handled = FALSE;
        return 0;
    }
    if (!m_accessible) m_accessible.Attach(view::CAccessible::Create(m_accessibleHooks));
    if (!m_accessible) return 0;
    return LresultFromObject(IID_IAccessible, wp, static_cast<IAccessible*>(m_accessible.Get()));
}

LRESULT CTessera::OnAccessibleFocus(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    const CCellID current = FocusCell();
    if (m_grid.IsValid(current)) NotifyAccessible(EVENT_OBJECT_FOCUS, ChildIdOf(current.row, current.col));
    return 0;
}

void CTessera::DisconnectAccessible() noexcept
{
    if (m_accessible) m_accessible->Disconnect();
    m_accessible.Reset();
}

LONG CTessera::ChildIdOf(int row, int col) const noexcept
{
    return view::access::ChildId(view::access::Shape{m_grid.Rows(), m_grid.Cols(), 0, 0}, CCellID(row, col));
}

void CTessera::NotifyAccessible(DWORD event, LONG child)
{
    if (HWND hwnd = ControlWindow()) NotifyWinEvent(event, hwnd, OBJID_CLIENT, child);
}

void CTessera::AccValueChanged(int row, int col)
{
    if (m_accBatch > 0) {
        m_accReorderPending = true;
    } else if (m_grid.IsValid(row, col)) {
        NotifyAccessible(EVENT_OBJECT_VALUECHANGE, ChildIdOf(row, col));
    }
}

void CTessera::AccReordered()
{
    if (m_accBatch > 0) {
        m_accReorderPending = true;
    } else {
        NotifyAccessible(EVENT_OBJECT_REORDER, CHILDID_SELF);
    }
}

CTessera::AccBatch::AccBatch(CTessera& owner, bool active) noexcept : m_owner(owner), m_active(active)
{
    if (m_active) ++m_owner.m_accBatch;
}

CTessera::AccBatch::~AccBatch()
{
    if (!m_active || --m_owner.m_accBatch > 0 || !m_owner.m_accReorderPending) return;
    m_owner.m_accReorderPending = false;
    m_owner.NotifyAccessible(EVENT_OBJECT_REORDER, CHILDID_SELF);
}

// --- Hooks ---------------------------------------------------------------------------

IUnknown* CTessera::AccessibleHooks::Owner() { return m_owner.ControllingUnknown(); }
HWND CTessera::AccessibleHooks::Window() const { return m_owner.ControlWindow(); }
const CGridTable& CTessera::AccessibleHooks::Grid() const { return m_owner.m_grid; }
const CSelectionModel& CTessera::AccessibleHooks::Selection() const { return m_owner.m_selection; }
view::CLayout CTessera::AccessibleHooks::Layout() const { return m_owner.Layout(); }
bool CTessera::AccessibleHooks::Enabled() const { return m_owner.m_nEnabled != 0; }

std::wstring CTessera::AccessibleHooks::CellText(int row, int col)
{
    const CCellRef cell = m_owner.GetCell(row, col);
    if (!cell) return std::wstring();
    // The painter draws the text up to its first NUL.
    const std::wstring text = m_owner.m_formatter.FormatCellText(cell);
    return std::wstring(text.c_str());
}

std::wstring CTessera::AccessibleHooks::DisplayName()
{
    fw::Variant name;
    if (FAILED(m_owner.GetAmbientProperty(DISPID_AMBIENT_DISPLAYNAME, name.Ref())) || name.Ref().vt != VT_BSTR
        || !name.Ref().bstrVal)
        return std::wstring();
    return std::wstring(name.Ref().bstrVal, SysStringLen(name.Ref().bstrVal));
}

bool CTessera::AccessibleHooks::HasFocus() const
{
    HWND hwnd = m_owner.ControlWindow();
    HWND focus = GetFocus();
    return hwnd && focus && (focus == hwnd || IsChild(hwnd, focus));
}

HRESULT CTessera::AccessibleHooks::Click(const CCellID& cell, WPARAM keys)
{
    m_owner.BringIntoView(cell.row, cell.col);
    HWND hwnd = m_owner.ControlWindow();
    RECT client;
    RECT box = m_owner.Layout().CellRect(cell.row, cell.col);
    if (!hwnd || !GetClientRect(hwnd, &client) || !IntersectRect(&box, &box, &client)) return E_FAIL;
    const LPARAM at = MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
    // The press ran the host's event code, which may have taken the window.
    if (IsWindow(hwnd)) SendMessageW(hwnd, WM_LBUTTONUP, keys, at);
    return S_OK;
}

HRESULT CTessera::AccessibleHooks::Select(const CCellID& cell, SelectStep step)
{
    if (!m_owner.m_grid.IsValid(cell)) {
        m_owner.SetFocus();
        return S_OK;
    }
    // A disabled grid ignores clicks, and without range selection there is
    // nothing to extend.
    if (!Enabled() || (step == SelectStep::ShiftClick && !m_owner.m_bRangeSelect)) return E_FAIL;
    return Click(cell, step == SelectStep::ShiftClick ? MK_SHIFT : 0);
}

HRESULT CTessera::AccessibleHooks::DoDefaultAction(const CCellID& cell, CellAction action)
{
    if (action == CellAction::Press) {
        m_owner.PressCellButton(cell);
        return S_OK;
    }
    // A click on the cell opens its editor.
    return Click(cell, 0);
}
