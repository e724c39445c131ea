#include "support/dll.h"

#include <gtest/gtest.h>

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

fw::ComPtr<ITessera> NewGrid()
{
    fw::ComPtr<ITessera> grid;
    EXPECT_HRESULT_SUCCEEDED(CreateFromDll(CLSID_Tessera, nullptr, IID_ITessera, grid.PutVoid()));
    return grid;
}

} // namespace test
