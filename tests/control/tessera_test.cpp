// The control through its class factory: defaults, the cell region, per-cell
// members, colours, values, fonts, table members, choice lists, sizes and
// indices no grid can honour, and the trace file.
#include <windows.h>
#include <gtest/gtest.h>
#include <olectl.h>

#include <climits>
#include <functional>
#include <string>

#include "framework/com_ptr.h"
#include "kvadra.h"
#include "control/control_test.h"
#include "support/dll.h"
#include "support/grid_helpers.h"

namespace {

using IntGetter = HRESULT (STDMETHODCALLTYPE ITessera::*)(int*);
using control_test::Int;
using control_test::IntOf;
using control_test::Text;
using test::NewGrid;
using test::Region;

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

std::wstring Sizes(ITessera* g, HRESULT (STDMETHODCALLTYPE ITessera::*getter)(BSTR*) = &ITessera::get_Widths)
{
    fw::Bstr text;
    EXPECT_HRESULT_SUCCEEDED((g->*getter)(text.Put()));
    return text.Get() ? text.Get() : L"";
}

std::wstring ValueAt(ITessera* g, int col, int row)
{
    Region(g, row, col);
    return control_test::ValueText(g);
}

TEST(Tessera, NewControlHasItsDefaults)
{
    auto g = NewGrid();
    ASSERT_TRUE(g);
    const struct { IntGetter get; int value; } ints[] = {
        {&ITessera::get_Rows, 10}, {&ITessera::get_Cols, 10}, {&ITessera::get_FixedRows, 1},
        {&ITessera::get_FixedCols, 1}, {&ITessera::get_TotalWidth, 500}, {&ITessera::get_TotalHeight, 400},
        {&ITessera::get_CurrentCellRow, -1}, {&ITessera::get_CurrentCellCol, -1},
        {&ITessera::get_CRegionLeftTopX, 0}, {&ITessera::get_CRegionRightBottomX, 9},
        {&ITessera::get_CRegionRightBottomY, 9}, {&ITessera::get_BorderStyle, 1},
        {&ITessera::get_FixedWordWrap, 1}, {&ITessera::get_Width, 100}};
    for (const auto& c : ints) EXPECT_EQ(c.value, IntOf(g.Get(), c.get)) << &c - ints;
    EXPECT_EQ(L"50 50 50 50 50 50 50 50 50 50", Sizes(g.Get()));

    VARIANT_BOOL b = 0;
    using Get = HRESULT (STDMETHODCALLTYPE ITessera::*)(VARIANT_BOOL*);
    for (Get get : {&ITessera::get_RowSizing, &ITessera::get_ColSizing, &ITessera::get_RangeSelect,
                    &ITessera::get_ShowCellHint, &ITessera::get_DrawSelection,
                    &ITessera::get_EditMultiline, &ITessera::get_Enabled}) {
        (g.Get()->*get)(&b);
        EXPECT_EQ(1, b);  // 1, not VARIANT_TRUE
    }
    g->get_AutoAdjustLastCell(&b);
    EXPECT_EQ(0, b);
    // A stored VARIANT_BOOL reads back sign-extended.
    g->put_Editable(VARIANT_TRUE);
    g->get_Editable(&b);
    EXPECT_EQ(VARIANT_TRUE, b);

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

TEST(Tessera, CellRegionIsNormalisedAndFollowsTheTable)
{
    auto g = NewGrid();
    g->put_Alignment(1);  // the whole table, fixed cells included
    auto alignment = [&](int col, int row) {
        Region(g.Get(), row, col);
        int value = -99;
        g->get_Alignment(&value);
        return value;
    };
    EXPECT_EQ(1, alignment(0, 0));
    EXPECT_EQ(1, alignment(9, 9));

    Region(g.Get(), 1, 5);
    g->put_CRegionLeftTopX(12);      // outside: ignored
    g->put_CRegionRightBottomY(-1);
    EXPECT_EQ(5, IntOf(g.Get(), &ITessera::get_CRegionLeftTopX));
    EXPECT_EQ(1, IntOf(g.Get(), &ITessera::get_CRegionRightBottomY));
    g->put_CRegionRightBottomX(2);  // columns 2 to 5, corners swapped
    g->put_Alignment(2);
    const int want[] = {1, 2, 2, 2, 2, 1};
    for (int col = 1; col <= 6; ++col) EXPECT_EQ(want[col - 1], alignment(col, 1)) << col;
    EXPECT_EQ(1, alignment(3, 2));

    Region(g.Get(), 0, 2, 0, 3);
    g->put_Cols(20);
    EXPECT_EQ(3, IntOf(g.Get(), &ITessera::get_CRegionRightBottomX));
    g->put_Cols(3);  // cut to the table
    EXPECT_EQ(2, IntOf(g.Get(), &ITessera::get_CRegionLeftTopX));
    EXPECT_EQ(2, IntOf(g.Get(), &ITessera::get_CRegionRightBottomX));
}

TEST(Tessera, PerCellMembersWithAndWithoutACell)
{
    auto g = NewGrid();
    Region(g.Get(), 1, 1, 2, 2);
    g->put_NUMFormat(fw::Bstr(L"#,##0.00").Get());
    g->put_Hint(nullptr);
    g->put_Alignment(2);
    g->put_WordWrap(1);
    g->put_TypeEx(4);
    Region(g.Get(), 2, 2);
    EXPECT_EQ(2, IntOf(g.Get(), &ITessera::get_Alignment));
    EXPECT_EQ(1, IntOf(g.Get(), &ITessera::get_WordWrap));
    EXPECT_EQ(4, IntOf(g.Get(), &ITessera::get_TypeEx));
    fw::Bstr text;
    ASSERT_HRESULT_SUCCEEDED(g->get_NUMFormat(text.Put()));
    EXPECT_STREQ(L"#,##0.00", text.Get());
    g->get_Hint(text.Put());
    EXPECT_EQ(nullptr, text.Get());  // a null text reads back null
    EXPECT_EQ(E_POINTER, g->get_NUMFormat(nullptr));
    EXPECT_EQ(E_POINTER, g->get_Hint(nullptr));

    g->put_Rows(0);
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

TEST(Tessera, ColoursAreTranslatedWhenSetAndRefusalsKeepTheOldValue)
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

    Region(g.Get(), 1, 1);
    ASSERT_HRESULT_SUCCEEDED(g->put_FontColor(0x80000008));
    g->get_FontColor(&c);
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), c);
    SetErrorInfo(0, nullptr);
    EXPECT_EQ(E_FAIL, g->put_Color(0x800000FF));
    EXPECT_EQ(L"Can't translate color", ErrorDescription());

