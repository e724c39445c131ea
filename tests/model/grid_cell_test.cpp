// One cell: defaults, value conversions, type changes, fonts and its button.
#include <windows.h>
#include <gtest/gtest.h>
#include <olectl.h>

#include "framework/com_ptr.h"
#include "model/GridCell.h"

namespace {

VARIANT Text(const wchar_t* s, fw::Variant& holder)
{
    holder.Ref().vt = VT_BSTR;
    holder.Ref().bstrVal = s ? SysAllocString(s) : nullptr;
    return holder.Ref();
}

VARIANT Long(LONG n)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = n;
    return v;
}

std::wstring FontName(IFontDisp* disp)
{
    fw::ComPtr<IFont> font;
    EXPECT_HRESULT_SUCCEEDED(disp->QueryInterface(IID_IFont, font.PutVoid()));
    fw::Bstr name;
    font->get_Name(name.Put());
    return name.Get() ? name.Get() : L"";
}

TEST(GridCell, NewCellHoldsTheDefaults)
{
    CGridCell cell;
    EXPECT_EQ(VT_BSTR, cell.Value().vt);
    ASSERT_NE(nullptr, cell.Value().bstrVal);
    EXPECT_EQ(0u, SysStringLen(cell.Value().bstrVal));
    EXPECT_EQ(ctString, cell.m_CType);
    EXPECT_EQ(1, cell.m_Editable);
    EXPECT_EQ(0, cell.m_Alignment);
    EXPECT_EQ(0, cell.m_WordWrap);
    EXPECT_EQ(0, cell.m_TypeEx);
    EXPECT_EQ(0u, cell.m_FontColor);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), cell.m_Color);
    for (const CCellText* t : {&cell.m_Hint, &cell.m_NUMFormat, &cell.m_DTFormat}) {
        fw::Bstr copy;
        *copy.Put() = t->Copy();
        ASSERT_NE(nullptr, copy.Get());  // an empty string, not a null one
        EXPECT_EQ(0u, copy.Length());
    }

    fw::ComPtr<IFontDisp> font;
    ASSERT_HRESULT_SUCCEEDED(cell.get_Font(font.Put()));
    ASSERT_TRUE(font);
    // Each cell has a font object of its own.
    CGridCell other;
    fw::ComPtr<IFontDisp> otherFont;
    other.get_Font(otherFont.Put());
    EXPECT_NE(font.Get(), otherFont.Get());
    EXPECT_EQ(FontName(font.Get()), FontName(otherFont.Get()));
}

TEST(GridCell, TextsKeepNullApartFromEmpty)
{
    CCellText text;
    text.Set(nullptr);
    EXPECT_EQ(nullptr, text.Copy());
    EXPECT_STREQ(L"", text.Text());

    fw::Bstr value(L"dd.MM.yyyy");
    text.Set(value.Get());
    fw::Bstr copy;
    *copy.Put() = text.Copy();
    EXPECT_STREQ(L"dd.MM.yyyy", copy.Get());
    EXPECT_NE(value.Get(), copy.Get());
}

TEST(GridCell, EmptyTextBecomesZeroOnlyInNumberCells)
{
    fw::Variant empty;
    Text(L"", empty);

    CGridCell dbl;
    dbl.m_CType = ctDouble;
    EXPECT_TRUE(dbl.SetValue(empty.Ref()));
    EXPECT_EQ(VT_R8, dbl.Value().vt);
    EXPECT_EQ(0.0, dbl.Value().dblVal);

    fw::Variant nullText;
    Text(nullptr, nullText);
    CGridCell integer;
    integer.m_CType = ctInteger;
    EXPECT_TRUE(integer.SetValue(nullText.Ref()));
    EXPECT_EQ(VT_I4, integer.Value().vt);
    EXPECT_EQ(0, integer.Value().lVal);

    // A Date cell gets no substitution: the empty text is refused.
    CGridCell date;
    date.m_CType = ctDate;
    VARIANT old = Long(36526);
    ASSERT_TRUE(date.SetValue(old));
    EXPECT_FALSE(date.SetValue(empty.Ref()));
    EXPECT_EQ(VT_DATE, date.Value().vt);
    EXPECT_EQ(36526.0, date.Value().date);
}

TEST(GridCell, ValuesAreStoredAsTheCellsType)
{
    fw::Variant text42, letters;
    Text(L"42", text42);
    Text(L"abc", letters);

    CGridCell integer;
    integer.m_CType = ctInteger;
    EXPECT_TRUE(integer.SetValue(text42.Ref()));
    EXPECT_EQ(VT_I4, integer.Value().vt);
    EXPECT_EQ(42, integer.Value().lVal);
    EXPECT_FALSE(integer.SetValue(letters.Ref()));
    EXPECT_EQ(42, integer.Value().lVal);

    CGridCell str;
    EXPECT_TRUE(str.SetValue(Long(42)));
    ASSERT_EQ(VT_BSTR, str.Value().vt);
    EXPECT_STREQ(L"42", str.Value().bstrVal);

    // Codes outside the table store the value as it comes.
    CGridCell other;
    other.m_CType = 9;
    EXPECT_TRUE(other.SetValue(Long(7)));
    EXPECT_EQ(VT_I4, other.Value().vt);
}

