#include "support/msgbox.h"

namespace test {
namespace {

thread_local MessageBoxCatcher* t_current = nullptr;

std::wstring WindowText(HWND hwnd)
{
    int n = GetWindowTextLengthW(hwnd);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    n = GetWindowTextW(hwnd, s.data(), n + 1);
    s.resize(static_cast<size_t>(n > 0 ? n : 0));
    return s;
}

} // namespace

MessageBoxCatcher::MessageBoxCatcher()
    : m_hook(SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId())),
      m_previous(t_current)
{
    t_current = this;
}

MessageBoxCatcher::~MessageBoxCatcher()
{
    t_current = m_previous;
    if (m_hook) UnhookWindowsHookEx(m_hook);
}

LRESULT CALLBACK MessageBoxCatcher::Hook(int code, WPARAM wp, LPARAM lp)
{
    if (code == HCBT_ACTIVATE && t_current) {
        HWND hwnd = reinterpret_cast<HWND>(wp);
        wchar_t cls[16] = {};
        GetClassNameW(hwnd, cls, 16);
        if (lstrcmpW(cls, L"#32770") == 0) {
            // The message text is the static control the system numbers 0xFFFF.
            t_current->m_boxes.push_back(CaughtBox{WindowText(hwnd), WindowText(GetDlgItem(hwnd, 0xFFFF))});
            // Answer with the first button the box has.
            for (int id : {IDOK, IDCANCEL, IDYES, IDNO, IDABORT, IDRETRY, IDIGNORE}) {
                if (GetDlgItem(hwnd, id)) {
                    PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
                    break;
                }
            }
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

} // namespace test
