// CGridCell: one cell of the grid, with its value and per-cell attributes.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>
#include <olectl.h>

#include <memory>
#include <vector>

#include "framework/com_ptr.h"

// CType codes.
enum CellType : int {
    ctBoolean = 0, ctInteger = 1, ctLong = 2, ctSingle = 3,
    ctDouble = 4, ctCurrency = 5, ctString = 6, ctDate = 7,
};

// TypeEx bits.
enum CellTypeEx : int {
    txCalendar = 1, txEdit = 2, txComboBox = 4, txButton = 8,
};

// The VARTYPE a CType code stores; codes outside the table stand for themselves.
VARTYPE VarTypeOfCellType(int type) noexcept;

// A new 8-point "MS Sans Serif" font, as cells and the control start with;
// null when the platform cannot make one.
IFontDisp* CreateStandardFont() noexcept;

// The window colour, read once when the module loads.
COLORREF DefaultCellColor() noexcept;

// A BSTR held by a cell. Most cells keep the empty string of a new cell, so
// that one costs no allocation; a null BSTR stored by a host stays null.
class CCellText {
public:
    CCellText() noexcept = default;
    CCellText(const CCellText&) = delete;
    CCellText& operator=(const CCellText&) = delete;
    ~CCellText() { if (m_s) SysFreeString(m_s); }

    // A new copy for a caller (SysAllocString semantics: up to the first NUL).
    BSTR Copy() const noexcept;
    // Stores a copy; a null BSTR is stored as null.
    HRESULT Set(BSTR s) noexcept;
    // The text for reading; never null.
    const wchar_t* Text() const noexcept { return m_s ? m_s : L""; }
    // The stored BSTR itself (null for empty or null text), for readers that want its length.
    BSTR Raw() const noexcept { return m_s; }
    bool IsNull() const noexcept { return m_null; }

private:
    BSTR m_s = nullptr;   // null: empty string, or null when m_null
    bool m_null = false;
};

// One choice-list entry: the text shown and the value it stands for, both
// owned. The text may be null.
struct variant_str {
    BSTR text = nullptr;
    VARIANT value;

    variant_str() noexcept { VariantInit(&value); }
    variant_str(variant_str&& o) noexcept : text(o.text), value(o.value)
    {
        o.text = nullptr;
        VariantInit(&o.value);
    }
    variant_str(const variant_str&) = delete;
    variant_str& operator=(const variant_str&) = delete;
    variant_str& operator=(variant_str&&) = delete;
    ~variant_str()
    {
        SysFreeString(text);
        VariantClear(&value);
    }
};

// A copy of a font object that its holder may change alone; null for a null
// font or when the object cannot be copied.
fw::ComPtr<IFontDisp> CloneFont(IFontDisp* font);

class CGridCell {
public:
    CGridCell() noexcept;
    CGridCell(const CGridCell&) = delete;
    CGridCell& operator=(const CGridCell&) = delete;
    virtual ~CGridCell();

    // Font slots. The cell's own first font is made when first asked for.
    virtual HRESULT get_Font(IFontDisp** ppFont);
    virtual HRESULT put_Font(IFontDisp* pFont);   // keeps a clone
    virtual HRESULT putref_Font(IFontDisp* pFont); // shares the object
    // The font for drawing, without an added reference; may be null.
    IFontDisp* Font();
    // False until the font object is made: the cell still has the standard
    // font, which painting can take from elsewhere without making one.
    bool FontMade() const noexcept { return !m_bFontUnmade; }

    // Changes CType; empties the value if it cannot take the new type.
    void SetType(int type);
    // Stores value converted to the cell's type; FALSE when it cannot be.
    BOOL SetValue(const VARIANT& value);
    // Empties the value (VT_EMPTY), whatever the type: a cleared cell.
    void ClearValue() noexcept;

    // The steps of SetType and SetValue apart, for callers that must find
    // the cell again in between: converting an object's value runs its
    // code, which may take the cell away. Preparing never touches a cell.
    // Whether value can take CType type.
    static bool CanTakeType(const VARIANT& value, int type);
    // value converted to what a cell of CType type stores; false when it cannot be.
    static bool ConvertValue(const VARIANT& value, int type, fw::Variant& out);
    // Stores the new type, emptying the value unless it is kept; a value
    // taken out lands in `old`, to be freed once the cell is left alone.
    void ApplyType(int type, bool keepValue, fw::Variant& old) noexcept;
    // Moves a converted value in; the previous value lands in v.
    void TakeValue(fw::Variant& v) noexcept;
    // Puts font in the cell's font slot, taking over the caller's reference;
    // returns the previous font, to be released once the cell is left alone.
    IFontDisp* ExchangeFont(IFontDisp* font) noexcept;
    // The stored value, unconverted.
    const VARIANT& Value() const noexcept;
    HRESULT GetValue(VARIANT* out) const noexcept;

    // Push button shown in the cell (TypeEx 8).
    bool HasButton() const noexcept { return m_hButton != nullptr; }
    HWND ButtonWindow() const noexcept { return m_hButton; }
    // Makes a new hidden button, child of parent, at rect; replaces any old one.
    void CreateButton(HWND parent, const RECT& rect);
    void DestroyButton() noexcept;
    void PositionButton(const RECT& rect);

    // Choice list, in the order of addition. An index outside the list
    // gives E_INVALIDARG and touches nothing; a text that cannot be copied
    // gives E_OUTOFMEMORY and leaves the list as it was.
    int VariantCount() const noexcept { return m_variants ? static_cast<int>(m_variants->size()) : 0; }
    void ClearVariants() noexcept { m_variants.reset(); }
    HRESULT AddVariant(const VARIANT& value, BSTR text) noexcept;
    HRESULT GetVariantValue(int index, VARIANT* out) const noexcept;
    HRESULT SetVariantValue(int index, const VARIANT& value) noexcept;
    HRESULT GetVariantText(int index, BSTR* out) const noexcept;
    HRESULT SetVariantText(int index, BSTR text) noexcept;

    // Plain attributes.
    COLORREF m_FontColor = 0;
    COLORREF m_Color;
    int m_TypeEx = 0;
    int m_CType = ctString;
    int m_WordWrap = 0;
    int m_Editable = 1;
    int m_Alignment = 0;
    CCellText m_Hint;
    CCellText m_NUMFormat;
    CCellText m_DTFormat;

    // Selection state, written by the selection model.
    bool m_bSelected = false;
    bool m_bFocus = false;
    bool m_bButtonListed = false;  // in the table's list of button cells

private:

    // A new cell's empty string is made only when the value is first read.
    mutable VARIANT m_value;
    mutable bool m_bValueUnmade = true;
    bool m_bFontUnmade = true;
    IFontDisp* m_pFont = nullptr;
    HWND m_hButton = nullptr;
    // Made with the first entry: most cells never have a list.
    std::unique_ptr<std::vector<variant_str>> m_variants;
};
