// The control in a recording container of our own: what it asks of its site
// during in-place and UI activation, deactivation, each standard verb, quick
// activation, and a call from a client site that is not its own.
#include <windows.h>
#include <gtest/gtest.h>
#include <ole2.h>
#include <ocidl.h>
#include <olectl.h>
#include <vector>

#include "framework/com_ptr.h"
#include "kvadra.h"
#include "support/recording_site.h"
#include "support/ax_host.h"
#include "support/dll.h"

namespace {

using test::RecordingEventSink;
using test::RecordingSite;

constexpr DWORD kMiscStatus = 131473;
constexpr DWORD kWindowStyle = 0x56000000;
constexpr UINT kClassStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;

// The window's own visibility (the site's window itself stays hidden).
bool Shown(HWND hwnd)
{
    return (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

HRESULT CanUnloadNow()
{
    return test::KvadraExport<test::DllCanUnloadNowFn>("DllCanUnloadNow")();
}

// A control with our site set; on teardown it is closed and released, and
// every reference it took on the site and the frame must be back.
class ActivationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, site.Window());
        ASSERT_EQ(S_OK, test::CreateFromDll(CLSID_Tessera, nullptr, IID_IOleObject, ole.PutVoid()));
        ASSERT_EQ(S_OK, ole->SetClientSite(site.Client()));
        site.Log().Clear();
    }

    void TearDown() override
    {
        if (ole) {
            EXPECT_EQ(S_OK, ole->Close(OLECLOSE_NOSAVE));
            EXPECT_EQ(S_OK, ole->SetClientSite(nullptr));
            ole.Reset();
        }
        test::PumpMessages();
        EXPECT_EQ(0u, site.Refs()) << "the control gave back every reference on its site";
        EXPECT_EQ(0u, site.Frame().Refs()) << "the control gave back every reference on the frame";
        EXPECT_EQ(S_OK, CanUnloadNow());
    }

    HRESULT Verb(LONG verb, IOleClientSite* active = nullptr)
    {
        HRESULT hr = ole->DoVerb(verb, nullptr, active ? active : site.Client(), 0, site.Window(), &site.posRect);
        test::PumpMessages();
        return hr;
    }

    // The control's window as its IOleWindow reports it, or null.
    HWND ControlWindow()
    {
        fw::ComPtr<IOleWindow> w;
        if (FAILED(ole->QueryInterface(IID_IOleWindow, w.PutVoid()))) return nullptr;
        HWND hwnd = nullptr;
        return SUCCEEDED(w->GetWindow(&hwnd)) ? hwnd : nullptr;
    }

    template <class I>
    fw::ComPtr<I> As(const IID& iid)
    {
        fw::ComPtr<I> p;
        EXPECT_EQ(S_OK, ole->QueryInterface(iid, p.PutVoid()));
        return p;
    }

    RecordingSite site;
    fw::ComPtr<IOleObject> ole;
};

TEST_F(ActivationTest, SettingTheSiteIsRemembered)
{
    fw::ComPtr<IOleClientSite> got;
    ASSERT_EQ(S_OK, ole->GetClientSite(got.Put()));
    EXPECT_EQ(site.Client(), got.Get());
    EXPECT_EQ(E_POINTER, ole->GetClientSite(nullptr));
    EXPECT_EQ(nullptr, ControlWindow()) << "no window before activation";
}

