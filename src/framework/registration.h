// Registration of a server module: registry scripts, component categories
// and the embedded type library.
#pragma once

#include <windows.h>
#include <comcat.h>

namespace fw {

// Runs the "REGISTRY" resource id of this module, with %MODULE% standing
// for the module's full path.
HRESULT UpdateRegistryFromResource(UINT id, bool install) noexcept;

// Marks clsid as implementing (or no longer implementing) the categories.
HRESULT UpdateImplementedCategories(REFCLSID clsid, const CATID* cats, ULONG count, bool install) noexcept;

// Registers or unregisters the type library embedded as "TYPELIB" 1.
HRESULT UpdateModuleTypeLib(bool install) noexcept;

// Keeps COM initialised on this thread for the scope; registration can be
// called by hosts that have not done so.
class ScopedComInit {
public:
    ScopedComInit() noexcept : m_hr(CoInitialize(nullptr)) {}
    ~ScopedComInit() { if (SUCCEEDED(m_hr)) CoUninitialize(); }
    ScopedComInit(const ScopedComInit&) = delete;
    ScopedComInit& operator=(const ScopedComInit&) = delete;

private:
    HRESULT m_hr;
};

} // namespace fw
