#include "control/Tessera.h"

CTessera::CTessera() = default;
CTessera::~CTessera() = default;

const fw::InterfaceEntry* CTessera::Interfaces()
{
    static const fw::InterfaceEntry table[] = {
        FW_INTERFACE(ITessera, CTessera),
        FW_INTERFACE_VIA(IDispatch, ITessera, CTessera),
        FW_END_INTERFACES,
    };
    return table;
}
