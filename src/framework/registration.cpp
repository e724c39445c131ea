#include "framework/registration.h"

#include <oleauto.h>
#include <new>
#include <string>

#include "framework/com_ptr.h"
#include "framework/module.h"
#include "framework/registry_script.h"

namespace fw {
HRESULT UpdateRegistryFromResource(UINT id, bool install) noexcept
{
    HINSTANCE module = Module::Instance();
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(id), L"REGISTRY");
    if (!res) return HRESULT_FROM_WIN32(GetLastError());
    HGLOBAL data = LoadResource(module, res);
    DWORD size = SizeofResource(module, res);
    const char* text = data ? static_cast<const char*>(LockResource(data)) : nullptr;
    if (!text) return E_FAIL;

    // Scripts are stored as 8-bit text.
    int n = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(size), nullptr, 0);
    std::wstring script(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(size), script.data(), n);
    try {
        return RunRegistryScript(script, {{L"MODULE", Module::FilePath()}}, install);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT UpdateImplementedCategories(REFCLSID clsid, const CATID* cats, ULONG count, bool install) noexcept
{
    ComPtr<ICatRegister> reg;
    HRESULT hr = CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_ICatRegister, reg.PutVoid());
    if (FAILED(hr)) return hr;
    // The manager's signature is not const-correct; it only reads the array.
    CATID* list = const_cast<CATID*>(cats);
    return install ? reg->RegisterClassImplCategories(clsid, count, list)
                   : reg->UnRegisterClassImplCategories(clsid, count, list);
}

HRESULT UpdateModuleTypeLib(bool install) noexcept
{
    std::wstring path = Module::FilePath();
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, lib.Put());
    if (FAILED(hr)) return hr;
    if (install) return RegisterTypeLib(lib.Get(), path.data(), nullptr);

    TLIBATTR* attr = nullptr;
    hr = lib->GetLibAttr(&attr);
    if (FAILED(hr)) return hr;
    hr = UnRegisterTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid, attr->syskind);
    lib->ReleaseTLibAttr(attr);
    return hr;
}

} // namespace fw
