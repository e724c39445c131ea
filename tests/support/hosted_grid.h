// A control in the platform's container, with a sink recording its events.
#pragma once

#include <gtest/gtest.h>

#include "support/ax_host.h"
#include "support/grid_helpers.h"
#include "support/recording_site.h"

namespace test {

class HostedGrid : public ::testing::Test {
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
        ReleaseCapture();
        events.Unadvise();
        grid.Reset();
        host.Destroy();
    }

    AxHost host{L"Kvadra.Tessera.1"};
    HWND control = nullptr;
    fw::ComPtr<ITessera> grid;
    RecordingEventSink sink{DIID__ITesseraEvents};
    EventAdvise events;
};

} // namespace test
