// Publishes an error description for the caller of an automation member.
#pragma once

#include <windows.h>

namespace fw {

// Makes text available through GetErrorInfo, naming clsid as the source
// and iid as the interface (IID_NULL when none). No help file, context 0.
HRESULT SetErrorDescription(REFCLSID clsid, const wchar_t* text, REFIID iid) noexcept;

} // namespace fw
