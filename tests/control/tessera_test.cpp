// The control through its class factory: defaults, the cell region, per-cell
// members, colours, values, fonts, table members and the trace file.
#include <windows.h>
#include <gtest/gtest.h>
#include <olectl.h>

#include <string>

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

std::string TraceFile()
{
    HANDLE f = CreateFileA("c:\\tmp\\log", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return "<none>";
    char buffer[4096];
    DWORD read = 0;
    ReadFile(f, buffer, sizeof buffer, &read, nullptr);
    CloseHandle(f);
    return std::string(buffer, read);
}

std::wstring ErrorDescription()
{
    fw::ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.Put()) != S_OK || !info) return L"<none>";
    fw::Bstr text;
    info->GetDescription(text.Put());
    return text.Get() ? text.Get() : L"";
}

std::wstring Widths(ITessera* grid)
{
    fw::Bstr text;
    EXPECT_HRESULT_SUCCEEDED(grid->get_Widths(text.Put()));
    return text.Get() ? text.Get() : L"";
}

void SetRegion(ITessera* g, int col1, int row1, int col2, int row2)
{
    g->put_CRegionLeftTopX(col1);
    g->put_CRegionLeftTopY(row1);
    g->put_CRegionRightBottomX(col2);
    g->put_CRegionRightBottomY(row2);
}

int AlignmentAt(ITessera* g, int col, int row)
{
    SetRegion(g, col, row, col, row);
    int value = -99;
    g->get_Alignment(&value);
    return value;
}

fw::Variant& Text(fw::Variant& v, const wchar_t* s)
{
    v.Clear();
    v.Ref().vt = VT_BSTR;
    v.Ref().bstrVal = SysAllocString(s);
    return v;
}

std::wstring ValueText(ITessera* g)
{
    fw::Variant v;
    if (FAILED(g->get_Value(&v))) return L"<fail>";
    if (FAILED(VariantChangeType(&v, &v, 0, VT_BSTR))) return L"<type>";
    return v.Ref().bstrVal;
}

TEST(Tessera, NewControlHasItsDefaults)
{
    auto g = NewGrid();
    ASSERT_TRUE(g);
    int n = 0;
    g->get_Rows(&n); EXPECT_EQ(10, n);
    g->get_Cols(&n); EXPECT_EQ(10, n);
    g->get_FixedRows(&n); EXPECT_EQ(1, n);
    g->get_FixedCols(&n); EXPECT_EQ(1, n);
    g->get_TotalWidth(&n); EXPECT_EQ(500, n);
    g->get_TotalHeight(&n); EXPECT_EQ(400, n);
    g->get_CurrentCellRow(&n); EXPECT_EQ(-1, n);
    g->get_CurrentCellCol(&n); EXPECT_EQ(-1, n);
    g->get_CRegionLeftTopX(&n); EXPECT_EQ(0, n);
    g->get_CRegionRightBottomX(&n); EXPECT_EQ(9, n);
    g->get_CRegionRightBottomY(&n); EXPECT_EQ(9, n);
    g->get_BorderStyle(&n); EXPECT_EQ(1, n);
    g->get_FixedWordWrap(&n); EXPECT_EQ(1, n);
    g->get_Width(&n); EXPECT_EQ(100, n);
    EXPECT_EQ(L"50 50 50 50 50 50 50 50 50 50", Widths(g.Get()));

    VARIANT_BOOL b = 0;
    using Get = HRESULT (STDMETHODCALLTYPE ITessera::*)(VARIANT_BOOL*);
    for (Get get : {&ITessera::get_RowSizing, &ITessera::get_ColSizing, &ITessera::get_RangeSelect,
                    &ITessera::get_ShowCellHint, &ITessera::get_DrawSelection,
                    &ITessera::get_EditMultiline, &ITessera::get_Enabled}) {
        (g.Get()->*get)(&b);
        EXPECT_EQ(1, b);  // 1, not VARIANT_TRUE
    }
    g->get_AutoAdjustLastCell(&b); EXPECT_EQ(0, b);

    OLE_COLOR c = 1;
    g->get_BackColor(&c); EXPECT_EQ(0xFFFFFFu, c);
    g->get_FixedColor(&c); EXPECT_EQ(GetSysColor(COLOR_BTNFACE), c);
    g->get_SelectedRangeColor(&c); EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), c);
    g->get_Color(&c); EXPECT_EQ(GetSysColor(COLOR_WINDOW), c);

    fw::ComPtr<IFontDisp> f1, f2;
    g->get_FixedFont(f1.Put());
    g->get_SelectedCellFont(f2.Put());
    ASSERT_TRUE(f1);
    EXPECT_NE(f1.Get(), f2.Get());
}

