#include "support/recording_site.h"

#include <algorithm>

#include "support/ax_host.h"

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

template <class I>
HRESULT Hand(I* p, void** ppv)
{
    *ppv = p;
    p->AddRef();
    return S_OK;
}

// Answers GetWindow with the site's window, after recording the call.
HRESULT GiveWindow(HRESULT recorded, HWND hwnd, HWND* phwnd)
{
    if (!phwnd) return E_POINTER;
    *phwnd = hwnd;
    return recorded;
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

HRESULT RecordingFrame::Record(const char* call, HRESULT hr) { return m_site.Record(call, hr); }

STDMETHODIMP RecordingFrame::GetWindow(HWND* phwnd) { return GiveWindow(Record("Frame.GetWindow"), m_site.m_hwnd, phwnd); }

// ---------------------------------------------------------------- site

RecordingSite::RecordingSite(bool visible)
{
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | (visible ? WS_VISIBLE : 0);
    m_hwnd = CreateWindowExW(0, PlainWindowClass(), L"Kvadra recording site", style,
                             0, 0, 400, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

RecordingSite::~RecordingSite() { DestroyWindow(m_hwnd); }

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

STDMETHODIMP RecordingSite::GetWindow(HWND* phwnd) { return GiveWindow(Record("GetWindow"), m_hwnd, phwnd); }

STDMETHODIMP RecordingSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                             LPRECT clip, LPOLEINPLACEFRAMEINFO info)
{
    Record("GetWindowContext");
    if (!frame || !doc || !pos || !clip || !info) return E_POINTER;
    *frame = &m_frame;
    m_frame.AddRef();
    *doc = nullptr;  // the frame is also the document window
    *pos = posRect;
    *clip = posRect;
    *info = OLEINPLACEFRAMEINFO{info->cb, FALSE, m_hwnd, nullptr, 0};
    return S_OK;
}

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

STDMETHODIMP RecordingEventSink::Invoke(DISPID dispid, REFIID, LCID lcid, WORD flags, DISPPARAMS* params,
                                        VARIANT* result, EXCEPINFO*, UINT*)
{
    m_log.Add("Invoke(" + std::to_string(dispid) + ")");
    how = How{lcid, flags, result != nullptr, params ? params->cNamedArgs : 0};
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
    if (onEvent) onEvent(dispid, params);
    return answer;
}

STDMETHODIMP RecordingPageSite::QueryInterface(REFIID iid, void** ppv)
{
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IPropertyPageSite)) return Cleared(ppv, E_NOINTERFACE);
    return Hand(this, ppv);
}

} // namespace test