    // A refused value reports and keeps the old values.
    Region(g.Get(), 1, 1, 1, 2);
    fw::Variant v;
    g->put_CType(1);
    ASSERT_HRESULT_SUCCEEDED(g->put_Value(Text(v, L"7").Ref()));
    EXPECT_EQ("put_Value(fin)\n", TraceFile());

    SetErrorInfo(0, nullptr);
    EXPECT_EQ(E_FAIL, g->put_Value(Text(v, L"abc").Ref()));
    EXPECT_EQ(L"Can't copy variant", ErrorDescription());
    EXPECT_EQ("put_Value old=7 new=abc\n", TraceFile());
    EXPECT_EQ(L"7", ValueAt(g.Get(), 2, 1));
}

TEST(Tessera, CountsFollowEachOtherAndTheWidthsTextSetsOneColumnPerSpace)
{
    auto g = NewGrid();
    g->put_FixedRows(5);
    g->put_Rows(3);
    EXPECT_EQ(3, IntOf(g.Get(), &ITessera::get_FixedRows));
    g->put_FixedRows(12);
    EXPECT_EQ(12, IntOf(g.Get(), &ITessera::get_Rows));
    EXPECT_EQ(480, IntOf(g.Get(), &ITessera::get_TotalHeight));
    g->put_Cols(-4);
    EXPECT_EQ(10, IntOf(g.Get(), &ITessera::get_Cols));
    g->put_FixedCols(10);  // every column fixed
    EXPECT_EQ(10, IntOf(g.Get(), &ITessera::get_Cols));

    // The widths text sets one column per space.
    const struct { const wchar_t* in; const wchar_t* widths; } steps[] = {
        {L"60  70", L"60 0 70 50 50 50 50 50 50 50"},
        {L"30", L"30 0 70 50 50 50 50 50 50 50"},
        {L"1 2 3 4 5 6 7 8 9 10 11 12", L"1 2 3 4 5 6 7 8 9 10"},  // the rest is dropped
        {nullptr, L"0 2 3 4 5 6 7 8 9 10"}};
    for (const auto& s : steps) {
        EXPECT_EQ(S_OK, g->put_Widths(fw::Bstr(s.in).Get()));
        EXPECT_EQ(s.widths, Sizes(g.Get()));
    }
    EXPECT_EQ(54, IntOf(g.Get(), &ITessera::get_TotalWidth));
    int w = 0;
    g->put_ColWidth(-1, 5);
    g->get_ColWidth(-1, &w);
    EXPECT_EQ(-1, w);
}