TEST(Tessera, BooleanSettingsAreSignExtended)
{
    auto g = NewGrid();
    g->put_EditMultiline(VARIANT_TRUE);
    VARIANT_BOOL b = 0;
    g->get_EditMultiline(&b);
    EXPECT_EQ(VARIANT_TRUE, b);
    g->put_Editable(VARIANT_TRUE);
    g->get_Editable(&b);
    EXPECT_EQ(VARIANT_TRUE, b);
}

TEST(Tessera, RangeSelectGovernsDrawSelection)
{
    auto g = NewGrid();
    VARIANT_BOOL b = 1;
    g->put_RangeSelect(0);
    g->get_DrawSelection(&b);
    EXPECT_EQ(0, b);
    g->put_DrawSelection(1);
    g->get_DrawSelection(&b);
    EXPECT_EQ(0, b);
    g->put_RangeSelect(1);
    g->put_DrawSelection(1);
    g->get_DrawSelection(&b);
    EXPECT_EQ(1, b);
}

TEST(Tessera, CellRegionAddressesNormalisedCorners)
{
    auto g = NewGrid();
    // The whole table, fixed cells included.
    g->put_Alignment(1);
    EXPECT_EQ(1, AlignmentAt(g.Get(), 0, 0));
    EXPECT_EQ(1, AlignmentAt(g.Get(), 9, 9));

    SetRegion(g.Get(), 5, 1, 5, 1);
    int n = 0;
    g->put_CRegionLeftTopX(12);  // outside: ignored
    g->get_CRegionLeftTopX(&n);
    EXPECT_EQ(5, n);
    g->put_CRegionRightBottomY(-1);
    g->get_CRegionRightBottomY(&n);
    EXPECT_EQ(1, n);

    g->put_CRegionRightBottomX(2);  // columns 2 to 5, corners swapped
    g->put_Alignment(2);
    EXPECT_EQ(1, AlignmentAt(g.Get(), 1, 1));
    EXPECT_EQ(2, AlignmentAt(g.Get(), 2, 1));
    EXPECT_EQ(2, AlignmentAt(g.Get(), 5, 1));
    EXPECT_EQ(1, AlignmentAt(g.Get(), 6, 1));
    EXPECT_EQ(1, AlignmentAt(g.Get(), 3, 2));
}

TEST(Tessera, RegionFollowsTheTableInUserMode)
{
    auto g = NewGrid();
    SetRegion(g.Get(), 2, 0, 3, 0);
    g->put_Cols(20);
    int lo = 0, hi = 0;
    g->get_CRegionLeftTopX(&lo);
    g->get_CRegionRightBottomX(&hi);
    EXPECT_EQ(2, lo);
    EXPECT_EQ(3, hi);
    g->put_Cols(3);
    g->get_CRegionLeftTopX(&lo);
    g->get_CRegionRightBottomX(&hi);
    EXPECT_EQ(2, lo);
    EXPECT_EQ(2, hi);
}

TEST(Tessera, GettersFailWithoutACell)
{
    auto g = NewGrid();
    EXPECT_EQ(E_POINTER, g->get_NUMFormat(nullptr));
    EXPECT_EQ(E_POINTER, g->get_Hint(nullptr));
    g->put_Rows(0);
    fw::Bstr text;
    EXPECT_EQ(E_FAIL, g->get_NUMFormat(text.Put()));
    int n = 77;
    EXPECT_EQ(E_FAIL, g->get_Alignment(&n));
    EXPECT_EQ(77, n);
    fw::Variant v;
    EXPECT_EQ(E_FAIL, g->get_Value(&v));
    // Setters on a region outside the table change nothing and succeed.
    EXPECT_EQ(S_OK, g->put_Alignment(2));
    EXPECT_EQ(S_OK, g->put_Color(0x800000FF));
}