TEST(GridCell, ValueByReferenceIsStoredDereferenced)
{
    LONG n = 5;
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_BYREF | VT_I4;
    ref.plVal = &n;
    CGridCell other;
    other.m_CType = 9;
    EXPECT_TRUE(other.SetValue(ref));
    n = 6;
    EXPECT_EQ(VT_I4, other.Value().vt);
    EXPECT_EQ(5, other.Value().lVal);
}

TEST(GridCell, TypeChangeTestsButDoesNotConvert)
{
    fw::Variant text42, letters;
    Text(L"42", text42);
    Text(L"abc", letters);

    CGridCell keeps;
    keeps.SetValue(text42.Ref());
    keeps.SetType(ctInteger);
    EXPECT_EQ(ctInteger, keeps.m_CType);
    ASSERT_EQ(VT_BSTR, keeps.Value().vt);
    EXPECT_STREQ(L"42", keeps.Value().bstrVal);

    CGridCell empties;
    empties.SetValue(letters.Ref());
    empties.SetType(ctDouble);
    EXPECT_EQ(VT_EMPTY, empties.Value().vt);

    // 9 is VT_DISPATCH, which a text cannot become.
    CGridCell odd;
    odd.SetValue(text42.Ref());
    odd.SetType(9);
    EXPECT_EQ(9, odd.m_CType);
    EXPECT_EQ(VT_EMPTY, odd.Value().vt);

    // The next store uses the new type.
    keeps.SetValue(text42.Ref());
    EXPECT_EQ(VT_I4, keeps.Value().vt);
}

TEST(GridCell, FontSlotsCloneOrShare)
{
    fw::ComPtr<IFontDisp> mine;
    mine.Attach(CreateStandardFont());
    ASSERT_TRUE(mine);

    CGridCell cloned;
    cloned.put_Font(mine.Get());
    fw::ComPtr<IFontDisp> got;
    cloned.get_Font(got.Put());
    ASSERT_TRUE(got);
    EXPECT_NE(mine.Get(), got.Get());
    EXPECT_EQ(FontName(mine.Get()), FontName(got.Get()));

    CGridCell a, b;
    a.putref_Font(mine.Get());
    b.putref_Font(mine.Get());
    mine->AddRef();
    ULONG before = mine->Release();
    a.putref_Font(mine.Get());  // the same font again changes nothing
    mine->AddRef();
    EXPECT_EQ(before, mine->Release());
    fw::ComPtr<IFontDisp> fa, fb;
    a.get_Font(fa.Put());
    b.get_Font(fb.Put());
    EXPECT_EQ(mine.Get(), fa.Get());
    EXPECT_EQ(mine.Get(), fb.Get());

    CGridCell none;
    none.put_Font(nullptr);
    fw::ComPtr<IFontDisp> nothing;
    EXPECT_HRESULT_SUCCEEDED(none.get_Font(nothing.Put()));
    EXPECT_FALSE(nothing);
    EXPECT_EQ(nullptr, none.Font());
}

TEST(GridCell, ButtonNeedsAParentAndIsPlacedOnlyWithTheButtonBit)
{
    CGridCell cell;
    cell.CreateButton(nullptr, RECT{0, 0, 20, 20});
    EXPECT_FALSE(cell.HasButton());

    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, parent);
    cell.CreateButton(parent, RECT{30, 40, 50, 60});
    ASSERT_TRUE(cell.HasButton());
    HWND button = cell.ButtonWindow();
    EXPECT_FALSE(GetWindowLongW(button, GWL_STYLE) & WS_VISIBLE);

    cell.PositionButton(RECT{30, 40, 50, 60});  // TypeEx 0: nothing happens
    EXPECT_FALSE(GetWindowLongW(button, GWL_STYLE) & WS_VISIBLE);

    cell.m_TypeEx = txButton | txCalendar;
    cell.PositionButton(RECT{60, 40, 80, 60});
    EXPECT_TRUE(GetWindowLongW(button, GWL_STYLE) & WS_VISIBLE);
    RECT r;
    GetWindowRect(button, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(60, r.left);
    EXPECT_EQ(40, r.top);
    EXPECT_EQ(20, r.right - r.left);

    cell.PositionButton(RECT{0, 0, 0, 0});  // off screen: hidden
    EXPECT_FALSE(GetWindowLongW(button, GWL_STYLE) & WS_VISIBLE);

    cell.DestroyButton();
    EXPECT_FALSE(IsWindow(button));
    DestroyWindow(parent);
}

} // namespace