TEST_F(ActivationTest, InPlaceActivationAsksTheSiteAndCreatesAVisibleChildWindow)
{
    ASSERT_EQ(S_OK, Verb(OLEIVERB_INPLACEACTIVATE));
    const test::CallLog& log = site.Log();
    EXPECT_TRUE(log.InOrder({"CanInPlaceActivate", "OnInPlaceActivate", "GetWindow", "GetWindowContext"})) << log.Dump();
    EXPECT_EQ(1u, log.Count("OnInPlaceActivate")) << log.Dump();
    EXPECT_FALSE(log.Has("OnUIActivate")) << "in place is not UI-active\n" << log.Dump();

    HWND hwnd = ControlWindow();
    ASSERT_NE(nullptr, hwnd);
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_TRUE(Shown(hwnd));
    EXPECT_EQ(site.Window(), GetAncestor(hwnd, GA_PARENT));

    // The window class and window style.
    EXPECT_EQ(kClassStyle, static_cast<UINT>(GetClassLongPtrW(hwnd, GCL_STYLE)));
    EXPECT_EQ(static_cast<ULONG_PTR>(COLOR_WINDOW + 1), static_cast<ULONG_PTR>(GetClassLongPtrW(hwnd, GCLP_HBRBACKGROUND)));
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(LoadCursor(nullptr, IDC_ARROW)),
              static_cast<ULONG_PTR>(GetClassLongPtrW(hwnd, GCLP_HCURSOR)));
    // Scroll bars come and go with the table's size.
    EXPECT_EQ(kWindowStyle, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)) & ~(WS_HSCROLL | WS_VSCROLL));
    EXPECT_EQ(0u, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));

    // Placed at the position rectangle the site gave.
    RECT r;
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, site.Window(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(site.posRect.left, r.left);
    EXPECT_EQ(site.posRect.top, r.top);
    EXPECT_EQ(site.posRect.right, r.right);
    EXPECT_EQ(site.posRect.bottom, r.bottom);

    // Activating again keeps the window and does not announce itself twice.
    site.Log().Clear();
    ASSERT_EQ(S_OK, Verb(OLEIVERB_INPLACEACTIVATE));
    EXPECT_EQ(hwnd, ControlWindow());
    EXPECT_FALSE(site.Log().Has("OnInPlaceActivate")) << site.Log().Dump();
    EXPECT_FALSE(site.Log().Has("CanInPlaceActivate")) << site.Log().Dump();
}

TEST_F(ActivationTest, SiteThatRefusesInPlaceActivationGetsNoWindow)
{
    site.allowInPlace = false;
    Verb(OLEIVERB_INPLACEACTIVATE);
    EXPECT_TRUE(site.Log().Has("CanInPlaceActivate")) << site.Log().Dump();
    EXPECT_FALSE(site.Log().Has("OnInPlaceActivate")) << site.Log().Dump();
    EXPECT_FALSE(site.Log().Has("GetWindowContext")) << site.Log().Dump();
    EXPECT_EQ(nullptr, ControlWindow());
    EXPECT_EQ(nullptr, GetWindow(site.Window(), GW_CHILD));
}

