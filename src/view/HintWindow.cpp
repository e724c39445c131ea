#include "view/HintWindow.h"

#include <commctrl.h>

namespace view {

namespace {

constexpr UINT_PTR kToolId = 1;

TOOLINFOW Tool(HWND control)
{
    TOOLINFOW ti = {};
    // The first form of the record, which every version of the control reads.
    ti.cbSize = TTTOOLINFOW_V1_SIZE;
    ti.uFlags = 0;
    ti.hwnd = control;
    ti.uId = kToolId;
    return ti;
}

} // namespace

bool CHintWindow::Create(HWND control, HINSTANCE instance)
{
    if (m_tip) return true;
    InitCommonControls();
    // No owner: the control destroys it with its window.
    m_tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (!m_tip) return false;
    m_control = control;
    m_cell = CCellID();
    SetWindowPos(m_tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOREDRAW | SWP_NOACTIVATE);
    TOOLINFOW ti = Tool(control);
    wchar_t empty[1] = {0};
    ti.lpszText = empty;
    SendMessageW(m_tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    return true;
}

void CHintWindow::Destroy() noexcept
{
    if (m_tip) DestroyWindow(m_tip);
    m_tip = nullptr;
    m_control = nullptr;
}

bool CHintWindow::Retarget(const CCellID& cell) noexcept
{
    if (cell == m_cell) return false;
    m_cell = cell;
    return true;
}

void CHintWindow::SetTool(const RECT& rc, const wchar_t* text)
{
    if (!m_tip) return;
    TOOLINFOW ti = Tool(m_control);
    ti.rect = rc;
    SendMessageW(m_tip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
    ti.hinst = nullptr;
    ti.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(m_tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

void CHintWindow::Relay(UINT msg, WPARAM wp, LPARAM lp)
{
    if (!m_tip) return;
    MSG m = {};
    m.hwnd = m_control;
    m.message = msg;
    m.wParam = wp;
    m.lParam = lp;
    SendMessageW(m_tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
}

} // namespace view
