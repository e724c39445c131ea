// One cell: what a new cell holds, value conversions, type changes, font
// references and its button.
#include <windows.h>
#include <gtest/gtest.h>
#include <olectl.h>

#include <string>

#include "framework/com_ptr.h"
#include "model/GridTable.h"

namespace {

VARIANT Make(VARTYPE vt, double n, const wchar_t* s = nullptr)
{
    VARIANT v;
    VariantInit(&v);
    if (vt == VT_BSTR) {
        v.vt = VT_BSTR;
        v.bstrVal = s ? SysAllocString(s) : nullptr;
        return v;
    }
    v.vt = VT_R8;
    v.dblVal = n;
    VariantChangeType(&v, &v, 0, vt);
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

// A type change only tests the value: it keeps it unconverted when it could
// take the type and empties it when not; the next store converts.
TEST(GridCell, TypeChangeTestsButDoesNotConvert)
{
    const struct { const wchar_t* text; int type; const wchar_t* kept; const wchar_t* stored; } cases[] = {
        {L"42", ctInteger, L"8:42", L"3:42"}, {L"abc", ctDouble, L"0:", L"5:42"},
        {L"42", 9, L"0:", L"8:42"},  // 9 is VT_DISPATCH, which a text cannot become
    };
    for (const auto& c : cases) {
        fw::Variant text, again;
        text.Ref() = Make(VT_BSTR, 0, c.text);
        again.Ref() = Make(VT_BSTR, 0, L"42");
        Cells one;
        const CCellRef cell = one[0];
        cell.SetValue(text.Ref());
        cell.SetType(c.type);
        EXPECT_EQ(c.type, cell.CType());
        EXPECT_EQ(c.kept, Kept(cell));
        cell.SetValue(again.Ref());
        EXPECT_EQ(c.stored, Kept(cell)) << c.text;
    }
}

// Clones and sharing are checked through the control; here the references.
TEST(GridCell, SharingTheSameFontAgainKeepsItsReferences)
{
    fw::ComPtr<IFontDisp> mine;
    mine.Attach(CreateStandardFont());
    ASSERT_TRUE(mine);
    Cells one;
    const CCellRef cell = one[0];
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

TEST(GridCell, ButtonNeedsAParentAndIsPlacedOnlyWithTheButtonBit)
{
    Cells one;
    const CCellRef cell = one[0];
    cell.CreateButton(nullptr, RECT{0, 0, 20, 20});
    EXPECT_FALSE(cell.HasButton());

    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, parent);
    cell.CreateButton(parent, RECT{30, 40, 50, 60});
    ASSERT_TRUE(cell.HasButton());
    HWND button = cell.ButtonWindow();
    auto shown = [&] { return (GetWindowLongW(button, GWL_STYLE) & WS_VISIBLE) != 0; };
    EXPECT_FALSE(shown());
    cell.PositionButton(RECT{30, 40, 50, 60});  // TypeEx 0: nothing happens
    EXPECT_FALSE(shown());

    cell.Set(&CellAttrs::typeEx, txButton | txCalendar);
    cell.PositionButton(RECT{60, 40, 80, 60});
    EXPECT_TRUE(shown());
    RECT r;
    GetWindowRect(button, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(60, r.left);
    EXPECT_EQ(40, r.top);
    EXPECT_EQ(20, r.right - r.left);
    cell.PositionButton(RECT{0, 0, 0, 0});  // off screen: hidden
    EXPECT_FALSE(shown());

    cell.DestroyButton();
    EXPECT_FALSE(IsWindow(button));
    DestroyWindow(parent);
}

} // namespace
