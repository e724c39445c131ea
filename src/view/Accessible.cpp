#include "view/Accessible.h"

#include <climits>
#include <new>

#include "framework/com_ptr.h"

namespace view {
namespace {

// Strings an element does not have are null, with S_FALSE.
HRESULT OutText(BSTR* out, const std::wstring& text)
{
    if (text.empty()) return S_FALSE;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT OutId(VARIANT* out, long id)
{
    out->vt = VT_I4;
    out->lVal = id;
    return S_OK;
}

// The selected cells, walked one at a time from the selection as it is at
// each step: nothing is copied, and cells changed meanwhile are not missed.
class CSelectionEnum : public fw::ObjectRoot, public IEnumVARIANT {
public:
    static const fw::InterfaceEntry* Interfaces()
    {
        static const fw::InterfaceEntry table[] = {
            FW_INTERFACE(IEnumVARIANT, CSelectionEnum),
            FW_END_INTERFACES,
        };
        return table;
    }
    static IEnumVARIANT* Create(CAccessible* root, const CCellID& after)
    {
        auto* e = new (std::nothrow) fw::ComObject<CSelectionEnum>();
        if (!e) return nullptr;
        e->m_root = root;
        e->m_after = after;
        e->AddRef();
        return e;
    }

    STDMETHOD(Next)(ULONG count, VARIANT* out, ULONG* fetched) override
    {
        if (fetched) *fetched = 0;
        if (!out || (count > 1 && !fetched)) return E_POINTER;
        CAccessibleSource* source = m_root->Source();
        if (!source) return CO_E_OBJNOTCONNECTED;
        const CSelectionModel& selection = source->Selection();
        const access::Shape shape = {source->Grid().Rows(), source->Grid().Cols(), 0, 0};
        ULONG n = 0;
        for (; n < count && selection.NextSelected(m_after); ++n) {
            VariantInit(&out[n]);
            OutId(&out[n], access::ChildId(shape, m_after));
        }
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    STDMETHOD(Skip)(ULONG count) override
    {
        CAccessibleSource* source = m_root->Source();
        if (!source) return CO_E_OBJNOTCONNECTED;
        for (; count > 0; --count)
            if (!source->Selection().NextSelected(m_after)) return S_FALSE;
        return S_OK;
    }
    STDMETHOD(Reset)() override
    {
        m_after = CCellID();
        return m_root->Source() ? S_OK : CO_E_OBJNOTCONNECTED;
    }
    STDMETHOD(Clone)(IEnumVARIANT** out) override
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!m_root->Source()) return CO_E_OBJNOTCONNECTED;
        *out = Create(m_root.Get(), m_after);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

private:
    fw::ComPtr<CAccessible> m_root;
    CCellID m_after;
};

} // namespace

const fw::InterfaceEntry* CAccessible::Interfaces()
{
    static const fw::InterfaceEntry table[] = {
        FW_INTERFACE(IAccessible, CAccessible),
        FW_INTERFACE_VIA(IDispatch, IAccessible, CAccessible),
        FW_END_INTERFACES,
    };
    return table;
}

CAccessible* CAccessible::Create(CAccessibleSource& source)
{
    auto* object = new (std::nothrow) fw::ComObject<CAccessible>();
    if (!object) return nullptr;
    object->m_source = &source;
    object->AddRef();
    return object;
}

access::Shape CAccessible::Shape() const noexcept
{
    const CGridTable& grid = m_source->Grid();
    return access::Shape{grid.Rows(), grid.Cols(), grid.FixedRows(), grid.FixedCols()};
}

namespace {

// The child id a VARIANT names. Through IDispatch it may come as another
// integer type, by reference, or not at all (the element itself).
bool ChildIdOf(const VARIANT& child, long& id) noexcept
{
    const VARIANT& v = child.vt == (VT_BYREF | VT_VARIANT) && child.pvarVal ? *child.pvarVal : child;
    switch (v.vt) {
    case VT_I4: id = v.lVal; return true;
    case VT_I2: id = v.iVal; return true;
    case VT_INT: id = v.intVal; return true;
    case VT_BYREF | VT_I4: if (!v.plVal) return false; id = *v.plVal; return true;
    case VT_BYREF | VT_I2: if (!v.piVal) return false; id = *v.piVal; return true;
    case VT_R8:
        if (!(v.dblVal >= LONG_MIN && v.dblVal <= LONG_MAX) || v.dblVal != static_cast<long>(v.dblVal)) return false;
        id = static_cast<long>(v.dblVal);
        return true;
    case VT_EMPTY: id = CHILDID_SELF; return true;
    case VT_ERROR: id = CHILDID_SELF; return v.scode == DISP_E_PARAMNOTFOUND;
    default: return false;
    }
}

} // namespace

HRESULT CAccessible::Resolve(const VARIANT& child, CCellID& cell) const noexcept
{
    if (!m_source) return CO_E_OBJNOTCONNECTED;
    long id = CHILDID_SELF;
    if (!ChildIdOf(child, id)) return E_INVALIDARG;
    cell = CCellID();
    if (id == CHILDID_SELF) return S_OK;
    return access::CellOf(Shape(), id, cell) ? S_OK : E_INVALIDARG;
}

namespace {
void Clear(BSTR& s) noexcept { s = nullptr; }
void Clear(VARIANT& v) noexcept { VariantInit(&v); }
void Clear(IDispatch*& p) noexcept { p = nullptr; }
} // namespace

template <class Out>
HRESULT CAccessible::Start(Out* out, const VARIANT& child, CCellID& cell) const noexcept
{
    if (!out) return E_POINTER;
    Clear(*out);
    return Resolve(child, cell);
}

access::CellAction CAccessible::ActionOf(const CCellID& cell) const noexcept
{
    const CCellRef c = m_source->Grid().GetCell(cell.row, cell.col);
    if (!c) return access::CellAction::None;
    return access::DefaultAction(Shape(), cell, m_source->Enabled(), c.Editable() != 0, c.TypeEx(),
                                 m_source->Selection().FocusCell() == cell);
}

// --- IDispatch -------------------------------------------------------------------------

// Clients that only speak IDispatch (scripts, automation libraries) are
// served by the platform's own description of IAccessible.
HRESULT CAccessible::TypeInfo(ITypeInfo** info)
{
    if (!m_typeInfo) {
        fw::ComPtr<ITypeLib> library;
        HRESULT hr = LoadRegTypeLib(LIBID_Accessibility, 1, 1, LOCALE_NEUTRAL, library.Put());
        if (SUCCEEDED(hr)) hr = library->GetTypeInfoOfGuid(IID_IAccessible, m_typeInfo.Put());
        if (FAILED(hr)) return hr;
    }
    *info = m_typeInfo.Get();
    (*info)->AddRef();
    return S_OK;
}

STDMETHODIMP CAccessible::GetTypeInfoCount(UINT* count)
{
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

STDMETHODIMP CAccessible::GetTypeInfo(UINT index, LCID, ITypeInfo** info)
{
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return TypeInfo(info);
}

STDMETHODIMP CAccessible::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    fw::ComPtr<ITypeInfo> info;
    HRESULT hr = TypeInfo(info.Put());
    return SUCCEEDED(hr) ? info->GetIDsOfNames(names, count, ids) : hr;
}

STDMETHODIMP CAccessible::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO* exception, UINT* argError)
{
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    fw::ComPtr<ITypeInfo> info;
    HRESULT hr = TypeInfo(info.Put());
    if (FAILED(hr)) return hr;
    return info->Invoke(static_cast<IAccessible*>(this), id, flags, params, result, exception, argError);
}

// --- The tree ----------------------------------------------------------------------------

STDMETHODIMP CAccessible::get_accParent(IDispatch** parent)
{
    if (!parent) return E_POINTER;
    *parent = nullptr;
    if (!m_source) return CO_E_OBJNOTCONNECTED;
    return AccessibleObjectFromWindow(m_source->Window(), static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                      reinterpret_cast<void**>(parent));
}

STDMETHODIMP CAccessible::get_accChildCount(long* count)
{
    if (!count) return E_POINTER;
    *count = 0;
    if (!m_source) return CO_E_OBJNOTCONNECTED;
    *count = access::ChildCount(Shape());
    return S_OK;
}

STDMETHODIMP CAccessible::get_accChild(VARIANT child, IDispatch** result)
{
    CCellID cell;
    HRESULT hr = Start(result, child, cell);
    if (FAILED(hr)) return hr;
    // Cells are simple elements, answered by this object with their ids.
    return cell.row < 0 ? E_INVALIDARG : S_FALSE;
}

// --- Texts -----------------------------------------------------------------------------------

STDMETHODIMP CAccessible::get_accName(VARIANT child, BSTR* name)
{
    CCellID cell;
    HRESULT hr = Start(name, child, cell);
    if (FAILED(hr)) return hr;
    // Formatting may run a host's code, which may let the control go.
    fw::ComPtr<IUnknown> keep(m_source->Owner());
    if (cell.row < 0) return OutText(name, m_source->DisplayName());
    return OutText(name, access::CellName(Shape(), cell, [this](int r, int c) { return Text(r, c); }));
}

STDMETHODIMP CAccessible::get_accValue(VARIANT child, BSTR* value)
{
    CCellID cell;
    HRESULT hr = Start(value, child, cell);
    if (FAILED(hr)) return hr;
    if (cell.row < 0) return DISP_E_MEMBERNOTFOUND;
    fw::ComPtr<IUnknown> keep(m_source->Owner());
    return OutText(value, Text(cell.row, cell.col));
}

STDMETHODIMP CAccessible::get_accDescription(VARIANT child, BSTR* description)
{
    CCellID cell;
    HRESULT hr = Start(description, child, cell);
    if (FAILED(hr)) return hr;
    const CCellRef c = m_source->Grid().GetCell(cell.row, cell.col);
    return OutText(description, c.Hint().Text());
}

STDMETHODIMP CAccessible::get_accHelp(VARIANT child, BSTR* help)
{
    CCellID cell;
    HRESULT hr = Start(help, child, cell);
    return FAILED(hr) ? hr : S_FALSE;
}

STDMETHODIMP CAccessible::get_accHelpTopic(BSTR* file, VARIANT child, long* topic)
{
    if (!file || !topic) return E_POINTER;
    *file = nullptr;
    *topic = 0;
    CCellID cell;
    HRESULT hr = Resolve(child, cell);
    return FAILED(hr) ? hr : S_FALSE;
}

STDMETHODIMP CAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut)
{
    CCellID cell;
    HRESULT hr = Start(shortcut, child, cell);
    return FAILED(hr) ? hr : S_FALSE;
}

