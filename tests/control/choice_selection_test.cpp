// Choice lists over the cell region, and what a host sees of the selection
// through the DLL.
#include <windows.h>
#include <gtest/gtest.h>
#include <ocidl.h>

#include <string>
#include <vector>

#include "framework/com_ptr.h"
#include "kvadra.h"
#include "support/ax_host.h"
#include "support/dll.h"

namespace {

fw::ComPtr<ITessera> NewGrid()
{
    fw::ComPtr<ITessera> grid;
    EXPECT_HRESULT_SUCCEEDED(test::CreateFromDll(CLSID_Tessera, nullptr, IID_ITessera, grid.PutVoid()));
    return grid;
}

void SetRegion(ITessera* g, int col1, int row1, int col2, int row2)
{
    g->put_CRegionLeftTopX(col1);
    g->put_CRegionLeftTopY(row1);
    g->put_CRegionRightBottomX(col2);
    g->put_CRegionRightBottomY(row2);
}

VARIANT Int(int n)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = n;
    return v;
}

// Entry index of the cell as "text=value", "<null>" for a null text,
// "<E_INVALIDARG>" and the like for a failure.
std::wstring Entry(ITessera* g, int col, int row, int index)
{
    SetRegion(g, col, row, col, row);
    fw::Bstr text;
    HRESULT hr = g->get_CRVariantText(index, text.Put());
    if (FAILED(hr)) return hr == E_INVALIDARG ? L"<E_INVALIDARG>" : L"<fail>";
    fw::Variant value;
    if (FAILED(g->get_CRVariantValue(index, &value))) return L"<value fail>";
    std::wstring out = text.Get() ? text.Get() : L"<null>";
    out += L"=" + std::to_wstring(value.Ref().vt) + L":";
    if (SUCCEEDED(VariantChangeType(&value, &value, 0, VT_BSTR))) out += value.Ref().bstrVal;
    return out;
}

TEST(ChoiceList, RegionOperationsReachEveryCellAndOnlyThose)
{
    auto g = NewGrid();
    SetRegion(g.Get(), 1, 1, 2, 3);  // 2 columns x 3 rows
    ASSERT_HRESULT_SUCCEEDED(g->AddCRVariant(Int(1), fw::Bstr(L"One").Get()));
    for (int col = 1; col <= 2; ++col)
        for (int row = 1; row <= 3; ++row) EXPECT_EQ(L"One=3:1", Entry(g.Get(), col, row, 0)) << col << row;
    EXPECT_EQ(L"<E_INVALIDARG>", Entry(g.Get(), 0, 1, 0));

    // A value of another type replaces the value and keeps the text.
    SetRegion(g.Get(), 1, 1, 2, 3);
    fw::Variant text;
    text.Ref().vt = VT_BSTR;
    text.Ref().bstrVal = SysAllocString(L"x");
    ASSERT_HRESULT_SUCCEEDED(g->put_CRVariantValue(0, text.Ref()));
    EXPECT_EQ(L"One=8:x", Entry(g.Get(), 2, 3, 0));

    SetRegion(g.Get(), 1, 1, 1, 3);
    ASSERT_HRESULT_SUCCEEDED(g->ClearCRVariants());
    EXPECT_EQ(L"<E_INVALIDARG>", Entry(g.Get(), 1, 2, 0));
    EXPECT_EQ(L"One=8:x", Entry(g.Get(), 2, 2, 0));

    // Entries travel with their cell.
    ASSERT_HRESULT_SUCCEEDED(g->ExchangeCols(2, 7));
    EXPECT_EQ(L"One=8:x", Entry(g.Get(), 7, 1, 0));
    EXPECT_EQ(L"<E_INVALIDARG>", Entry(g.Get(), 2, 1, 0));
}

