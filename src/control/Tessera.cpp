#include "control/Tessera.h"

#include "control/Trace.h"
#include "framework/module.h"

namespace {

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

CTessera::CTessera()
{
    trace::TraceLine("Constructor for " + PointerText(fw::Module::Instance()));

    m_clrSelectedRangeColor = GetSysColor(COLOR_HIGHLIGHT);
    m_clrSelectedCellColor = GetSysColor(COLOR_WINDOW);
    m_clrFixedColor = GetSysColor(COLOR_BTNFACE);

    m_pFixedFont.Attach(CreateStandardFont());
    m_pSelectedCellFont.Attach(CreateStandardFont());
    m_pSelectedRangeFont.Attach(CreateStandardFont());

    m_nWheelScrollLines = ReadWheelScrollLines();

    // Sized as in design mode, so that the cell region spans the table.
    m_bUserMode = FALSE;
    put_Cols(10);
    put_Rows(10);
    put_FixedRows(1);
    put_FixedCols(1);
    m_bUserMode = TRUE;
}

CTessera::~CTessera()
{
    trace::TraceLine("Destructor");
    CloseEditor();
    put_Rows(0);
    put_Cols(0);
}

const fw::InterfaceEntry* CTessera::Interfaces()
{
    static const fw::InterfaceEntry table[] = {
        FW_INTERFACE(ITessera, CTessera),
        FW_INTERFACE_VIA(IDispatch, ITessera, CTessera),
        FW_END_INTERFACES,
    };
    return table;
}
