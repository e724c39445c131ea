// The grid table: range validity, sizes and their sums, the focus flag and
// the size texts (exchanges are checked through the control); rows carved
// from shared blocks (a line used again, or lengthened after the columns
// shrank, holds new cells, and blocks go once they are empty); and one cell:
// what a new cell holds, value conversions and font references.
#include <windows.h>
#include <psapi.h>
#include <gtest/gtest.h>
#include <olectl.h>

#include <climits>
#include <functional>
#include <string>

#include "framework/com_ptr.h"
#include "model/GridTable.h"

namespace {

void Fill(CGridTable& t, int rows, int cols)
{
    t.ResizeCols(cols);
    t.ResizeRows(rows);
}

// A range is valid only with every corner inside and its first corner first.
// The table tracks the one flagged cell instead of clearing them all; a
// destroyed cell must not be cleared through a dangling pointer.
TEST(GridTable, RangeValidityAndOnlyOneCellCarriesTheFocusFlag)
{
    CGridTable t;
    Fill(t, 3, 4);
    const struct { CCellRange r; bool valid; } ranges[] = {
        {{0, 0, 2, 3}, true}, {{3, 0, 2, 3}, false}, {{0, -1, 1, 1}, false}, {{0, 0, 1, 4}, false},
        {{1, 2, 1, 1}, false}};
    for (const auto& c : ranges) EXPECT_EQ(c.valid, t.IsValid(c.r)) << c.r.minRow << "," << c.r.minCol;
    t.SetFocusFlag(1, 1);
    t.SetFocusFlag(2, 2);
    EXPECT_FALSE(t.GetCell(1, 1).Focused());
    EXPECT_TRUE(t.GetCell(2, 2).Focused());
    t.ResizeRows(2);
    t.ClearFocusFlags();
    t.SetFocusFlag(1, 2);
    t.ResizeCols(2);
    t.ClearFocusFlags();
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c) EXPECT_FALSE(t.GetCell(r, c).Focused());
}

// Every space ends a size, read as atoi reads it; the text ends at a NUL.
TEST(GridTable, SizesTextsAreReadAsAtoiReadsThem)
{
    using V = std::vector<int>;
    const struct { std::string text; V sizes; } cases[] = {
        {"60 70", {60, 70}}, {"60  70", {60, 0, 70}}, {"60 ", {60, 0}}, {"", {0}}, {" 5", {0, 5}},
        {"\t5\t6", {5}}, {"-3 +7x 12px abc", {-3, 7, 12, 0}},
        {"99999999999 -99999999999", {INT_MAX, INT_MIN}}, {"- 1", {0, 1}}, {std::string("1\0 2", 4), {1}}};
    for (const auto& c : cases) EXPECT_EQ(c.sizes, CGridTable::ParseSizes(c.text)) << c.text;
}

// Attributes are kept beside the cells: they must travel with exchanges and
// moves, as the focus flag does.
TEST(GridTable, AttributesTravelWithTheirCell)
{
    const struct { const char* name; std::function<void(CGridTable&)> move; int row, col; } moves[] = {
        {"ExchangeRows", [](CGridTable& t) { t.ExchangeRows(1, 3); }, 3, 2},
        {"ExchangeCols", [](CGridTable& t) { t.ExchangeCols(2, 0); }, 1, 0},
        {"MoveRow", [](CGridTable& t) { t.MoveRow(1, 3); }, 3, 2},
        {"MoveCol", [](CGridTable& t) { t.MoveCol(2, 0); }, 1, 0},
    };
    fw::Variant one;
    one.Ref().vt = VT_I4;
    one.Ref().lVal = 1;
    for (const auto& m : moves) {
        CGridTable t;
        Fill(t, 4, 3);
        const CCellRef cell = t.GetCell(1, 2);
        cell.Set(&CellAttrs::color, RGB(1, 2, 3));
        cell.SetHint(fw::Bstr(L"hint").Get());
        cell.AddVariant(one.Ref(), nullptr);
        fw::ComPtr<IFontDisp> font, moved;
        cell.get_Font(font.Put());
        t.SetFocusFlag(1, 2);
        t.SetRowHeight(1, 7);
        t.SetColumnWidth(2, 9);
        t.RowSums(), t.ColumnSums();  // sums made before the move must not be used after it
        m.move(t);
        const CCellRef there = t.GetCell(m.row, m.col);
        there.get_Font(moved.Put());
        EXPECT_EQ(RGB(1, 2, 3), there.Color()) << m.name;
        EXPECT_STREQ(L"hint", there.Hint().Text()) << m.name;
        EXPECT_EQ(1, there.VariantCount()) << m.name;
        EXPECT_EQ(font.Get(), moved.Get()) << m.name;
        EXPECT_TRUE(there.Focused()) << m.name;
        EXPECT_EQ(7, t.RowSums().Before(m.row + 1) - t.RowSums().Before(m.row)) << m.name;
        EXPECT_EQ(9, t.ColumnSums().Before(m.col + 1) - t.ColumnSums().Before(m.col)) << m.name;
        EXPECT_EQ(DefaultCellColor(), cell.Color()) << m.name;
        EXPECT_EQ(0, cell.VariantCount()) << m.name;
        t.ClearFocusFlags();
        EXPECT_FALSE(there.Focused()) << m.name;
    }
}

