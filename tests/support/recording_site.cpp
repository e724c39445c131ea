#include "support/recording_site.h"

#include <algorithm>

namespace test {

// ---------------------------------------------------------------- CallLog

bool CallLog::Has(const std::string& name) const
{
    return std::find(m_calls.begin(), m_calls.end(), name) != m_calls.end();
}

size_t CallLog::Count(const std::string& name) const
{
    return static_cast<size_t>(std::count(m_calls.begin(), m_calls.end(), name));
}

bool CallLog::InOrder(const std::vector<std::string>& names) const
{
    auto at = m_calls.begin();
    for (const std::string& n : names) {
        at = std::find(at, m_calls.end(), n);
        if (at == m_calls.end()) return false;
        ++at;
    }
    return true;
}

std::string CallLog::Dump() const
{
    std::string s = "calls:";
    for (const std::string& c : m_calls) s += "\n  " + c;
    return s;
}

namespace {

const wchar_t kSiteClass[] = L"KvadraRecordingSite";

void RegisterSiteClass()
{
    static bool done = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kSiteClass;
        return RegisterClassW(&wc) != 0;
    }();
    (void)done;
}

template <class I>
HRESULT Hand(I* p, void** ppv)
{
    *ppv = p;
    p->AddRef();
    return S_OK;
}

} // namespace

// ---------------------------------------------------------------- frame

STDMETHODIMP RecordingFrame::QueryInterface(REFIID iid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceUIWindow) ||
        IsEqualIID(iid, IID_IOleInPlaceFrame))
        return Hand(static_cast<IOleInPlaceFrame*>(this), ppv);
    return E_NOINTERFACE;
}

STDMETHODIMP RecordingFrame::GetWindow(HWND* phwnd)
{
    m_site.m_log.Add("Frame.GetWindow");
    if (!phwnd) return E_POINTER;
    *phwnd = m_site.m_hwnd;
    return S_OK;
}

STDMETHODIMP RecordingFrame::ContextSensitiveHelp(BOOL)
{
    m_site.m_log.Add("Frame.ContextSensitiveHelp");
    return S_OK;
}

