// The control window's message table and the framework's drawing callback.
#include "control/Tessera.h"

namespace {

// Notifications a child sends its parent come back reflected, 0x2000 above.
constexpr UINT kReflectFirst = 0x2000 + WM_COMMAND;
constexpr UINT kReflectLast = 0x2000 + WM_NOTIFY + 0x1000;

// Alternate tables: 1 EDIT, 2 BUTTON, 3 COMBOBOX, 4 month calendar,
// 5 date picker, 6 the formatting date picker.
constexpr DWORD kHighestMap = 6;

const fw::MessageEntry<CTessera> kMessages[] = {
    FW_MESSAGE(0, WM_MOUSEWHEEL, CTessera, OnMouseWheel),
    FW_MESSAGE(0, WM_HSCROLL, CTessera, OnHScroll),
    FW_MESSAGE(0, WM_VSCROLL, CTessera, OnVScroll),
    FW_MESSAGE(0, WM_SIZE, CTessera, OnSize),
    FW_MESSAGE(0, WM_PAINT, CTessera, FwOnPaint),
    FW_MESSAGE(0, WM_SETFOCUS, CTessera, FwOnSetFocus),
    FW_MESSAGE(0, WM_KILLFOCUS, CTessera, FwOnKillFocus),
    FW_MESSAGE(0, WM_MOUSEACTIVATE, CTessera, FwOnMouseActivate),
    FW_MESSAGE_RANGE(0, kReflectFirst, kReflectLast, CTessera, FwOnReflected),
};

} // namespace

BOOL CTessera::ProcessWindowMessage(HWND, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result, DWORD mapId)
{
    return fw::DispatchMessageTable(this, kMessages, kHighestMap, msg, wp, lp, result, mapId);
}

HRESULT CTessera::OnDraw(const fw::DrawInfo& info)
{
    FillRect(info.hdc, &info.bounds, GetSysColorBrush(COLOR_WINDOW));
    return S_OK;
}
