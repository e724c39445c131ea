// What the control's tests share: reading a member, values, streams and
// property bags as hosts hand them to the control, and bytes as the
// stored-record reader's source.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <algorithm>
#include <initializer_list>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "control/StoredRecord.h"
#include "framework/com_ptr.h"
#include "kvadra.h"

namespace control_test {

using Bytes = std::vector<uint8_t>;

// Class ids as the stream stores them: the standard font's, and the
// control's own (an object that loading must not make).
inline const Bytes kFontClass = {0x03, 0x52, 0xE3, 0x0B, 0x91, 0x8F, 0xCE, 0x11, 0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51};
inline const Bytes kOwnClass = {0x3A, 0x27, 0xC3, 0x8C, 0xF6, 0x7B, 0xAD, 0x42, 0x9C, 0xB4, 0x72, 0x14, 0xA7, 0x24, 0x01, 0xCF};

inline Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

template <class I>
fw::ComPtr<I> As(IUnknown* u, REFIID iid)
{
    fw::ComPtr<I> p;
    u->QueryInterface(iid, p.PutVoid());
    return p;
}

// An int member's value, -99 when the getter leaves it.
inline int IntOf(ITessera* g, HRESULT (STDMETHODCALLTYPE ITessera::*get)(int*))
{
    int v = -99;
    (g->*get)(&v);
    return v;
}

// The value of the region's first cell as text, "<fail>" when there is none.
inline std::wstring ValueText(ITessera* g)
{
    fw::Variant v;
    if (FAILED(g->get_Value(&v))) return L"<fail>";
    if (FAILED(VariantChangeType(&v, &v, 0, VT_BSTR))) return L"<type>";
    return v.Ref().bstrVal;
}

inline fw::Variant& Text(fw::Variant& v, const wchar_t* s)
{
    v.Clear();
    v.Ref().vt = VT_BSTR;
    v.Ref().bstrVal = SysAllocString(s);
    return v;
}

inline VARIANT Int(int n) { VARIANT v = {}; v.vt = VT_I4, v.lVal = n; return v; }

inline Bytes ReadAll(IStream* s)
{
    STATSTG st = {};
    s->Stat(&st, STATFLAG_NONAME);
    LARGE_INTEGER zero = {};
    s->Seek(zero, STREAM_SEEK_SET, nullptr);
    Bytes b(static_cast<size_t>(st.cbSize.QuadPart));
    ULONG got = 0;
    if (!b.empty()) s->Read(b.data(), static_cast<ULONG>(b.size()), &got);
    b.resize(got);
    return b;
}

inline fw::ComPtr<IStream> StreamOf(const Bytes& b)
{
    fw::ComPtr<IStream> s;
    CreateStreamOnHGlobal(nullptr, TRUE, s.Put());
    ULONG put = 0;
    if (!b.empty()) s->Write(b.data(), static_cast<ULONG>(b.size()), &put);
    LARGE_INTEGER zero = {};
    s->Seek(zero, STREAM_SEEK_SET, nullptr);
    return s;
}

class BytesSource final : public record::Source {
public:
    explicit BytesSource(const Bytes& b, bool knowsSize = true) : m_b(b), m_knowsSize(knowsSize) {}
    size_t Read(void* buffer, size_t size) override
    {
        size_t n = std::min(size, m_b.size() - m_pos);
        if (n) std::memcpy(buffer, m_b.data() + m_pos, n);
        m_pos += n;
        return n;
    }
    bool Remaining(uint64_t& bytes) override
    {
        bytes = m_b.size() - m_pos;
        return m_knowsSize;
    }

private:
    const Bytes& m_b;
    size_t m_pos = 0;
    bool m_knowsSize;
};

// A property bag of named values that converts on read, as the platform's
// bags do, and notes what was written and asked for.
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
