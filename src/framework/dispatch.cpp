#include "framework/dispatch.h"

#include "framework/module.h"

namespace fw {

HRESULT LoadModuleTypeInfo(REFIID iid, ITypeInfo** ppInfo, ITypeInfo** ppVtbl) noexcept
{
    if (!ppInfo) return E_POINTER;
    *ppInfo = nullptr;
    if (ppVtbl) *ppVtbl = nullptr;
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadTypeLibEx(Module::FilePath().c_str(), REGKIND_NONE, lib.Put());
    if (FAILED(hr)) return hr;
    ComPtr<ITypeInfo> info;
    hr = lib->GetTypeInfoOfGuid(iid, info.Put());
    if (FAILED(hr)) return hr;
    // A dual interface's own entry is its dispatch view; calls must go
    // through the vtable, so find the interface half too.
    ComPtr<ITypeInfo> vtbl = info;
    TYPEATTR* attr = nullptr;
    if (SUCCEEDED(info->GetTypeAttr(&attr))) {
        bool dual = attr->typekind == TKIND_DISPATCH && (attr->wTypeFlags & TYPEFLAG_FDUAL);
        info->ReleaseTypeAttr(attr);
        if (dual) {
            HREFTYPE ref = 0;
            ComPtr<ITypeInfo> half;
            if (SUCCEEDED(info->GetRefTypeOfImplType(-1, &ref)) &&
                SUCCEEDED(info->GetRefTypeInfo(ref, half.Put())))
                vtbl = half;
        }
    }
    *ppInfo = info.Detach();
    if (ppVtbl) *ppVtbl = vtbl.Detach();
    return S_OK;
}

} // namespace fw