TEST(Tessera, InsertRemoveAndExchange)
{
    auto g = NewGrid();
    g->put_Widths(fw::Bstr(L"0 1 2 3 4 5 6 7 8 9").Get());
    fw::Variant v;
    Region(g.Get(), 1, 2);
    g->put_Value(Text(v, L"two").Ref());
    g->InsertCol(2);
    EXPECT_EQ(L"0 1 50 2 3 4 5 6 7 8 9", Sizes(g.Get()));
    EXPECT_EQ(L"two", ValueAt(g.Get(), 3, 1));
    EXPECT_EQ(L"", ValueAt(g.Get(), 2, 1));

    // Indices beyond either end act at that end; exchanges outside or onto
    // themselves are ignored.
    const struct { HRESULT (STDMETHODCALLTYPE ITessera::*op)(int); int index; const wchar_t* widths; } steps[] = {
        {&ITessera::RemoveCol, 20, L"0 1 50 2 3 4 5 6 7 8"}, {&ITessera::RemoveCol, -1, L"1 50 2 3 4 5 6 7 8"},
        {&ITessera::InsertCol, 99, L"1 50 2 3 4 5 6 7 8 50"}, {&ITessera::InsertCol, -3, L"50 1 50 2 3 4 5 6 7 8 50"},
        {&ITessera::InsertCol, INT_MIN, L"50 50 1 50 2 3 4 5 6 7 8 50"},
        {&ITessera::RemoveCol, INT_MIN, L"50 1 50 2 3 4 5 6 7 8 50"}};
    for (const auto& s : steps) {
        (g.Get()->*s.op)(s.index);
        EXPECT_EQ(s.widths, Sizes(g.Get())) << s.index;
    }
    g->ExchangeCols(1, 3);
    EXPECT_EQ(L"50 2 50 1 3 4 5 6 7 8 50", Sizes(g.Get()));
    g->ExchangeCols(1, 11);
    g->ExchangeCols(-1, 2);
    g->ExchangeCols(4, 4);
    EXPECT_EQ(L"50 2 50 1 3 4 5 6 7 8 50", Sizes(g.Get()));

    g->put_Heights(fw::Bstr(L"10 11 12").Get());
    g->InsertRow(1);
    g->RemoveRow(3);
    g->InsertRow(INT_MIN);
    g->RemoveRow(INT_MIN);
    EXPECT_EQ(L"10 40 11 40 40 40 40 40 40 40", Sizes(g.Get(), &ITessera::get_Heights));
    g->ExchangeRows(0, 1);
    EXPECT_EQ(L"40 10 11 40 40 40 40 40 40 40", Sizes(g.Get(), &ITessera::get_Heights));
    g->put_Rows(0);
    g->RemoveRow(0);
    EXPECT_EQ(0, IntOf(g.Get(), &ITessera::get_Rows));
}

