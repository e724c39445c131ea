#include "control/Tessera.h"

namespace {

// OLEMISC_SETCLIENTSITEFIRST | ACTIVATEWHENVISIBLE | INSIDEOUT | CANTLINKINSIDE | RECOMPOSEONRESIZE
constexpr DWORD kMiscStatus = 131473;

const fw::OleControl::Identity kIdentity = {
    CLSID_Tessera, IID_ITessera, DIID__ITesseraEvents, kMiscStatus, VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND,
};

// WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN
constexpr DWORD kWindowStyle = 0x56000000;

fw::WindowClass& ControlClass()
{
    static fw::WindowClass cls(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, COLOR_WINDOW + 1, IDC_ARROW);
    return cls;
}

} // namespace

CTessera::CTessera() : fw::OleControl(kIdentity), CProxy_ITesseraEvents(EventsPoint()) {}

CTessera::~CTessera() = default;

const fw::InterfaceEntry* CTessera::Interfaces()
{
    static const fw::InterfaceEntry table[] = {
        FW_INTERFACE(ITessera, CTessera),
        FW_INTERFACE_VIA(IDispatch, ITessera, CTessera),
        FW_INTERFACE(IViewObjectEx, CTessera),
        FW_INTERFACE_VIA(IViewObject2, IViewObjectEx, CTessera),
        FW_INTERFACE_VIA(IViewObject, IViewObjectEx, CTessera),
        FW_INTERFACE(IOleInPlaceObjectWindowless, CTessera),
        FW_INTERFACE_VIA(IOleInPlaceObject, IOleInPlaceObjectWindowless, CTessera),
        FW_INTERFACE_VIA(IOleWindow, IOleInPlaceObjectWindowless, CTessera),
        FW_INTERFACE(IOleInPlaceActiveObject, CTessera),
        FW_INTERFACE(IOleControl, CTessera),
        FW_INTERFACE(IOleObject, CTessera),
        FW_INTERFACE(IPersistStreamInit, CTessera),
        FW_INTERFACE_VIA(IPersist, IPersistStreamInit, CTessera),
        FW_INTERFACE(IPersistPropertyBag, CTessera),
        FW_INTERFACE(ISupportErrorInfo, CTessera),
        FW_INTERFACE(IConnectionPointContainer, CTessera),
        FW_INTERFACE(ISpecifyPropertyPages, CTessera),
        FW_INTERFACE(IQuickActivate, CTessera),
        FW_INTERFACE(IPersistStorage, CTessera),
        FW_INTERFACE(IDataObject, CTessera),
        FW_INTERFACE_VIA(IProvideClassInfo, IProvideClassInfo2, CTessera),
        FW_INTERFACE(IProvideClassInfo2, CTessera),
        FW_INTERFACE(IPerPropertyBrowsing, CTessera),
        FW_END_INTERFACES,
    };
    return table;
}

HWND CTessera::CreateControlWindow(HWND parent, const RECT& pos)
{
    return m_window.Create(ControlClass(), parent, pos, kWindowStyle);
}
