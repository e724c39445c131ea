// What a cell of the grid stores: its value and a small slot in the table,
// the attributes many cells share, and the few that only some cells have.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdint>
#include <cstddef>
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
    // The empty, not null, text of a new cell.
    bool IsDefault() const noexcept { return !m_s && !m_null; }

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

// The plain attributes of a cell. Most cells of a table have the same few
// sets, so the table keeps each set once and cells refer to it by index.
struct CellAttrs {
    COLORREF fontColor = 0;
    COLORREF color = DefaultCellColor();
    int typeEx = 0;
    int ctype = ctString;
    int wordWrap = 0;
    int editable = 1;
    int alignment = 0;

    bool operator==(const CellAttrs& o) const noexcept
    {
        return fontColor == o.fontColor && color == o.color && typeEx == o.typeEx && ctype == o.ctype
            && wordWrap == o.wordWrap && editable == o.editable && alignment == o.alignment;
    }
    bool operator!=(const CellAttrs& o) const noexcept { return !(*this == o); }
};

struct CellAttrsHash {
    size_t operator()(const CellAttrs& a) const noexcept
    {
        std::uint64_t h = 1469598103934665603ull;
        for (std::uint32_t v : {static_cast<std::uint32_t>(a.fontColor), static_cast<std::uint32_t>(a.color),
                                static_cast<std::uint32_t>(a.typeEx), static_cast<std::uint32_t>(a.ctype),
                                static_cast<std::uint32_t>(a.wordWrap), static_cast<std::uint32_t>(a.editable),
                                static_cast<std::uint32_t>(a.alignment)})
            h = (h ^ v) * 1099511628211ull;
        return static_cast<size_t>(h ^ (h >> 32));
    }
};

// The attributes few cells have, kept aside so that other cells pay nothing
// for them: a font object, a button window, a choice list, texts.
struct CellExtras {
    CellExtras() noexcept = default;
    CellExtras(const CellExtras&) = delete;
    CellExtras& operator=(const CellExtras&) = delete;
    // Takes the button window down and releases the font: window and host
    // code may run, so the table lets these go only once it is whole.
    ~CellExtras();

    // Nothing beyond what a new cell has: the record can go.
    bool Empty() const noexcept
    {
        return !fontMade && !button && !variants && hint.IsDefault() && numFormat.IsDefault()
            && dtFormat.IsDefault();
    }

    IFontDisp* font = nullptr;
    bool fontMade = false;  // false: the cell still has the standard font, not yet made
    HWND button = nullptr;
    // Choice list, in the order of addition; null while empty.
    std::unique_ptr<std::vector<variant_str>> variants;
    CCellText hint;
    CCellText numFormat;
    CCellText dtFormat;
};

// One cell as the table stores it, moved by plain copies. Its value may be
// "unmade": a new cell's empty string, made when first read.
struct CellSlot {
    VARIANT value;
    std::uint32_t attrs;          // index of the shared attribute set; 0 is the default set
    std::uint32_t extras : 28;    // 1 + index of the cell's extras; 0 for none
    std::uint32_t valueUnmade : 1;
    std::uint32_t focus : 1;
    std::uint32_t buttonListed : 1;  // in the table's count of button cells
};

// A new cell as stored.
CellSlot NewCellSlot() noexcept;
// Makes a hidden push button, child of parent, at rect; null without a parent.
HWND MakeCellButton(HWND parent, const RECT& rect);
// Places or hides a cell's button as the screen has it.
void PlaceCellButton(HWND button, const RECT& rect);