TEST(Tessera, StringsAreCopiedInAndOut)
{
    auto g = NewGrid();
    SetRegion(g.Get(), 1, 1, 2, 2);
    fw::Bstr in(L"#,##0.00");
    g->put_NUMFormat(in.Get());
    SetRegion(g.Get(), 2, 2, 2, 2);
    fw::Bstr out;
    ASSERT_HRESULT_SUCCEEDED(g->get_NUMFormat(out.Put()));
    EXPECT_STREQ(L"#,##0.00", out.Get());
    g->put_Hint(nullptr);
    fw::Bstr hint;
    g->get_Hint(hint.Put());
    EXPECT_EQ(nullptr, hint.Get());
}

TEST(Tessera, ColoursAreTranslatedWhenSet)
{
    auto g = NewGrid();
    OLE_COLOR c = 0;
    ASSERT_HRESULT_SUCCEEDED(g->put_FixedColor(0x80000005));
    g->get_FixedColor(&c);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), c);

    SetErrorInfo(0, nullptr);
    EXPECT_EQ(E_FAIL, g->put_BackColor(0x800000FF));
    EXPECT_EQ(L"Can't translate color", ErrorDescription());
    g->get_BackColor(&c);
    EXPECT_EQ(0xFFFFFFu, c);

    SetRegion(g.Get(), 1, 1, 1, 1);
    ASSERT_HRESULT_SUCCEEDED(g->put_FontColor(0x80000008));
    g->get_FontColor(&c);
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), c);
    EXPECT_EQ(E_FAIL, g->put_Color(0x800000FF));
    EXPECT_EQ(L"Can't translate color", ErrorDescription());
}

TEST(Tessera, RefusedValueReportsAndKeepsOldValues)
{
    auto g = NewGrid();
    SetRegion(g.Get(), 1, 1, 2, 1);
    fw::Variant v;
    g->put_CType(1);
    ASSERT_HRESULT_SUCCEEDED(g->put_Value(Text(v, L"7").Ref()));
    EXPECT_EQ("put_Value(fin)\n", TraceFile());

    SetErrorInfo(0, nullptr);
    EXPECT_EQ(E_FAIL, g->put_Value(Text(v, L"abc").Ref()));
    EXPECT_EQ(L"Can't copy variant", ErrorDescription());
    EXPECT_EQ("put_Value old=7 new=abc\n", TraceFile());
    SetRegion(g.Get(), 2, 1, 2, 1);
    EXPECT_EQ(L"7", ValueText(g.Get()));

    // Empty text in a number cell is 0.
    ASSERT_HRESULT_SUCCEEDED(g->put_Value(Text(v, L"").Ref()));
    fw::Variant got;
    g->get_Value(&got);
    EXPECT_EQ(VT_I4, got.Ref().vt);
    EXPECT_EQ(0, got.Ref().lVal);
}

TEST(Tessera, TypeChangeKeepsTheStoredValue)
{
    auto g = NewGrid();
    SetRegion(g.Get(), 3, 3, 3, 3);
    fw::Variant v;
    g->put_Value(Text(v, L"42").Ref());
    g->put_CType(4);
    fw::Variant got;
    g->get_Value(&got);
    EXPECT_EQ(VT_BSTR, got.Ref().vt);
    int type = 0;
    g->get_CType(&type);
    EXPECT_EQ(4, type);
}

