#include "support/dll.h"

#include <unknwn.h>

#include "framework/com_ptr.h"

namespace test {

HMODULE KvadraDll()
{
    static HMODULE module = LoadLibraryW(KVADRA_DLL_PATH);
    return module;
}

HRESULT CreateFromDll(REFCLSID clsid, IUnknown* outer, REFIID iid, void** ppv)
{
    auto get = KvadraExport<DllGetClassObjectFn>("DllGetClassObject");
    if (!get) return E_FAIL;
    fw::ComPtr<IClassFactory> factory;
    HRESULT hr = get(clsid, IID_IClassFactory, factory.PutVoid());
    if (FAILED(hr)) return hr;
    return factory->CreateInstance(outer, iid, ppv);
}

} // namespace test
