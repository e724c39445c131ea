// The mechanics every property page shares: page information, the dialog's
// life, the objects, the dirty flag and Apply.
#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "framework/property_page.h"
#include "support/recording_site.h"

namespace {

class TestPage : public fw::PropertyPage {
public:
    TestPage() : fw::PropertyPage({500, 501, 502, 503}) {}
    STDMETHOD(QueryInterface)(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }

    using fw::PropertyPage::Objects;
    using fw::PropertyPage::SetDirty;
    HRESULT OnApply() override { ++applies; return applyResult; }
    INT_PTR OnDialogMessage(UINT msg, WPARAM, LPARAM) override
    {
        if (msg == WM_INITDIALOG) ++inits;
        return FALSE;
    }

    int applies = 0;
    int inits = 0;
    HRESULT applyResult = S_OK;
};

using Site = test::RecordingPageSite;

// The dialog lives from Activate to Deactivate. (The page information from
// the resources is checked on the control's own pages.)
TEST(PropertyPage, DialogLife)
{
    TestPage page;
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(E_UNEXPECTED, page.Show(SW_SHOW));
    RECT rc = {5, 6, 305, 206};
    ASSERT_HRESULT_SUCCEEDED(page.Activate(parent, &rc, TRUE));
    HWND dialog = page.Handle();
    EXPECT_EQ(1, page.inits);
    EXPECT_EQ(parent, GetParent(dialog));
    EXPECT_EQ(E_UNEXPECTED, page.Activate(parent, &rc, TRUE));
    ASSERT_HRESULT_SUCCEEDED(page.Deactivate());
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(E_UNEXPECTED, page.Deactivate());
    DestroyWindow(parent);
}

TEST(PropertyPage, DirtyFlagTellsTheSiteOnceAndApplyClearsIt)
{
    TestPage page;
    Site site;
    ASSERT_HRESULT_SUCCEEDED(page.SetPageSite(&site));
    EXPECT_EQ(E_UNEXPECTED, page.SetPageSite(&site));
    EXPECT_EQ(S_FALSE, page.IsPageDirty());

    page.SetDirty(true);
    page.SetDirty(true);
    EXPECT_EQ(std::vector<DWORD>{PROPPAGESTATUS_DIRTY}, site.changes);
    EXPECT_EQ(S_OK, page.IsPageDirty());

    page.applyResult = E_FAIL;
    EXPECT_EQ(E_FAIL, page.Apply());
    EXPECT_EQ(S_OK, page.IsPageDirty());  // a failed Apply leaves it changed
    page.applyResult = S_OK;
    EXPECT_EQ(S_OK, page.Apply());
    EXPECT_EQ(2, page.applies);
    EXPECT_EQ(S_FALSE, page.IsPageDirty());
    page.SetDirty(true);
    EXPECT_EQ(2u, site.changes.size());

    // The site and the objects are held until replaced.
    Site a, b;
    IUnknown* objs[] = {&a, &b};
    ASSERT_HRESULT_SUCCEEDED(page.SetObjects(2, objs));
    EXPECT_EQ(2u, page.Objects().size());
    EXPECT_EQ(1u, a.Refs());
    ASSERT_HRESULT_SUCCEEDED(page.SetObjects(0, nullptr));
    EXPECT_TRUE(a.Refs() == 0 && b.Refs() == 0);
    ASSERT_HRESULT_SUCCEEDED(page.SetPageSite(nullptr));
    EXPECT_EQ(0u, site.Refs());
}

} // namespace
