// Runs registry scripts: the nested key/value text of "REGISTRY" resources.
//
//   HKCR { NoRemove CLSID { ForceRemove {guid} = s 'Name' { val V = s 'x' } } }
//
// Installing creates the keys and sets their values (a ForceRemove key is
// first deleted whole). Removing deletes what the script created: a
// ForceRemove key whole, a plain key once it has no subkeys left; NoRemove
// keys stay. %NAME% stands for a replacement, %% for a percent sign.
#pragma once

#include <windows.h>
#include <string>
#include <utility>
#include <vector>

namespace fw {

using Replacements = std::vector<std::pair<std::wstring, std::wstring>>;

// E_INVALIDARG for a malformed script (nothing is written then), or the
// first registry failure.
HRESULT RunRegistryScript(const std::wstring& script, const Replacements& replacements, bool install);

} // namespace fw