STDMETHODIMP RecordingFrame::GetBorder(LPRECT)
{
    m_site.m_log.Add("Frame.GetBorder");
    return INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP RecordingFrame::RequestBorderSpace(LPCBORDERWIDTHS)
{
    m_site.m_log.Add("Frame.RequestBorderSpace");
    return INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP RecordingFrame::SetBorderSpace(LPCBORDERWIDTHS)
{
    m_site.m_log.Add("Frame.SetBorderSpace");
    return S_OK;
}

STDMETHODIMP RecordingFrame::SetActiveObject(IOleInPlaceActiveObject* active, LPCOLESTR)
{
    m_site.m_log.Add(active ? "Frame.SetActiveObject(object)" : "Frame.SetActiveObject(null)");
    m_active = active;
    return S_OK;
}

STDMETHODIMP RecordingFrame::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS)
{
    m_site.m_log.Add("Frame.InsertMenus");
    return S_OK;
}

STDMETHODIMP RecordingFrame::SetMenu(HMENU, HOLEMENU, HWND)
{
    m_site.m_log.Add("Frame.SetMenu");
    return S_OK;
}

STDMETHODIMP RecordingFrame::RemoveMenus(HMENU)
{
    m_site.m_log.Add("Frame.RemoveMenus");
    return S_OK;
}

STDMETHODIMP RecordingFrame::SetStatusText(LPCOLESTR)
{
    m_site.m_log.Add("Frame.SetStatusText");
    return S_OK;
}

STDMETHODIMP RecordingFrame::EnableModeless(BOOL)
{
    m_site.m_log.Add("Frame.EnableModeless");
    return S_OK;
}

STDMETHODIMP RecordingFrame::TranslateAccelerator(LPMSG, WORD)
{
    m_site.m_log.Add("Frame.TranslateAccelerator");
    return S_FALSE;
}

// ---------------------------------------------------------------- site

RecordingSite::RecordingSite(bool visible)
{
    RegisterSiteClass();
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | (visible ? WS_VISIBLE : 0);
    m_hwnd = CreateWindowExW(0, kSiteClass, L"Kvadra recording site", style,
                             0, 0, 400, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

RecordingSite::~RecordingSite()
{
    if (m_hwnd) DestroyWindow(m_hwnd);
}

STDMETHODIMP RecordingSite::QueryInterface(REFIID iid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
        return Hand(static_cast<IOleClientSite*>(this), ppv);
    if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite))
        return Hand(static_cast<IOleInPlaceSite*>(this), ppv);
    if (IsEqualIID(iid, IID_IOleControlSite)) return Hand(static_cast<IOleControlSite*>(this), ppv);
    if (IsEqualIID(iid, IID_IDispatch)) return Hand(static_cast<IDispatch*>(this), ppv);
    if (IsEqualIID(iid, IID_IAdviseSink) || IsEqualIID(iid, IID_IAdviseSinkEx))
        return Hand(static_cast<IAdviseSinkEx*>(this), ppv);
    return E_NOINTERFACE;
}

STDMETHODIMP RecordingSite::SaveObject()
{
    m_log.Add("SaveObject");
    return S_OK;
}

STDMETHODIMP RecordingSite::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    m_log.Add("GetMoniker");
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP RecordingSite::GetContainer(IOleContainer** container)
{
    m_log.Add("GetContainer");
    if (container) *container = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP RecordingSite::ShowObject()
{
    m_log.Add("ShowObject");
    return S_OK;
}

STDMETHODIMP RecordingSite::OnShowWindow(BOOL show)
{
    m_log.Add(show ? "OnShowWindow(TRUE)" : "OnShowWindow(FALSE)");
    return S_OK;
}

STDMETHODIMP RecordingSite::RequestNewObjectLayout()
{
    m_log.Add("RequestNewObjectLayout");
    return E_NOTIMPL;
}

STDMETHODIMP RecordingSite::GetWindow(HWND* phwnd)
{
    m_log.Add("GetWindow");
    if (!phwnd) return E_POINTER;
    *phwnd = m_hwnd;
    return S_OK;
}

STDMETHODIMP RecordingSite::ContextSensitiveHelp(BOOL)
{
    m_log.Add("ContextSensitiveHelp");
    return S_OK;
}

STDMETHODIMP RecordingSite::CanInPlaceActivate()
{
    m_log.Add("CanInPlaceActivate");
    return allowInPlace ? S_OK : S_FALSE;
}

STDMETHODIMP RecordingSite::OnInPlaceActivate()
{
    m_log.Add("OnInPlaceActivate");
    return S_OK;
}

STDMETHODIMP RecordingSite::OnUIActivate()
{
    m_log.Add("OnUIActivate");
    return S_OK;
}

STDMETHODIMP RecordingSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                             LPRECT clip, LPOLEINPLACEFRAMEINFO info)
{
    m_log.Add("GetWindowContext");
    if (!frame || !doc || !pos || !clip || !info) return E_POINTER;
    *frame = &m_frame;
    m_frame.AddRef();
    *doc = nullptr;  // the frame is also the document window
    *pos = posRect;
    *clip = clipRect;
    info->fMDIApp = FALSE;
    info->hwndFrame = m_hwnd;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP RecordingSite::Scroll(SIZE)
{
    m_log.Add("Scroll");
    return S_OK;
}

STDMETHODIMP RecordingSite::OnUIDeactivate(BOOL)
{
    m_log.Add("OnUIDeactivate");
    return S_OK;
}

STDMETHODIMP RecordingSite::OnInPlaceDeactivate()
{
    m_log.Add("OnInPlaceDeactivate");
    return S_OK;
}

STDMETHODIMP RecordingSite::DiscardUndoState()
{
    m_log.Add("DiscardUndoState");
    return S_OK;
}

STDMETHODIMP RecordingSite::DeactivateAndUndo()
{
    m_log.Add("DeactivateAndUndo");
    return S_OK;
}

STDMETHODIMP RecordingSite::OnPosRectChange(LPCRECT)
{
    m_log.Add("OnPosRectChange");
    return S_OK;
}

STDMETHODIMP RecordingSite::OnControlInfoChanged()
{
    m_log.Add("OnControlInfoChanged");
    return S_OK;
}

STDMETHODIMP RecordingSite::LockInPlaceActive(BOOL lock)
{
    m_log.Add(lock ? "LockInPlaceActive(TRUE)" : "LockInPlaceActive(FALSE)");
    return S_OK;
}

STDMETHODIMP RecordingSite::GetExtendedControl(IDispatch** disp)
{
    m_log.Add("GetExtendedControl");
    if (disp) *disp = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP RecordingSite::TransformCoords(POINTL*, POINTF*, DWORD)
{
    m_log.Add("TransformCoords");
    return E_NOTIMPL;
}

STDMETHODIMP RecordingSite::TranslateAccelerator(MSG*, DWORD)
{
    m_log.Add("TranslateAccelerator");
    return S_FALSE;
}

STDMETHODIMP RecordingSite::OnFocus(BOOL gotFocus)
{
    m_log.Add(gotFocus ? "OnFocus(TRUE)" : "OnFocus(FALSE)");
    return S_OK;
}

STDMETHODIMP RecordingSite::ShowPropertyFrame()
{
    m_log.Add("ShowPropertyFrame");
    return E_NOTIMPL;
}

STDMETHODIMP RecordingSite::GetTypeInfoCount(UINT* count)
{
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP RecordingSite::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP RecordingSite::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP RecordingSite::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                   UINT*)
{
    m_log.Add("Ambient(" + std::to_string(dispid) + ")");
    if (dispid != DISPID_AMBIENT_USERMODE) return DISP_E_MEMBERNOTFOUND;
    if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_PARAMNOTOPTIONAL;
    VariantInit(result);
    result->vt = VT_BOOL;
    result->boolVal = userMode ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP_(void) RecordingSite::OnDataChange(FORMATETC*, STGMEDIUM*) { m_log.Add("Sink.OnDataChange"); }
STDMETHODIMP_(void) RecordingSite::OnViewChange(DWORD, LONG) { m_log.Add("Sink.OnViewChange"); }
STDMETHODIMP_(void) RecordingSite::OnRename(IMoniker*) { m_log.Add("Sink.OnRename"); }
STDMETHODIMP_(void) RecordingSite::OnSave() { m_log.Add("Sink.OnSave"); }
STDMETHODIMP_(void) RecordingSite::OnClose() { m_log.Add("Sink.OnClose"); }
STDMETHODIMP_(void) RecordingSite::OnViewStatusChange(DWORD) { m_log.Add("Sink.OnViewStatusChange"); }

// ---------------------------------------------------------------- event sink

STDMETHODIMP RecordingEventSink::QueryInterface(REFIID iid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        (answersEvents && IsEqualIID(iid, m_events)))
        return Hand(static_cast<IDispatch*>(this), ppv);
    return E_NOINTERFACE;
}

STDMETHODIMP RecordingEventSink::GetTypeInfoCount(UINT* count)
{
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP RecordingEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP RecordingEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP RecordingEventSink::Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                        UINT*)
{
    m_log.Add("Invoke(" + std::to_string(dispid) + ")");
    // The event with its short arguments in declared order: "13(2,3)".
    std::string event = std::to_string(dispid) + "(";
    for (UINT i = params ? params->cArgs : 0; i-- > 0;) {
        const VARIANT& v = params->rgvarg[i];
        if (v.vt == VT_I2) event += std::to_string(v.iVal);
        else if (v.vt == (VT_BYREF | VT_I2)) event += "&" + std::to_string(*v.piVal);
        else if (v.vt == VT_BSTR) event += "'" + std::string(v.bstrVal ? "text" : "null") + "'";
        else event += "vt" + std::to_string(v.vt);
        if (i) event += ",";
    }
    m_received.push_back(event + ")");
    return S_OK;
}

} // namespace test
