// The control in the platform's own container window (atl.dll's AtlAxWin):
// created by ProgID, activated with its window as the container's
// child, and entirely released when the container goes.
#include <windows.h>
#include <gtest/gtest.h>
#include <ole2.h>
#include <string>

#include "framework/com_ptr.h"
#include "kvadra.h"
#include "support/ax_host.h"
#include "support/dll.h"

namespace {

using test::CanUnloadNow;

// By the version-independent name (the registry's keys are checked elsewhere).
TEST(HostTest, ContainerActivatesTheControlAndReleasesItOnDestroy)
{
    ASSERT_EQ(S_OK, CanUnloadNow());
    test::AxHost host(L"Kvadra.Tessera");
    ASSERT_NE(nullptr, host.Container());
    HWND hwnd = nullptr;
    {
        fw::ComPtr<IUnknown> control = host.Control();
        ASSERT_TRUE(control);
        EXPECT_EQ(S_FALSE, CanUnloadNow());

        // It is our control, and its window is the container's child.
        fw::ComPtr<ITessera> grid;
        EXPECT_EQ(S_OK, control->QueryInterface(IID_ITessera, grid.PutVoid()));
        fw::ComPtr<IOleWindow> window;
        ASSERT_EQ(S_OK, control->QueryInterface(IID_IOleWindow, window.PutVoid()));
        ASSERT_EQ(S_OK, window->GetWindow(&hwnd));
        EXPECT_EQ(host.ControlWindow(), hwnd);
        EXPECT_EQ(host.Container(), GetAncestor(hwnd, GA_PARENT));
        EXPECT_TRUE(IsWindowVisible(hwnd));
        EXPECT_EQ(UINT(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS), static_cast<UINT>(GetClassLongPtrW(hwnd, GCL_STYLE)));
        // Scroll bars come and go with the table's size.
        EXPECT_EQ(0x56000000u, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)) & ~(WS_HSCROLL | WS_VSCROLL));
        EXPECT_EQ(0u, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));

        // The container set its client site.
        fw::ComPtr<IOleObject> ole;
        ASSERT_EQ(S_OK, control->QueryInterface(IID_IOleObject, ole.PutVoid()));
        fw::ComPtr<IOleClientSite> site;
        EXPECT_EQ(S_OK, ole->GetClientSite(site.Put()));
        EXPECT_TRUE(site);
    }
    host.Destroy();
    EXPECT_FALSE(IsWindow(hwnd)) << "destroying the container destroys the control window";
    EXPECT_EQ(S_OK, CanUnloadNow()) << "destroying the container releases every object";
}

} // namespace
