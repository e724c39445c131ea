// Helpers for the tests that drive a control through ITessera.
#pragma once

#include <ocidl.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/com_ptr.h"
#include "kvadra.h"
#include "support/recording_site.h"

namespace test {

// Points the cell region at one cell, or from it to (row2, col2), for the per-cell properties.
inline void Region(ITessera* g, int row, int col, int row2 = -1, int col2 = -1)
{
    g->put_CRegionLeftTopX(col);
    g->put_CRegionLeftTopY(row);
    g->put_CRegionRightBottomX(col2 < 0 ? col : col2);
    g->put_CRegionRightBottomY(row2 < 0 ? row : row2);
}

// The selection corners as "minCol,minRow-maxCol,maxRow".
inline std::string Corners(ITessera* g)
{
    int v[4] = {};
    g->get_SelectionLeftTopX(&v[0]);
    g->get_SelectionLeftTopY(&v[1]);
    g->get_SelectionRightBottomX(&v[2]);
    g->get_SelectionRightBottomY(&v[3]);
    return std::to_string(v[0]) + "," + std::to_string(v[1]) + "-" + std::to_string(v[2]) + "," +
           std::to_string(v[3]);
}

// This thread's top-level windows of one class, the visible ones only when
// asked: tooltips, and the dialogs of modal frames.
inline std::vector<HWND> ThreadWindows(const wchar_t* cls, bool visible = false)
{
    struct Query {
        const wchar_t* cls;
        bool visible;
        std::vector<HWND> found;
        static BOOL CALLBACK Visit(HWND w, LPARAM lp)
        {
            auto& q = *reinterpret_cast<Query*>(lp);
            wchar_t name[64] = {};
            GetClassNameW(w, name, 64);
            if (lstrcmpiW(name, q.cls) == 0 && (!q.visible || IsWindowVisible(w))) q.found.push_back(w);
            return TRUE;
        }
    } q{cls, visible, {}};
    EnumThreadWindows(GetCurrentThreadId(), Query::Visit, reinterpret_cast<LPARAM>(&q));
    return q.found;
}

// A sink advised on the control's event point until Unadvise or the end.
class EventAdvise {
public:
    EventAdvise() = default;
    EventAdvise(const EventAdvise&) = delete;
    EventAdvise& operator=(const EventAdvise&) = delete;
    ~EventAdvise() { Unadvise(); }

    HRESULT Advise(IUnknown* control, IUnknown* sink)
    {
        fw::ComPtr<IConnectionPointContainer> cpc;
        HRESULT hr = control->QueryInterface(IID_IConnectionPointContainer, cpc.PutVoid());
        if (SUCCEEDED(hr)) hr = cpc->FindConnectionPoint(DIID__ITesseraEvents, m_point.Put());
        if (SUCCEEDED(hr)) hr = m_point->Advise(sink, &m_cookie);
        if (FAILED(hr)) m_point.Reset();
        return hr;
    }
    void Unadvise()
    {
        if (m_point) m_point->Unadvise(m_cookie);
        m_point.Reset();
    }

private:
    fw::ComPtr<IConnectionPoint> m_point;
    DWORD m_cookie = 0;
};

// An object stored as a cell's value. Reading its value runs the host's
// code in onRead, which may change the grid, and then answers `answer`.
class HostValue final : public Counted<IDispatch> {
public:
    std::function<void()> onRead;
    fw::Variant answer;
    int reads = 0;

    VARIANT AsVariant() { VARIANT v = {}; v.vt = VT_DISPATCH, v.pdispVal = this; return v; }
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override
    {
        if (!ppv) return E_POINTER;
        *ppv = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ? static_cast<IDispatch*>(this) : nullptr;
        if (!*ppv) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHOD(GetTypeInfoCount)(UINT* count) override { return NoTypeInfo(count); }
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo** info) override { return Cleared(info, E_NOTIMPL); }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHOD(Invoke)(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override
    {
        if (id != DISPID_VALUE || !result) return DISP_E_MEMBERNOTFOUND;
        ++reads;
        if (onRead) onRead();
        VariantInit(result);
        return VariantCopy(result, answer.Ptr());
    }
};

} // namespace test
