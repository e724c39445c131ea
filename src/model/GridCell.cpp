#include "model/GridCell.h"

#include <olectl.h>

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

// --- CGridCell -------------------------------------------------------------

CGridCell::CGridCell() noexcept : m_Color(g_windowColor)
{
    VariantInit(&m_value);
}

CGridCell::~CGridCell()
{
    DestroyButton();
    VariantClear(&m_value);
    if (m_pFont) m_pFont->Release();
}

const VARIANT& CGridCell::Value() const noexcept
{
    if (m_bValueUnmade) {
        m_bValueUnmade = false;
        m_value.vt = VT_BSTR;
        m_value.bstrVal = SysAllocString(L"");
    }
    return m_value;
}

void CGridCell::ClearValue() noexcept
{
    m_bValueUnmade = false;
    VariantClear(&m_value);
}

HRESULT CGridCell::GetValue(VARIANT* out) const noexcept
{
    // An out-argument: whatever it held is not the caller's to free.
    VariantInit(out);
    return VariantCopy(out, const_cast<VARIANT*>(&Value()));
}

IFontDisp* CGridCell::Font()
{
    if (m_bFontUnmade) {
        m_bFontUnmade = false;
        m_pFont = CreateStandardFont();
    }
    return m_pFont;
}

HRESULT CGridCell::get_Font(IFontDisp** ppFont)
{
    IFontDisp* font = Font();
    if (font) font->AddRef();
    *ppFont = font;
    return S_OK;
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

HRESULT CGridCell::put_Font(IFontDisp* pFont)
{
    fw::ComPtr<IFontDisp> old;
    old.Attach(ExchangeFont(CloneFont(pFont).Detach()));
    return S_OK;
}

HRESULT CGridCell::putref_Font(IFontDisp* pFont)
{
    // An unmade font is an object no host holds, so it never equals pFont.
    if (!m_bFontUnmade && pFont == m_pFont) return S_OK;
    if (pFont) pFont->AddRef();
    fw::ComPtr<IFontDisp> old;
    old.Attach(ExchangeFont(pFont));
    return S_OK;
}

IFontDisp* CGridCell::ExchangeFont(IFontDisp* font) noexcept
{
    m_bFontUnmade = false;
    return std::exchange(m_pFont, font);
}

bool CGridCell::CanTakeType(const VARIANT& value, int type)
{
    // Only a test: a value keeps its old VARTYPE when it can take the new one.
    fw::Variant probe;
    VariantCopy(probe.Ptr(), const_cast<VARIANT*>(&value));
    return SUCCEEDED(VariantChangeType(probe.Ptr(), probe.Ptr(), 0, VarTypeOfCellType(type)));
}

void CGridCell::ApplyType(int type, bool keepValue, fw::Variant& old) noexcept
{
    m_CType = type;
    if (keepValue) return;
    old.Clear();
    m_bValueUnmade = false;
    std::swap(m_value, old.Ref());
}

void CGridCell::SetType(int type)
{
    fw::Variant old;
    ApplyType(type, CanTakeType(Value(), type), old);
}

bool CGridCell::ConvertValue(const VARIANT& value, int type, fw::Variant& out)
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

void CGridCell::TakeValue(fw::Variant& v) noexcept
{
    // Moved, not copied: a copy could fail, and freeing the old value first
    // could run an object's code while the cell is half written.
    m_bValueUnmade = false;
    std::swap(m_value, v.Ref());
}

BOOL CGridCell::SetValue(const VARIANT& value)
{
    fw::Variant converted;
    if (!ConvertValue(value, m_CType, converted)) return FALSE;
    TakeValue(converted);
    return TRUE;
}

// --- Choice list -----------------------------------------------------------

HRESULT CGridCell::AddVariant(const VARIANT& value, BSTR text) noexcept
{
    BSTR copy = nullptr;
    if (text) {
        copy = SysAllocString(text);
        if (!copy) return E_OUTOFMEMORY;
    }
    try {
        if (!m_variants) m_variants = std::make_unique<std::vector<variant_str>>();
        m_variants->emplace_back();
    } catch (const std::bad_alloc&) {
        SysFreeString(copy);
        return E_OUTOFMEMORY;
    }
    variant_str& entry = m_variants->back();
    entry.text = copy;
    // Dereferenced, so that no entry points into its caller's memory. A
    // value that cannot be copied leaves the entry empty.
    VariantCopyInd(&entry.value, const_cast<VARIANT*>(&value));
    return S_OK;
}

HRESULT CGridCell::GetVariantValue(int index, VARIANT* out) const noexcept
{
    if (index < 0 || index >= VariantCount()) return E_INVALIDARG;
    VariantInit(out);
    return VariantCopy(out, &(*m_variants)[index].value);
}

HRESULT CGridCell::SetVariantValue(int index, const VARIANT& value) noexcept
{
    if (index < 0 || index >= VariantCount()) return E_INVALIDARG;
    // Copied aside first, so that a failed copy keeps the old value.
    VARIANT copy;
    VariantInit(&copy);
    HRESULT hr = VariantCopyInd(&copy, const_cast<VARIANT*>(&value));
    if (FAILED(hr)) return hr;
    VARIANT& stored = (*m_variants)[index].value;
    VariantClear(&stored);
    stored = copy;
    return S_OK;
}

HRESULT CGridCell::GetVariantText(int index, BSTR* out) const noexcept
{
    if (index < 0 || index >= VariantCount()) return E_INVALIDARG;
    BSTR text = (*m_variants)[index].text;
    if (!text) {
        *out = nullptr;
        return S_OK;
    }
    BSTR copy = SysAllocString(text);
    if (!copy) return E_OUTOFMEMORY;
    *out = copy;
    return S_OK;
}

HRESULT CGridCell::SetVariantText(int index, BSTR text) noexcept
{
    if (index < 0 || index >= VariantCount()) return E_INVALIDARG;
    BSTR& stored = (*m_variants)[index].text;
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

// --- Button ----------------------------------------------------------------

void CGridCell::CreateButton(HWND parent, const RECT& rect)
{
    DestroyButton();
    if (!parent) return;
    m_hButton = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_BORDER,
                                rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                                parent, nullptr,
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)),
                                nullptr);
}

void CGridCell::DestroyButton() noexcept
{
    if (m_hButton) {
        if (IsWindow(m_hButton)) DestroyWindow(m_hButton);
        m_hButton = nullptr;
    }
}

void CGridCell::PositionButton(const RECT& rect)
{
    if (!(m_TypeEx & txButton) || !m_hButton) return;

    RECT now;
    GetWindowRect(m_hButton, &now);
    MapWindowPoints(HWND_DESKTOP, GetParent(m_hButton), reinterpret_cast<POINT*>(&now), 2);
    if (!(now.left == rect.left && now.top == rect.top && IsWindowVisible(m_hButton))) {
        if (rect.top != 0) {
            SetWindowPos(m_hButton, nullptr, rect.left, rect.top, rect.right - rect.left,
                         rect.bottom - rect.top, SWP_NOZORDER | SWP_SHOWWINDOW);
            LONG_PTR style = GetWindowLongPtrW(m_hButton, GWL_STYLE);
            SetWindowLongPtrW(m_hButton, GWL_STYLE, style | WS_VISIBLE);
        } else {
            ShowWindow(m_hButton, SW_HIDE);
        }
    }
    InvalidateRect(m_hButton, nullptr, FALSE);
    UpdateWindow(m_hButton);
}