// A cell that had a rare attribute and lost it costs nothing again; a null
// text is not the empty one and is kept.
TEST(GridTable, AttributesTakenAwayLeaveNothingBehind)
{
    CGridTable t;
    Fill(t, 2, 2);
    const CCellRef c = t.GetCell(1, 1);
    fw::Bstr text(L"x"), empty(L"");
    fw::Variant v;
    const struct { const char* name; std::function<void()> add, undo; } cases[] = {
        {"hint", [&] { c.SetHint(text.Get()); }, [&] { c.SetHint(empty.Get()); }},
        {"format", [&] { c.SetNumFormat(text.Get()); }, [&] { c.SetNumFormat(empty.Get()); }},
        {"choice list", [&] { c.AddVariant(v.Ref(), text.Get()); }, [&] { c.ClearVariants(); }},
        {"colour", [&] { c.Set(&CellAttrs::color, RGB(9, 9, 9)); }, [&] { c.Set(&CellAttrs::color, DefaultCellColor()); }},
    };
    for (const auto& k : cases) {
        k.add();
        EXPECT_EQ(1u, t.CellsWithExtras() + t.AttrSets()) << k.name;
        k.undo();
        EXPECT_EQ(0u, t.CellsWithExtras() + t.AttrSets()) << k.name;
    }
    c.SetDtFormat(nullptr);
    EXPECT_TRUE(c.DtFormat().IsNull());
    EXPECT_EQ(1u, t.CellsWithExtras());
}

SIZE_T WorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize;
}

// A million cells must stay small, and moving a new last row to the top
// (what InsertRow does) must keep the sums right.
TEST(GridTable, LargeTablesStaySmallAndExact)
{
    const SIZE_T before = WorkingSet();
    CGridTable t;
    Fill(t, 100000, 10);
    EXPECT_LT(static_cast<double>(WorkingSet() - before) / 1e6, 250.0);
    t.ResizeRows(100001);
    for (int i = t.Rows() - 1; i > 1; --i) t.ExchangeRows(i, i - 1);
    for (int i = 0; i < 100000; ++i) t.SetRowHeight(i, 30);
    EXPECT_EQ(100000 * 30 + 40, t.TotalHeight());
}

// What a button's window code saw of the table while the button went away.
struct SeenOnDestroy {
    const CGridTable* table = nullptr;
    WNDPROC original = nullptr;
    int rows = -1, cols = -1;
    bool whole = false;
} g_seen;

LRESULT CALLBACK WatchDestroy(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_DESTROY) {
        g_seen.rows = g_seen.table->Rows();
        g_seen.cols = g_seen.table->Cols();
        g_seen.whole = true;
        for (int r = 0; r < g_seen.rows; ++r)
            for (int c = 0; c < g_seen.cols; ++c) g_seen.whole = g_seen.whole && !!g_seen.table->GetCell(r, c);
    }
    return CallWindowProcW(g_seen.original, hwnd, msg, wp, lp);
}