TEST(Tessera, TraceFileHoldsOnlyTheLastLine)
{
    auto g = NewGrid();
    int n = 0;
    g->get_Rows(&n);
    EXPECT_EQ("Get Rows\n", TraceFile());
    g->putref_SelectedCellFont(nullptr);
    EXPECT_EQ("Pitref SelectedCellFont\n", TraceFile());
    g->put_Rows(-1);  // shorter than the line before; written before the argument is looked at
    EXPECT_EQ("put Rows\n", TraceFile());
    g->put_CRegionLeftTopX(1);  // writes nothing
    EXPECT_EQ("put Rows\n", TraceFile());

    // Each member's own line, whatever it then does with its argument.
    int i = 0;
    VARIANT_BOOL b = 0;
    OLE_COLOR c = 0;
    fw::Bstr s;
    fw::ComPtr<IFontDisp> font;
    const struct { std::function<HRESULT(ITessera*)> call; const char* line; } rows[] = {
        {[&](ITessera* t) { return t->put_DrawSelection(0); }, "Put DrawSelection"},
        {[&](ITessera* t) { return t->put_RangeSelect(-1); }, "Put RangeSelect"},
        {[&](ITessera* t) { return t->put_Enabled(-1); }, "put_Enabled"},
        {[&](ITessera* t) { return t->put_ScrollBars(3); }, "Put ScrollBars"},
        {[&](ITessera* t) { return t->put_FixedColor(0); }, "Put FixedColor"},
        {[&](ITessera* t) { return t->put_SelectedCellColor(0); }, "Put SelectedCellColor"},
        {[&](ITessera* t) { return t->put_SelectedRangeColor(0); }, "Put SelectedRangeColor"},
        {[&](ITessera* t) { return t->put_FixedFontColor(0); }, "Put FixedFontColor"},
        {[&](ITessera* t) { return t->put_BackColor(0); }, "Put BackColor"},
        {[&](ITessera* t) { return t->putref_FixedFont(nullptr); }, "Putref FixedFont"},
        {[&](ITessera* t) { return t->put_FixedFont(nullptr); }, "Put FixedFont"},
        {[&](ITessera* t) { return t->put_SelectedCellFont(nullptr); }, "Put SelectedCellFont"},
        {[&](ITessera* t) { return t->putref_SelectedRangeFont(nullptr); }, "Putref SelectedRangeFont"},
        {[&](ITessera* t) { return t->put_SelectedRangeFont(nullptr); }, "Put SelectedRangeFont"},
        {[&](ITessera* t) { return t->get_Alignment(&i); }, "Get Alignment"},
        {[&](ITessera* t) { return t->put_Alignment(1); }, "Put Alignment"},
        {[&](ITessera* t) { return t->get_Editable(&b); }, "Get Editable"},
        {[&](ITessera* t) { return t->put_Editable(0); }, "Put Editable"},
        {[&](ITessera* t) { return t->get_WordWrap(&i); }, "Get WordWrap"},
        {[&](ITessera* t) { return t->put_WordWrap(1); }, "Put WordWrap"},
        {[&](ITessera* t) { return t->get_Color(&c); }, "Get Color"},
        {[&](ITessera* t) { return t->put_Color(0); }, "put Color"},
        {[&](ITessera* t) { return t->get_FontColor(&c); }, "Get FontColor"},
        {[&](ITessera* t) { return t->put_FontColor(0); }, "Put FontColor"},
        {[&](ITessera* t) { return t->get_CType(&i); }, "Get CType"},
        {[&](ITessera* t) { return t->put_CType(6); }, "put_CType"},
        {[&](ITessera* t) { return t->get_TypeEx(&i); }, "Get TypeEx"},
        {[&](ITessera* t) { return t->put_TypeEx(2); }, "put_TypeEx"},
        {[&](ITessera* t) { return t->get_DTFormat(s.Put()); }, "Get DTFormat"},
        {[&](ITessera* t) { return t->put_DTFormat(nullptr); }, "put_DTFormat"},
        {[&](ITessera* t) { return t->get_NUMFormat(s.Put()); }, "Get NUMFormat"},
        {[&](ITessera* t) { return t->put_NUMFormat(nullptr); }, "put_NUMFormat"},
        {[&](ITessera* t) { return t->get_Hint(s.Put()); }, "Get Hint"},
        {[&](ITessera* t) { return t->put_Hint(nullptr); }, "put_Hint"},
        {[&](ITessera* t) { return t->get_Font(font.Put()); }, "Get Font"},
        {[&](ITessera* t) { return t->putref_Font(nullptr); }, "Putref Font"},
        {[&](ITessera* t) { return t->put_FixedCols(1); }, "Put FixedCols"},
        {[&](ITessera* t) { return t->put_FixedRows(1); }, "Put FixedRows"},
        {[&](ITessera* t) { return t->put_Width(90); }, "OnSetExtent"},  // after its own and SetControlSize's
    };
    for (const auto& r : rows) {
        r.call(g.Get());
        EXPECT_EQ(std::string(r.line) + "\n", TraceFile()) << r.line;
    }
    g.Reset();
    EXPECT_EQ("Put Cols\n", TraceFile());  // the destructor empties the table last
}

// Entry index of the cell as "text=vt:value", "<null>" for a null text,
// "<E_INVALIDARG>" for a refusal.
std::wstring Entry(ITessera* g, int col, int row, int index)
{
    Region(g, row, col);
    fw::Bstr text;
    HRESULT hr = g->get_CRVariantText(index, text.Put());
    if (FAILED(hr)) return hr == E_INVALIDARG ? L"<E_INVALIDARG>" : L"<fail>";
    fw::Variant value;
    if (FAILED(g->get_CRVariantValue(index, &value))) return L"<value fail>";
    std::wstring out = (text.Get() ? text.Get() : L"<null>") + std::wstring(L"=") + std::to_wstring(value.Ref().vt);
    if (SUCCEEDED(VariantChangeType(&value, &value, 0, VT_BSTR))) out += L":" + std::wstring(value.Ref().bstrVal);
    return out;
}

