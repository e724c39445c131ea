#include "framework/ole_control.h"

#include <new>

#include "framework/dispatch.h"

namespace fw {

OleControl::OleControl(const Identity& id) : ConnectionPointContainerImpl(id.events), m_id(id) {}

OleControl::~OleControl() = default;

const PropertyEntry* OleControl::Properties(size_t& count) const
{
    count = 0;
    return nullptr;
}

// ---------------------------------------------------------------- views

STDMETHODIMP OleControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC hdcTargetDev, HDC hdcDraw,
                              LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR)
{
    if (!hdcDraw) return E_INVALIDARG;
    DrawInfo info = {};
    info.hdc = hdcDraw;
    info.aspect = aspect;
    info.targetDevice = hdcTargetDev;
    if (bounds) {
        info.bounds = {bounds->left, bounds->top, bounds->right, bounds->bottom};
    } else {
        // Only a control in place can be drawn without bounds: its own position.
        if (!m_inPlaceActive) return E_INVALIDARG;
        info.bounds = m_posRect;
    }
    return OnDraw(info);
}

STDMETHODIMP OleControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) { return E_NOTIMPL; }
STDMETHODIMP OleControl::Freeze(DWORD, LONG, void*, DWORD*) { return E_NOTIMPL; }
STDMETHODIMP OleControl::Unfreeze(DWORD) { return E_NOTIMPL; }

STDMETHODIMP OleControl::SetAdvise(DWORD aspects, DWORD advf, IAdviseSink* sink)
{
    m_viewSink = sink;
    m_viewAspects = aspects;
    m_viewAdvf = advf;
    return S_OK;
}

STDMETHODIMP OleControl::GetAdvise(DWORD* aspects, DWORD* advf, IAdviseSink** sink)
{
    if (aspects) *aspects = m_viewAspects;
    if (advf) *advf = m_viewAdvf;
    if (sink) m_viewSink.CopyTo(sink);
    return S_OK;
}

STDMETHODIMP OleControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size)
{
    return GetExtent(aspect, size);
}

STDMETHODIMP OleControl::GetRect(DWORD, LPRECTL) { return E_NOTIMPL; }

STDMETHODIMP OleControl::GetViewStatus(DWORD* status)
{
    if (!status) return E_POINTER;
    *status = m_id.viewStatus;
    return S_OK;
}

STDMETHODIMP OleControl::QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT pt, LONG, DWORD* result)
{
    if (!bounds || !result) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return E_FAIL;
    *result = PtInRect(bounds, pt) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    return S_OK;
}

STDMETHODIMP OleControl::QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT loc, LONG, DWORD* result)
{
    if (!bounds || !loc || !result) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return E_FAIL;
    RECT r;
    *result = IntersectRect(&r, bounds, loc) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    return S_OK;
}

STDMETHODIMP OleControl::GetNaturalExtent(DWORD aspect, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO* info, LPSIZEL size)
{
    if (!info || !size) return E_POINTER;
    if (aspect != DVASPECT_CONTENT || info->dwExtentMode != DVEXTENT_CONTENT) return E_NOTIMPL;
    *size = m_naturalExtent;
    return S_OK;
}

// ---------------------------------------------------------------- in place

STDMETHODIMP OleControl::GetWindow(HWND* phwnd)
{
    if (!phwnd) return E_POINTER;
    *phwnd = ControlWindow();
    return *phwnd ? S_OK : E_FAIL;
}

STDMETHODIMP OleControl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

