// The control in place in the platform's container: the events a host's
// sink receives, and the control window's own life.
#include <windows.h>
#include <gtest/gtest.h>
#include <ocidl.h>

#include <string>
#include <vector>

#include "support/grid_helpers.h"
#include "framework/com_ptr.h"
#include "kvadra.h"
#include "support/ax_host.h"
#include "support/recording_site.h"

namespace {

using Events = std::vector<std::string>;  // "15()" is ViewChange

class Hosted : public ::testing::Test {
protected:
    void SetUp() override
    {
        control = host.ControlWindow();
        ASSERT_NE(nullptr, control);
        ASSERT_HRESULT_SUCCEEDED(host.Control()->QueryInterface(IID_ITessera, grid.PutVoid()));
        ASSERT_HRESULT_SUCCEEDED(events.Advise(grid.Get(), &sink));
    }
    void TearDown() override
    {
        events.Unadvise();
        grid.Reset();
        host.Destroy();
    }
    bool RepaintPending() const { return GetUpdateRect(control, nullptr, FALSE) != FALSE; }

    test::AxHost host{L"Kvadra.Tessera.1"};
    HWND control = nullptr;
    fw::ComPtr<ITessera> grid;
    test::RecordingEventSink sink{DIID__ITesseraEvents};
    test::EventAdvise events;
};

// A host may hand the control to another thread: both its interfaces
// marshal through the type library, and events reach a sink there.
struct OtherApartment {
    IStream* tessera = nullptr;
    IStream* dispatch = nullptr;
    HRESULT hr = E_FAIL;
    long rows = 0;
    Events events;

    static DWORD WINAPI Run(void* p)
    {
        auto& w = *static_cast<OtherApartment*>(p);
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        {
            fw::ComPtr<ITessera> grid;
            fw::ComPtr<IDispatch> disp;
            test::RecordingEventSink sink{DIID__ITesseraEvents};
            test::EventAdvise events;
            w.hr = CoGetInterfaceAndReleaseStream(w.tessera, IID_ITessera, grid.PutVoid());
            HRESULT hr2 = CoGetInterfaceAndReleaseStream(w.dispatch, IID_IDispatch, disp.PutVoid());
            if (SUCCEEDED(w.hr)) w.hr = hr2;
            if (SUCCEEDED(w.hr)) w.hr = grid->put_Rows(7);
            LPOLESTR name = const_cast<LPOLESTR>(L"Rows");
            DISPID id = 0;
            fw::Variant rows;
            DISPPARAMS none = {};
            if (SUCCEEDED(w.hr)) w.hr = disp->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
            if (SUCCEEDED(w.hr))
                w.hr = disp->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, rows.Ptr(), nullptr, nullptr);
            if (SUCCEEDED(w.hr) && SUCCEEDED(VariantChangeType(rows.Ptr(), rows.Ptr(), 0, VT_I4))) w.rows = rows.Ptr()->lVal;
            if (SUCCEEDED(w.hr)) w.hr = events.Advise(grid.Get(), &sink);
            if (SUCCEEDED(w.hr)) w.hr = grid->Update();
            w.events = sink.Events();
        }
        CoUninitialize();
        return 0;
    }
};

TEST_F(Hosted, UsableFromAnotherApartmentWithEventsThere)
{
    OtherApartment w;
    ASSERT_HRESULT_SUCCEEDED(CoMarshalInterThreadInterfaceInStream(IID_ITessera, grid.Get(), &w.tessera));
    ASSERT_HRESULT_SUCCEEDED(CoMarshalInterThreadInterfaceInStream(IID_IDispatch, grid.Get(), &w.dispatch));
    HANDLE thread = CreateThread(nullptr, 0, OtherApartment::Run, &w, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    // The control's apartment serves the calls through its messages.
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, 30000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) test::PumpMessages();
    CloseHandle(thread);
    EXPECT_HRESULT_SUCCEEDED(w.hr);
    EXPECT_EQ(7, w.rows);
    EXPECT_EQ((Events{"15()"}), w.events);
}

