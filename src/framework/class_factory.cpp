#include "framework/class_factory.h"

#include <new>

#include "framework/module.h"

namespace fw {

STDMETHODIMP ClassFactory::QueryInterface(REFIID iid, void** ppv)
{
    if (!ppv) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) ClassFactory::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }

STDMETHODIMP_(ULONG) ClassFactory::Release()
{
    ULONG n = static_cast<ULONG>(InterlockedDecrement(&m_refs));
    if (n == 0) delete this;
    return n;
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** ppv)
{
    return m_create(outer, iid, ppv);
}

// A factory by itself does not keep the module loaded; LockServer does.
STDMETHODIMP ClassFactory::LockServer(BOOL lock)
{
    if (lock) Module::Lock();
    else Module::Unlock();
    return S_OK;
}

HRESULT ClassFactory::Create(CreatorFn create, REFIID iid, void** ppv) noexcept
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    auto* factory = new (std::nothrow) ClassFactory(create);
    if (!factory) return E_OUTOFMEMORY;
    factory->AddRef();
    HRESULT hr = factory->QueryInterface(iid, ppv);
    factory->Release();
    return hr;
}

} // namespace fw
