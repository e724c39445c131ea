// The control in a recording container of our own: what it asks of its site
// during in-place and UI activation, deactivation, each standard verb, quick
// activation, and a call from a client site that is not its own; and in the
// platform's own container window (atl.dll's AtlAxWin): activated with its
// window as the container's child, and entirely released when it goes.
#include <windows.h>
#include <gtest/gtest.h>
#include <ole2.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "framework/com_ptr.h"
#include "kvadra.h"
#include "support/ax_host.h"
#include "support/dll.h"
#include "support/sited_control.h"

namespace {

using test::RecordingEventSink;
using test::RecordingSite;

// The window's own visibility (the site's window itself stays hidden).
bool Shown(HWND hwnd) { return (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }

using test::CanUnloadNow;

// The control with our site set; when it stops, the module must be free to go.
class ActivationTest : public test::SitedControl {
protected:
    void TearDown() override
    {
        Stop();
        EXPECT_EQ(S_OK, CanUnloadNow());
    }
};

TEST_F(ActivationTest, SiteThatRefusesInPlaceActivationGetsNoWindow)
{
    site.allowInPlace = false;
    Verb(OLEIVERB_INPLACEACTIVATE);
    EXPECT_EQ(std::vector<std::string>{"CanInPlaceActivate"}, site.Log().Calls());
    EXPECT_EQ(nullptr, Window());
    EXPECT_EQ(nullptr, GetWindow(site.Window(), GW_CHILD));
}

TEST_F(ActivationTest, InPlaceDeactivateAndCloseDestroyTheWindowAndLetGoOfTheFrame)
{
    const ULONG siteRefs = site.Refs();  // the client site only
    ASSERT_EQ(S_OK, Verb(OLEIVERB_INPLACEACTIVATE));
    HWND hwnd = Window();
    site.Log().Clear();
    auto inPlace = InPlace();
    EXPECT_EQ(S_OK, inPlace->InPlaceDeactivate());
    EXPECT_EQ(std::vector<std::string>{"OnInPlaceDeactivate"}, site.Log().Calls()) << "it was never UI-active";
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(nullptr, Window());
    // A container's frame that holds its sites would otherwise never be freed.
    EXPECT_EQ(siteRefs, site.Refs());
    EXPECT_EQ(0u, site.Frame().Refs());
    site.Log().Clear();
    EXPECT_EQ(S_OK, inPlace->InPlaceDeactivate());
    EXPECT_TRUE(site.Log().Calls().empty()) << site.Log().Dump();

    // Close takes a UI-active control all the way down and tells the advise
    // sinks, without asking to save.
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, ole->Advise(site.Sink(), &cookie));
    ASSERT_EQ(S_OK, Verb(OLEIVERB_UIACTIVATE));
    hwnd = Window();
    site.Log().Clear();
    EXPECT_EQ(S_OK, ole->Close(OLECLOSE_NOSAVE));
    EXPECT_TRUE(site.Log().InOrder({"OnUIDeactivate", "OnInPlaceDeactivate", "Sink.OnClose"})) << site.Log().Dump();
    EXPECT_FALSE(site.Log().Has("SaveObject")) << site.Log().Dump();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(S_OK, ole->Unadvise(cookie));
    EXPECT_EQ(OLE_E_NOCONNECTION, ole->Unadvise(cookie));
}

TEST_F(ActivationTest, EachVerbOnAFreshControl)
{
    enum Shows { NoWindow, Visible, Invisible };
    const struct {
        std::vector<LONG> before;
        LONG verb;
        HRESULT hr;
        std::vector<std::string> calls;  // in order; others may come between
        Shows window;
    } cases[] = {
        {{}, OLEIVERB_SHOW, S_OK, {"OnInPlaceActivate", "GetWindowContext"}, Visible},
        {{}, OLEIVERB_PRIMARY, S_OK, {"Ambient(-709)", "OnInPlaceActivate", "OnUIActivate"}, Visible},
        // A positive verb runs the primary action and is reported invalid.
        {{}, 1, OLEOBJ_S_INVALIDVERB, {"Ambient(-709)", "OnInPlaceActivate"}, Visible},
        {{OLEIVERB_UIACTIVATE}, OLEIVERB_HIDE, S_OK, {"OnUIDeactivate"}, Invisible},
        {{OLEIVERB_UIACTIVATE, OLEIVERB_HIDE}, OLEIVERB_SHOW, S_OK, {}, Visible},
        {{}, OLEIVERB_OPEN, S_OK, {}, NoWindow},
        {{}, OLEIVERB_DISCARDUNDOSTATE, S_OK, {}, NoWindow},
        {{}, -8, E_NOTIMPL, {}, NoWindow},
        {{}, LONG(0x80000000), E_NOTIMPL, {}, NoWindow},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.verb);
        for (LONG verb : c.before) Verb(verb);
        HWND before = Window();
        site.Log().Clear();
        EXPECT_EQ(c.hr, Verb(c.verb));
        EXPECT_TRUE(site.Log().InOrder(c.calls)) << site.Log().Dump();
        HWND hwnd = Window();
        EXPECT_TRUE(c.window == NoWindow ? site.Log().Calls().empty() && !hwnd
                                         : hwnd && Shown(hwnd) == (c.window == Visible)) << site.Log().Dump();
        if (before) { EXPECT_EQ(before, hwnd) << "the window is kept"; }
        Stop();
        Start();
    }
}