TEST_F(ActivationTest, SetObjectRectsMovesTheWindow)
{
    ASSERT_EQ(S_OK, Verb(OLEIVERB_INPLACEACTIVATE));
    HWND hwnd = ControlWindow();
    ASSERT_NE(nullptr, hwnd);
    auto inPlace = As<IOleInPlaceObject>(IID_IOleInPlaceObject);
    RECT pos = {30, 40, 130, 90};
    EXPECT_EQ(S_OK, inPlace->SetObjectRects(&pos, &pos));
    RECT r;
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, site.Window(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(pos.left, r.left);
    EXPECT_EQ(pos.top, r.top);
    EXPECT_EQ(pos.right, r.right);
    EXPECT_EQ(pos.bottom, r.bottom);
    EXPECT_EQ(E_POINTER, inPlace->SetObjectRects(nullptr, &pos));
    EXPECT_EQ(E_POINTER, inPlace->SetObjectRects(&pos, nullptr));
}

TEST_F(ActivationTest, UIActivationTellsTheSiteAndTheFrame)
{
    ASSERT_EQ(S_OK, Verb(OLEIVERB_UIACTIVATE));
    const test::CallLog& log = site.Log();
    EXPECT_TRUE(log.InOrder({"CanInPlaceActivate", "OnInPlaceActivate", "GetWindowContext", "OnUIActivate",
                             "Frame.SetActiveObject(object)"}))
        << log.Dump();
    ASSERT_NE(nullptr, ControlWindow());

    // The frame was given the control's own active object.
    ASSERT_NE(nullptr, site.Frame().ActiveObject());
    auto active = As<IOleInPlaceActiveObject>(IID_IOleInPlaceActiveObject);
    EXPECT_EQ(active.Get(), site.Frame().ActiveObject());

    // UI activation again is a no-op.
    site.Log().Clear();
    ASSERT_EQ(S_OK, Verb(OLEIVERB_UIACTIVATE));
    EXPECT_FALSE(site.Log().Has("OnUIActivate")) << site.Log().Dump();
    EXPECT_FALSE(site.Log().Has("Frame.SetActiveObject(object)")) << site.Log().Dump();
}

TEST_F(ActivationTest, UIDeactivateKeepsTheWindow)
{
    ASSERT_EQ(S_OK, Verb(OLEIVERB_UIACTIVATE));
    HWND hwnd = ControlWindow();
    site.Log().Clear();
    auto inPlace = As<IOleInPlaceObject>(IID_IOleInPlaceObject);
    EXPECT_EQ(S_OK, inPlace->UIDeactivate());
    EXPECT_TRUE(site.Log().Has("Frame.SetActiveObject(null)")) << site.Log().Dump();
    EXPECT_TRUE(site.Log().Has("OnUIDeactivate")) << site.Log().Dump();
    EXPECT_FALSE(site.Log().Has("OnInPlaceDeactivate")) << site.Log().Dump();
    EXPECT_EQ(nullptr, site.Frame().ActiveObject());
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(hwnd, ControlWindow());

    // A second UI deactivation has nothing to do.
    site.Log().Clear();
    EXPECT_EQ(S_OK, inPlace->UIDeactivate());
    EXPECT_TRUE(site.Log().Calls().empty()) << site.Log().Dump();
}

TEST_F(ActivationTest, InPlaceDeactivateDestroysTheWindow)
{
    const ULONG siteRefs = site.Refs();  // the client site only
    ASSERT_EQ(S_OK, Verb(OLEIVERB_INPLACEACTIVATE));
    HWND hwnd = ControlWindow();
    ASSERT_NE(nullptr, hwnd);
    site.Log().Clear();
    auto inPlace = As<IOleInPlaceObject>(IID_IOleInPlaceObject);
    EXPECT_EQ(S_OK, inPlace->InPlaceDeactivate());
    EXPECT_TRUE(site.Log().Has("OnInPlaceDeactivate")) << site.Log().Dump();
    EXPECT_FALSE(site.Log().Has("OnUIDeactivate")) << "it was never UI-active\n" << site.Log().Dump();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(nullptr, ControlWindow());
    // Out of place, the control lets go of the in-place site and of the frame
    // it got from GetWindowContext (a container's frame that holds its sites
    // would otherwise never be freed).
    EXPECT_EQ(siteRefs, site.Refs());
    EXPECT_EQ(0u, site.Frame().Refs());

    // Not active any more: nothing to do.
    site.Log().Clear();
    EXPECT_EQ(S_OK, inPlace->InPlaceDeactivate());
    EXPECT_TRUE(site.Log().Calls().empty()) << site.Log().Dump();

    // It can be activated again, with a new window.
    ASSERT_EQ(S_OK, Verb(OLEIVERB_INPLACEACTIVATE));
    EXPECT_TRUE(site.Log().Has("OnInPlaceActivate")) << site.Log().Dump();
    EXPECT_NE(nullptr, ControlWindow());
}

TEST_F(ActivationTest, InPlaceDeactivateOfAUIActiveControlDeactivatesTheUIFirst)
{
    ASSERT_EQ(S_OK, Verb(OLEIVERB_UIACTIVATE));
    HWND hwnd = ControlWindow();
    ASSERT_NE(nullptr, hwnd);
    site.Log().Clear();
    auto inPlace = As<IOleInPlaceObject>(IID_IOleInPlaceObject);
    EXPECT_EQ(S_OK, inPlace->InPlaceDeactivate());
    EXPECT_TRUE(site.Log().InOrder({"Frame.SetActiveObject(null)", "OnUIDeactivate", "OnInPlaceDeactivate"}))
        << site.Log().Dump();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(0u, site.Frame().Refs());
}

TEST_F(ActivationTest, CloseDeactivatesAndTellsTheAdviseSinks)
{
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, ole->Advise(site.Sink(), &cookie));
    EXPECT_NE(0u, cookie);
    ASSERT_EQ(S_OK, Verb(OLEIVERB_UIACTIVATE));
    HWND hwnd = ControlWindow();
    site.Log().Clear();
    EXPECT_EQ(S_OK, ole->Close(OLECLOSE_NOSAVE));
    EXPECT_TRUE(site.Log().InOrder({"OnUIDeactivate", "OnInPlaceDeactivate", "Sink.OnClose"})) << site.Log().Dump();
    EXPECT_FALSE(site.Log().Has("SaveObject")) << site.Log().Dump();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(S_OK, ole->Unadvise(cookie));
    EXPECT_EQ(OLE_E_NOCONNECTION, ole->Unadvise(cookie));
}

