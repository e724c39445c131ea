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

class RecordingSite;

// The in-place frame handed out by the site's GetWindowContext. Recorded
// names carry the prefix "Frame.", and SetActiveObject records whether it got
// an object: "Frame.SetActiveObject(object)" or "Frame.SetActiveObject(null)".
class RecordingFrame final : public IOleInPlaceFrame {
public:
    explicit RecordingFrame(RecordingSite& site) : m_site(site) {}
    RecordingFrame(const RecordingFrame&) = delete;
    RecordingFrame& operator=(const RecordingFrame&) = delete;
    virtual ~RecordingFrame() = default;

    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override;
    STDMETHOD_(ULONG, AddRef)() override { return ++m_refs; }
    STDMETHOD_(ULONG, Release)() override { return --m_refs; }

    STDMETHOD(GetWindow)(HWND* phwnd) override;
    STDMETHOD(ContextSensitiveHelp)(BOOL) override;
    STDMETHOD(GetBorder)(LPRECT) override;
    STDMETHOD(RequestBorderSpace)(LPCBORDERWIDTHS) override;
    STDMETHOD(SetBorderSpace)(LPCBORDERWIDTHS) override;
    STDMETHOD(SetActiveObject)(IOleInPlaceActiveObject* active, LPCOLESTR name) override;
    STDMETHOD(InsertMenus)(HMENU, LPOLEMENUGROUPWIDTHS) override;
    STDMETHOD(SetMenu)(HMENU, HOLEMENU, HWND) override;
    STDMETHOD(RemoveMenus)(HMENU) override;
    STDMETHOD(SetStatusText)(LPCOLESTR) override;
    STDMETHOD(EnableModeless)(BOOL) override;
    STDMETHOD(TranslateAccelerator)(LPMSG, WORD) override;

    ULONG Refs() const { return m_refs; }
    // The object last made active through SetActiveObject (not held).
    IOleInPlaceActiveObject* ActiveObject() const { return m_active; }

private:
    RecordingSite& m_site;
    ULONG m_refs = 0;
    IOleInPlaceActiveObject* m_active = nullptr;
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
    STDMETHOD(SaveObject)() override;
    STDMETHOD(GetMoniker)(DWORD, DWORD, IMoniker** moniker) override;
    STDMETHOD(GetContainer)(IOleContainer** container) override;
    STDMETHOD(ShowObject)() override;
    STDMETHOD(OnShowWindow)(BOOL show) override;
    STDMETHOD(RequestNewObjectLayout)() override;

    // IOleWindow, IOleInPlaceSite
    STDMETHOD(GetWindow)(HWND* phwnd) override;
    STDMETHOD(ContextSensitiveHelp)(BOOL) override;
    STDMETHOD(CanInPlaceActivate)() override;
    STDMETHOD(OnInPlaceActivate)() override;
    STDMETHOD(OnUIActivate)() override;
    STDMETHOD(GetWindowContext)(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                                LPOLEINPLACEFRAMEINFO info) override;
    STDMETHOD(Scroll)(SIZE) override;
    STDMETHOD(OnUIDeactivate)(BOOL undoable) override;
    STDMETHOD(OnInPlaceDeactivate)() override;
    STDMETHOD(DiscardUndoState)() override;
    STDMETHOD(DeactivateAndUndo)() override;
    STDMETHOD(OnPosRectChange)(LPCRECT pos) override;

    // IOleControlSite
    STDMETHOD(OnControlInfoChanged)() override;
    STDMETHOD(LockInPlaceActive)(BOOL lock) override;
    STDMETHOD(GetExtendedControl)(IDispatch** disp) override;
    STDMETHOD(TransformCoords)(POINTL*, POINTF*, DWORD) override;
    STDMETHOD(TranslateAccelerator)(MSG*, DWORD) override;
    STDMETHOD(OnFocus)(BOOL gotFocus) override;
    STDMETHOD(ShowPropertyFrame)() override;

    // IDispatch, for ambient properties: recorded as "Ambient(<dispid>)".
    STDMETHOD(GetTypeInfoCount)(UINT* count) override;
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo** info) override;
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    STDMETHOD(Invoke)(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                      UINT*) override;

    // IAdviseSink, IAdviseSinkEx: recorded as "Sink.<method>".
    STDMETHOD_(void, OnDataChange)(FORMATETC*, STGMEDIUM*) override;
    STDMETHOD_(void, OnViewChange)(DWORD aspect, LONG index) override;
    STDMETHOD_(void, OnRename)(IMoniker*) override;
    STDMETHOD_(void, OnSave)() override;
    STDMETHOD_(void, OnClose)() override;
    STDMETHOD_(void, OnViewStatusChange)(DWORD status) override;

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
    // The position and clip rectangles given out by GetWindowContext.
    RECT posRect = {10, 20, 210, 170};
    RECT clipRect = {10, 20, 210, 170};

private:
    friend class RecordingFrame;

    CallLog m_log;
    RecordingFrame m_frame{*this};
    HWND m_hwnd = nullptr;
    ULONG m_refs = 0;
};

// An event sink for the control's connection point: answers IUnknown and
// IDispatch, and the events' dispinterface when `answersEvents` is set.
// Invoke records "Invoke(<dispid>)".
class RecordingEventSink final : public IDispatch {
public:
    explicit RecordingEventSink(const IID& events, bool answersEvents = true)
        : m_events(events), answersEvents(answersEvents) {}
    RecordingEventSink(const RecordingEventSink&) = delete;
    RecordingEventSink& operator=(const RecordingEventSink&) = delete;
    virtual ~RecordingEventSink() = default;

    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override;
    STDMETHOD_(ULONG, AddRef)() override { return ++m_refs; }
    STDMETHOD_(ULONG, Release)() override { return --m_refs; }
    STDMETHOD(GetTypeInfoCount)(UINT* count) override;
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo** info) override;
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    STDMETHOD(Invoke)(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;

    CallLog& Log() { return m_log; }
    ULONG Refs() const { return m_refs; }
    // Events received, as "dispid(arg,...)" with shorts in declared order.
    std::vector<std::string>& Events() { return m_received; }

private:
    const IID& m_events;
    ULONG m_refs = 0;
    CallLog m_log;
    std::vector<std::string> m_received;

public:
    bool answersEvents;
};

} // namespace test
