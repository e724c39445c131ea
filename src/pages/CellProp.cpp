#include "pages/CellProp.h"

const fw::InterfaceEntry* CCellProp::Interfaces()
{
    static const fw::InterfaceEntry table[] = {
        {&IID_IUnknown, fw::OffsetOf<IUnknown, CCellProp>()},
        FW_END_INTERFACES,
    };
    return table;
}