// A cell's button window going away runs window code (and with focus, a
// host's); the table it can read must already be the smaller, whole one.
TEST(GridTable, CellsGoOnlyOnceTheShrunkTableIsWhole)
{
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    for (const bool rows : {true, false}) {
        CGridTable t;
        Fill(t, 4, 4);
        t.GetCell(3, 3).CreateButton(parent, RECT{0, 0, 20, 20});
        HWND button = t.GetCell(3, 3).ButtonWindow();
        ASSERT_NE(nullptr, button);
        g_seen = SeenOnDestroy{&t};
        g_seen.original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchDestroy)));
        rows ? t.ResizeRows(2) : t.ResizeCols(2);
        EXPECT_EQ(rows ? 2 : 4, g_seen.rows) << rows;
        EXPECT_EQ(rows ? 4 : 2, g_seen.cols) << rows;
        EXPECT_TRUE(g_seen.whole) << rows;
        EXPECT_FALSE(IsWindow(button));
    }
    DestroyWindow(parent);
}

VARIANT Make(VARTYPE vt, double n, const wchar_t* s = nullptr)
{
    VARIANT v;
    v.vt = VT_R8;
    v.dblVal = n;
    if (vt != VT_BSTR) VariantChangeType(&v, &v, 0, vt);
    else v.vt = VT_BSTR, v.bstrVal = s ? SysAllocString(s) : nullptr;
    return v;
}

// Cells under test live in a table of their own.
struct Cells {
    CGridTable table;
    explicit Cells(int cols = 1)
    {
        table.ResizeCols(cols);
        table.ResizeRows(1);
    }
    CCellRef operator[](int col) const { return table.GetCell(0, col); }
};

// The stored value as "vt:text"; dates as their number.
std::wstring Kept(const CCellRef& cell)
{
    fw::Variant v;
    VariantCopy(&v, const_cast<VARIANT*>(&cell.Value()));
    if (v.Ref().vt == VT_DATE) VariantChangeType(&v, &v, 0, VT_R8);
    if (FAILED(VariantChangeType(&v, &v, 0, VT_BSTR))) return std::to_wstring(cell.Value().vt) + L":?";
    return std::to_wstring(cell.Value().vt) + L":" + (v.Ref().bstrVal ? v.Ref().bstrVal : L"<null>");
}

// A new cell's texts are empty strings, not null ones: painting and hosts
// read them without a check. Fonts are made lazily but never shared.
TEST(GridCell, NewCellHasEmptyTextsAndAFontOfItsOwn)
{
    Cells two(2);
    const CCellRef cell = two[0], other = two[1];
    EXPECT_EQ(L"8:", Kept(cell));
    for (const CCellText* t : {&cell.Hint(), &cell.NumFormat(), &cell.DtFormat()}) {
        fw::Bstr copy;
        *copy.Put() = t->Copy();
        ASSERT_NE(nullptr, copy.Get());
        EXPECT_EQ(0u, copy.Length());
    }
    fw::ComPtr<IFontDisp> font, otherFont;
    ASSERT_HRESULT_SUCCEEDED(cell.get_Font(font.Put()));
    other.get_Font(otherFont.Put());
    ASSERT_TRUE(font);
    EXPECT_NE(font.Get(), otherFont.Get());

    // Sharing the same font again keeps its references (clones and sharing
    // are checked through the control).
    fw::ComPtr<IFontDisp> mine;
    mine.Attach(CreateStandardFont());
    ASSERT_TRUE(mine);
    cell.putref_Font(mine.Get());
    mine->AddRef();
    const ULONG before = mine->Release();
    cell.putref_Font(mine.Get());
    mine->AddRef();
    EXPECT_EQ(before, mine->Release());

    cell.put_Font(nullptr);
    fw::ComPtr<IFontDisp> nothing;
    EXPECT_HRESULT_SUCCEEDED(cell.get_Font(nothing.Put()));
    EXPECT_FALSE(nothing);
    EXPECT_EQ(nullptr, cell.Font());
    mine->AddRef();
    EXPECT_EQ(before - 1, mine->Release());
}

