#include "model/GridCell.h"
#include "model/GridTable.h"

#include <olectl.h>

#include <algorithm>
#include <new>
#include <utility>

#include "framework/com_ptr.h"

namespace {

// Read when the module loads, as every new cell's background.
const COLORREF g_windowColor = GetSysColor(COLOR_WINDOW);

const VARTYPE kCellVarTypes[] = {
    VT_BOOL, VT_I4, VT_I4, VT_R4, VT_R8, VT_CY, VT_BSTR, VT_DATE,
};

} // namespace

VARTYPE VarTypeOfCellType(int type) noexcept
{
    if (type >= 0 && type < static_cast<int>(sizeof kCellVarTypes / sizeof kCellVarTypes[0]))
        return kCellVarTypes[type];
    return static_cast<VARTYPE>(type);
}

IFontDisp* CreateStandardFont() noexcept
{
    FONTDESC desc = {};
    desc.cbSizeofstruct = sizeof(FONTDESC);
    desc.lpstrName = const_cast<LPOLESTR>(L"MS Sans Serif");
    desc.cySize.int64 = 80000;  // 8 points
    desc.sWeight = 0;
    desc.sCharset = 0;
    desc.fItalic = FALSE;
    desc.fUnderline = FALSE;
    desc.fStrikethrough = FALSE;
    IFontDisp* font = nullptr;
    if (FAILED(OleCreateFontIndirect(&desc, IID_IFontDisp, reinterpret_cast<void**>(&font))))
        return nullptr;
    return font;
}

COLORREF DefaultCellColor() noexcept
{
    return g_windowColor;
}

// --- CCellText -------------------------------------------------------------

BSTR CCellText::Copy() const noexcept
{
    if (m_null) return nullptr;
    return SysAllocString(Text());
}

HRESULT CCellText::Set(BSTR s) noexcept
{
    BSTR copy = nullptr;
    if (s && *s) {
        copy = SysAllocString(s);
        if (!copy) return E_OUTOFMEMORY;
    }
    if (m_s) SysFreeString(m_s);
    m_s = copy;
    m_null = (s == nullptr);
    return S_OK;
}

// --- Storage -----------------------------------------------------------------

CellSlot NewCellSlot() noexcept
{
    CellSlot slot;
    VariantInit(&slot.value);
    slot.attrs = 0;
    slot.extras = 0;
    slot.valueUnmade = 1;
    slot.focus = 0;
    slot.buttonListed = 0;
    return slot;
}

CellExtras::~CellExtras()
{
    if (button && IsWindow(button)) DestroyWindow(button);
    if (font) font->Release();
}

HWND MakeCellButton(HWND parent, const RECT& rect)
{
    if (!parent) return nullptr;
    return CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_BORDER,
                           rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                           parent, nullptr,
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)),
                           nullptr);
}

void PlaceCellButton(HWND button, const RECT& rect)
{
    RECT now;
    GetWindowRect(button, &now);
    MapWindowPoints(HWND_DESKTOP, GetParent(button), reinterpret_cast<POINT*>(&now), 2);
    if (!(now.left == rect.left && now.top == rect.top && IsWindowVisible(button))) {
        if (rect.top != 0) {
            SetWindowPos(button, nullptr, rect.left, rect.top, rect.right - rect.left,
                         rect.bottom - rect.top, SWP_NOZORDER | SWP_SHOWWINDOW);
            LONG_PTR style = GetWindowLongPtrW(button, GWL_STYLE);
            SetWindowLongPtrW(button, GWL_STYLE, style | WS_VISIBLE);
        } else {
            ShowWindow(button, SW_HIDE);
        }
    }
    InvalidateRect(button, nullptr, FALSE);
    UpdateWindow(button);
}

fw::ComPtr<IFontDisp> CloneFont(IFontDisp* font)
{
    fw::ComPtr<IFontDisp> copy;
    fw::ComPtr<IFont> source;
    fw::ComPtr<IFont> clone;
    if (font && SUCCEEDED(font->QueryInterface(IID_IFont, source.PutVoid())) &&
        SUCCEEDED(source->Clone(clone.Put())) && clone)
        clone->QueryInterface(IID_IFontDisp, copy.PutVoid());
    return copy;
}

// --- CCellRef: storage ------------------------------------------------------------

namespace {

const CellAttrs g_defaultAttrs;
const CCellText g_defaultText;
const VARIANT g_noValue = {};

} // namespace

