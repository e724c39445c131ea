// Owning smart pointers for COM interfaces, BSTRs and VARIANTs.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <utility>

namespace fw {

// Holds one reference on an interface; releases it when it goes.
template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    ComPtr(T* p) noexcept : m_p(p) { if (m_p) m_p->AddRef(); }
    ComPtr(const ComPtr& o) noexcept : ComPtr(o.m_p) {}
    ComPtr(ComPtr&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& o) noexcept { ComPtr(o).Swap(*this); return *this; }
    ComPtr& operator=(ComPtr&& o) noexcept { ComPtr(std::move(o)).Swap(*this); return *this; }
    ComPtr& operator=(T* p) noexcept { ComPtr(p).Swap(*this); return *this; }
    ComPtr& operator=(std::nullptr_t) noexcept { Reset(); return *this; }

    void Reset() noexcept { if (T* p = std::exchange(m_p, nullptr)) p->Release(); }
    void Swap(ComPtr& o) noexcept { std::swap(m_p, o.m_p); }

    // Takes over a reference the caller already owns.
    void Attach(T* p) noexcept { Reset(); m_p = p; }
    T* Detach() noexcept { return std::exchange(m_p, nullptr); }

    T* Get() const noexcept { return m_p; }
    T* operator->() const noexcept { return m_p; }
    explicit operator bool() const noexcept { return m_p != nullptr; }

    // For out-parameters: drops the old reference first.
    T** Put() noexcept { Reset(); return &m_p; }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

    // Hands out a new reference through an out-parameter.
    HRESULT CopyTo(T** pp) const noexcept {
        if (!pp) return E_POINTER;
        *pp = m_p;
        if (m_p) m_p->AddRef();
        return S_OK;
    }

    template <class U>
    HRESULT As(const IID& iid, ComPtr<U>& out) const noexcept {
        if (!m_p) return E_POINTER;
        return m_p->QueryInterface(iid, out.PutVoid());
    }

private:
    T* m_p = nullptr;
};

// Owns a BSTR.
class Bstr {
public:
    Bstr() noexcept = default;
    explicit Bstr(const wchar_t* s) : m_s(s ? SysAllocString(s) : nullptr) {}
    Bstr(Bstr&& o) noexcept : m_s(std::exchange(o.m_s, nullptr)) {}
    Bstr& operator=(Bstr&& o) noexcept { if (this != &o) { Reset(); m_s = std::exchange(o.m_s, nullptr); } return *this; }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { Reset(); }

    void Reset() noexcept { if (m_s) { SysFreeString(m_s); m_s = nullptr; } }
    BSTR Get() const noexcept { return m_s; }
    BSTR* Put() noexcept { Reset(); return &m_s; }
    BSTR Detach() noexcept { return std::exchange(m_s, nullptr); }
    UINT Length() const noexcept { return SysStringLen(m_s); }

private:
    BSTR m_s = nullptr;
};

// Owns a VARIANT; clears it when it goes.
class Variant {
public:
    Variant() noexcept { VariantInit(&m_v); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&m_v); }

    VARIANT* operator&() noexcept { return &m_v; }
    const VARIANT* Ptr() const noexcept { return &m_v; }
    VARIANT* Ptr() noexcept { return &m_v; }
    VARIANT& Ref() noexcept { return m_v; }
    void Clear() noexcept { VariantClear(&m_v); }

private:
    VARIANT m_v;
};

} // namespace fw