TEST(Tessera, FontsAreClonedOrShared)
{
    auto g = NewGrid();
    fw::ComPtr<IFontDisp> mine;
    g->get_FixedFont(mine.Put());
    ASSERT_TRUE(mine);

    SetRegion(g.Get(), 1, 1, 2, 1);
    g->putref_Font(mine.Get());
    fw::ComPtr<IFontDisp> a, b;
    SetRegion(g.Get(), 1, 1, 1, 1);
    g->get_Font(a.Put());
    SetRegion(g.Get(), 2, 1, 2, 1);
    g->get_Font(b.Put());
    EXPECT_EQ(mine.Get(), a.Get());
    EXPECT_EQ(mine.Get(), b.Get());

    SetRegion(g.Get(), 1, 1, 2, 1);
    g->put_Font(mine.Get());
    SetRegion(g.Get(), 1, 1, 1, 1);
    g->get_Font(a.Put());
    SetRegion(g.Get(), 2, 1, 2, 1);
    g->get_Font(b.Put());
    EXPECT_NE(mine.Get(), a.Get());
    EXPECT_NE(a.Get(), b.Get());

    // SetFont gives every cell of the region a clone of the first cell's font.
    SetRegion(g.Get(), 1, 1, 2, 2);
    ASSERT_HRESULT_SUCCEEDED(g->SetFont());
    EXPECT_EQ("Put Font\n", TraceFile());
    fw::ComPtr<IFontDisp> c;
    SetRegion(g.Get(), 2, 2, 2, 2);
    g->get_Font(c.Put());
    ASSERT_TRUE(c);
    EXPECT_NE(a.Get(), c.Get());

    g->put_FixedFont(nullptr);
    fw::ComPtr<IFontDisp> none;
    EXPECT_HRESULT_SUCCEEDED(g->get_FixedFont(none.Put()));
    EXPECT_FALSE(none);
}

TEST(Tessera, CountsAndFixedCountsFollowEachOther)
{
    auto g = NewGrid();
    int n = 0;
    g->put_FixedRows(5);
    g->put_Rows(3);
    g->get_FixedRows(&n);
    EXPECT_EQ(3, n);
    g->put_FixedRows(12);
    g->get_Rows(&n);
    EXPECT_EQ(12, n);
    g->get_TotalHeight(&n);
    EXPECT_EQ(480, n);
    g->put_Cols(-4);
    g->get_Cols(&n);
    EXPECT_EQ(10, n);
    g->put_FixedCols(10);  // every column fixed
    g->get_Cols(&n);
    EXPECT_EQ(10, n);
}

TEST(Tessera, InsertRemoveAndExchangeColumns)
{
    auto g = NewGrid();
    fw::Bstr widths(L"0 1 2 3 4 5 6 7 8 9");
    g->put_Widths(widths.Get());
    fw::Variant v;
    SetRegion(g.Get(), 2, 1, 2, 1);
    g->put_Value(Text(v, L"two").Ref());

    g->InsertCol(2);
    EXPECT_EQ(L"0 1 50 2 3 4 5 6 7 8 9", Widths(g.Get()));
    SetRegion(g.Get(), 3, 1, 3, 1);
    EXPECT_EQ(L"two", ValueText(g.Get()));
    SetRegion(g.Get(), 2, 1, 2, 1);
    EXPECT_EQ(L"", ValueText(g.Get()));

    g->RemoveCol(20);  // the last one
    EXPECT_EQ(L"0 1 50 2 3 4 5 6 7 8", Widths(g.Get()));
    g->RemoveCol(-1);  // the first one
    EXPECT_EQ(L"1 50 2 3 4 5 6 7 8", Widths(g.Get()));
    g->InsertCol(99);
    EXPECT_EQ(L"1 50 2 3 4 5 6 7 8 50", Widths(g.Get()));
    g->InsertCol(-3);
    EXPECT_EQ(L"50 1 50 2 3 4 5 6 7 8 50", Widths(g.Get()));

    g->ExchangeCols(1, 3);
    EXPECT_EQ(L"50 2 50 1 3 4 5 6 7 8 50", Widths(g.Get()));
    g->ExchangeCols(1, 11);  // beyond the count: ignored
    g->ExchangeCols(-1, 2);
    g->ExchangeCols(4, 4);
    EXPECT_EQ(L"50 2 50 1 3 4 5 6 7 8 50", Widths(g.Get()));
}

