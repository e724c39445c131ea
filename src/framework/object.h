// COM object plumbing: interface tables, reference counting, aggregation.
//
// A class T derives from ObjectRoot and from its interfaces, and names its
// interfaces in a table:
//
//     static const fw::InterfaceEntry* Interfaces();
//
// T leaves IUnknown's three methods abstract; ComObject<T> (standalone) or
// AggObject<T> (inside an outer object) supplies them.
#pragma once

#include <windows.h>
#include <unknwn.h>
#include <cstddef>
#include <new>

#include "framework/module.h"

namespace fw {

struct InterfaceEntry {
    const IID* iid;      // null ends the table
    std::ptrdiff_t offset;  // from the start of the object to the interface's vtable pointer
};

// Distance from T to its base I, as a static_cast computes it.
template <class I, class T>
std::ptrdiff_t OffsetOf() noexcept
{
    // Any suitably aligned non-null address does; nothing is dereferenced.
    alignas(T) static char probe[sizeof(T)];
    T* t = reinterpret_cast<T*>(probe);
    return reinterpret_cast<char*>(static_cast<I*>(t)) - reinterpret_cast<char*>(t);
}

// Table entry for an interface reached through one of T's bases (IDispatch
// through a dual interface, IViewObject through IViewObjectEx, ...).
#define FW_INTERFACE(Iface, Class) { &IID_##Iface, ::fw::OffsetOf<Iface, Class>() }
#define FW_INTERFACE_VIA(Iface, Via, Class) { &IID_##Iface, ::fw::OffsetOf<Via, Class>() }
#define FW_END_INTERFACES { nullptr, 0 }

class ObjectRoot {
public:
    ObjectRoot() = default;
    ObjectRoot(const ObjectRoot&) = delete;
    ObjectRoot& operator=(const ObjectRoot&) = delete;
    virtual ~ObjectRoot() = default;

    // Runs once the object has its final identity (its outer unknown is known).
    HRESULT FinalConstruct() { return S_OK; }
    // Runs before the object is destroyed, while it is still whole.
    void FinalRelease() {}

    // The unknown that speaks for this object: the outer one when aggregated.
    IUnknown* ControllingUnknown() const noexcept { return m_controlling; }

    ULONG InternalAddRef() noexcept { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
    ULONG InternalRelease() noexcept { return static_cast<ULONG>(InterlockedDecrement(&m_refs)); }

    // Answers from the table; IUnknown is the first entry, which gives the
    // object one identity.
    static HRESULT InternalQueryInterface(void* self, const InterfaceEntry* table,
                                          REFIID iid, void** ppv) noexcept;

protected:
    LONG m_refs = 0;
    IUnknown* m_controlling = nullptr;

    template <class T> friend class ComObject;
    template <class T> friend class ContainedObject;
};

// A standalone object: owns its reference count and keeps the module locked.
template <class T>
class ComObject final : public T {
public:
    ComObject()
    {
        Module::Lock();
        this->m_controlling = reinterpret_cast<IUnknown*>(
            reinterpret_cast<char*>(static_cast<T*>(this)) + T::Interfaces()[0].offset);
    }
    ~ComObject() override { Module::Unlock(); }

    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override
    {
        return ObjectRoot::InternalQueryInterface(static_cast<T*>(this), T::Interfaces(), iid, ppv);
    }
    STDMETHOD_(ULONG, AddRef)() override { return this->InternalAddRef(); }
    STDMETHOD_(ULONG, Release)() override
    {
        ULONG n = this->InternalRelease();
        if (n == 0) {
            this->m_refs = 1;  // keep calls made during the final release from re-entering
            this->FinalRelease();
            delete this;
        }
        return n;
    }
};

// The inner part of an aggregated object: IUnknown goes to the outer object.
template <class T>
class ContainedObject final : public T {
public:
    explicit ContainedObject(IUnknown* outer) { this->m_controlling = outer; }

    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override { return this->m_controlling->QueryInterface(iid, ppv); }
    STDMETHOD_(ULONG, AddRef)() override { return this->m_controlling->AddRef(); }
    STDMETHOD_(ULONG, Release)() override { return this->m_controlling->Release(); }
};

// An aggregated object: this IUnknown is the non-delegating inner unknown
// that only the outer object holds.
template <class T>
class AggObject final : public IUnknown {
public:
    explicit AggObject(IUnknown* outer) : m_inner(outer) { Module::Lock(); }
    AggObject(const AggObject&) = delete;
    AggObject& operator=(const AggObject&) = delete;
    virtual ~AggObject() { Module::Unlock(); }

    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override
    {
        if (!ppv) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown)) {
            *ppv = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        return ObjectRoot::InternalQueryInterface(static_cast<T*>(&m_inner), T::Interfaces(), iid, ppv);
    }
    STDMETHOD_(ULONG, AddRef)() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
    STDMETHOD_(ULONG, Release)() override
    {
        ULONG n = static_cast<ULONG>(InterlockedDecrement(&m_refs));
        if (n == 0) {
            m_refs = 1;
            m_inner.FinalRelease();
            delete this;
        }
        return n;
    }

    T& Inner() noexcept { return m_inner; }

private:
    LONG m_refs = 0;
    ContainedObject<T> m_inner;
};

// Creates a T, standalone or aggregated into outer, and asks it for iid.
template <class T>
HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** ppv) noexcept
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    try {
        if (outer) {
            auto* obj = new AggObject<T>(outer);
            obj->AddRef();
            HRESULT hr = obj->Inner().FinalConstruct();
            if (SUCCEEDED(hr)) hr = obj->QueryInterface(iid, ppv);
            obj->Release();
            return hr;
        }
        auto* obj = new ComObject<T>();
        obj->AddRef();
        HRESULT hr = obj->FinalConstruct();
        if (SUCCEEDED(hr)) hr = obj->QueryInterface(iid, ppv);
        obj->Release();
        return hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

} // namespace fw