HRESULT OleControl::InPlaceActivate(LONG verb, const RECT*)
{
    if (!m_clientSite) return S_OK;
    if (!m_inPlaceActive) {
        ComPtr<IOleInPlaceSite> site;
        if (FAILED(m_clientSite.As(IID_IOleInPlaceSite, site))) return E_FAIL;
        if (site->CanInPlaceActivate() != S_OK) return E_FAIL;
        m_inPlaceSite = site;
        m_inPlaceActive = true;
        m_inPlaceSite->OnInPlaceActivate();
    }

    HWND parent = nullptr;
    m_inPlaceSite->GetWindow(&parent);
    RECT pos = {}, clip = {};
    OLEINPLACEFRAMEINFO frameInfo = {};
    frameInfo.cb = sizeof(frameInfo);
    m_frame.Reset();
    m_uiWindow.Reset();
    m_inPlaceSite->GetWindowContext(m_frame.Put(), m_uiWindow.Put(), &pos, &clip, &frameInfo);

    if (HWND hwnd = ControlWindow()) {
        ShowWindow(hwnd, SW_SHOW);
    } else if (CreateControlWindow(parent, pos)) {
        m_wholeWindowInvalid = false;
    } else {
        return E_FAIL;
    }
    SetObjectRects(&pos, &clip);

    if (verb == OLEIVERB_PRIMARY || verb == OLEIVERB_UIACTIVATE) {
        if (!m_uiActive) {
            m_uiActive = true;
            m_inPlaceSite->OnUIActivate();
            HWND hwnd = ControlWindow();
            if (hwnd && !IsChild(hwnd, ::GetFocus()) && ::GetFocus() != hwnd) ::SetFocus(hwnd);
            auto* active = static_cast<IOleInPlaceActiveObject*>(this);
            if (m_frame) {
                m_frame->SetActiveObject(active, nullptr);
                m_frame->SetBorderSpace(nullptr);
            }
            if (m_uiWindow) {
                m_uiWindow->SetActiveObject(active, nullptr);
                m_uiWindow->SetBorderSpace(nullptr);
            }
        }
    }
    m_clientSite->ShowObject();
    return S_OK;
}

STDMETHODIMP OleControl::InPlaceDeactivate()
{
    if (!m_inPlaceActive) return S_OK;
    UIDeactivate();
    m_inPlaceActive = false;
    // The frame and document window from GetWindowContext are only for the
    // in-place session (UIDeactivate drops them only when UI-active).
    m_uiWindow.Reset();
    m_frame.Reset();
    if (HWND hwnd = ControlWindow()) DestroyWindow(hwnd);
    ComPtr<IOleInPlaceSite> site = std::move(m_inPlaceSite);
    m_inPlaceSite = nullptr;
    if (site) site->OnInPlaceDeactivate();
    return S_OK;
}

STDMETHODIMP OleControl::UIDeactivate()
{
    if (!m_uiActive) return S_OK;
    m_uiActive = false;
    if (m_uiWindow) m_uiWindow->SetActiveObject(nullptr, nullptr);
    if (m_frame) m_frame->SetActiveObject(nullptr, nullptr);
    m_uiWindow.Reset();
    m_frame.Reset();
    if (m_inPlaceSite) m_inPlaceSite->OnUIDeactivate(FALSE);
    return S_OK;
}

