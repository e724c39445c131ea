// A test container of our own: a client site, in-place site, control site,
// ambient-property dispatch and advise sink in one object, with an in-place
// frame beside it. Every call the control makes on them is recorded by name,
// in order. The objects live on the test's stack and count their references
// instead of deleting themselves, so a test can check that the control gave
// back every reference it took.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <olectl.h>
#include <functional>
#include <string>
#include <vector>

namespace test {

class CallLog {
public:
    void Add(std::string name) { m_calls.push_back(std::move(name)); }
    const std::vector<std::string>& Calls() const { return m_calls; }
    void Clear() { m_calls.clear(); }
    bool Has(const std::string& name) const;
    size_t Count(const std::string& name) const;
    // True when the names occur in this order (other calls may come between).
    bool InOrder(const std::vector<std::string>& names) const;
    // All calls, one line each, for failure messages.
    std::string Dump() const;

private:
    std::vector<std::string> m_calls;
};

// Nulls an out pointer, if there is one, and returns hr.
template <class T>
HRESULT Cleared(T** out, HRESULT hr)
{
    if (out) *out = nullptr;
    return hr;
}

// GetTypeInfoCount for a dispatch without type information.
inline HRESULT NoTypeInfo(UINT* count)
{
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

// One interface whose references are counted, never deleting the object.
template <class I>
class Counted : public I {
public:
    Counted() = default;
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;
    virtual ~Counted() = default;

    STDMETHOD_(ULONG, AddRef)() override { return ++m_refs; }
    STDMETHOD_(ULONG, Release)() override { return --m_refs; }
    ULONG Refs() const { return m_refs; }

private:
    ULONG m_refs = 0;
};

class RecordingSite;

// The in-place frame handed out by the site's GetWindowContext. Recorded
// names carry the prefix "Frame.", and SetActiveObject records whether it got
// an object: "Frame.SetActiveObject(object)" or "Frame.SetActiveObject(null)".
class RecordingFrame final : public Counted<IOleInPlaceFrame> {
public:
    explicit RecordingFrame(RecordingSite& site) : m_site(site) {}

    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override;
    STDMETHOD(GetWindow)(HWND* phwnd) override;
    STDMETHOD(ContextSensitiveHelp)(BOOL) override { return Record("Frame.ContextSensitiveHelp"); }
    STDMETHOD(GetBorder)(LPRECT) override { return Record("Frame.GetBorder", INPLACE_E_NOTOOLSPACE); }
    STDMETHOD(RequestBorderSpace)(LPCBORDERWIDTHS) override
    {
        return Record("Frame.RequestBorderSpace", INPLACE_E_NOTOOLSPACE);
    }
    STDMETHOD(SetBorderSpace)(LPCBORDERWIDTHS) override { return Record("Frame.SetBorderSpace"); }
    STDMETHOD(SetActiveObject)(IOleInPlaceActiveObject* active, LPCOLESTR) override
    {
        return Record(active ? "Frame.SetActiveObject(object)" : "Frame.SetActiveObject(null)");
    }
    STDMETHOD(InsertMenus)(HMENU, LPOLEMENUGROUPWIDTHS) override { return Record("Frame.InsertMenus"); }
    STDMETHOD(SetMenu)(HMENU, HOLEMENU, HWND) override { return Record("Frame.SetMenu"); }
    STDMETHOD(RemoveMenus)(HMENU) override { return Record("Frame.RemoveMenus"); }
    STDMETHOD(SetStatusText)(LPCOLESTR) override { return Record("Frame.SetStatusText"); }
    STDMETHOD(EnableModeless)(BOOL) override { return Record("Frame.EnableModeless"); }
    STDMETHOD(TranslateAccelerator)(LPMSG, WORD) override { return Record("Frame.TranslateAccelerator", S_FALSE); }

private:
    // Adds the call to the site's log and returns hr.
    HRESULT Record(const char* call, HRESULT hr = S_OK);

    RecordingSite& m_site;
};

class RecordingSite final : public IOleClientSite,
                            public IOleInPlaceSite,
                            public IOleControlSite,
                            public IDispatch,
                            public IAdviseSinkEx {
public:
    // Creates the site's window that the control is placed in: a top-level
    // window, hidden unless asked for (under Wine a visible top-level window
    // costs seconds to create), so test a child's visibility by its
    // WS_VISIBLE style rather than IsWindowVisible.
    explicit RecordingSite(bool visible = false);
    RecordingSite(const RecordingSite&) = delete;
    RecordingSite& operator=(const RecordingSite&) = delete;
    virtual ~RecordingSite();

    // IUnknown
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override;
    STDMETHOD_(ULONG, AddRef)() override { return ++m_refs; }
    STDMETHOD_(ULONG, Release)() override { return --m_refs; }

    // IOleClientSite
    STDMETHOD(SaveObject)() override { return Record("SaveObject"); }
    STDMETHOD(GetMoniker)(DWORD, DWORD, IMoniker** m) override { return Record("GetMoniker", Cleared(m, E_NOTIMPL)); }
    STDMETHOD(GetContainer)(IOleContainer** c) override { return Record("GetContainer", Cleared(c, E_NOINTERFACE)); }
    STDMETHOD(ShowObject)() override { return Record("ShowObject"); }
    STDMETHOD(OnShowWindow)(BOOL show) override { return Record(show ? "OnShowWindow(TRUE)" : "OnShowWindow(FALSE)"); }
    STDMETHOD(RequestNewObjectLayout)() override { return Record("RequestNewObjectLayout", E_NOTIMPL); }

    // IOleWindow, IOleInPlaceSite
    STDMETHOD(GetWindow)(HWND* phwnd) override;
    STDMETHOD(ContextSensitiveHelp)(BOOL) override { return Record("ContextSensitiveHelp"); }
    STDMETHOD(CanInPlaceActivate)() override { return Record("CanInPlaceActivate", allowInPlace ? S_OK : S_FALSE); }
    STDMETHOD(OnInPlaceActivate)() override { return Record("OnInPlaceActivate"); }
    STDMETHOD(OnUIActivate)() override { return Record("OnUIActivate"); }
    STDMETHOD(GetWindowContext)(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                                LPOLEINPLACEFRAMEINFO info) override;
    STDMETHOD(Scroll)(SIZE) override { return Record("Scroll"); }
    STDMETHOD(OnUIDeactivate)(BOOL) override { return Record("OnUIDeactivate"); }
    STDMETHOD(OnInPlaceDeactivate)() override { return Record("OnInPlaceDeactivate"); }
    STDMETHOD(DiscardUndoState)() override { return Record("DiscardUndoState"); }
    STDMETHOD(DeactivateAndUndo)() override { return Record("DeactivateAndUndo"); }
    STDMETHOD(OnPosRectChange)(LPCRECT rc) override { if (rc) posChange = *rc; return Record("OnPosRectChange"); }

    // IOleControlSite
    STDMETHOD(OnControlInfoChanged)() override { return Record("OnControlInfoChanged"); }
    STDMETHOD(LockInPlaceActive)(BOOL lock) override
    {
        return Record(lock ? "LockInPlaceActive(TRUE)" : "LockInPlaceActive(FALSE)");
    }
    STDMETHOD(GetExtendedControl)(IDispatch** d) override { return Record("GetExtendedControl", Cleared(d, E_NOTIMPL)); }
    STDMETHOD(TransformCoords)(POINTL*, POINTF*, DWORD) override { return Record("TransformCoords", E_NOTIMPL); }
    // Recorded as "TranslateAccelerator(<key>,<modifier flags>)".
    STDMETHOD(TranslateAccelerator)(MSG* msg, DWORD modifiers) override
    {
        m_log.Add("TranslateAccelerator(" + std::to_string(msg ? msg->wParam : 0) + "," + std::to_string(modifiers) + ")");
        return S_FALSE;
    }
    STDMETHOD(OnFocus)(BOOL gotFocus) override { return Record(gotFocus ? "OnFocus(TRUE)" : "OnFocus(FALSE)"); }
    STDMETHOD(ShowPropertyFrame)() override { return Record("ShowPropertyFrame", E_NOTIMPL); }

    // IDispatch, for ambient properties: recorded as "Ambient(<dispid>)".
    STDMETHOD(GetTypeInfoCount)(UINT* count) override { return NoTypeInfo(count); }
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo** info) override { return Cleared(info, E_NOTIMPL); }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHOD(Invoke)(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                      UINT*) override;

    // IAdviseSink, IAdviseSinkEx: recorded as "Sink.<method>".
    STDMETHOD_(void, OnDataChange)(FORMATETC*, STGMEDIUM*) override { Record("Sink.OnDataChange"); }
    STDMETHOD_(void, OnViewChange)(DWORD, LONG) override { Record("Sink.OnViewChange"); }
    STDMETHOD_(void, OnRename)(IMoniker*) override { Record("Sink.OnRename"); }
    STDMETHOD_(void, OnSave)() override { Record("Sink.OnSave"); }
    STDMETHOD_(void, OnClose)() override { Record("Sink.OnClose"); }
    STDMETHOD_(void, OnViewStatusChange)(DWORD) override { Record("Sink.OnViewStatusChange"); }

    // --- for the test ---
    CallLog& Log() { return m_log; }
    RecordingFrame& Frame() { return m_frame; }
    HWND Window() const { return m_hwnd; }
    ULONG Refs() const { return m_refs; }
    IOleClientSite* Client() { return this; }
    IAdviseSinkEx* Sink() { return this; }

    // The ambient UserMode answered to the control (VT_BOOL).
    bool userMode = true;
    // Whether CanInPlaceActivate agrees (S_OK) or refuses (S_FALSE).
    bool allowInPlace = true;
    // The position rectangle given out by GetWindowContext, as the clip rectangle too.
    RECT posRect = {10, 20, 210, 170};
    // The rectangle last asked for through OnPosRectChange.
    RECT posChange = {};

private:
    friend class RecordingFrame;

    HRESULT Record(const char* call, HRESULT hr = S_OK)
    {
        m_log.Add(call);
        return hr;
    }

    CallLog m_log;
    RecordingFrame m_frame{*this};
    HWND m_hwnd = nullptr;
    ULONG m_refs = 0;
};

// An event sink for the control's connection point: answers IUnknown and
// IDispatch, and the events' dispinterface when `answersEvents` is set.
// Invoke records "Invoke(<dispid>)".
class RecordingEventSink final : public Counted<IDispatch> {
public:
    explicit RecordingEventSink(const IID& events, bool answersEvents = true)
        : answersEvents(answersEvents), m_events(events) {}

    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override;
    STDMETHOD(GetTypeInfoCount)(UINT* count) override { return NoTypeInfo(count); }
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo** info) override { return Cleared(info, E_NOTIMPL); }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHOD(Invoke)(DISPID dispid, REFIID, LCID lcid, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                      UINT*) override;

    CallLog& Log() { return m_log; }
    // Events received, as "dispid(arg,...)" with shorts in declared order.
    std::vector<std::string>& Events() { return m_received; }
    // Runs inside each event, after it is recorded: a sink's answer (a
    // cancel flag) or its calls back into the control.
    std::function<void(DISPID, DISPPARAMS*)> onEvent;
    // How the last event was invoked, and what Invoke answers.
    struct How { LCID lcid; WORD flags; bool result; UINT named; } how = {};
    HRESULT answer = S_OK;

    bool answersEvents;

private:
    const IID& m_events;
    CallLog m_log;
    std::vector<std::string> m_received;
};

// A property page site that records the status changes it is told of.
class RecordingPageSite final : public Counted<IPropertyPageSite> {
public:
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override;
    STDMETHOD(OnStatusChange)(DWORD flags) override { changes.push_back(flags); return S_OK; }
    STDMETHOD(GetLocaleID)(LCID*) override { return E_NOTIMPL; }
    STDMETHOD(GetPageContainer)(IUnknown** unk) override { return Cleared(unk, E_NOTIMPL); }
    STDMETHOD(TranslateAccelerator)(MSG*) override { return S_FALSE; }
    std::vector<DWORD> changes;
};

} // namespace test
