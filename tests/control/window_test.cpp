// The control window's own life: the hidden formatting picker made on
// creation and gone with the window.
#include <windows.h>
#include <gtest/gtest.h>

#include "framework/com_ptr.h"
#include "kvadra.h"
#include "support/ax_host.h"

namespace {

HWND FindPicker(HWND control)
{
    for (HWND child = GetWindow(control, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[64] = {};
        GetClassNameW(child, cls, 64);
        if (lstrcmpW(cls, L"SysDateTimePick32") == 0) return child;
    }
    return nullptr;
}

TEST(ControlWindow, CreationMakesAHiddenDatePickerAndDestructionRemovesIt)
{
    test::AxHost host(L"Kvadra.Tessera.1");
    HWND control = host.ControlWindow();
    ASSERT_NE(nullptr, control);
    HWND picker = FindPicker(control);
    ASSERT_NE(nullptr, picker);
    EXPECT_FALSE(GetWindowLongW(picker, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(static_cast<LONG>(WS_CHILD | WS_BORDER),
              GetWindowLongW(picker, GWL_STYLE) & (WS_CHILD | WS_BORDER | WS_POPUP));

    host.Destroy();
    EXPECT_FALSE(IsWindow(picker));
    EXPECT_FALSE(IsWindow(control));
}

TEST(ControlWindow, ReflectedAndUnknownMessagesGoToTheDefaultProcedure)
{
    test::AxHost host(L"Kvadra.Tessera.1");
    HWND control = host.ControlWindow();
    ASSERT_NE(nullptr, control);
    // A reflected notification reaches the default procedure as the original message.
    EXPECT_EQ(0, SendMessageW(control, 0x2000 + WM_COMMAND, 0, 0));
    EXPECT_EQ(0, SendMessageW(control, WM_APP + 77, 1, 2));
    // Commands and clipboard requests are consumed with 0.
    EXPECT_EQ(0, SendMessageW(control, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), 0));
    EXPECT_EQ(0, SendMessageW(control, WM_COPY, 0, 0));
    EXPECT_EQ(0, SendMessageW(control, WM_PASTE, 0, 0));
}

} // namespace

namespace {

TEST(ControlWindow, EveryRefreshAfterAPaintAsksForAnother)
{
    test::AxHost host(L"Kvadra.Tessera.1");
    HWND control = host.ControlWindow();
    ASSERT_NE(nullptr, control);
    fw::ComPtr<ITessera> grid;
    ASSERT_HRESULT_SUCCEEDED(host.Control()->QueryInterface(IID_ITessera, grid.PutVoid()));

    UpdateWindow(control);
    EXPECT_FALSE(GetUpdateRect(control, nullptr, FALSE));
    grid->Update();
    grid->Update();
    EXPECT_TRUE(GetUpdateRect(control, nullptr, FALSE));
    UpdateWindow(control);
    EXPECT_FALSE(GetUpdateRect(control, nullptr, FALSE));
    grid->Update();
    EXPECT_TRUE(GetUpdateRect(control, nullptr, FALSE));

    // With drawing off nothing is asked for.
    UpdateWindow(control);
    grid->put_AllowDraw(0);
    grid->Update();
    EXPECT_FALSE(GetUpdateRect(control, nullptr, FALSE));
    grid.Reset();
}

} // namespace
