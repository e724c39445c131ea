// A property bag of named values that converts on read, as the platform's
// bags do, and notes what was written and asked for.
#pragma once

#include <ocidl.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "framework/com_ptr.h"

namespace control_test {

class Bag final : public IPropertyBag {
public:
    std::map<std::wstring, VARTYPE> asked;
    std::vector<std::pair<std::wstring, VARTYPE>> written;

    void Set(const wchar_t* key, const wchar_t* text)
    {
        VARIANT& v = m_values[key].Ref();
        VariantClear(&v);
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocString(text);
    }
    void SetColor(const wchar_t* key, ULONG color)
    {
        VARIANT& v = m_values[key].Ref();
        VariantClear(&v);
        v.vt = VT_UI4;
        v.ulVal = color;
    }

    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override
    {
        *ppv = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyBag) ? this : nullptr;
        return *ppv ? S_OK : E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(Read)(LPCOLESTR name, VARIANT* v, IErrorLog*) override
    {
        asked[name] = v->vt;
        auto it = m_values.find(name);
        if (it == m_values.end()) return E_INVALIDARG;
        VARTYPE want = v->vt;
        VariantInit(v);
        return want == VT_EMPTY ? VariantCopy(v, it->second.Ptr()) : VariantChangeType(v, it->second.Ptr(), 0, want);
    }
    STDMETHOD(Write)(LPCOLESTR name, VARIANT* v) override
    {
        written.emplace_back(name, v->vt);
        return VariantCopy(m_values[name].Ptr(), v);
    }

private:
    std::map<std::wstring, fw::Variant> m_values;
};

} // namespace control_test