TEST(Tessera, InsertAndRemoveRows)
{
    auto g = NewGrid();
    fw::Bstr heights(L"10 11 12");
    g->put_Heights(heights.Get());
    g->InsertRow(1);
    g->RemoveRow(3);
    fw::Bstr text;
    g->get_Heights(text.Put());
    EXPECT_STREQ(L"10 40 11 40 40 40 40 40 40 40", text.Get());
    g->ExchangeRows(0, 1);
    g->get_Heights(text.Put());
    EXPECT_STREQ(L"40 10 11 40 40 40 40 40 40 40", text.Get());
    g->put_Rows(0);
    g->RemoveRow(0);
    int n = -1;
    g->get_Rows(&n);
    EXPECT_EQ(0, n);
}

TEST(Tessera, WidthsTextSetsOneColumnPerSpace)
{
    auto g = NewGrid();
    fw::Bstr two(L"60  70");
    g->put_Widths(two.Get());
    EXPECT_EQ(L"60 0 70 50 50 50 50 50 50 50", Widths(g.Get()));
    fw::Bstr one(L"30");
    g->put_Widths(one.Get());
    EXPECT_EQ(L"30 0 70 50 50 50 50 50 50 50", Widths(g.Get()));
    fw::Bstr many(L"1 2 3 4 5 6 7 8 9 10 11 12");
    EXPECT_EQ(S_OK, g->put_Widths(many.Get()));
    EXPECT_EQ(L"1 2 3 4 5 6 7 8 9 10", Widths(g.Get()));
    EXPECT_EQ(S_OK, g->put_Widths(nullptr));
    EXPECT_EQ(L"0 2 3 4 5 6 7 8 9 10", Widths(g.Get()));
    int w = 0;
    g->put_ColWidth(-1, 5);
    g->get_ColWidth(-1, &w);
    EXPECT_EQ(-1, w);
}

TEST(Tessera, TraceFileHoldsOnlyTheLastLine)
{
    auto g = NewGrid();
    int n = 0;
    g->get_Rows(&n);
    EXPECT_EQ("Get Rows\n", TraceFile());
    g->putref_SelectedCellFont(nullptr);
    EXPECT_EQ("Pitref SelectedCellFont\n", TraceFile());
    g->put_Rows(-1);  // the line comes before the argument is looked at
    EXPECT_EQ("put Rows\n", TraceFile());
    g->put_CRegionLeftTopX(1);  // writes nothing
    EXPECT_EQ("put Rows\n", TraceFile());
    g.Reset();
    EXPECT_EQ("Put Cols\n", TraceFile());  // the destructor empties the table last
}

TEST(Tessera, MembersWorkThroughIDispatch)
{
    auto g = NewGrid();
    fw::ComPtr<IDispatch> disp;
    ASSERT_HRESULT_SUCCEEDED(g->QueryInterface(IID_IDispatch, disp.PutVoid()));
    auto id = [&](const wchar_t* name) {
        DISPID d = DISPID_UNKNOWN;
        LPOLESTR n = const_cast<LPOLESTR>(name);
        EXPECT_HRESULT_SUCCEEDED(disp->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &d));
        return d;
    };

    fw::Variant arg;
    arg.Ref().vt = VT_I4;
    arg.Ref().lVal = 4;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS put = {&arg.Ref(), &named, 1, 1};
    ASSERT_HRESULT_SUCCEEDED(disp->Invoke(id(L"Rows"), IID_NULL, LOCALE_USER_DEFAULT,
                                          DISPATCH_PROPERTYPUT, &put, nullptr, nullptr, nullptr));
    fw::Variant result;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    ASSERT_HRESULT_SUCCEEDED(disp->Invoke(id(L"TotalHeight"), IID_NULL, LOCALE_USER_DEFAULT,
                                          DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr));
    EXPECT_EQ(160, result.Ref().intVal);

    // A refused value fails through Invoke too.
    g->put_CType(3);
    Text(arg, L"letters");
    EXCEPINFO info = {};
    HRESULT hr = disp->Invoke(id(L"Value"), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                              &put, nullptr, &info, nullptr);
    EXPECT_TRUE(FAILED(hr));
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
}

} // namespace
