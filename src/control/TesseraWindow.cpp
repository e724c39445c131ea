// The control window: creation and destruction, its message table, and
// the background answer (painting itself is in view/Painting.cpp).
#include "control/Tessera.h"

#include <commctrl.h>

#include "control/Trace.h"

namespace {

// Notifications a child sends its parent come back reflected, 0x2000 above.
constexpr UINT kReflectFirst = 0x2000 + WM_COMMAND;
constexpr UINT kReflectLast = 0x2000 + WM_NOTIFY + 0x1000;

// Alternate tables: 1 EDIT, 2 BUTTON, 3 COMBOBOX, 4 month calendar,
// 5 date picker, 6 the formatting date picker.
constexpr DWORD kHighestMap = 6;

} // namespace

#ifndef WM_DPICHANGED_AFTERPARENT
#define WM_DPICHANGED_AFTERPARENT 0x02E3
#endif

const fw::MessageEntry<CTessera> CTessera::s_messages[] = {
    FW_MESSAGE(0, WM_DESTROY, CTessera, OnDestroy),
    FW_MESSAGE(0, WM_CREATE, CTessera, OnCreate),
    FW_MESSAGE(0, WM_MOUSEWHEEL, CTessera, OnMouseWheel),
    FW_MESSAGE(0, WM_HSCROLL, CTessera, OnHScroll),
    FW_MESSAGE(0, WM_VSCROLL, CTessera, OnVScroll),
    FW_MESSAGE(0, WM_SIZE, CTessera, OnSize),
    FW_MESSAGE(0, WM_PAINT, CTessera, FwOnPaint),
    FW_MESSAGE(0, WM_ERASEBKGND, CTessera, OnEraseBackground),
    FW_MESSAGE(0, WM_USER, CTessera, OnUser),
    FW_MESSAGE(0, WM_DPICHANGED_AFTERPARENT, CTessera, OnDpiChanged),
    FW_MESSAGE(0, WM_SETFOCUS, CTessera, FwOnSetFocus),
    FW_MESSAGE(0, WM_SETFOCUS, CTessera, OnAccessibleFocus),
    FW_MESSAGE(0, WM_GETOBJECT, CTessera, OnGetObject),
    FW_MESSAGE(0, WM_KILLFOCUS, CTessera, FwOnKillFocus),
    FW_MESSAGE(0, WM_MOUSEACTIVATE, CTessera, FwOnMouseActivate),
    FW_MESSAGE_RANGE(0, kReflectFirst, kReflectLast, CTessera, FwOnReflected),

    // Input.
    FW_MESSAGE(0, WM_LBUTTONDBLCLK, CTessera, OnMouseMessage),
    FW_MESSAGE(0, WM_LBUTTONUP, CTessera, OnMouseMessage),
    FW_MESSAGE(0, WM_LBUTTONDOWN, CTessera, OnMouseMessage),
    FW_MESSAGE(0, WM_MOUSEMOVE, CTessera, OnMouseMessage),
    FW_MESSAGE(0, WM_TIMER, CTessera, OnMouseMessage),
    FW_MESSAGE(0, WM_CAPTURECHANGED, CTessera, OnMouseMessage),
    FW_MESSAGE(0, WM_CHAR, CTessera, OnChar),
    // Two entries: a key the first call leaves unhandled gets a second call.
    FW_MESSAGE(0, WM_KEYDOWN, CTessera, OnKeyDown),
    FW_MESSAGE(0, WM_KEYDOWN, CTessera, OnKeyDown),
    FW_MESSAGE(0, WM_COMMAND, CTessera, OnCommand),
    FW_MESSAGE(0, WM_RBUTTONDOWN, CTessera, OnRelayToHint),
    FW_MESSAGE(0, WM_RBUTTONUP, CTessera, OnRelayToHint),
    FW_MESSAGE(0, WM_MBUTTONDOWN, CTessera, OnRelayToHint),
    FW_MESSAGE(0, WM_MBUTTONUP, CTessera, OnRelayToHint),
    FW_MESSAGE(0, WM_COPY, CTessera, OnClipboard),
    FW_MESSAGE(0, WM_CUT, CTessera, OnClipboard),
    FW_MESSAGE(0, WM_PASTE, CTessera, OnClipboard),

    // Editor windows: 1 EDIT, 2 the push button, 3 COMBOBOX, 4 month calendar,
    // 5 date picker; 6, the formatting picker, handles nothing.
    FW_MESSAGE(1, WM_KILLFOCUS, CTessera, OnEditorKillFocus),
    FW_MESSAGE(1, WM_CHAR, CTessera, OnEditorChar),
    FW_MESSAGE(2, WM_KILLFOCUS, CTessera, OnButtonKillFocus),
    FW_MESSAGE(3, WM_KILLFOCUS, CTessera, OnEditorKillFocus),
    FW_MESSAGE(4, WM_KILLFOCUS, CTessera, OnEditorKillFocus),
    FW_MESSAGE(5, WM_KILLFOCUS, CTessera, OnEditorKillFocus),
};

BOOL CTessera::ProcessWindowMessage(HWND, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result, DWORD mapId)
{
    return fw::DispatchMessageTable(this, s_messages, kHighestMap, msg, wp, lp, result, mapId);
}

LRESULT CTessera::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    trace::TraceLine("OnCreate");
    BOOL userMode = m_bUserMode;
    if (SUCCEEDED(GetAmbientUserMode(userMode))) m_bUserMode = userMode;
    TakeMetrics();

    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_DATE_CLASSES};
    InitCommonControlsEx(&icc);
    // Hidden: it only turns dates into text for painting and editing.
    m_formatter.UsePicker(m_wndFormatPicker.Create(m_window.Handle(), RECT{0, 0, 0, 0}, nullptr, WS_CHILD | WS_BORDER));
    icc.dwICC = ICC_USEREX_CLASSES;
    InitCommonControlsEx(&icc);

    UpdateScrollBars();
    CreateHintWindow();
    return 0;
}

LRESULT CTessera::OnDestroy(UINT msg, WPARAM wp, LPARAM lp, BOOL&)
{
    trace::TraceLine("OnDestroy");
    // Clients may keep the object; it answers nothing once the window goes.
    DisconnectAccessible();
    m_surface.Reset();
    m_formatter.UsePicker(nullptr);
    m_wndFormatPicker.Destroy();
    // The window is going: an edit in progress is dropped, not stored.
    EndEdit(true);
    // The tooltip has no owner: it would outlive the control.
    DestroyHintWindow();
    return DefWindowProcW(m_window.Handle(), msg, wp, lp);
}

LRESULT CTessera::OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&)
{
    // The paint covers every pixel itself; erasing first would flicker.
    return 1;
}

LRESULT CTessera::OnUser(UINT, WPARAM, LPARAM, BOOL&)
{
    return 0;
}

void CTessera::TakeMetrics()
{
    m_metrics = view::MetricsAt(view::WindowDpi(ControlWindow()));
    m_grid.SetDefaultSizes(m_metrics.colWidth, m_metrics.rowHeight);
}

LRESULT CTessera::OnDpiChanged(UINT, WPARAM, LPARAM, BOOL&)
{
    // The cell buttons take their new size where they are placed.
    TakeMetrics();
    PositionButtons();
    InvalidateRect(ControlWindow(), nullptr, FALSE);
    return 0;
}