TEST_F(ActivationTest, VerbFromAForeignClientSiteIsUnexpected)
{
    RecordingSite foreign;
    for (LONG verb : {OLEIVERB_PRIMARY, OLEIVERB_SHOW, OLEIVERB_OPEN, OLEIVERB_HIDE, OLEIVERB_UIACTIVATE,
                      OLEIVERB_INPLACEACTIVATE, OLEIVERB_DISCARDUNDOSTATE, OLEIVERB_PROPERTIES, 1L, -100L})
        EXPECT_EQ(E_UNEXPECTED, Verb(verb, foreign.Client())) << verb;
    EXPECT_TRUE(site.Log().Calls().empty() && foreign.Log().Calls().empty());
    EXPECT_EQ(nullptr, Window());
    EXPECT_EQ(0u, foreign.Refs());

    // The own site, whichever of its interfaces it comes through, is accepted.
    fw::ComPtr<IOleClientSite> same;
    ASSERT_EQ(S_OK, site.QueryInterface(IID_IOleClientSite, same.PutVoid()));
    EXPECT_EQ(S_OK, Verb(OLEIVERB_INPLACEACTIVATE, same.Get()));
    EXPECT_NE(nullptr, Window());
}

TEST(QuickActivation, SetsTheSiteConnectsTheEventSinkAndReportsTheStatus)
{
    RecordingSite site;
    RecordingEventSink events(DIID__ITesseraEvents);
    {
        fw::ComPtr<IQuickActivate> quick;
        ASSERT_EQ(S_OK, test::CreateFromDll(CLSID_Tessera, nullptr, IID_IQuickActivate, quick.PutVoid()));
        QACONTAINER qa = {};
        qa.cbSize = sizeof(qa);
        qa.pClientSite = site.Client();
        qa.pUnkEventSink = &events;
        QACONTROL qc = {};
        qc.cbSize = sizeof(qc);
        EXPECT_EQ(E_POINTER, quick->QuickActivate(&qa, nullptr));
        ASSERT_EQ(S_OK, quick->QuickActivate(&qa, &qc));
        EXPECT_EQ(131473u, qc.dwMiscStatus);
        EXPECT_EQ(static_cast<DWORD>(VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND), qc.dwViewStatus);

        fw::ComPtr<IOleObject> ole;
        fw::ComPtr<IOleClientSite> got;
        ASSERT_EQ(S_OK, quick->QueryInterface(IID_IOleObject, ole.PutVoid()));
        ASSERT_EQ(S_OK, ole->GetClientSite(got.Put()));
        EXPECT_EQ(site.Client(), got.Get());

        // The container can disconnect the event sink with the returned cookie.
        EXPECT_LT(0u, events.Refs());
        fw::ComPtr<IConnectionPointContainer> cpc;
        fw::ComPtr<IConnectionPoint> point;
        ASSERT_EQ(S_OK, quick->QueryInterface(IID_IConnectionPointContainer, cpc.PutVoid()));
        ASSERT_EQ(S_OK, cpc->FindConnectionPoint(DIID__ITesseraEvents, point.Put()));
        EXPECT_EQ(S_OK, point->Unadvise(qc.dwEventCookie));
        EXPECT_EQ(0u, events.Refs());
        EXPECT_EQ(S_OK, ole->SetClientSite(nullptr));
    }
    EXPECT_EQ(0u, site.Refs());
    EXPECT_EQ(S_OK, CanUnloadNow());
}

// In the platform's container, by the version-independent name (the registry's keys are checked elsewhere).
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
