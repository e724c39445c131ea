#include "framework/property_page.h"

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <new>

#include "framework/module.h"

namespace fw {
namespace {

HINSTANCE ResourceModule() { return Module::Instance() ? Module::Instance() : GetModuleHandleW(nullptr); }

INT_PTR CALLBACK MeasureProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The dialog's size in pixels. Dialog units depend on the template's own
// font, so a hidden pop-up copy of the dialog converts them.
bool DialogPixels(UINT id, SIZE& size)
{
    HRSRC res = FindResourceW(ResourceModule(), MAKEINTRESOURCEW(id), reinterpret_cast<LPCWSTR>(RT_DIALOG));
    HGLOBAL mem = res ? LoadResource(ResourceModule(), res) : nullptr;
    const auto* bytes = mem ? static_cast<const BYTE*>(LockResource(mem)) : nullptr;
    const DWORD length = res ? SizeofResource(ResourceModule(), res) : 0;
    if (!bytes || length < sizeof(DLGTEMPLATE)) return false;
    std::vector<BYTE> copy(bytes, bytes + length);
    const auto* words = reinterpret_cast<const WORD*>(bytes);
    const bool extended = words[0] == 1 && words[1] == 0xFFFF;
    DWORD style = 0;
    const size_t styleAt = extended ? 12 : 0;  // DLGTEMPLATEEX: version, signature, help id, ex style, style
    memcpy(&style, &copy[styleAt], sizeof style);
    style = (style & ~(WS_CHILD | WS_VISIBLE)) | WS_POPUP;
    memcpy(&copy[styleAt], &style, sizeof style);
    short cx = 0, cy = 0;
    memcpy(&cx, bytes + (extended ? 22 : 14), sizeof cx);
    memcpy(&cy, bytes + (extended ? 24 : 16), sizeof cy);
    HWND dialog = CreateDialogIndirectParamW(ResourceModule(), reinterpret_cast<LPCDLGTEMPLATEW>(copy.data()),
                                             nullptr, MeasureProc, 0);
    if (!dialog) return false;
    RECT rc = {0, 0, cx, cy};
    MapDialogRect(dialog, &rc);
    DestroyWindow(dialog);
    size.cx = rc.right;
    size.cy = rc.bottom;
    return true;
}

} // namespace

PropertyPage::~PropertyPage()
{
    if (m_hwnd) DestroyWindow(m_hwnd);
}

LPOLESTR PropertyPage::LoadTaskString(UINT id)
{
    const wchar_t* text = nullptr;
    int len = LoadStringW(ResourceModule(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (len <= 0 || !text) return nullptr;
    auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc((static_cast<size_t>(len) + 1) * sizeof(wchar_t)));
    if (!copy) return nullptr;
    wmemcpy(copy, text, static_cast<size_t>(len));
    copy[len] = L'\0';
    return copy;
}

STDMETHODIMP PropertyPage::SetPageSite(IPropertyPageSite* site)
{
    // A new site may only replace none, and the site may be taken away.
    if (site && m_site) return E_UNEXPECTED;
    m_site = site;
    return S_OK;
}

STDMETHODIMP PropertyPage::Activate(HWND parent, LPCRECT rect, BOOL)
{
    if (!rect) return E_POINTER;
    if (m_hwnd) return E_UNEXPECTED;
    m_hwnd = CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(m_res.dialog), parent, DialogProc,
                                reinterpret_cast<LPARAM>(this));
    if (!m_hwnd) return E_FAIL;
    Move(rect);
    return S_OK;
}

STDMETHODIMP PropertyPage::Deactivate()
{
    if (!m_hwnd) return E_UNEXPECTED;
    DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
    return S_OK;
}

STDMETHODIMP PropertyPage::GetPageInfo(PROPPAGEINFO* info)
{
    if (!info) return E_POINTER;
    SIZE size = {0, 0};
    if (!DialogPixels(m_res.dialog, size)) return E_FAIL;
    info->cb = sizeof(PROPPAGEINFO);
    info->pszTitle = LoadTaskString(m_res.title);
    info->size = size;
    info->pszDocString = LoadTaskString(m_res.docString);
    info->pszHelpFile = LoadTaskString(m_res.helpFile);
    info->dwHelpContext = 0;
    return S_OK;
}

STDMETHODIMP PropertyPage::SetObjects(ULONG count, IUnknown** objects)
{
    if (count && !objects) return E_POINTER;
    try {
        std::vector<ComPtr<IUnknown>> list;
        list.reserve(count);
        for (ULONG i = 0; i < count; ++i) list.emplace_back(objects[i]);
        m_objects.swap(list);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

STDMETHODIMP PropertyPage::Show(UINT cmd)
{
    if (!m_hwnd) return E_UNEXPECTED;
    ShowWindow(m_hwnd, static_cast<int>(cmd));
    return S_OK;
}

STDMETHODIMP PropertyPage::Move(LPCRECT rect)
{
    if (!rect) return E_POINTER;
    if (!m_hwnd) return E_UNEXPECTED;
    MoveWindow(m_hwnd, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
    return S_OK;
}

STDMETHODIMP PropertyPage::IsPageDirty() { return m_dirty ? S_OK : S_FALSE; }

STDMETHODIMP PropertyPage::Apply()
{
    HRESULT hr = OnApply();
    if (SUCCEEDED(hr)) m_dirty = false;
    return hr;
}

STDMETHODIMP PropertyPage::Help(LPCOLESTR) { return E_NOTIMPL; }

STDMETHODIMP PropertyPage::TranslateAccelerator(MSG* msg)
{
    if (!msg) return E_POINTER;
    if (!m_hwnd) return S_FALSE;
    // Let the dialog manager move between the page's controls.
    return IsDialogMessageW(m_hwnd, msg) ? S_OK : S_FALSE;
}

INT_PTR PropertyPage::OnDialogMessage(UINT, WPARAM, LPARAM) { return FALSE; }
HRESULT PropertyPage::OnApply() { return S_OK; }

void PropertyPage::SetDirty(bool dirty)
{
    if (dirty && !m_dirty && m_site) {
        m_dirty = true;
        m_site->OnStatusChange(PROPPAGESTATUS_DIRTY);
        return;
    }
    m_dirty = dirty;
}

INT_PTR CALLBACK PropertyPage::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(hwnd, DWLP_USER, lp);
        reinterpret_cast<PropertyPage*>(lp)->m_hwnd = hwnd;
    }
    auto* self = reinterpret_cast<PropertyPage*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    return self ? self->OnDialogMessage(msg, wp, lp) : FALSE;
}

} // namespace fw
