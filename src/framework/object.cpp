#include "framework/object.h"

namespace fw {

HRESULT ObjectRoot::InternalQueryInterface(void* self, const InterfaceEntry* table,
                                           REFIID iid, void** ppv) noexcept
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    char* base = static_cast<char*>(self);
    if (IsEqualIID(iid, IID_IUnknown)) {
        auto* unk = reinterpret_cast<IUnknown*>(base + table[0].offset);
        unk->AddRef();
        *ppv = unk;
        return S_OK;
    }
    for (const InterfaceEntry* e = table; e->iid; ++e) {
        if (IsEqualIID(iid, *e->iid)) {
            auto* unk = reinterpret_cast<IUnknown*>(base + e->offset);
            unk->AddRef();
            *ppv = unk;
            return S_OK;
        }
    }
    return E_NOINTERFACE;
}

} // namespace fw
