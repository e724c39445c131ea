// Hosts a control in the platform's own container window (atl.dll's
// "AtlAxWin"), inside a top-level frame window of the test; and the input
// helpers that driving it needs.
#pragma once

#include <windows.h>
#include <unknwn.h>
#include <initializer_list>
#include <string>

#include "framework/com_ptr.h"

namespace test {

class AxHost {
public:
    // Creates the frame and the container; the container creates the control
    // named by a ProgID or a CLSID in braces.
    explicit AxHost(const std::wstring& progidOrClsid, int width = 400, int height = 300);
    ~AxHost();
    AxHost(const AxHost&) = delete;
    AxHost& operator=(const AxHost&) = delete;

    HWND Frame() const { return m_frame; }
    HWND Container() const { return m_container; }
    // The hosted control, or null when the container could not create it.
    fw::ComPtr<IUnknown> Control() const;
    // The control's own window: the container's first child.
    HWND ControlWindow() const { return m_container ? GetWindow(m_container, GW_CHILD) : nullptr; }

    // Destroys the frame and its children, which deactivates the control.
    void Destroy();

private:
    HWND m_frame = nullptr;
    HWND m_container = nullptr;
};

// Dispatches the messages waiting for this thread.
void PumpMessages();

// Holds modifier keys down in this thread's key state (GetKeyState) for its
// lifetime.
class Held {
public:
    Held(std::initializer_list<int> vks)
    {
        GetKeyboardState(m_saved);
        BYTE state[256];
        GetKeyboardState(state);
        for (int vk : vks) state[vk] |= 0x80;
        SetKeyboardState(state);
    }
    ~Held() { SetKeyboardState(m_saved); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

private:
    BYTE m_saved[256];
};


// The name of a window class registered once for the tests' own windows:
// the default window procedure, an arrow cursor, the window colour.
const wchar_t* PlainWindowClass();

} // namespace test