STDMETHODIMP OleControl::SetObjectRects(LPCRECT pos, LPCRECT clip)
{
    if (!pos || !clip) return E_POINTER;
    m_posRect = *pos;
    HWND hwnd = ControlWindow();
    if (!hwnd) return S_OK;
    // Clip to the part of the position the container shows.
    RECT visible;
    if (IntersectRect(&visible, pos, clip) && !EqualRect(&visible, pos)) {
        OffsetRect(&visible, -pos->left, -pos->top);
        SetWindowRgn(hwnd, CreateRectRgnIndirect(&visible), TRUE);  // the window owns the region
    } else {
        SetWindowRgn(hwnd, nullptr, TRUE);
    }
    SetWindowPos(hwnd, nullptr, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return S_OK;
}

STDMETHODIMP OleControl::ReactivateAndUndo() { return E_NOTIMPL; }
// A window-only control never gets messages through its site.
STDMETHODIMP OleControl::OnWindowMessage(UINT, WPARAM, LPARAM, LRESULT*) { return S_FALSE; }
STDMETHODIMP OleControl::GetDropTarget(IDropTarget**) { return E_NOTIMPL; }

STDMETHODIMP OleControl::TranslateAccelerator(LPMSG msg)
{
    if (!msg) return E_POINTER;
    HRESULT result = S_OK;
    if (PreTranslateKey(*msg, result)) return result;
    // Read the site only now: the control's own handling may have run a
    // host's code.
    ComPtr<IOleControlSite> site;
    if (!m_clientSite || FAILED(m_clientSite->QueryInterface(IID_IOleControlSite, site.PutVoid())) || !site)
        return S_FALSE;
    // The site's modifier flags: Shift 1, Ctrl 2, Alt 4.
    DWORD modifiers = 0;
    if (GetKeyState(VK_SHIFT) < 0) modifiers |= 1;
    if (GetKeyState(VK_CONTROL) < 0) modifiers |= 2;
    if (GetKeyState(VK_MENU) < 0) modifiers |= 4;
    return site->TranslateAccelerator(msg, modifiers);
}

bool OleControl::PreTranslateKey(const MSG&, HRESULT&) { return false; }
STDMETHODIMP OleControl::OnFrameWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP OleControl::OnDocWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP OleControl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
STDMETHODIMP OleControl::EnableModeless(BOOL) { return S_OK; }

// ---------------------------------------------------------------- IOleControl

STDMETHODIMP OleControl::GetControlInfo(CONTROLINFO*) { return E_NOTIMPL; }
STDMETHODIMP OleControl::OnMnemonic(MSG*) { return E_NOTIMPL; }
STDMETHODIMP OleControl::OnAmbientPropertyChange(DISPID) { return S_OK; }

STDMETHODIMP OleControl::FreezeEvents(BOOL freeze)
{
    if (freeze) ++m_freezeEvents;
    else if (m_freezeEvents > 0) --m_freezeEvents;
    return S_OK;
}

// ---------------------------------------------------------------- IOleObject

STDMETHODIMP OleControl::SetClientSite(IOleClientSite* site)
{
    m_clientSite = site;
    return S_OK;
}

STDMETHODIMP OleControl::GetClientSite(IOleClientSite** site)
{
    if (!site) return E_POINTER;
    return m_clientSite.CopyTo(site);
}

STDMETHODIMP OleControl::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

STDMETHODIMP OleControl::Close(DWORD saveOption)
{
    InPlaceDeactivate();
    if (m_clientSite && m_dirty &&
        (saveOption == OLECLOSE_SAVEIFDIRTY || saveOption == OLECLOSE_PROMPTSAVE))
        m_clientSite->SaveObject();
    if (m_oleAdvise) m_oleAdvise->SendOnClose();
    return S_OK;
}

STDMETHODIMP OleControl::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }
STDMETHODIMP OleControl::GetMoniker(DWORD, DWORD, IMoniker**) { return E_NOTIMPL; }
STDMETHODIMP OleControl::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }
STDMETHODIMP OleControl::GetClipboardData(DWORD, IDataObject**) { return E_NOTIMPL; }

HRESULT OleControl::CheckSite(IOleClientSite* activeSite) const
{
    if (!activeSite || !m_clientSite) return S_OK;
    ComPtr<IUnknown> a, b;
    activeSite->QueryInterface(IID_IUnknown, a.PutVoid());
    m_clientSite->QueryInterface(IID_IUnknown, b.PutVoid());
    return a.Get() == b.Get() ? S_OK : E_UNEXPECTED;
}

STDMETHODIMP OleControl::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND parent, LPCRECT pos)
{
    if (FAILED(CheckSite(activeSite))) return E_UNEXPECTED;
    switch (verb) {
    case OLEIVERB_PRIMARY: return DoVerbPrimary(pos, parent);
    case OLEIVERB_SHOW: return DoVerbShow(pos, parent);
    case OLEIVERB_INPLACEACTIVATE: return DoVerbInPlaceActivate(pos, parent);
    case OLEIVERB_UIACTIVATE: return DoVerbUIActivate(pos, parent);
    case OLEIVERB_HIDE: return DoVerbHide(pos, parent);
    case OLEIVERB_PROPERTIES: return DoVerbProperties(pos, parent);
    case OLEIVERB_OPEN:
    case OLEIVERB_DISCARDUNDOSTATE: return S_OK;
    default:
        if (verb > 0) {
            DoVerbPrimary(pos, parent);
            return OLEOBJ_S_INVALIDVERB;
        }
        return E_NOTIMPL;
    }
}

