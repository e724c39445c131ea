// Sizes and indices no grid can honour: an error or the documented
// clamping, never a crash, a hang or a half-changed table.
#include <windows.h>
#include <gtest/gtest.h>

#include <climits>

#include "framework/com_ptr.h"
#include "kvadra.h"
#include "support/dll.h"

namespace {

fw::ComPtr<ITessera> NewGrid()
{
    fw::ComPtr<ITessera> grid;
    EXPECT_HRESULT_SUCCEEDED(test::CreateFromDll(CLSID_Tessera, nullptr, IID_ITessera, grid.PutVoid()));
    return grid;
}

int Get(ITessera* g, HRESULT (STDMETHODCALLTYPE ITessera::*getter)(int*))
{
    int v = -99;
    (g->*getter)(&v);
    return v;
}

TEST(Robustness, SizesBeyondAnyMemoryAreRefusedAndLeaveTheTableWhole)
{
    fw::ComPtr<ITessera> grid = NewGrid();
    EXPECT_EQ(E_OUTOFMEMORY, grid->put_Rows(INT_MAX));
    EXPECT_EQ(E_OUTOFMEMORY, grid->put_Cols(2000000000));
    EXPECT_EQ(E_OUTOFMEMORY, grid->put_FixedRows(INT_MAX));
    EXPECT_EQ(10, Get(grid.Get(), &ITessera::get_Rows));
    EXPECT_EQ(10, Get(grid.Get(), &ITessera::get_Cols));
    EXPECT_EQ(1, Get(grid.Get(), &ITessera::get_FixedRows));
    EXPECT_EQ(500, Get(grid.Get(), &ITessera::get_TotalWidth));  // ten default columns of 50

    // The table still works after the refusals.
    grid->put_CRegionLeftTopX(9);
    grid->put_CRegionLeftTopY(9);
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_I4;
    V_I4(&v) = 5;
    EXPECT_HRESULT_SUCCEEDED(grid->put_Value(v));
    grid->put_Rows(0);
    EXPECT_EQ(0, Get(grid.Get(), &ITessera::get_Rows));
}

TEST(Robustness, VeryNegativeIndicesActLikeZeroAtOnce)
{
    fw::ComPtr<ITessera> grid = NewGrid();
    fw::Bstr widths(L"1 2 3 4 5 6 7 8 9 10");
    grid->put_Widths(widths.Get());

    grid->InsertCol(INT_MIN);  // new column at position 0
    fw::Bstr text;
    grid->get_Widths(text.Put());
    EXPECT_STREQ(L"50 1 2 3 4 5 6 7 8 9 10", text.Get());

    grid->RemoveCol(INT_MIN);  // column 0 goes
    grid->get_Widths(text.Put());
    EXPECT_STREQ(L"1 2 3 4 5 6 7 8 9 10", text.Get());

    grid->InsertRow(INT_MIN);
    grid->RemoveRow(INT_MIN);
    EXPECT_EQ(10, Get(grid.Get(), &ITessera::get_Rows));
}

} // namespace
