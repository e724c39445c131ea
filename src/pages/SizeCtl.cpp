#include "pages/SizeCtl.h"

const fw::InterfaceEntry* CSizeCtl::Interfaces()
{
    static const fw::InterfaceEntry table[] = {
        {&IID_IUnknown, fw::OffsetOf<IUnknown, CSizeCtl>()},
        FW_END_INTERFACES,
    };
    return table;
}