TEST_F(Hosted, RefreshingMembersRaiseViewChangeAndAllowDrawHoldsThemBack)
{
    grid->Update();
    grid->put_Alignment(1);
    grid->put_Editable(VARIANT_FALSE);  // stores only
    EXPECT_EQ((Events{"15()", "15()"}), sink.Events());

    sink.Events().clear();
    grid->put_AllowDraw(0);
    grid->put_Widths(fw::Bstr(L"10 20 30 40 50 60 70 80 90 100").Get());
    grid->put_Alignment(2);
    grid->Update();
    EXPECT_TRUE(sink.Events().empty());
    grid->put_AllowDraw(1);
    EXPECT_EQ((Events{"15()"}), sink.Events());
}

TEST_F(Hosted, StepsOfATableChangeEachRaiseViewChange)
{
    grid->put_Cols(5);
    sink.Events().clear();
    // Disabling without a current cell: clearing the selection, then the final repaint.
    grid->put_Enabled(VARIANT_FALSE);
    int n = 0;
    grid->get_CurrentCellRow(&n);
    EXPECT_EQ(-1, n);
    EXPECT_EQ(Events(2, "15()"), sink.Events());

    grid->put_Rows(6);
    sink.Events().clear();
    grid->InsertRow(2);
    // Rows put, an exchange for each row moved, then the final repaint.
    EXPECT_EQ(Events(6, "15()"), sink.Events());
}

TEST_F(Hosted, HostSeesAnEmptySelectionAndClearSelectionOnlyRepaints)
{
    // Only the user starts a selection: a corner alone selects nothing.
    ASSERT_HRESULT_SUCCEEDED(grid->put_SelectionLeftTopX(3));
    int n = 0;
    grid->get_SelectionLeftTopX(&n);
    EXPECT_EQ(-1, n);
    EXPECT_TRUE(sink.Events().empty());
    ASSERT_HRESULT_SUCCEEDED(grid->ClearSelection());
    EXPECT_EQ((Events{"15()"}), sink.Events());
    grid->get_CurrentCellRow(&n);
    EXPECT_EQ(-1, n);
}

// A repaint already pending is not asked for again; one asked for after a
// paint must be.
TEST_F(Hosted, EveryRefreshAfterAPaintAsksForAnother)
{
    UpdateWindow(control);
    EXPECT_FALSE(RepaintPending());
    grid->Update();
    grid->Update();
    EXPECT_TRUE(RepaintPending());
    UpdateWindow(control);
    EXPECT_FALSE(RepaintPending());
    grid->Update();
    EXPECT_TRUE(RepaintPending());
    UpdateWindow(control);
    grid->put_AllowDraw(0);
    grid->Update();
    EXPECT_FALSE(RepaintPending());
}

TEST_F(Hosted, WindowMakesAHiddenDatePickerAndAnswersItsMessages)
{
    HWND picker = nullptr;
    for (HWND child = GetWindow(control, GW_CHILD); child && !picker; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[64] = {};
        GetClassNameW(child, cls, 64);
        if (lstrcmpW(cls, L"SysDateTimePick32") == 0) picker = child;
    }
    ASSERT_NE(nullptr, picker);
    EXPECT_EQ(static_cast<LONG>(WS_CHILD | WS_BORDER),
              GetWindowLongW(picker, GWL_STYLE) & (WS_CHILD | WS_BORDER | WS_POPUP | WS_VISIBLE));

    // Reflected and unknown messages reach the default procedure; commands
    // and clipboard requests are consumed with 0.
    for (UINT msg : {0x2000u + WM_COMMAND, WM_APP + 77u, UINT(WM_COPY), UINT(WM_PASTE)})
        EXPECT_EQ(0, SendMessageW(control, msg, 0, 0)) << msg;
    EXPECT_EQ(0, SendMessageW(control, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), 0));

    TearDown();
    EXPECT_FALSE(IsWindow(picker));
    EXPECT_FALSE(IsWindow(control));
}

} // namespace