CellSlot* CCellRef::Slot() const noexcept
{
    if (!m_table || !m_table->IsValid(m_row, m_col)) return nullptr;
    return &m_table->m_lines[m_row][m_col];
}

CellExtras* CCellRef::Extras() const noexcept
{
    CellSlot* slot = Slot();
    return slot ? m_table->ExtrasOf(*slot) : nullptr;
}

CellExtras* CCellRef::MakeExtras() const noexcept
{
    CellSlot* slot = Slot();
    if (!slot) return nullptr;
    if (slot->extras) return m_table->ExtrasOf(*slot);
    auto& all = m_table->m_extras;
    auto& free = m_table->m_freeExtras;
    try {
        auto extras = std::make_unique<CellExtras>();
        std::uint32_t i;
        if (!free.empty()) {
            i = free.back();
            free.pop_back();
            all[i] = std::move(extras);
        } else {
            if (all.size() == all.capacity()) {
                const size_t cap = std::max<size_t>(16, all.size() * 2);
                all.reserve(cap);
                free.reserve(cap);
            }
            i = static_cast<std::uint32_t>(all.size());
            all.push_back(std::move(extras));
        }
        slot->extras = i + 1;
        return all[i].get();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void CCellRef::DropEmptyExtras() const noexcept
{
    CellSlot* slot = Slot();
    if (!slot || !slot->extras) return;
    const std::uint32_t i = slot->extras - 1;
    if (!m_table->m_extras[i]->Empty()) return;
    // An empty record runs no code as it goes.
    m_table->m_extras[i].reset();
    m_table->m_freeExtras.push_back(i);
    slot->extras = 0;
}

// --- CCellRef: value ---------------------------------------------------------------

bool CCellRef::ValueMade() const noexcept
{
    const CellSlot* slot = Slot();
    return slot && !slot->valueUnmade;
}

const VARIANT& CCellRef::Value() const noexcept
{
    CellSlot* slot = Slot();
    if (!slot) return g_noValue;
    if (slot->valueUnmade) {
        slot->valueUnmade = 0;
        slot->value.vt = VT_BSTR;
        slot->value.bstrVal = SysAllocString(L"");
    }
    return slot->value;
}

void CCellRef::ClearValue() const noexcept
{
    fw::Variant old;
    TakeValue(old);
}

HRESULT CCellRef::GetValue(VARIANT* out) const noexcept
{
    // An out-argument: whatever it held is not the caller's to free.
    VariantInit(out);
    return VariantCopy(out, const_cast<VARIANT*>(&Value()));
}

void CCellRef::TakeValue(fw::Variant& v) const noexcept
{
    // Moved, not copied: a copy could fail, and freeing the old value first
    // could run an object's code while the cell is half written.
    CellSlot* slot = Slot();
    if (!slot) return;
    slot->valueUnmade = 0;
    std::swap(slot->value, v.Ref());
}

bool CCellRef::CanTakeType(const VARIANT& value, int type)
{
    // Only a test: a value keeps its old VARTYPE when it can take the new one.
    fw::Variant probe;
    VariantCopy(probe.Ptr(), const_cast<VARIANT*>(&value));
    return SUCCEEDED(VariantChangeType(probe.Ptr(), probe.Ptr(), 0, VarTypeOfCellType(type)));
}

void CCellRef::ApplyType(int type, bool keepValue, fw::Variant& old) const noexcept
{
    if (!Set(&CellAttrs::ctype, type) || keepValue) return;
    old.Clear();
    TakeValue(old);
}

void CCellRef::SetType(int type) const
{
    fw::Variant old;
    ApplyType(type, CanTakeType(Value(), type), old);
}

bool CCellRef::ConvertValue(const VARIANT& value, int type, fw::Variant& out)
{
    // Dereferenced, so that no cell keeps a pointer into its caller's memory.
    out.Clear();
    if (FAILED(VariantCopyInd(out.Ptr(), const_cast<VARIANT*>(&value)))) return false;

    if (out.Ref().vt == VT_BSTR && type >= ctInteger && type <= ctDouble) {
        fw::Variant empty;
        empty.Ref().vt = VT_BSTR;
        empty.Ref().bstrVal = SysAllocString(L"");
        if (VarCmp(out.Ptr(), empty.Ptr(), LOCALE_USER_DEFAULT, 0) == VARCMP_EQ) {
            out.Clear();
            out.Ref().vt = VT_BSTR;
            out.Ref().bstrVal = SysAllocString(L"0");
        }
    }

    VARTYPE target = (type >= ctBoolean && type <= ctDate) ? VarTypeOfCellType(type) : out.Ref().vt;
    return out.Ref().vt == target || SUCCEEDED(VariantChangeType(out.Ptr(), out.Ptr(), 0, target));
}

BOOL CCellRef::SetValue(const VARIANT& value) const
{
    fw::Variant converted;
    if (!Slot() || !ConvertValue(value, CType(), converted)) return FALSE;
    TakeValue(converted);
    return TRUE;
}

// --- CCellRef: attributes ----------------------------------------------------------

const CellAttrs& CCellRef::Attrs() const noexcept
{
    CellSlot* slot = Slot();
    return slot ? m_table->m_attrs[slot->attrs] : g_defaultAttrs;
}

bool CCellRef::SetAttrs(const CellAttrs& attrs) const noexcept
{
    CellSlot* slot = Slot();
    if (!slot) return false;
    try {
        const std::uint32_t set = m_table->m_attrs.Intern(attrs);
        m_table->m_attrs.Release(slot->attrs);
        slot->attrs = set;
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

const CCellText& CCellRef::Text(CCellText CellExtras::*which) const noexcept
{
    const CellExtras* extras = Extras();
    return extras ? extras->*which : g_defaultText;
}

HRESULT CCellRef::SetText(CCellText CellExtras::*which, BSTR s) const noexcept
{
    if (!Slot()) return S_OK;
    // A new cell's empty text needs no record.
    if (s && !*s && !Extras()) return S_OK;
    CellExtras* extras = MakeExtras();
    if (!extras) return E_OUTOFMEMORY;
    const HRESULT hr = (extras->*which).Set(s);
    DropEmptyExtras();
    return hr;
}

bool CCellRef::Focused() const noexcept
{
    const CellSlot* slot = Slot();
    return slot && slot->focus;
}

bool CCellRef::ButtonListed() const noexcept
{
    const CellSlot* slot = Slot();
    return slot && slot->buttonListed;
}

// --- CCellRef: font ----------------------------------------------------------------

bool CCellRef::FontMade() const noexcept
{
    const CellExtras* extras = Extras();
    return extras && extras->fontMade;
}

IFontDisp* CCellRef::Font() const
{
    if (const CellExtras* extras = Extras()) {
        if (extras->fontMade) return extras->font;
    }
    if (!Slot()) return nullptr;
    IFontDisp* made = CreateStandardFont();
    CellExtras* extras = MakeExtras();
    if (!extras) {
        if (made) made->Release();
        return nullptr;
    }
    if (extras->fontMade) {
        if (made) made->Release();
    } else {
        extras->fontMade = true;
        extras->font = made;
    }
    return extras->font;
}

HRESULT CCellRef::get_Font(IFontDisp** ppFont) const
{
    IFontDisp* font = Font();
    if (font) font->AddRef();
    *ppFont = font;
    return S_OK;
}

HRESULT CCellRef::put_Font(IFontDisp* pFont) const
{
    fw::ComPtr<IFontDisp> old;
    old.Attach(ExchangeFont(CloneFont(pFont).Detach()));
    return S_OK;
}

HRESULT CCellRef::putref_Font(IFontDisp* pFont) const
{
    // An unmade font is an object no host holds, so it never equals pFont.
    const CellExtras* extras = Extras();
    if (extras && extras->fontMade && pFont == extras->font) return S_OK;
    if (pFont) pFont->AddRef();
    fw::ComPtr<IFontDisp> old;
    old.Attach(ExchangeFont(pFont));
    return S_OK;
}

IFontDisp* CCellRef::ExchangeFont(IFontDisp* font) const noexcept
{
    // Without a record to keep it the font goes back, to be released.
    CellExtras* extras = MakeExtras();
    if (!extras) return font;
    extras->fontMade = true;
    return std::exchange(extras->font, font);
}

// --- CCellRef: choice list -----------------------------------------------------------

std::vector<variant_str>* CCellRef::List() const noexcept
{
    CellExtras* extras = Extras();
    return extras ? extras->variants.get() : nullptr;
}

int CCellRef::VariantCount() const noexcept
{
    const std::vector<variant_str>* list = List();
    return list ? static_cast<int>(list->size()) : 0;
}

void CCellRef::ClearVariants() const noexcept
{
    CellExtras* extras = Extras();
    if (!extras || !extras->variants) return;
    // Freed once the cell is left alone: a value's last release runs its code.
    std::unique_ptr<std::vector<variant_str>> old = std::move(extras->variants);
    DropEmptyExtras();
}

HRESULT CCellRef::AddVariant(const VARIANT& value, BSTR text) const noexcept
{
    if (!Slot()) return S_OK;
    BSTR copy = nullptr;
    if (text) {
        copy = SysAllocString(text);
        if (!copy) return E_OUTOFMEMORY;
    }
    CellExtras* extras = MakeExtras();
    try {
        if (!extras) throw std::bad_alloc();
        if (!extras->variants) extras->variants = std::make_unique<std::vector<variant_str>>();
        extras->variants->emplace_back();
    } catch (const std::bad_alloc&) {
        SysFreeString(copy);
        DropEmptyExtras();
        return E_OUTOFMEMORY;
    }
    variant_str& entry = extras->variants->back();
    entry.text = copy;
    // Dereferenced, so that no entry points into its caller's memory. A
    // value that cannot be copied leaves the entry empty.
    VariantCopyInd(&entry.value, const_cast<VARIANT*>(&value));
    return S_OK;
}

HRESULT CCellRef::GetVariantValue(int index, VARIANT* out) const noexcept
{
    if (index < 0 || index >= VariantCount()) return E_INVALIDARG;
    VariantInit(out);
    return VariantCopy(out, &(*List())[index].value);
}

HRESULT CCellRef::SetVariantValue(int index, const VARIANT& value) const noexcept
{
    if (index < 0 || index >= VariantCount()) return E_INVALIDARG;
    // Copied aside first, so that a failed copy keeps the old value.
    VARIANT copy;
    VariantInit(&copy);
    HRESULT hr = VariantCopyInd(&copy, const_cast<VARIANT*>(&value));
    if (FAILED(hr)) return hr;
    if (index >= VariantCount()) {
        VariantClear(&copy);
        return E_INVALIDARG;
    }
    VARIANT& stored = (*List())[index].value;
    VariantClear(&stored);
    stored = copy;
    return S_OK;
}

HRESULT CCellRef::GetVariantText(int index, BSTR* out) const noexcept
{
    if (index < 0 || index >= VariantCount()) return E_INVALIDARG;
    BSTR text = (*List())[index].text;
    if (!text) {
        *out = nullptr;
        return S_OK;
    }
    BSTR copy = SysAllocString(text);
    if (!copy) return E_OUTOFMEMORY;
    *out = copy;
    return S_OK;
}

HRESULT CCellRef::SetVariantText(int index, BSTR text) const noexcept
{
    if (index < 0 || index >= VariantCount()) return E_INVALIDARG;
    BSTR& stored = (*List())[index].text;
    if (text == stored) return S_OK;
    BSTR copy = nullptr;
    if (text) {
        copy = SysAllocString(text);
        if (!copy) return E_OUTOFMEMORY;
    }
    SysFreeString(stored);
    stored = copy;
    return S_OK;
}

// --- CCellRef: button ----------------------------------------------------------------

HWND CCellRef::ButtonWindow() const noexcept
{
    const CellExtras* extras = Extras();
    return extras ? extras->button : nullptr;
}

void CCellRef::CreateButton(HWND parent, const RECT& rect) const
{
    DestroyButton();
    if (!parent || !Slot()) return;
    // Making the window runs window code: the cell is found again after it.
    HWND made = MakeCellButton(parent, rect);
    if (!made) return;
    CellExtras* extras = MakeExtras();
    if (!extras) {
        DestroyWindow(made);
        return;
    }
    HWND old = std::exchange(extras->button, made);
    if (old && IsWindow(old)) DestroyWindow(old);
}

void CCellRef::DestroyButton() const noexcept
{
    CellExtras* extras = Extras();
    if (!extras || !extras->button) return;
    HWND button = std::exchange(extras->button, nullptr);
    DropEmptyExtras();
    if (IsWindow(button)) DestroyWindow(button);
}

void CCellRef::PositionButton(const RECT& rect) const
{
    HWND button = ButtonWindow();
    if (!(TypeEx() & txButton) || !button) return;
    PlaceCellButton(button, rect);
}

// A cell is its value and two words: anything more is paid ten million times.
static_assert(sizeof(CellSlot) == sizeof(VARIANT) + 2 * sizeof(std::uint32_t), "cell slots stay lean");
