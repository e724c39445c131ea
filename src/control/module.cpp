// Entry points of Kvadra.DLL: class objects, unloading and registration.
#include <windows.h>
#include <comcat.h>

#include "kvadra.h"
#include "control/Tessera.h"
#include "framework/class_factory.h"
#include "framework/module.h"
#include "framework/object.h"
#include "framework/registration.h"
#include "pages/CellProp.h"
#include "pages/GenProp.h"
#include "pages/SizeCtl.h"
#include "resources/resource.h"

namespace {

// The control is safe for scripting and for initialising from stored data.
const CATID kSafeForScripting = {0x7DD95801, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}};
const CATID kSafeForInitializing = {0x7DD95802, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}};
const CATID kControlCategories[] = {kSafeForScripting, kSafeForInitializing};

struct ClassEntry {
    const CLSID* clsid;
    fw::CreatorFn create;
    UINT registryScript;
    const CATID* categories;
    ULONG categoryCount;
};

const ClassEntry kClasses[] = {
    {&CLSID_Tessera, fw::CreateInstance<CTessera>, IDR_TESSERA, kControlCategories, 2},
    {&CLSID_SizeCtl, fw::CreateInstance<CSizeCtl>, IDR_SIZECTL, nullptr, 0},
    {&CLSID_GenProp, fw::CreateInstance<CGenProp>, IDR_GENPROP, nullptr, 0},
    {&CLSID_CellProp, fw::CreateInstance<CCellProp>, IDR_CELLPROP, nullptr, 0},
};

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        fw::Module::Init(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllCanUnloadNow()
{
    return fw::Module::LockCount() == 0 ? S_OK : S_FALSE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    for (const ClassEntry& c : kClasses) {
        if (IsEqualCLSID(clsid, *c.clsid)) return fw::ClassFactory::Create(c.create, iid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllRegisterServer()
{
    fw::ScopedComInit com;
    for (const ClassEntry& c : kClasses) {
        HRESULT hr = fw::UpdateRegistryFromResource(c.registryScript, true);
        if (FAILED(hr)) return hr;
        if (c.categoryCount) {
            hr = fw::UpdateImplementedCategories(*c.clsid, c.categories, c.categoryCount, true);
            if (FAILED(hr)) return hr;
        }
    }
    return fw::UpdateModuleTypeLib(true);
}

// Undoes as much as it can, and reports the first failure.
STDAPI DllUnregisterServer()
{
    fw::ScopedComInit com;
    HRESULT result = S_OK;
    auto note = [&result](HRESULT hr) { if (FAILED(hr) && SUCCEEDED(result)) result = hr; };
    for (const ClassEntry& c : kClasses) {
        if (c.categoryCount)
            note(fw::UpdateImplementedCategories(*c.clsid, c.categories, c.categoryCount, false));
        note(fw::UpdateRegistryFromResource(c.registryScript, false));
    }
    note(fw::UpdateModuleTypeLib(false));
    return result;
}