// ---------------------------------------------------------------- verbs

TEST_F(ActivationTest, ShowActivatesAndShowsTheWindow)
{
    ASSERT_EQ(S_OK, Verb(OLEIVERB_SHOW));
    EXPECT_TRUE(site.Log().InOrder({"OnInPlaceActivate", "GetWindowContext"})) << site.Log().Dump();
    HWND hwnd = ControlWindow();
    ASSERT_NE(nullptr, hwnd);
    EXPECT_TRUE(Shown(hwnd));
}

TEST_F(ActivationTest, HideHidesTheWindowAndShowBringsItBack)
{
    ASSERT_EQ(S_OK, Verb(OLEIVERB_UIACTIVATE));
    HWND hwnd = ControlWindow();
    ASSERT_NE(nullptr, hwnd);
    site.Log().Clear();
    EXPECT_EQ(S_OK, Verb(OLEIVERB_HIDE));
    EXPECT_TRUE(IsWindow(hwnd)) << "hiding keeps the window";
    EXPECT_FALSE(Shown(hwnd));
    EXPECT_TRUE(site.Log().Has("OnUIDeactivate")) << site.Log().Dump();
    EXPECT_FALSE(site.Log().Has("OnInPlaceDeactivate")) << site.Log().Dump();

    EXPECT_EQ(S_OK, Verb(OLEIVERB_SHOW));
    EXPECT_EQ(hwnd, ControlWindow());
    EXPECT_TRUE(Shown(hwnd));
}

TEST_F(ActivationTest, OpenAndDiscardUndoStateDoNothing)
{
    for (LONG verb : {OLEIVERB_OPEN, OLEIVERB_DISCARDUNDOSTATE}) {
        EXPECT_EQ(S_OK, Verb(verb)) << verb;
        EXPECT_TRUE(site.Log().Calls().empty()) << verb << "\n" << site.Log().Dump();
        EXPECT_EQ(nullptr, ControlWindow()) << verb;
    }
}

TEST_F(ActivationTest, PrimaryVerbInUserModeActivatesTheControl)
{
    site.userMode = true;
    ASSERT_EQ(S_OK, Verb(OLEIVERB_PRIMARY));
    EXPECT_TRUE(site.Log().InOrder({"Ambient(-709)", "OnInPlaceActivate", "OnUIActivate"})) << site.Log().Dump();
    EXPECT_NE(nullptr, ControlWindow());
}

TEST_F(ActivationTest, PositiveVerbRunsThePrimaryActionAndIsReportedInvalid)
{
    site.userMode = true;
    EXPECT_EQ(OLEOBJ_S_INVALIDVERB, Verb(1));
    EXPECT_TRUE(site.Log().InOrder({"Ambient(-709)", "OnInPlaceActivate"})) << site.Log().Dump();
    EXPECT_NE(nullptr, ControlWindow());
    EXPECT_EQ(OLEOBJ_S_INVALIDVERB, Verb(7));
}