TEST(ChoiceList, RegionOperationsReachEveryCellAndOnlyThoseAndBadIndicesTouchNone)
{
    auto g = NewGrid();
    Region(g.Get(), 1, 1, 3, 2);  // 2 columns x 3 rows
    ASSERT_HRESULT_SUCCEEDED(g->AddCRVariant(Int(1), fw::Bstr(L"One").Get()));
    for (int col = 1; col <= 2; ++col)
        for (int row = 1; row <= 3; ++row) EXPECT_EQ(L"One=3:1", Entry(g.Get(), col, row, 0)) << col << row;
    EXPECT_EQ(L"<E_INVALIDARG>", Entry(g.Get(), 0, 1, 0));

    // A value of another type replaces the value and keeps the text.
    Region(g.Get(), 1, 1, 3, 2);
    fw::Variant x;
    ASSERT_HRESULT_SUCCEEDED(g->put_CRVariantValue(0, Text(x, L"x").Ref()));
    EXPECT_EQ(L"One=8:x", Entry(g.Get(), 2, 3, 0));
    Region(g.Get(), 1, 1, 3, 1);
    ASSERT_HRESULT_SUCCEEDED(g->ClearCRVariants());
    EXPECT_EQ(L"<E_INVALIDARG>", Entry(g.Get(), 1, 2, 0));
    EXPECT_EQ(L"One=8:x", Entry(g.Get(), 2, 2, 0));
    // Entries travel with their cell.
    ASSERT_HRESULT_SUCCEEDED(g->ExchangeCols(2, 7));
    EXPECT_EQ(L"One=8:x", Entry(g.Get(), 7, 1, 0));
    EXPECT_EQ(L"<E_INVALIDARG>", Entry(g.Get(), 2, 1, 0));

    // Null texts stay null; a value by reference is copied, not kept.
    Region(g.Get(), 1, 1);
    ASSERT_HRESULT_SUCCEEDED(g->AddCRVariant(Int(7), nullptr));
    LONG caller = 42;
    fw::Variant ref;
    ref.Ref().vt = VT_I4 | VT_BYREF;
    ref.Ref().plVal = &caller;
    ASSERT_HRESULT_SUCCEEDED(g->AddCRVariant(ref.Ref(), fw::Bstr(L"ref").Get()));
    caller = 0;
    EXPECT_EQ(L"<null>=3:7", Entry(g.Get(), 1, 1, 0));
    ASSERT_HRESULT_SUCCEEDED(g->put_CRVariantText(1, nullptr));
    EXPECT_EQ(L"<null>=3:42", Entry(g.Get(), 1, 1, 1));

    // Indices outside a list are refused without touching any cell.
    g = NewGrid();
    Region(g.Get(), 1, 1, 1, 3);
    g->AddCRVariant(Int(1), fw::Bstr(L"One").Get());
    Region(g.Get(), 1, 1, 1, 2);
    g->AddCRVariant(Int(2), fw::Bstr(L"Two").Get());  // column 3 has no entry 1

    fw::Variant value;
    fw::Bstr text;
    for (int index : {-1, 2}) {
        EXPECT_EQ(E_INVALIDARG, g->get_CRVariantValue(index, &value));
        EXPECT_EQ(VT_EMPTY, value.Ref().vt);
        EXPECT_EQ(E_INVALIDARG, g->get_CRVariantText(index, text.Put()));
    }
    // A put checks every cell first, so no cell is changed halfway.
    Region(g.Get(), 1, 1, 1, 3);
    EXPECT_EQ(E_INVALIDARG, g->put_CRVariantValue(1, Int(9)));
    EXPECT_EQ(E_INVALIDARG, g->put_CRVariantText(1, fw::Bstr(L"Nine").Get()));
    EXPECT_EQ(L"Two=3:2", Entry(g.Get(), 1, 1, 1));
    EXPECT_EQ(L"Two=3:2", Entry(g.Get(), 2, 1, 1));

    g->put_Rows(0);  // no first cell: E_FAIL as for the other per-cell getters
    EXPECT_EQ(E_FAIL, g->get_CRVariantValue(0, &value));
    EXPECT_EQ(E_FAIL, g->get_CRVariantText(0, text.Put()));
}

} // namespace