HRESULT OleControl::DoVerbPrimary(const RECT* pos, HWND parent)
{
    BOOL userMode = TRUE;
    if (SUCCEEDED(GetAmbientUserMode(userMode)) && !userMode) return DoVerbProperties(pos, parent);
    return InPlaceActivate(OLEIVERB_PRIMARY, pos);
}

HRESULT OleControl::DoVerbShow(const RECT* pos, HWND) { return InPlaceActivate(OLEIVERB_SHOW, pos); }

HRESULT OleControl::DoVerbInPlaceActivate(const RECT* pos, HWND)
{
    HRESULT hr = InPlaceActivate(OLEIVERB_INPLACEACTIVATE, pos);
    if (SUCCEEDED(hr)) FireViewChange();
    return hr;
}

HRESULT OleControl::DoVerbUIActivate(const RECT* pos, HWND)
{
    if (m_uiActive) return S_OK;
    return InPlaceActivate(OLEIVERB_UIACTIVATE, pos);
}

HRESULT OleControl::DoVerbHide(const RECT*, HWND)
{
    UIDeactivate();
    if (HWND hwnd = ControlWindow()) ShowWindow(hwnd, SW_HIDE);
    return S_OK;
}

HRESULT OleControl::DoVerbProperties(const RECT*, HWND parent) { return ShowPropertyFrame(parent); }

STDMETHODIMP OleControl::EnumVerbs(IEnumOLEVERB** ppEnum)
{
    if (!ppEnum) return E_POINTER;
    return OleRegEnumVerbs(m_id.clsid, ppEnum);
}

STDMETHODIMP OleControl::Update() { return S_OK; }
STDMETHODIMP OleControl::IsUpToDate() { return S_OK; }

STDMETHODIMP OleControl::GetUserClassID(CLSID* clsid)
{
    if (!clsid) return E_POINTER;
    *clsid = m_id.clsid;
    return S_OK;
}

STDMETHODIMP OleControl::GetUserType(DWORD form, LPOLESTR* type)
{
    if (!type) return E_POINTER;
    return OleRegGetUserType(m_id.clsid, form, type);
}

STDMETHODIMP OleControl::SetExtent(DWORD aspect, SIZEL* size)
{
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    m_extent = *size;
    return S_OK;
}

STDMETHODIMP OleControl::GetExtent(DWORD aspect, SIZEL* size)
{
    if (!size) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return E_FAIL;
    *size = m_extent;
    return S_OK;
}

STDMETHODIMP OleControl::Advise(IAdviseSink* sink, DWORD* cookie)
{
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!m_oleAdvise) {
        HRESULT hr = CreateOleAdviseHolder(m_oleAdvise.Put());
        if (FAILED(hr)) return hr;
    }
    return m_oleAdvise->Advise(sink, cookie);
}

STDMETHODIMP OleControl::Unadvise(DWORD cookie)
{
    return m_oleAdvise ? m_oleAdvise->Unadvise(cookie) : OLE_E_NOCONNECTION;
}

STDMETHODIMP OleControl::EnumAdvise(IEnumSTATDATA** ppEnum)
{
    if (!ppEnum) return E_POINTER;
    *ppEnum = nullptr;
    return m_oleAdvise ? m_oleAdvise->EnumAdvise(ppEnum) : E_FAIL;
}

STDMETHODIMP OleControl::GetMiscStatus(DWORD, DWORD* status)
{
    if (!status) return E_POINTER;
    *status = m_id.miscStatus;
    return S_OK;
}

STDMETHODIMP OleControl::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

// ---------------------------------------------------------------- persistence

STDMETHODIMP OleControl::GetClassID(CLSID* clsid)
{
    if (!clsid) return E_POINTER;
    *clsid = m_id.clsid;
    return S_OK;
}