TEST(GridCell, SetValueConvertsToTheCellsType)
{
    LONG caller = 0;
    VARIANT byRef;
    VariantInit(&byRef);
    byRef.vt = VT_BYREF | VT_I4;
    byRef.plVal = &caller;
    struct { int ctype; VARIANT before, in; bool ok; const wchar_t* kept; } cases[] = {
        // Empty or null text is 0 in a number cell, and refused by a date.
        {ctDouble, {}, Make(VT_BSTR, 0, L""), true, L"5:0"},
        {ctInteger, {}, Make(VT_BSTR, 0), true, L"3:0"},
        {ctDate, Make(VT_I4, 36526), Make(VT_BSTR, 0, L""), false, L"7:36526"},
        {ctInteger, {}, Make(VT_BSTR, 0, L"42"), true, L"3:42"},
        {ctInteger, Make(VT_I4, 42), Make(VT_BSTR, 0, L"abc"), false, L"3:42"},
        {ctString, {}, Make(VT_I4, 42), true, L"8:42"},
        // Codes outside the table store the value as it comes, dereferenced.
        {9, {}, Make(VT_I4, 7), true, L"3:7"},
        {9, {}, byRef, true, L"3:5"},
    };
    for (auto& c : cases) {
        Cells one;
        const CCellRef cell = one[0];
        cell.Set(&CellAttrs::ctype, c.ctype);
        if (c.before.vt != VT_EMPTY) {
            ASSERT_TRUE(cell.SetValue(c.before));
        }
        caller = 5;
        EXPECT_EQ(c.ok, !!cell.SetValue(c.in)) << c.kept;
        caller = 6;  // a stored reference would follow this
        EXPECT_EQ(c.kept, Kept(cell));
        VariantClear(&c.before);
        VariantClear(&c.in);
    }
}

void Mark(CGridTable& t)
{
    VARIANT v;
    v.vt = VT_I4;
    for (int r = 0; r < t.Rows(); ++r)
        for (int c = 0; c < t.Cols(); ++c) {
            CCellRef cell = t.GetCell(r, c);
            cell.SetType(2);
            v.lVal = r * 100 + c;
            ASSERT_TRUE(cell.SetValue(v));
            ASSERT_TRUE(cell.Set(&CellAttrs::color, RGB(r, c, 1)));
        }
}

// Every cell outside the first rows x cols is a new one.
void ExpectNew(CGridTable& t, int rows, int cols, const char* what)
{
    for (int r = 0; r < t.Rows(); ++r)
        for (int c = 0; c < t.Cols(); ++c) {
            if (r < rows && c < cols) continue;
            CCellRef cell = t.GetCell(r, c);
            EXPECT_EQ(VT_BSTR, cell.Value().vt) << what << " " << r << "," << c;
            EXPECT_EQ(CellAttrs().color, cell.Color()) << what << " " << r << "," << c;
        }
}

TEST(CellLines, ReusedAndLengthenedLinesHoldNewCells)
{
    CGridTable t;
    t.ResizeCols(4);
    t.ResizeRows(50);
    Mark(t);
    t.ExchangeRows(3, 40);
    t.ResizeRows(10);  // the lines of rows 10..49 go back
    t.ResizeRows(60);  // and are used again
    ExpectNew(t, 10, 4, "rows again");
    EXPECT_EQ(4002, t.GetCell(3, 2).Value().lVal);

    t.ResizeCols(2);  // lines keep their length
    t.ResizeCols(6);
    ExpectNew(t, 10, 2, "columns again");
    EXPECT_EQ(901, t.GetCell(9, 1).Value().lVal);
    EXPECT_EQ(RGB(9, 1, 1), t.GetCell(9, 1).Color());
    t.ResizeRows(0);
    EXPECT_EQ(0u, t.AttrSets());
}

TEST(CellLines, BlocksGoWhenEmptyAndGrowWithTheTable)
{
    CCellLines lines;
    lines.SetStride(10);
    lines.Reserve(3);
    CellSlot* a = lines.Take();
    CellSlot* b = lines.Take();
    CellSlot* c = lines.Take();
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(1u, lines.Blocks());
    EXPECT_EQ(nullptr, lines.Take());  // nothing reserved
    lines.Give(b);
    lines.Reserve(1);
    EXPECT_EQ(b, lines.Take());  // given back, used first
    lines.Reserve(2);  // a second block, as large as what the table holds
    EXPECT_EQ(2u, lines.Blocks());
    lines.SetStride(20);  // lines already out keep theirs
    EXPECT_EQ(10u, lines.Capacity(a));
    for (CellSlot* p : {a, b, c}) lines.Give(p);
    EXPECT_EQ(1u, lines.Blocks());  // the unused one stays until used
    EXPECT_EQ(0u, lines.Capacity(nullptr));
}

} // namespace
