#include "control/Tessera.h"

#include "control/Trace.h"
#include "framework/module.h"

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


// "%p" as the C runtime prints it: upper-case hex, as wide as a pointer.
std::string PointerText(const void* p)
{
    static const char digits[] = "0123456789ABCDEF";
    auto value = reinterpret_cast<std::uintptr_t>(p);
    std::string text(sizeof(void*) * 2, '0');
    for (size_t i = text.size(); i-- > 0; value >>= 4) text[i] = digits[value & 0xF];
    return text;
}

int ReadWheelScrollLines()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 3;
    char buffer[128] = {};
    DWORD size = sizeof buffer - 1;
    LONG rc = RegQueryValueExA(key, "WheelScrollLines", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return 3;
    return CGridTable::Atoi(buffer, buffer + std::char_traits<char>::length(buffer));
}

} // namespace

CTessera::CTessera() : fw::OleControl(kIdentity), CProxy_ITesseraEvents(EventsPoint())
{
    trace::TraceLine("Constructor for " + PointerText(fw::Module::Instance()));

    m_clrSelectedRangeColor = GetSysColor(COLOR_HIGHLIGHT);
    m_clrSelectedCellColor = GetSysColor(COLOR_WINDOW);
    m_clrFixedColor = GetSysColor(COLOR_BTNFACE);

    m_pFixedFont.Attach(CreateStandardFont());
    m_pSelectedCellFont.Attach(CreateStandardFont());
    m_pSelectedRangeFont.Attach(CreateStandardFont());

    m_nWheelScrollLines = ReadWheelScrollLines();
    TakeMetrics();

    // Sized as in design mode, so that the cell region spans the table.
    m_bUserMode = FALSE;
    put_Cols(10);
    put_Rows(10);
    put_FixedRows(1);
    put_FixedCols(1);
    m_extent = m_naturalExtent = {10160, 7620};
    m_bUserMode = TRUE;
}

CTessera::~CTessera()
{
    trace::TraceLine("Destructor");
    DisconnectAccessible();
    CloseEditor();
    put_Rows(0);
    put_Cols(0);
    m_window.Destroy();
}

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
