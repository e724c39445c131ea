// The tooltip that shows cell hints: one window with one tool (id 1 of the
// control window), whose rectangle and text move from cell to cell. The
// tooltip does not subclass the control, so the control relays the mouse
// messages it needs. Text goes through the wide messages: a hint keeps
// every character.
#pragma once

#include <windows.h>

#include "model/GridTable.h"

namespace view {

class CHintWindow {
public:
    CHintWindow() noexcept = default;
    CHintWindow(const CHintWindow&) = delete;
    CHintWindow& operator=(const CHintWindow&) = delete;
    ~CHintWindow() { Destroy(); }

    // Makes the tooltip and its tool for control unless it exists; a new
    // tooltip has no hinted cell. False when the window could not be made.
    bool Create(HWND control, HINSTANCE instance);
    void Destroy() noexcept;
    HWND Handle() const noexcept { return m_tip; }

    // The cell the tool was last set for, (-1, -1) for none.
    const CCellID& Cell() const noexcept { return m_cell; }
    void ForgetCell() noexcept { m_cell = CCellID(); }
    // Takes cell as the hinted one; false when it already was.
    bool Retarget(const CCellID& cell) noexcept;
    // Moves the tool to rc (client coordinates) with text.
    void SetTool(const RECT& rc, const wchar_t* text);
    // TTM_RELAYEVENT with a message of the control window.
    void Relay(UINT msg, WPARAM wp, LPARAM lp);

private:
    HWND m_tip = nullptr;
    HWND m_control = nullptr;
    CCellID m_cell;
};

} // namespace view