STDMETHODIMP CAccessible::get_accDefaultAction(VARIANT child, BSTR* action)
{
    CCellID cell;
    HRESULT hr = Start(action, child, cell);
    if (FAILED(hr)) return hr;
    const wchar_t* text = cell.row < 0 ? nullptr : access::ActionName(ActionOf(cell));
    return OutText(action, text ? text : L"");
}

STDMETHODIMP CAccessible::put_accName(VARIANT, BSTR) { return m_source ? E_NOTIMPL : CO_E_OBJNOTCONNECTED; }
STDMETHODIMP CAccessible::put_accValue(VARIANT, BSTR) { return m_source ? E_NOTIMPL : CO_E_OBJNOTCONNECTED; }

// --- Role and state ------------------------------------------------------------------------------

STDMETHODIMP CAccessible::get_accRole(VARIANT child, VARIANT* role)
{
    CCellID cell;
    HRESULT hr = Start(role, child, cell);
    if (FAILED(hr)) return hr;
    return OutId(role, cell.row < 0 ? ROLE_SYSTEM_TABLE : access::Role(Shape(), cell));
}

STDMETHODIMP CAccessible::get_accState(VARIANT child, VARIANT* state)
{
    CCellID cell;
    HRESULT hr = Start(state, child, cell);
    if (FAILED(hr)) return hr;
    const bool focused = m_source->HasFocus();
    if (cell.row < 0) return OutId(state, access::TableState(focused, m_source->Enabled()));
    const CCellRef c = m_source->Grid().GetCell(cell.row, cell.col);
    access::CellFacts facts;
    facts.selected = m_source->Selection().IsSelected(cell.row, cell.col);
    facts.current = m_source->Selection().FocusCell() == cell;
    facts.windowFocused = focused;
    facts.editable = c && c.Editable() != 0;
    facts.offscreen = !m_source->Layout().CellShows(cell.row, cell.col);
    return OutId(state, access::CellState(Shape(), cell, facts));
}

