// The control's life in a host: activation and deactivation, the verbs'
// additions, sizing between pixels and HIMETRIC, and the control-wide
// members Width, Height, TabStop and SetFocus.
#include "control/Tessera.h"

#include <new>
#include <string>
#include <vector>

#include "control/Embedding.h"
#include "control/Trace.h"

// --- Activation -------------------------------------------------------------------

HRESULT CTessera::InPlaceActivate(LONG verb, const RECT* pos)
{
    if (const char* name = embedding::VerbName(verb))
        trace::TraceLine(std::string("InPlaceActivate(") + name + ")");

    // A window that exists already goes back into the container's window;
    // a new one is made there.
    if (verb == OLEIVERB_INPLACEACTIVATE && ControlWindow() && ClientSite()) {
        fw::ComPtr<IOleInPlaceSite> site;
        HWND container = nullptr;
        if (SUCCEEDED(ClientSite()->QueryInterface(IID_IOleInPlaceSite, site.PutVoid())) && site)
            site->GetWindow(&container);
        if (HWND hwnd = ControlWindow(); hwnd && container) SetParent(hwnd, container);
    }

    fw::OleControl::InPlaceActivate(verb, pos);
    // The window may be gone again if the host's code deactivated us meanwhile.
    if (ControlWindow()) {
        // After the framework's step: a first activation makes the window
        // that the buttons need.
        if (verb == OLEIVERB_INPLACEACTIVATE) RemakeCellButtons();
        CreateHintWindow();
    }
    return S_OK;
}

STDMETHODIMP CTessera::InPlaceDeactivate()
{
    trace::TraceLine("InPlaceDeactivate");
    CloseEditor();
    DestroyHintWindow();
    DestroyCellButtons();
    return fw::OleControl::InPlaceDeactivate();
}

void CTessera::RemakeCellButtons()
{
    if (!ControlWindow()) return;
    m_grid.ForEachListedCell([&](int row, int col) { UpdateCellButton(row, col); });
}

void CTessera::DestroyCellButtons()
{
    m_grid.ForEachListedCell([&](int row, int col) {
        if (CCellRef cell = m_grid.GetCell(row, col)) cell.DestroyButton();
    });
}

HRESULT CTessera::DoVerbProperties(const RECT*, HWND parent)
{
    CAUUID pages = {0, nullptr};
    HRESULT hr = GetPages(&pages);
    if (FAILED(hr)) return hr;
    std::vector<CLSID> shown;
    try {
        shown = embedding::CreatablePages(pages.pElems, pages.cElems);
    } catch (const std::bad_alloc&) {
        hr = E_OUTOFMEMORY;
    }
    CoTaskMemFree(pages.pElems);
    if (FAILED(hr) || shown.empty()) return hr;

    // The object's identity, which is the outer object's when aggregated.
    fw::ComPtr<IUnknown> identity;
    static_cast<IOleObject*>(this)->QueryInterface(IID_IUnknown, identity.PutVoid());
    IUnknown* self = identity.Get();
    return OleCreatePropertyFrame(parent, 0, 0, nullptr, 1, &self, static_cast<ULONG>(shown.size()), shown.data(),
                                  LOCALE_USER_DEFAULT, 0, nullptr);
}

STDMETHODIMP CTessera::OnAmbientPropertyChange(DISPID dispid)
{
    trace::TraceLine("OnAmbientPropertyChange");
    // DISPID_UNKNOWN: the container says several ambients may have changed.
    if (dispid == DISPID_AMBIENT_USERMODE || dispid == DISPID_UNKNOWN) {
        BOOL userMode = m_bUserMode;
        if (SUCCEEDED(GetAmbientUserMode(userMode))) m_bUserMode = userMode;
    } else if (dispid == DISPID_AMBIENT_BACKCOLOR) {
        OutputDebugStringA("The client changed the backgound color again...\n");
    }
    return S_OK;
}

// --- Sizing -----------------------------------------------------------------------

STDMETHODIMP CTessera::SetObjectRects(LPCRECT pos, LPCRECT clip)
{
    trace::TraceLine("SetObjectRects");
    HRESULT hr = fw::OleControl::SetObjectRects(pos, clip);
    if (FAILED(hr)) return hr;
    m_nWidth = embedding::Span(pos->left, pos->right);
    m_nHeight = embedding::Span(pos->top, pos->bottom);
    return S_OK;
}

STDMETHODIMP CTessera::SetExtent(DWORD aspect, SIZEL* size)
{
    trace::TraceLine("SetExtent");
    if (!size) return E_POINTER;
    if (aspect & DVASPECT_CONTENT) OnSetExtent(*size);
    return fw::OleControl::SetExtent(aspect, size);
}

void CTessera::OnSetExtent(const SIZEL& size)
{
    if (m_bSizing) return;
    struct Guard {
        bool& flag;
        explicit Guard(bool& f) : flag(f) { flag = true; }
        ~Guard() { flag = false; }
    } guard(m_bSizing);
    trace::TraceLine("OnSetExtent");
    m_lastExtent = size;

    const SIZE dpi = embedding::ScreenDpi();
    const int w = embedding::PixelsFromHimetric(size.cx, dpi.cx);
    const int h = embedding::PixelsFromHimetric(size.cy, dpi.cy);
    RECT rc = {m_posRect.left, m_posRect.top, m_posRect.left + w, m_posRect.top + h};

    // While in place the container decides, and answers with SetObjectRects.
    fw::ComPtr<IOleInPlaceSite> site(InPlaceSite());
    if (site && IsInPlaceActive()) {
        site->OnPosRectChange(&rc);
        return;
    }
    m_posRect = rc;
    if (HWND hwnd = ControlWindow())
        SetWindowPos(hwnd, nullptr, 0, 0, w, h, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

HRESULT CTessera::SetControlSize(int width, int height)
{
    trace::TraceLine("SetControlSize");
    const SIZE dpi = embedding::ScreenDpi();
    SIZEL size = {embedding::HimetricFromPixels(width, dpi.cx), embedding::HimetricFromPixels(height, dpi.cy)};
    // A window-only control has nothing to invalidate through a windowless site.
    return SetExtent(DVASPECT_CONTENT, &size);
}

STDMETHODIMP CTessera::put_Width(int newVal)
{
    trace::TraceLine("put_Width");
    m_nWidth = newVal;
    SetControlSize(m_nWidth, m_nHeight);
    return S_OK;
}

STDMETHODIMP CTessera::put_Height(int newVal)
{
    trace::TraceLine("put_Height");
    m_nHeight = newVal;
    SetControlSize(m_nWidth, m_nHeight);
    return S_OK;
}

// --- TabStop and focus -------------------------------------------------------------

STDMETHODIMP CTessera::put_TabStop(VARIANT_BOOL newVal)
{
    // The control offers no property-notification point, so no sink can
    // refuse the change (OnRequestEdit) or hear of it (OnChanged), frozen
    // events or not.
    SetDirty(true);
    m_nTabStop = newVal;
    FireViewChange();
    SendOnDataChange();
    return S_OK;
}

STDMETHODIMP CTessera::SetFocus()
{
    // Without a window there is nothing to focus; SetFocus(null) would take
    // the keyboard away from the host.
    HWND hwnd = ControlWindow();
    if (!hwnd) return S_OK;
    if (!m_bPainted) SetActiveWindow(hwnd);
    ::SetFocus(hwnd);
    return S_OK;
}
