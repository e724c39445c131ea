// IDispatch over the module's embedded type library, for dual interfaces.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "framework/com_ptr.h"

namespace fw {

// Loads the type information of iid from the type library embedded in this
// module (resource "TYPELIB" 1). For a dual interface, *ppInfo is its
// dispatch view and *ppVtbl its interface half, through which calls go.
HRESULT LoadModuleTypeInfo(REFIID iid, ITypeInfo** ppInfo, ITypeInfo** ppVtbl = nullptr) noexcept;

// Implements IDispatch for the dual interface Dual (whose IID is *piid) by
// letting the type information call the vtable.
template <class Dual, const IID* piid>
class DispatchImpl : public Dual {
public:
    STDMETHOD(GetTypeInfoCount)(UINT* pctinfo) override
    {
        if (!pctinfo) return E_POINTER;
        *pctinfo = 1;
        return S_OK;
    }
    STDMETHOD(GetTypeInfo)(UINT index, LCID, ITypeInfo** ppInfo) override
    {
        if (!ppInfo) return E_POINTER;
        *ppInfo = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        HRESULT hr = EnsureTypeInfo();
        return FAILED(hr) ? hr : m_typeInfo.CopyTo(ppInfo);
    }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        HRESULT hr = EnsureTypeInfo();
        return FAILED(hr) ? hr : m_vtblInfo->GetIDsOfNames(names, count, ids);
    }
    STDMETHOD(Invoke)(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* excep, UINT* argErr) override
    {
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        HRESULT hr = EnsureTypeInfo();
        if (FAILED(hr)) return hr;
        return m_vtblInfo->Invoke(static_cast<Dual*>(this), id, flags, params, result, excep, argErr);
    }

protected:
    HRESULT EnsureTypeInfo()
    {
        if (m_typeInfo) return S_OK;
        return LoadModuleTypeInfo(*piid, m_typeInfo.Put(), m_vtblInfo.Put());
    }

private:
    ComPtr<ITypeInfo> m_typeInfo;
    ComPtr<ITypeInfo> m_vtblInfo;
};

} // namespace fw