STDMETHODIMP OleControl::IsDirty() { return m_dirty ? S_OK : S_FALSE; }
// A null stream, bag or storage is an invalid argument, not a null out-pointer.
STDMETHODIMP OleControl::Load(LPSTREAM stream) { return stream ? LoadState(stream) : E_INVALIDARG; }
STDMETHODIMP OleControl::Save(LPSTREAM stream, BOOL clearDirty) { return stream ? SaveState(stream, clearDirty) : E_INVALIDARG; }
STDMETHODIMP OleControl::GetSizeMax(ULARGE_INTEGER* size) { return size ? StateSizeMax(size) : E_POINTER; }
STDMETHODIMP OleControl::InitNew() { return InitState(); }
STDMETHODIMP OleControl::Load(IPropertyBag* bag, IErrorLog* log) { return bag ? LoadState(bag, log) : E_INVALIDARG; }
STDMETHODIMP OleControl::Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll)
{
    if (!bag) {
        OutputDebugStringA("PropBag pointer passed in was invalid\n");
        return E_INVALIDARG;
    }
    return SaveState(bag, clearDirty, saveAll);
}

namespace {
const wchar_t kContents[] = L"Contents";
}

STDMETHODIMP OleControl::InitNew(IStorage*) { return InitState(); }

STDMETHODIMP OleControl::Load(IStorage* storage)
{
    if (!storage) return E_INVALIDARG;
    ComPtr<IStream> stream;
    HRESULT hr = storage->OpenStream(kContents, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.Put());
    return FAILED(hr) ? hr : LoadState(stream.Get());
}

STDMETHODIMP OleControl::Save(IStorage* storage, BOOL)
{
    if (!storage) return E_INVALIDARG;
    ComPtr<IStream> stream;
    HRESULT hr = storage->CreateStream(kContents, STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0, 0, stream.Put());
    return FAILED(hr) ? hr : SaveState(stream.Get(), TRUE);
}

STDMETHODIMP OleControl::SaveCompleted(IStorage*) { return S_OK; }
STDMETHODIMP OleControl::HandsOffStorage() { return S_OK; }

HRESULT OleControl::LoadState(IStream*) { return E_NOTIMPL; }
HRESULT OleControl::SaveState(IStream*, BOOL) { return E_NOTIMPL; }
HRESULT OleControl::StateSizeMax(ULARGE_INTEGER*) { return E_NOTIMPL; }
HRESULT OleControl::LoadState(IPropertyBag*, IErrorLog*) { return E_NOTIMPL; }
HRESULT OleControl::SaveState(IPropertyBag*, BOOL, BOOL) { return E_NOTIMPL; }
HRESULT OleControl::InitState() { return S_OK; }

// ---------------------------------------------------------------- errors, pages, quick activation

STDMETHODIMP OleControl::InterfaceSupportsErrorInfo(REFIID iid)
{
    return IsEqualIID(iid, m_id.primary) ? S_OK : S_FALSE;
}

STDMETHODIMP OleControl::GetPages(CAUUID* pages)
{
    if (!pages) return E_POINTER;
    pages->cElems = 0;
    pages->pElems = nullptr;
    size_t count = 0;
    const PropertyEntry* table = Properties(count);
    // Each page once, in order of first appearance.
    auto* list = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID) * (count ? count : 1)));
    if (!list) return E_OUTOFMEMORY;
    ULONG n = 0;
    for (size_t i = 0; i < count; ++i) {
        const CLSID* page = table[i].page;
        if (!page || IsEqualCLSID(*page, CLSID_NULL)) continue;
        bool seen = false;
        for (ULONG j = 0; j < n && !seen; ++j) seen = IsEqualCLSID(list[j], *page);
        if (!seen) list[n++] = *page;
    }
    pages->cElems = n;
    pages->pElems = list;
    return S_OK;
}

