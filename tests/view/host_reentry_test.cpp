// A cell value that is an object is converted through the host's own code,
// which may call back into the grid and drop the very cell being painted.
#include <windows.h>
#include <gtest/gtest.h>

#include "view/windowed_grid.h"

namespace {

// An object whose value is "2.5"; once armed, reading it shrinks the grid.
class ShrinkingValue final : public IDispatch {
public:
    ITessera* grid = nullptr;
    bool armed = false;
    int reads = 0;

    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++m_refs; }
    STDMETHOD_(ULONG, Release)() override { return --m_refs; }
    STDMETHOD(GetTypeInfoCount)(UINT* n) override { *n = 0; return S_OK; }
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHOD(Invoke)(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override
    {
        if (id != DISPID_VALUE || !result) return DISP_E_MEMBERNOTFOUND;
        ++reads;
        if (armed) {
            armed = false;
            grid->put_Rows(1);
        }
        V_VT(result) = VT_BSTR;
        V_BSTR(result) = SysAllocString(L"2.5");
        return S_OK;
    }
    ULONG Refs() const { return m_refs; }

private:
    ULONG m_refs = 1;
};

TEST(HostReentry, PaintSurvivesAValueThatDropsItsCell)
{
    auto windowed = std::make_unique<view_test::Grid>();
    HWND hwnd = windowed->Window();
    ITessera* grid = windowed->Itf();
    grid->put_Rows(6);
    grid->put_Cols(4);
    grid->put_CRegionLeftTopX(2);
    grid->put_CRegionLeftTopY(2);
    grid->put_CRegionRightBottomX(2);
    grid->put_CRegionRightBottomY(2);

    // A type outside the known ones stores the object as it is; a number
    // type set afterwards keeps it, since it converts.
    grid->put_CType(8);
    ShrinkingValue object;
    object.grid = grid;
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_DISPATCH;
    V_DISPATCH(&v) = &object;
    ASSERT_HRESULT_SUCCEEDED(grid->put_Value(v));
    grid->put_CType(4);
    fw::Bstr pattern(L"0.00");
    grid->put_NUMFormat(pattern.Get());

    object.armed = true;
    const int reads = object.reads;
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
    EXPECT_GT(object.reads, reads);
    EXPECT_FALSE(object.armed);
    int rows = 0;
    grid->get_Rows(&rows);
    EXPECT_EQ(1, rows);
    // The dropped cell let go of the object; nothing else holds it.
    windowed.reset();
    EXPECT_EQ(1u, object.Refs());
}

} // namespace