// --- Geometry ---------------------------------------------------------------------------------------

STDMETHODIMP CAccessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child)
{
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    CCellID cell;
    HRESULT hr = Resolve(child, cell);
    if (FAILED(hr)) return hr;
    HWND hwnd = m_source->Window();
    RECT rc = {0, 0, 0, 0};
    if (cell.row < 0) {
        GetWindowRect(hwnd, &rc);
    } else {
        rc = m_source->Layout().CellRect(cell.row, cell.col);
        MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    }
    *left = rc.left;
    *top = rc.top;
    *width = rc.right - rc.left;
    *height = rc.bottom - rc.top;
    return S_OK;
}

STDMETHODIMP CAccessible::accHitTest(long x, long y, VARIANT* child)
{
    if (!child) return E_POINTER;
    VariantInit(child);
    if (!m_source) return CO_E_OBJNOTCONNECTED;
    HWND hwnd = m_source->Window();
    RECT rc;
    POINT pt = {x, y};
    if (!GetWindowRect(hwnd, &rc) || !PtInRect(&rc, pt)) return S_FALSE;
    ScreenToClient(hwnd, &pt);
    const CCellID cell = m_source->Layout().CellAtPoint(pt.x, pt.y, true);
    const access::Shape shape = Shape();
    return OutId(child, m_source->Grid().IsValid(cell) ? access::ChildId(shape, cell) : CHILDID_SELF);
}

