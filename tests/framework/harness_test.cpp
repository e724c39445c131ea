// The harness's own helpers: message boxes are caught, the container hosts.
#include <windows.h>
#include <gtest/gtest.h>

#include "kvadra.h"
#include "support/ax_host.h"
#include "support/dll.h"
#include "support/msgbox.h"

namespace {

TEST(Harness, MessageBoxesAreRecordedAndClosed)
{
    test::MessageBoxCatcher catcher;
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, "first text", "first caption", MB_OK));
    MessageBoxW(nullptr, L"second", L"error", MB_OK | MB_ICONERROR);
    ASSERT_EQ(2u, catcher.Boxes().size());
    EXPECT_EQ(L"first caption", catcher.Boxes()[0].caption);
    EXPECT_EQ(L"first text", catcher.Boxes()[0].text);
    EXPECT_EQ(L"error", catcher.Boxes()[1].caption);
    EXPECT_EQ(L"second", catcher.Boxes()[1].text);
}

TEST(Harness, ContainerWindowCreatesTheControlByProgId)
{
    test::AxHost host(L"Kvadra.Tessera.1");
    ASSERT_NE(nullptr, host.Container());
    fw::ComPtr<IUnknown> control = host.Control();
    ASSERT_TRUE(control);
    fw::ComPtr<ITessera> grid;
    EXPECT_HRESULT_SUCCEEDED(control->QueryInterface(IID_ITessera, grid.PutVoid()));
}

} // namespace
