// The DLL under test, loaded into the test process.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include "framework/com_ptr.h"
#include "kvadra.h"

namespace test {

// The module, loaded once per process (from the same path COM uses, so both
// see one module and one lock count).
HMODULE KvadraDll();

template <class Fn>
Fn KvadraExport(const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(KvadraDll(), name)));
}

using DllGetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using DllCanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();
using DllRegisterFn = HRESULT(STDAPICALLTYPE*)();

inline HRESULT CanUnloadNow() { return KvadraExport<DllCanUnloadNowFn>("DllCanUnloadNow")(); }

// Creates an object of the DLL straight from its class factory.
HRESULT CreateFromDll(REFCLSID clsid, IUnknown* outer, REFIID iid, void** ppv);

// A control from the class factory, as ITessera.
fw::ComPtr<ITessera> NewGrid();

} // namespace test
