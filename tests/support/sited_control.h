// A control made from the DLL with a recording site as its client site.
// Stop closes and releases it, and checks that it gave back every reference
// it took on the site and the frame.
#pragma once

#include <gtest/gtest.h>

#include "support/ax_host.h"
#include "support/dll.h"
#include "support/recording_site.h"

namespace test {

class SitedControl : public ::testing::Test {
protected:
    void SetUp() override { Start(); }
    void TearDown() override { Stop(); }
    void Start()
    {
        ASSERT_EQ(S_OK, CreateFromDll(CLSID_Tessera, nullptr, IID_IOleObject, ole.PutVoid()));
        ASSERT_EQ(S_OK, ole->QueryInterface(IID_ITessera, grid.PutVoid()));
        ASSERT_EQ(S_OK, ole->SetClientSite(site.Client()));
        site.Log().Clear();
    }
    void Stop()
    {
        if (!ole) return;
        EXPECT_EQ(S_OK, ole->Close(OLECLOSE_NOSAVE));
        EXPECT_EQ(S_OK, ole->SetClientSite(nullptr));
        grid.Reset();
        ole.Reset();
        PumpMessages();
        EXPECT_EQ(0u, site.Refs()) << "references on the site";
        EXPECT_EQ(0u, site.Frame().Refs()) << "references on the frame";
    }
    HRESULT Verb(LONG verb, IOleClientSite* active = nullptr)
    {
        HRESULT hr = ole->DoVerb(verb, nullptr, active ? active : site.Client(), 0, site.Window(), &site.posRect);
        PumpMessages();
        return hr;
    }
    // The control's window as its IOleWindow reports it, or null.
    HWND Window()
    {
        fw::ComPtr<IOleWindow> w;
        HWND hwnd = nullptr;
        if (SUCCEEDED(ole->QueryInterface(IID_IOleWindow, w.PutVoid()))) w->GetWindow(&hwnd);
        return hwnd;
    }
    fw::ComPtr<IOleInPlaceObject> InPlace()
    {
        fw::ComPtr<IOleInPlaceObject> p;
        ole->QueryInterface(IID_IOleInPlaceObject, p.PutVoid());
        return p;
    }

    RecordingSite site;
    fw::ComPtr<IOleObject> ole;
    fw::ComPtr<ITessera> grid;
};

} // namespace test
