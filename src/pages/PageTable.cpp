#include "pages/PageTable.h"

#include <climits>
#include <string>

#include "framework/com_ptr.h"

namespace pages {
namespace {

// The notification that tells of a change in a control of this kind.
WORD ChangeCode(Shows how)
{
    switch (how) {
    case Shows::List: return CBN_SELCHANGE;
    case Shows::Check:
    case Shows::Flag: return BN_CLICKED;
    default: return EN_CHANGE;
    }
}

std::wstring ControlText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    const int len = control ? GetWindowTextLengthW(control) : 0;
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    if (len > 0) text.resize(static_cast<size_t>(GetWindowTextW(control, &text[0], len + 1)));
    else text.clear();
    return text;
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

bool SameProperty(const Field& a, const Field& b) { return a.how == Shows::Flag && b.how == Shows::Flag && a.putInt == b.putInt; }

} // namespace

int ParseInt(const wchar_t* text)
{
    if (!text) return 0;
    while (*text == L' ' || (*text >= L'\t' && *text <= L'\r')) ++text;
    const bool negative = *text == L'-';
    if (*text == L'-' || *text == L'+') ++text;
    long long value = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        value = value * 10 + (*text - L'0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

const Field* CTablePage::Find(int id) const
{
    for (size_t i = 0; i < m_table.fieldCount; ++i)
        if (m_table.fields[i].id == id) return &m_table.fields[i];
    return nullptr;
}

INT_PTR CTablePage::OnDialogMessage(UINT msg, WPARAM wp, LPARAM)
{
    if (msg == WM_INITDIALOG) {
        Load();
        return FALSE;  // the frame decides where the focus goes
    }
    if (msg != WM_COMMAND) return FALSE;
    const Field* f = Find(LOWORD(wp));
    if (!f || HIWORD(wp) != ChangeCode(f->how)) return FALSE;
    if (!m_loading) SetDirty(true);
    if (f->id == m_table.ruleSource) RunRule();
    return TRUE;
}

void CTablePage::Load()
{
    if (Objects().empty()) return;
    fw::ComPtr<ITessera> grid;
    if (FAILED(Objects().front().As(IID_ITessera, grid))) return;
    m_loading = true;
    // Flags of one property come from one read.
    const Field* group = nullptr;
    int flags = 0;
    for (size_t i = 0; i < m_table.readCount; ++i) {
        const Field* f = Find(m_table.readOrder[i]);
        if (!f) continue;
        if (f->how == Shows::Flag && !(group && SameProperty(*group, *f))) {
            flags = 0;
            (grid.Get()->*f->getInt)(&flags);
        }
        group = f;
        Show(grid.Get(), *f, flags);
    }
    m_loading = false;
    RunRule();
}

void CTablePage::Show(ITessera* grid, const Field& f, int flags)
{
    HWND dialog = Handle();
    int number = 0;
    VARIANT_BOOL on = 0;
    fw::Bstr text;
    switch (f.how) {
    case Shows::Count:
    case Shows::Number:
        if (SUCCEEDED((grid->*f.getInt)(&number)))
            SetDlgItemInt(dialog, f.id, static_cast<UINT>(number), f.how == Shows::Number);
        break;
    case Shows::List: {
        HWND list = GetDlgItem(dialog, f.id);
        SendMessageW(list, CB_RESETCONTENT, 0, 0);
        for (int i = 0; i < f.entryCount; ++i)
            SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.entries[i]));
        if (FAILED((grid->*f.getInt)(&number))) number = -1;
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(number), 0);
        break;
    }
    case Shows::Check:
        if (SUCCEEDED((grid->*f.getBool)(&on))) CheckDlgButton(dialog, f.id, on ? BST_CHECKED : BST_UNCHECKED);
        break;
    case Shows::Flag:
        CheckDlgButton(dialog, f.id, (flags & f.bit) ? BST_CHECKED : BST_UNCHECKED);
        break;
    case Shows::Text:
        if (SUCCEEDED((grid->*f.getText)(text.Put()))) SetDlgItemTextW(dialog, f.id, text.Get() ? text.Get() : L"");
        break;
    case Shows::Value: {
        fw::Variant value, shown;
        if (SUCCEEDED(grid->get_Value(&value)) && SUCCEEDED(VariantChangeType(&shown, &value, 0, VT_BSTR)))
            SetDlgItemTextW(dialog, f.id, shown.Ref().bstrVal ? shown.Ref().bstrVal : L"");
        break;
    }
    }
}

void CTablePage::Write(ITessera* grid, const Field& f, int flags) const
{
    HWND dialog = Handle();
    switch (f.how) {
    case Shows::Count:
    case Shows::Number: (grid->*f.putInt)(ParseInt(ControlText(dialog, f.id).c_str())); break;
    case Shows::List:
        (grid->*f.putInt)(static_cast<int>(SendDlgItemMessageW(dialog, f.id, CB_GETCURSEL, 0, 0)));
        break;
    case Shows::Check: (grid->*f.putBool)(Checked(dialog, f.id) ? 1 : 0); break;
    case Shows::Flag: (grid->*f.putInt)(flags); break;
    case Shows::Text: {
        fw::Bstr text(ControlText(dialog, f.id).c_str());
        (grid->*f.putText)(text.Get());
        break;
    }
    case Shows::Value: {
        fw::Variant value;
        value.Ref().vt = VT_BSTR;
        value.Ref().bstrVal = SysAllocString(ControlText(dialog, f.id).c_str());
        grid->put_Value(value.Ref());
        break;
    }
    }
}

HRESULT CTablePage::OnApply()
{
    OutputDebugStringA(m_table.applyTrace);
    // Without its dialog the page has nothing of its own to write.
    if (!Handle()) return S_OK;
    for (const auto& object : Objects()) {
        fw::ComPtr<ITessera> grid;
        if (FAILED(object.As(IID_ITessera, grid))) continue;
        int flags = 0;
        for (size_t i = 0; i < m_table.fieldCount; ++i) {
            const Field& f = m_table.fields[i];
            if (f.how == Shows::Flag) {
                if (Checked(Handle(), f.id)) flags |= f.bit;
                const bool last = i + 1 == m_table.fieldCount || !SameProperty(f, m_table.fields[i + 1]);
                if (!last) continue;
            }
            Write(grid.Get(), f, flags);
            flags = 0;
        }
    }
    return S_OK;
}

void CTablePage::RunRule()
{
    if (m_table.rule && Handle()) m_table.rule(Handle());
}

} // namespace pages
