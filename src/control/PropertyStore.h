// Saving and loading an object's properties by its property table: the
// binary stream (records of StoredRecord.h) and the property bag. The object
// is reached only through its IDispatch, the way a host would see it; the
// table's entries with DISPID 0 are the extent's width and height.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include "framework/ole_control.h"

namespace persist {

// Where the store's trace lines go; the debugger's channel by default.
using TraceFn = void (*)(const char* line);
void DebugTrace(const char* line);

class CPropertyStore {
public:
    CPropertyStore(IDispatch* object, const fw::PropertyEntry* table, size_t count, SIZEL& extent,
                   TraceFn trace = DebugTrace) noexcept
        : m_object(object), m_table(table), m_count(count), m_extent(extent), m_trace(trace) {}

    HRESULT Load(IStream* stream);
    HRESULT Save(IStream* stream);
    HRESULT SizeMax(ULARGE_INTEGER* size);
    HRESULT Load(IPropertyBag* bag, IErrorLog* log);
    HRESULT Save(IPropertyBag* bag);

private:
    LONG* ExtentOf(size_t index) const noexcept;
    // The property's value, in the table's type where the table names one.
    HRESULT Get(const fw::PropertyEntry& entry, VARIANT& value);
    HRESULT Put(const fw::PropertyEntry& entry, VARIANT& value);
    void Trace(const char* format, const wchar_t* name, long number = 0);

    IDispatch* m_object;
    const fw::PropertyEntry* m_table;
    size_t m_count;
    SIZEL& m_extent;
    TraceFn m_trace;
};

} // namespace persist