TEST_F(ActivationTest, UnknownNegativeVerbIsNotImplemented)
{
    for (LONG verb : {-8L, -100L, LONG(0x80000000)}) {
        EXPECT_EQ(E_NOTIMPL, Verb(verb)) << verb;
        EXPECT_TRUE(site.Log().Calls().empty()) << verb << "\n" << site.Log().Dump();
    }
    EXPECT_EQ(nullptr, ControlWindow());
}

TEST_F(ActivationTest, VerbFromAForeignClientSiteIsUnexpected)
{
    RecordingSite foreign;
    for (LONG verb : {OLEIVERB_PRIMARY, OLEIVERB_SHOW, OLEIVERB_OPEN, OLEIVERB_HIDE, OLEIVERB_UIACTIVATE,
                      OLEIVERB_INPLACEACTIVATE, OLEIVERB_DISCARDUNDOSTATE, OLEIVERB_PROPERTIES, 1L, -100L}) {
        EXPECT_EQ(E_UNEXPECTED, Verb(verb, foreign.Client())) << verb;
    }
    EXPECT_TRUE(site.Log().Calls().empty()) << site.Log().Dump();
    EXPECT_TRUE(foreign.Log().Calls().empty()) << foreign.Log().Dump();
    EXPECT_EQ(nullptr, ControlWindow());
    EXPECT_EQ(0u, foreign.Refs());

    // The own site, whichever of its interfaces it comes through, is accepted.
    fw::ComPtr<IOleClientSite> same;
    ASSERT_EQ(S_OK, site.QueryInterface(IID_IOleClientSite, same.PutVoid()));
    EXPECT_EQ(S_OK, Verb(OLEIVERB_INPLACEACTIVATE, same.Get()));
    EXPECT_NE(nullptr, ControlWindow());
}

// ---------------------------------------------------------------- quick activation

TEST(QuickActivation, ConnectsTheEventSinkAndReportsTheControlsStatus)
{
    RecordingSite site;
    RecordingEventSink events(DIID__ITesseraEvents);
    {
        fw::ComPtr<IQuickActivate> quick;
        ASSERT_EQ(S_OK, test::CreateFromDll(CLSID_Tessera, nullptr, IID_IQuickActivate, quick.PutVoid()));

        QACONTAINER qa = {};
        qa.cbSize = sizeof(qa);
        qa.pClientSite = site.Client();
        qa.pAdviseSink = site.Sink();
        qa.pUnkEventSink = &events;
        QACONTROL qc = {};
        qc.cbSize = sizeof(qc);
        ASSERT_EQ(S_OK, quick->QuickActivate(&qa, &qc));

        EXPECT_EQ(kMiscStatus, qc.dwMiscStatus);
        EXPECT_EQ(static_cast<DWORD>(VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND), qc.dwViewStatus);
        EXPECT_NE(0u, qc.dwEventCookie);

        // The client site is set.
        fw::ComPtr<IOleObject> ole;
        ASSERT_EQ(S_OK, quick->QueryInterface(IID_IOleObject, ole.PutVoid()));
        fw::ComPtr<IOleClientSite> got;
        ASSERT_EQ(S_OK, ole->GetClientSite(got.Put()));
        EXPECT_EQ(site.Client(), got.Get());

        // The advise sink is the view's sink.
        fw::ComPtr<IViewObject> view;
        ASSERT_EQ(S_OK, quick->QueryInterface(IID_IViewObject, view.PutVoid()));
        fw::ComPtr<IAdviseSink> sink;
        DWORD aspects = 0;
        ASSERT_EQ(S_OK, view->GetAdvise(&aspects, nullptr, sink.Put()));
        EXPECT_EQ(site.Sink(), sink.Get());
        EXPECT_TRUE(aspects & DVASPECT_CONTENT);

        // The event sink is connected under the returned cookie.
        fw::ComPtr<IConnectionPointContainer> cpc;
        ASSERT_EQ(S_OK, quick->QueryInterface(IID_IConnectionPointContainer, cpc.PutVoid()));
        fw::ComPtr<IConnectionPoint> point;
        ASSERT_EQ(S_OK, cpc->FindConnectionPoint(DIID__ITesseraEvents, point.Put()));
        fw::ComPtr<IEnumConnections> e;
        ASSERT_EQ(S_OK, point->EnumConnections(e.Put()));
        CONNECTDATA cd[2] = {};
        ULONG fetched = 0;
        e->Next(2, cd, &fetched);
        ASSERT_EQ(1u, fetched);
        EXPECT_EQ(static_cast<IUnknown*>(&events), cd[0].pUnk);
        EXPECT_EQ(qc.dwEventCookie, cd[0].dwCookie);
        cd[0].pUnk->Release();
        e.Reset();

        // The container can disconnect with that cookie.
        EXPECT_EQ(S_OK, point->Unadvise(qc.dwEventCookie));
        EXPECT_EQ(0u, events.Refs());

        EXPECT_EQ(S_OK, ole->SetClientSite(nullptr));
        EXPECT_EQ(S_OK, view->SetAdvise(DVASPECT_CONTENT, 0, nullptr));
    }
    EXPECT_EQ(0u, site.Refs());
    EXPECT_EQ(S_OK, CanUnloadNow());
}