TEST(ChoiceList, NullTextsAndReferencedValuesAreStoredAsOwnCopies)
{
    auto g = NewGrid();
    SetRegion(g.Get(), 1, 1, 1, 1);
    ASSERT_HRESULT_SUCCEEDED(g->AddCRVariant(Int(7), nullptr));
    EXPECT_EQ(L"<null>=3:7", Entry(g.Get(), 1, 1, 0));

    LONG caller = 42;
    fw::Variant ref;
    ref.Ref().vt = VT_I4 | VT_BYREF;
    ref.Ref().plVal = &caller;
    ASSERT_HRESULT_SUCCEEDED(g->AddCRVariant(ref.Ref(), fw::Bstr(L"ref").Get()));
    caller = 0;
    EXPECT_EQ(L"ref=3:42", Entry(g.Get(), 1, 1, 1));

    ASSERT_HRESULT_SUCCEEDED(g->put_CRVariantText(0, fw::Bstr(L"Seven").Get()));
    ASSERT_HRESULT_SUCCEEDED(g->put_CRVariantText(1, nullptr));
    EXPECT_EQ(L"Seven=3:7", Entry(g.Get(), 1, 1, 0));
    EXPECT_EQ(L"<null>=3:42", Entry(g.Get(), 1, 1, 1));
}

TEST(ChoiceList, IndicesOutsideAListAreRefusedWithoutTouchingAnyCell)
{
    auto g = NewGrid();
    SetRegion(g.Get(), 1, 1, 3, 1);
    g->AddCRVariant(Int(1), fw::Bstr(L"One").Get());
    SetRegion(g.Get(), 1, 1, 2, 1);
    g->AddCRVariant(Int(2), fw::Bstr(L"Two").Get());  // column 3 has no entry 1

    fw::Variant value;
    fw::Bstr text;
    for (int index : {-1, 2}) {
        EXPECT_EQ(E_INVALIDARG, g->get_CRVariantValue(index, &value));
        EXPECT_EQ(VT_EMPTY, value.Ref().vt);
        EXPECT_EQ(E_INVALIDARG, g->get_CRVariantText(index, text.Put()));
    }
    SetRegion(g.Get(), 1, 1, 3, 1);
    EXPECT_EQ(E_INVALIDARG, g->put_CRVariantValue(1, Int(9)));
    EXPECT_EQ(E_INVALIDARG, g->put_CRVariantText(1, fw::Bstr(L"Nine").Get()));
    EXPECT_EQ(L"Two=3:2", Entry(g.Get(), 1, 1, 1));
    EXPECT_EQ(L"Two=3:2", Entry(g.Get(), 2, 1, 1));

    // Without a first cell the getters fail as the other per-cell ones do.
    g->put_Rows(0);
    EXPECT_EQ(E_FAIL, g->get_CRVariantValue(0, &value));
    EXPECT_EQ(E_FAIL, g->get_CRVariantText(0, text.Put()));
}

// Counts the control's events by DISPID.
class CountingSink final : public IDispatch {
public:
    std::vector<DISPID> ids;

    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, DIID__ITesseraEvents)) {
            *ppv = static_cast<IDispatch*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(GetTypeInfoCount)(UINT* n) override { *n = 0; return S_OK; }
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHOD(Invoke)(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        ids.push_back(id);
        return S_OK;
    }
};

TEST(Selection, HostSeesAnEmptySelectionAndClearSelectionOnlyRepaints)
{
    test::AxHost host(L"Kvadra.Tessera.1");
    fw::ComPtr<ITessera> g;
    ASSERT_TRUE(host.Control());
    ASSERT_HRESULT_SUCCEEDED(host.Control()->QueryInterface(IID_ITessera, g.PutVoid()));

    CountingSink sink;
    fw::ComPtr<IConnectionPointContainer> cpc;
    fw::ComPtr<IConnectionPoint> point;
    DWORD cookie = 0;
    ASSERT_HRESULT_SUCCEEDED(g->QueryInterface(IID_IConnectionPointContainer, cpc.PutVoid()));
    ASSERT_HRESULT_SUCCEEDED(cpc->FindConnectionPoint(DIID__ITesseraEvents, point.Put()));
    ASSERT_HRESULT_SUCCEEDED(point->Advise(&sink, &cookie));

    // Only the user starts a selection: a corner alone selects nothing.
    ASSERT_HRESULT_SUCCEEDED(g->put_SelectionLeftTopX(3));
    int n = 0;
    g->get_SelectionLeftTopX(&n);
    EXPECT_EQ(-1, n);
    EXPECT_TRUE(sink.ids.empty());

    ASSERT_HRESULT_SUCCEEDED(g->ClearSelection());
    EXPECT_EQ(std::vector<DISPID>{15}, sink.ids);  // ViewChange
    g->get_CurrentCellRow(&n);
    EXPECT_EQ(-1, n);

    point->Unadvise(cookie);
}

} // namespace
