// Events of a control in place in the platform's container, as a host's
// sink receives them.
#include <windows.h>
#include <gtest/gtest.h>
#include <ocidl.h>

#include <string>
#include <vector>

#include "framework/com_ptr.h"
#include "kvadra.h"
#include "support/ax_host.h"
#include "support/recording_site.h"

namespace {

class HostedEvents : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, host.ControlWindow());
        ASSERT_HRESULT_SUCCEEDED(host.Control()->QueryInterface(IID_ITessera, grid.PutVoid()));
        fw::ComPtr<IConnectionPointContainer> cpc;
        ASSERT_HRESULT_SUCCEEDED(grid->QueryInterface(IID_IConnectionPointContainer, cpc.PutVoid()));
        ASSERT_HRESULT_SUCCEEDED(cpc->FindConnectionPoint(DIID__ITesseraEvents, point.Put()));
        ASSERT_HRESULT_SUCCEEDED(point->Advise(&sink, &cookie));
    }
    void TearDown() override
    {
        if (point) point->Unadvise(cookie);
        point.Reset();
        grid.Reset();
        host.Destroy();
    }

    test::AxHost host{L"Kvadra.Tessera.1"};
    fw::ComPtr<ITessera> grid;
    fw::ComPtr<IConnectionPoint> point;
    test::RecordingEventSink sink{DIID__ITesseraEvents};
    DWORD cookie = 0;
};

using Events = std::vector<std::string>;

TEST_F(HostedEvents, RefreshingMembersRaiseViewChangeWithNoArguments)
{
    grid->Update();
    grid->put_Alignment(1);
    grid->put_Editable(VARIANT_FALSE);  // stores only
    EXPECT_EQ((Events{"15()", "15()"}), sink.Events());
}

TEST_F(HostedEvents, AllowDrawHoldsBackRepaintsUntilItIsSetAgain)
{
    grid->put_AllowDraw(0);
    fw::Bstr widths(L"10 20 30 40 50 60 70 80 90 100");
    grid->put_Widths(widths.Get());
    grid->put_Alignment(2);
    grid->Update();
    EXPECT_TRUE(sink.Events().empty());
    grid->put_AllowDraw(1);
    EXPECT_EQ((Events{"15()"}), sink.Events());
}

TEST_F(HostedEvents, DisablingWithoutACurrentCellRaisesOnlyRepaints)
{
    grid->put_Cols(5);
    sink.Events().clear();
    grid->put_Enabled(VARIANT_FALSE);
    int col = 0, row = 0;
    grid->get_CurrentCellCol(&col);
    grid->get_CurrentCellRow(&row);
    EXPECT_EQ(-1, col);
    EXPECT_EQ(-1, row);
    // One from clearing the selection, one from the final repaint.
    EXPECT_EQ((Events{"15()", "15()"}), sink.Events());
}

TEST_F(HostedEvents, RowInsertRaisesOneViewChangePerStep)
{
    grid->put_Rows(6);
    sink.Events().clear();
    grid->InsertRow(2);
    // Rows put, then an exchange (clearing the selection) for each row moved, then the final repaint.
    EXPECT_EQ(Events(6, "15()"), sink.Events());
}

} // namespace
