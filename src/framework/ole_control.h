// The embedding side of a windowed ActiveX control: IOleObject, in-place
// activation, views, quick activation, data and class information, property
// pages and the single event connection point. A control derives from
// OleControl and from its own dual interface, supplies its window and its
// drawing, and overrides the protocol methods where it adds behaviour.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include "framework/com_ptr.h"
#include "framework/connection_point.h"

namespace fw {

// What a control is told when it must draw itself.
struct DrawInfo {
    HDC hdc;                // target context
    RECT bounds;            // where to draw, in the context's units
    DWORD aspect;
    bool toScreen;          // a paint of the control's own window
    HDC targetDevice;       // the device the drawing is meant for, or null
};

// One row of a control's property table: the property, its stored type and
// the page that edits it (null for none).
struct PropertyEntry {
    const wchar_t* name;
    DISPID dispid;
    VARTYPE vt;
    const CLSID* page;
};

class OleControl : public IViewObjectEx,
                   public IOleInPlaceObjectWindowless,
                   public IOleInPlaceActiveObject,
                   public IOleControl,
                   public IOleObject,
                   public IPersistStreamInit,
                   public IPersistPropertyBag,
                   public ISupportErrorInfo,
                   public ConnectionPointContainerImpl,
                   public ISpecifyPropertyPages,
                   public IQuickActivate,
                   public IPersistStorage,
                   public IDataObject,
                   public IProvideClassInfo2,
                   public IPerPropertyBrowsing {
public:
    struct Identity {
        const CLSID& clsid;
        const IID& primary;   // the dual interface that reports errors
        const IID& events;    // the outgoing dispinterface
        DWORD miscStatus;
        DWORD viewStatus;
    };

    explicit OleControl(const Identity& id);
    virtual ~OleControl();

    // IViewObject, IViewObject2, IViewObjectEx
    STDMETHOD(Draw)(DWORD aspect, LONG index, void* pvAspect, DVTARGETDEVICE* ptd, HDC hdcTargetDev, HDC hdcDraw,
                    LPCRECTL bounds, LPCRECTL wBounds, BOOL(STDMETHODCALLTYPE* pfnContinue)(ULONG_PTR),
                    ULONG_PTR dwContinue) override;
    STDMETHOD(GetColorSet)(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override;
    STDMETHOD(Freeze)(DWORD, LONG, void*, DWORD*) override;
    STDMETHOD(Unfreeze)(DWORD) override;
    STDMETHOD(SetAdvise)(DWORD aspects, DWORD advf, IAdviseSink* sink) override;
    STDMETHOD(GetAdvise)(DWORD* aspects, DWORD* advf, IAdviseSink** sink) override;
    STDMETHOD(GetExtent)(DWORD aspect, LONG index, DVTARGETDEVICE* ptd, LPSIZEL size) override;
    STDMETHOD(GetRect)(DWORD aspect, LPRECTL rect) override;
    STDMETHOD(GetViewStatus)(DWORD* status) override;
    STDMETHOD(QueryHitPoint)(DWORD aspect, LPCRECT bounds, POINT pt, LONG closeHint, DWORD* result) override;
    STDMETHOD(QueryHitRect)(DWORD aspect, LPCRECT bounds, LPCRECT loc, LONG closeHint, DWORD* result) override;
    STDMETHOD(GetNaturalExtent)(DWORD aspect, LONG index, DVTARGETDEVICE* ptd, HDC hicTargetDev,
                                DVEXTENTINFO* info, LPSIZEL size) override;

    // IOleWindow, IOleInPlaceObject, IOleInPlaceObjectWindowless
    STDMETHOD(GetWindow)(HWND* phwnd) override;
    STDMETHOD(ContextSensitiveHelp)(BOOL) override;
    STDMETHOD(InPlaceDeactivate)() override;
    STDMETHOD(UIDeactivate)() override;
    STDMETHOD(SetObjectRects)(LPCRECT pos, LPCRECT clip) override;
    STDMETHOD(ReactivateAndUndo)() override;
    STDMETHOD(OnWindowMessage)(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
    STDMETHOD(GetDropTarget)(IDropTarget** target) override;

    // IOleInPlaceActiveObject
    STDMETHOD(TranslateAccelerator)(LPMSG msg) override;
    STDMETHOD(OnFrameWindowActivate)(BOOL) override;
    STDMETHOD(OnDocWindowActivate)(BOOL) override;
    STDMETHOD(ResizeBorder)(LPCRECT, IOleInPlaceUIWindow*, BOOL) override;
    STDMETHOD(EnableModeless)(BOOL) override;

    // IOleControl
    STDMETHOD(GetControlInfo)(CONTROLINFO* info) override;
    STDMETHOD(OnMnemonic)(MSG* msg) override;
    STDMETHOD(OnAmbientPropertyChange)(DISPID dispid) override;
    STDMETHOD(FreezeEvents)(BOOL freeze) override;

    // IOleObject
    STDMETHOD(SetClientSite)(IOleClientSite* site) override;
    STDMETHOD(GetClientSite)(IOleClientSite** site) override;
    STDMETHOD(SetHostNames)(LPCOLESTR, LPCOLESTR) override;
    STDMETHOD(Close)(DWORD saveOption) override;
    STDMETHOD(SetMoniker)(DWORD, IMoniker*) override;
    STDMETHOD(GetMoniker)(DWORD, DWORD, IMoniker**) override;
    STDMETHOD(InitFromData)(IDataObject*, BOOL, DWORD) override;
    STDMETHOD(GetClipboardData)(DWORD, IDataObject**) override;
    STDMETHOD(DoVerb)(LONG verb, LPMSG msg, IOleClientSite* activeSite, LONG index, HWND parent, LPCRECT pos) override;
    STDMETHOD(EnumVerbs)(IEnumOLEVERB** ppEnum) override;
    STDMETHOD(Update)() override;
    STDMETHOD(IsUpToDate)() override;
    STDMETHOD(GetUserClassID)(CLSID* clsid) override;
    STDMETHOD(GetUserType)(DWORD form, LPOLESTR* type) override;
    STDMETHOD(SetExtent)(DWORD aspect, SIZEL* size) override;
    STDMETHOD(GetExtent)(DWORD aspect, SIZEL* size) override;
    STDMETHOD(Advise)(IAdviseSink* sink, DWORD* cookie) override;
    STDMETHOD(Unadvise)(DWORD cookie) override;
    STDMETHOD(EnumAdvise)(IEnumSTATDATA** ppEnum) override;
    STDMETHOD(GetMiscStatus)(DWORD aspect, DWORD* status) override;
    STDMETHOD(SetColorScheme)(LOGPALETTE*) override;

    // IPersist, IPersistStreamInit, IPersistPropertyBag, IPersistStorage:
    // the stored formats belong to the control (the Load/Save hooks below).
    STDMETHOD(GetClassID)(CLSID* clsid) override;
    STDMETHOD(IsDirty)() override;
    STDMETHOD(Load)(LPSTREAM stream) override;
    STDMETHOD(Save)(LPSTREAM stream, BOOL clearDirty) override;
    STDMETHOD(GetSizeMax)(ULARGE_INTEGER* size) override;
    STDMETHOD(InitNew)() override;
    STDMETHOD(Load)(IPropertyBag* bag, IErrorLog* log) override;
    STDMETHOD(Save)(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;
    STDMETHOD(InitNew)(IStorage* storage) override;
    STDMETHOD(Load)(IStorage* storage) override;
    STDMETHOD(Save)(IStorage* storage, BOOL sameAsLoad) override;
    STDMETHOD(SaveCompleted)(IStorage* storage) override;
    STDMETHOD(HandsOffStorage)() override;

    // ISupportErrorInfo
    STDMETHOD(InterfaceSupportsErrorInfo)(REFIID iid) override;

    // ISpecifyPropertyPages
    STDMETHOD(GetPages)(CAUUID* pages) override;

    // IQuickActivate
    STDMETHOD(QuickActivate)(QACONTAINER* container, QACONTROL* control) override;
    STDMETHOD(SetContentExtent)(LPSIZEL size) override;
    STDMETHOD(GetContentExtent)(LPSIZEL size) override;

    // IDataObject
    STDMETHOD(GetData)(FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHOD(GetDataHere)(FORMATETC*, STGMEDIUM*) override;
    STDMETHOD(QueryGetData)(FORMATETC* format) override;
    STDMETHOD(GetCanonicalFormatEtc)(FORMATETC*, FORMATETC* out) override;
    STDMETHOD(SetData)(FORMATETC*, STGMEDIUM*, BOOL) override;
    STDMETHOD(EnumFormatEtc)(DWORD, IEnumFORMATETC**) override;
    STDMETHOD(DAdvise)(FORMATETC* format, DWORD advf, IAdviseSink* sink, DWORD* cookie) override;
    STDMETHOD(DUnadvise)(DWORD cookie) override;
    STDMETHOD(EnumDAdvise)(IEnumSTATDATA** ppEnum) override;

    // IProvideClassInfo, IProvideClassInfo2
    STDMETHOD(GetClassInfo)(ITypeInfo** info) override;
    STDMETHOD(GetGUID)(DWORD kind, GUID* guid) override;

    // IPerPropertyBrowsing
    STDMETHOD(GetDisplayString)(DISPID, BSTR*) override;
    STDMETHOD(MapPropertyToPage)(DISPID dispid, CLSID* page) override;
    STDMETHOD(GetPredefinedStrings)(DISPID, CALPOLESTR*, CADWORD*) override;
    STDMETHOD(GetPredefinedValue)(DISPID, DWORD, VARIANT*) override;

    // The framework's own handling of paint, focus and mouse activation of
    // the control window; the control's message table routes to these.
    LRESULT FwOnPaint(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    LRESULT FwOnSetFocus(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    LRESULT FwOnKillFocus(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    LRESULT FwOnMouseActivate(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    // Reflected notifications go to the default procedure as the original message.
    LRESULT FwOnReflected(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);

protected:
    // --- what the control supplies ---
    virtual HWND CreateControlWindow(HWND parent, const RECT& pos) = 0;
    virtual HWND ControlWindow() const = 0;
    virtual HRESULT OnDraw(const DrawInfo& info) = 0;
    // Property table for the page protocols; empty by default.
    virtual const PropertyEntry* Properties(size_t& count) const;

    // --- hooks with the framework's default behaviour ---
    // In-place activation with a verb; every verb of DoVerb goes through it.
    virtual HRESULT InPlaceActivate(LONG verb, const RECT* pos = nullptr);
    virtual HRESULT DoVerbPrimary(const RECT* pos, HWND parent);
    virtual HRESULT DoVerbShow(const RECT* pos, HWND parent);
    virtual HRESULT DoVerbInPlaceActivate(const RECT* pos, HWND parent);
    virtual HRESULT DoVerbUIActivate(const RECT* pos, HWND parent);
    virtual HRESULT DoVerbHide(const RECT* pos, HWND parent);
    virtual HRESULT DoVerbProperties(const RECT* pos, HWND parent);
    // Stored formats; E_NOTIMPL until the control has them.
    virtual HRESULT LoadState(IStream* stream);
    virtual HRESULT SaveState(IStream* stream, BOOL clearDirty);
    virtual HRESULT StateSizeMax(ULARGE_INTEGER* size);
    virtual HRESULT LoadState(IPropertyBag* bag, IErrorLog* log);
    virtual HRESULT SaveState(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll);
    virtual HRESULT InitState();
    // A key message the container offers before dispatching it; true when
    // the control took it, with the answer in result. Keys left here go on
    // to the site's IOleControlSite::TranslateAccelerator.
    virtual bool PreTranslateKey(const MSG& msg, HRESULT& result);

    // --- services for the control ---
    // Asks for a repaint: the window when in place, the view's sink otherwise.
    void FireViewChange();
    // Tells data-advise sinks that the data changed.
    void SendOnDataChange(DWORD advf = 0);
    // Reads an ambient property from the site's IDispatch.
    HRESULT GetAmbientProperty(DISPID dispid, VARIANT& value);
    // TRUE/FALSE from the site, or S_FALSE-like failure when it gives none.
    HRESULT GetAmbientUserMode(BOOL& userMode);
    // Shows the property frame with the table's pages.
    HRESULT ShowPropertyFrame(HWND parent);

    bool IsInPlaceActive() const { return m_inPlaceActive; }
    bool IsUIActive() const { return m_uiActive; }
    LONG FrozenEvents() const { return m_freezeEvents; }
    IOleClientSite* ClientSite() const { return m_clientSite.Get(); }
    IOleInPlaceSite* InPlaceSite() const { return m_inPlaceSite.Get(); }
    void SetDirty(bool dirty) { m_dirty = dirty; }

    const Identity m_id;
    SIZEL m_extent = {0, 0};
    SIZEL m_naturalExtent = {0, 0};
    RECT m_posRect = {0, 0, 0, 0};

private:
    HRESULT CheckSite(IOleClientSite* activeSite) const;

    ComPtr<IOleClientSite> m_clientSite;
    ComPtr<IOleInPlaceSite> m_inPlaceSite;
    ComPtr<IOleInPlaceFrame> m_frame;
    ComPtr<IOleInPlaceUIWindow> m_uiWindow;
    ComPtr<IOleAdviseHolder> m_oleAdvise;
    ComPtr<IDataAdviseHolder> m_dataAdvise;
    ComPtr<IAdviseSink> m_viewSink;
    DWORD m_viewAspects = 0;
    DWORD m_viewAdvf = 0;
    bool m_inPlaceActive = false;
    bool m_uiActive = false;
    bool m_dirty = false;
    bool m_wholeWindowInvalid = false;  // a whole-window repaint is pending
    LONG m_freezeEvents = 0;
};

} // namespace fw
