// The shapes most automation accessors share: an optional trace line, then a
// plain read into the out-parameter or a plain store.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "control/Trace.h"

namespace accessor {

template <class T>
HRESULT Get(const char* line, T value, T* pVal)
{
    if (line) trace::TraceLine(line);
    if (!pVal) return E_POINTER;
    *pVal = value;
    return S_OK;
}

// VARIANT_BOOL settings keep the argument sign-extended and hand back the
// low 16 bits.
inline HRESULT GetBool(const char* line, int value, VARIANT_BOOL* pVal)
{
    if (line) trace::TraceLine(line);
    if (!pVal) return E_POINTER;
    *pVal = static_cast<VARIANT_BOOL>(value);
    return S_OK;
}

template <class F, class V>
HRESULT Store(const char* line, F& field, V value)
{
    if (line) trace::TraceLine(line);
    field = value;
    return S_OK;
}

} // namespace accessor
