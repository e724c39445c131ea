#include "pages/GenProp.h"

const fw::InterfaceEntry* CGenProp::Interfaces()
{
    static const fw::InterfaceEntry table[] = {
        {&IID_IUnknown, fw::OffsetOf<IUnknown, CGenProp>()},
        FW_END_INTERFACES,
    };
    return table;
}