STDMETHODIMP OleControl::QuickActivate(QACONTAINER* container, QACONTROL* control)
{
    if (!container || !control) return E_POINTER;
    if (container->cbSize < sizeof(QACONTAINER) || control->cbSize < sizeof(QACONTROL)) return E_INVALIDARG;
    SetClientSite(container->pClientSite);
    if (container->pAdviseSink) SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
    control->dwEventCookie = 0;
    if (container->pUnkEventSink) EventsPoint().Advise(container->pUnkEventSink, &control->dwEventCookie);
    control->dwPropNotifyCookie = 0;
    control->dwMiscStatus = m_id.miscStatus;
    control->dwViewStatus = m_id.viewStatus;
    control->dwPointerActivationPolicy = 0;
    return S_OK;
}

STDMETHODIMP OleControl::SetContentExtent(LPSIZEL size) { return SetExtent(DVASPECT_CONTENT, size); }
STDMETHODIMP OleControl::GetContentExtent(LPSIZEL size) { return GetExtent(DVASPECT_CONTENT, size); }

// ---------------------------------------------------------------- data

STDMETHODIMP OleControl::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    if (!format || !medium) return E_POINTER;
    return DATA_E_FORMATETC;
}

STDMETHODIMP OleControl::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }
STDMETHODIMP OleControl::QueryGetData(FORMATETC* format) { return format ? DATA_E_FORMATETC : E_POINTER; }

STDMETHODIMP OleControl::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out)
{
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP OleControl::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }
STDMETHODIMP OleControl::EnumFormatEtc(DWORD, IEnumFORMATETC**) { return E_NOTIMPL; }

STDMETHODIMP OleControl::DAdvise(FORMATETC* format, DWORD advf, IAdviseSink* sink, DWORD* cookie)
{
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!m_dataAdvise) {
        HRESULT hr = CreateDataAdviseHolder(m_dataAdvise.Put());
        if (FAILED(hr)) return hr;
    }
    return m_dataAdvise->Advise(static_cast<IDataObject*>(this), format, advf, sink, cookie);
}

STDMETHODIMP OleControl::DUnadvise(DWORD cookie)
{
    return m_dataAdvise ? m_dataAdvise->Unadvise(cookie) : OLE_E_NOCONNECTION;
}

STDMETHODIMP OleControl::EnumDAdvise(IEnumSTATDATA** ppEnum)
{
    if (!ppEnum) return E_POINTER;
    *ppEnum = nullptr;
    return m_dataAdvise ? m_dataAdvise->EnumAdvise(ppEnum) : E_FAIL;
}

void OleControl::SendOnDataChange(DWORD advf)
{
    if (m_dataAdvise) m_dataAdvise->SendOnDataChange(static_cast<IDataObject*>(this), 0, advf);
}

// ---------------------------------------------------------------- class info, property browsing

STDMETHODIMP OleControl::GetClassInfo(ITypeInfo** info)
{
    if (!info) return E_POINTER;
    return LoadModuleTypeInfo(m_id.clsid, info);
}

STDMETHODIMP OleControl::GetGUID(DWORD kind, GUID* guid)
{
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *guid = GUID_NULL;
        return E_INVALIDARG;
    }
    *guid = m_id.events;
    return S_OK;
}

STDMETHODIMP OleControl::GetDisplayString(DISPID, BSTR*) { return E_NOTIMPL; }

STDMETHODIMP OleControl::MapPropertyToPage(DISPID dispid, CLSID* page)
{
    if (!page) return E_POINTER;
    *page = CLSID_NULL;
    size_t count = 0;
    const PropertyEntry* table = Properties(count);
    for (size_t i = 0; i < count; ++i) {
        if (table[i].dispid != dispid || !table[i].name) continue;
        if (!table[i].page || IsEqualCLSID(*table[i].page, CLSID_NULL)) return PERPROP_E_NOPAGEAVAILABLE;
        *page = *table[i].page;
        return S_OK;
    }
    return PERPROP_E_NOPAGEAVAILABLE;
}

STDMETHODIMP OleControl::GetPredefinedStrings(DISPID, CALPOLESTR*, CADWORD*) { return E_NOTIMPL; }
STDMETHODIMP OleControl::GetPredefinedValue(DISPID, DWORD, VARIANT*) { return E_NOTIMPL; }