STDMETHODIMP CAccessible::accNavigate(long dir, VARIANT start, VARIANT* end)
{
    if (!end) return E_POINTER;
    VariantInit(end);
    CCellID cell;
    HRESULT hr = Resolve(start, cell);
    if (FAILED(hr)) return hr;
    if (dir < NAVDIR_UP || dir > NAVDIR_LASTCHILD) return E_INVALIDARG;
    const long target = access::NavigateTarget(Shape(), start.lVal, dir);
    return target == CHILDID_SELF ? S_FALSE : OutId(end, target);
}

// --- Focus and selection ---------------------------------------------------------------------

STDMETHODIMP CAccessible::get_accFocus(VARIANT* child)
{
    if (!child) return E_POINTER;
    VariantInit(child);
    if (!m_source) return CO_E_OBJNOTCONNECTED;
    if (!m_source->HasFocus()) return S_FALSE;
    const CCellID current = m_source->Selection().FocusCell();
    return OutId(child, m_source->Grid().IsValid(current) ? access::ChildId(Shape(), current) : CHILDID_SELF);
}

STDMETHODIMP CAccessible::get_accSelection(VARIANT* children)
{
    if (!children) return E_POINTER;
    VariantInit(children);
    if (!m_source) return CO_E_OBJNOTCONNECTED;
    const CSelectionModel& selection = m_source->Selection();
    CCellID first;
    if (!selection.NextSelected(first)) return S_FALSE;
    if (selection.SelectedCount() == 1) return OutId(children, access::ChildId(Shape(), first));
    IEnumVARIANT* cells = CSelectionEnum::Create(this, CCellID());
    if (!cells) return E_OUTOFMEMORY;
    children->vt = VT_UNKNOWN;
    children->punkVal = cells;
    return S_OK;
}

// --- Actions ----------------------------------------------------------------------------------

STDMETHODIMP CAccessible::accSelect(long flags, VARIANT child)
{
    CCellID cell;
    HRESULT hr = Resolve(child, cell);
    if (FAILED(hr)) return hr;
    const access::SelectStep step = access::SelectStepFor(flags);
    if (cell.row < 0) {
        // The table itself can only take the focus.
        if (flags != SELFLAG_TAKEFOCUS) return E_INVALIDARG;
    } else if (step == access::SelectStep::Refused || access::IsFixed(Shape(), cell)) {
        return E_INVALIDARG;
    }
    if (step == access::SelectStep::Nothing) return S_OK;
    // The click runs the host's event code, which may let the control go.
    fw::ComPtr<IUnknown> keep(m_source->Owner());
    return m_source->Select(cell, step);
}

STDMETHODIMP CAccessible::accDoDefaultAction(VARIANT child)
{
    CCellID cell;
    HRESULT hr = Resolve(child, cell);
    if (FAILED(hr)) return hr;
    const access::CellAction action = cell.row < 0 ? access::CellAction::None : ActionOf(cell);
    if (action == access::CellAction::None) return DISP_E_MEMBERNOTFOUND;
    fw::ComPtr<IUnknown> keep(m_source->Owner());
    return m_source->DoDefaultAction(cell, action);
}

} // namespace view