TEST(QuickActivation, EventSinkWithoutTheEventsInterfaceIsNotConnected)
{
    RecordingSite site;
    RecordingEventSink plain(DIID__ITesseraEvents, false);
    {
        fw::ComPtr<IQuickActivate> quick;
        ASSERT_EQ(S_OK, test::CreateFromDll(CLSID_Tessera, nullptr, IID_IQuickActivate, quick.PutVoid()));
        QACONTAINER qa = {};
        qa.cbSize = sizeof(qa);
        qa.pClientSite = site.Client();
        qa.pUnkEventSink = &plain;
        QACONTROL qc = {};
        qc.cbSize = sizeof(qc);
        EXPECT_EQ(S_OK, quick->QuickActivate(&qa, &qc));
        EXPECT_EQ(0u, qc.dwEventCookie);
        EXPECT_EQ(kMiscStatus, qc.dwMiscStatus);
        EXPECT_EQ(0u, plain.Refs());

        EXPECT_EQ(E_POINTER, quick->QuickActivate(nullptr, &qc));
        EXPECT_EQ(E_POINTER, quick->QuickActivate(&qa, nullptr));

        fw::ComPtr<IOleObject> ole;
        ASSERT_EQ(S_OK, quick->QueryInterface(IID_IOleObject, ole.PutVoid()));
        ole->SetClientSite(nullptr);
    }
    EXPECT_EQ(0u, site.Refs());
}

TEST(QuickActivation, ContentExtentRoundTrip)
{
    fw::ComPtr<IQuickActivate> quick;
    ASSERT_EQ(S_OK, test::CreateFromDll(CLSID_Tessera, nullptr, IID_IQuickActivate, quick.PutVoid()));
    SIZEL size = {5080, 2540};
    EXPECT_EQ(S_OK, quick->SetContentExtent(&size));
    SIZEL got = {};
    EXPECT_EQ(S_OK, quick->GetContentExtent(&got));
    EXPECT_EQ(5080, got.cx);
    EXPECT_EQ(2540, got.cy);

    // The same extent as IOleObject sees it.
    fw::ComPtr<IOleObject> ole;
    ASSERT_EQ(S_OK, quick->QueryInterface(IID_IOleObject, ole.PutVoid()));
    SIZEL viaOle = {};
    EXPECT_EQ(S_OK, ole->GetExtent(DVASPECT_CONTENT, &viaOle));
    EXPECT_EQ(5080, viaOle.cx);
    EXPECT_EQ(2540, viaOle.cy);
}

} // namespace