// ---------------------------------------------------------------- services

void OleControl::FireViewChange()
{
    if (m_inPlaceActive) {
        // While the whole window waits for a paint anyway, asking again
        // changes nothing; hosts that refresh in a loop skip the round trip.
        HWND hwnd = ControlWindow();
        if (hwnd && !m_wholeWindowInvalid) {
            InvalidateRect(hwnd, nullptr, TRUE);
            m_wholeWindowInvalid = true;
        }
    } else if (m_viewSink) {
        m_viewSink->OnViewChange(DVASPECT_CONTENT, -1);
    }
}

HRESULT OleControl::GetAmbientProperty(DISPID dispid, VARIANT& value)
{
    VariantClear(&value);
    if (!m_clientSite) return E_FAIL;
    ComPtr<IDispatch> ambient;
    HRESULT hr = m_clientSite.As(IID_IDispatch, ambient);
    if (FAILED(hr) || !ambient) return E_FAIL;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    return ambient->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr);
}

HRESULT OleControl::GetAmbientUserMode(BOOL& userMode)
{
    Variant v;
    HRESULT hr = GetAmbientProperty(DISPID_AMBIENT_USERMODE, v.Ref());
    if (FAILED(hr)) return hr;
    if (v.Ref().vt != VT_BOOL) return E_FAIL;
    userMode = v.Ref().boolVal != VARIANT_FALSE;
    return S_OK;
}

HRESULT OleControl::ShowPropertyFrame(HWND parent)
{
    CAUUID pages = {0, nullptr};
    HRESULT hr = GetPages(&pages);
    if (FAILED(hr)) return hr;
    IUnknown* self = nullptr;
    static_cast<IOleObject*>(this)->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&self));
    hr = OleCreatePropertyFrame(parent, 0, 0, nullptr, 1, &self, pages.cElems, pages.pElems,
                                LOCALE_USER_DEFAULT, 0, nullptr);
    if (self) self->Release();
    CoTaskMemFree(pages.pElems);
    return hr;
}

LRESULT OleControl::FwOnPaint(UINT, WPARAM wp, LPARAM, BOOL&)
{
    HWND hwnd = ControlWindow();
    if (!hwnd) return 0;
    PAINTSTRUCT ps;
    // A paint sent with a context draws into it; otherwise the window's own.
    if (!wp) m_wholeWindowInvalid = false;
    HDC hdc = wp ? reinterpret_cast<HDC>(wp) : BeginPaint(hwnd, &ps);
    if (hdc) {
        DrawInfo info = {};
        info.hdc = hdc;
        info.aspect = DVASPECT_CONTENT;
        info.toScreen = true;
        GetClientRect(hwnd, &info.bounds);
        OnDraw(info);
    }
    if (!wp) EndPaint(hwnd, &ps);
    return 0;
}

LRESULT OleControl::FwOnSetFocus(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (m_inPlaceActive && !m_uiActive) InPlaceActivate(OLEIVERB_UIACTIVATE);
    ComPtr<IOleControlSite> site;
    if (m_clientSite && SUCCEEDED(m_clientSite.As(IID_IOleControlSite, site))) site->OnFocus(TRUE);
    handled = FALSE;  // the default procedure sees the focus change too
    return 0;
}

LRESULT OleControl::FwOnKillFocus(UINT, WPARAM, LPARAM, BOOL& handled)
{
    ComPtr<IOleControlSite> site;
    if (m_clientSite && SUCCEEDED(m_clientSite.As(IID_IOleControlSite, site))) site->OnFocus(FALSE);
    handled = FALSE;
    return 0;
}

LRESULT OleControl::FwOnMouseActivate(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (!m_uiActive) InPlaceActivate(OLEIVERB_UIACTIVATE);
    handled = FALSE;
    return 0;
}

LRESULT OleControl::FwOnReflected(UINT msg, WPARAM wp, LPARAM lp, BOOL&)
{
    return DefWindowProcW(ControlWindow(), msg - 0x2000, wp, lp);
}

} // namespace fw
