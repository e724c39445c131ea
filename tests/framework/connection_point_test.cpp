// The control's single event connection point: finding it, connecting and
// disconnecting sinks, cookies, slot reuse and enumeration.
#include <windows.h>
#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>
#include <vector>

#include "framework/com_ptr.h"
#include "kvadra.h"
#include "support/recording_site.h"
#include "support/dll.h"

namespace {

using test::RecordingEventSink;

class ConnectionPointTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, test::CreateFromDll(CLSID_Tessera, nullptr, IID_IConnectionPointContainer, container.PutVoid()));
        ASSERT_EQ(S_OK, container->FindConnectionPoint(DIID__ITesseraEvents, point.Put()));
    }

    // The connections as the point enumerates them (references released).
    std::vector<CONNECTDATA> Connections()
    {
        std::vector<CONNECTDATA> out;
        fw::ComPtr<IEnumConnections> e;
        EXPECT_EQ(S_OK, point->EnumConnections(e.Put()));
        CONNECTDATA cd;
        while (e && e->Next(1, &cd, nullptr) == S_OK) {
            out.push_back(cd);
            cd.pUnk->Release();
        }
        return out;
    }

    fw::ComPtr<IConnectionPointContainer> container;
    fw::ComPtr<IConnectionPoint> point;
};

TEST_F(ConnectionPointTest, OnlyTheEventsInterfaceHasAPointAndItLeadsBack)
{
    for (const IID* iid : {&IID_IPropertyNotifySink, &IID_IDispatch, &IID_ITessera, &IID_IUnknown}) {
        IConnectionPoint* none = reinterpret_cast<IConnectionPoint*>(1);
        EXPECT_EQ(CONNECT_E_NOCONNECTION, container->FindConnectionPoint(*iid, &none));
        EXPECT_EQ(nullptr, none);
    }
    EXPECT_EQ(E_POINTER, container->FindConnectionPoint(DIID__ITesseraEvents, nullptr));
    IID iid = IID_NULL;
    EXPECT_EQ(S_OK, point->GetConnectionInterface(&iid));
    EXPECT_TRUE(IsEqualIID(DIID__ITesseraEvents, iid));

    fw::ComPtr<IConnectionPointContainer> back;
    ASSERT_EQ(S_OK, point->GetConnectionPointContainer(back.Put()));
    fw::ComPtr<IUnknown> a, b;
    container->QueryInterface(IID_IUnknown, a.PutVoid());
    back->QueryInterface(IID_IUnknown, b.PutVoid());
    EXPECT_EQ(a.Get(), b.Get());

    // The enumeration yields that same point, once.
    fw::ComPtr<IEnumConnectionPoints> e;
    ASSERT_EQ(S_OK, container->EnumConnectionPoints(e.Put()));
    IConnectionPoint* got[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(S_FALSE, e->Next(2, got, &fetched));
    ASSERT_EQ(1u, fetched);
    EXPECT_EQ(point.Get(), got[0]);
    got[0]->Release();
}

TEST_F(ConnectionPointTest, SinksCookiesSlotsAndEnumeration)
{
    // A sink without the events interface is refused and keeps no reference.
    RecordingEventSink plain(DIID__ITesseraEvents, false), s1(DIID__ITesseraEvents), s2(DIID__ITesseraEvents),
        s3(DIID__ITesseraEvents), s4(DIID__ITesseraEvents);
    DWORD c1 = 123, c2 = 0, c3 = 0, c4 = 0;
    EXPECT_EQ(CONNECT_E_CANNOTCONNECT, point->Advise(&plain, &c1));
    EXPECT_EQ(0u, c1);
    EXPECT_EQ(0u, plain.Refs());
    EXPECT_EQ(E_POINTER, point->Advise(&s1, nullptr));
    EXPECT_EQ(0u, s1.Refs());
    EXPECT_TRUE(Connections().empty());

    // Cookies are distinct and not zero; unknown ones are refused.
    EXPECT_EQ(CONNECT_E_NOCONNECTION, point->Unadvise(0));
    ASSERT_EQ(S_OK, point->Advise(&s1, &c1));
    ASSERT_EQ(S_OK, point->Advise(&s2, &c2));
    ASSERT_EQ(S_OK, point->Advise(&s3, &c3));
    EXPECT_TRUE(c1 && c2 && c3 && c1 != c2 && c2 != c3 && c1 != c3);
    EXPECT_EQ(CONNECT_E_NOCONNECTION, point->Unadvise(0xFFFFFFFFu));

    // An enumerator is a snapshot that holds its sinks.
    const ULONG held = s2.Refs();
    fw::ComPtr<IEnumConnections> e;
    ASSERT_EQ(S_OK, point->EnumConnections(e.Put()));
    EXPECT_EQ(held + 1, s2.Refs());

    // The middle sink leaves; the next sink takes its place and its cookie.
    EXPECT_EQ(S_OK, point->Unadvise(c2));
    EXPECT_EQ(CONNECT_E_NOCONNECTION, point->Unadvise(c2)) << "a cookie counts once";
    EXPECT_EQ(1u, s2.Refs()) << "only the enumerator still holds it";
    ASSERT_EQ(S_OK, point->Advise(&s4, &c4));
    EXPECT_EQ(c2, c4);

    // Enumeration follows the slots: s1, s4 (in s2's slot), s3.
    std::vector<CONNECTDATA> list = Connections();
    ASSERT_EQ(3u, list.size());
    EXPECT_TRUE(list[0].pUnk == &s1 && list[0].dwCookie == c1);
    EXPECT_TRUE(list[1].pUnk == &s4 && list[1].dwCookie == c4);
    EXPECT_TRUE(list[2].pUnk == &s3 && list[2].dwCookie == c3);

    // The snapshot still gives what was connected when it was made.
    CONNECTDATA cd[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(E_POINTER, e->Next(2, cd, nullptr)) << "more than one item needs a place for the count";
    ASSERT_EQ(S_OK, e->Next(3, cd, &fetched));
    ASSERT_EQ(3u, fetched);
    EXPECT_TRUE(cd[1].pUnk == &s2 && cd[1].dwCookie == c2);
    for (CONNECTDATA& d : cd) d.pUnk->Release();
    ASSERT_EQ(S_OK, e->Reset());
    EXPECT_EQ(S_OK, e->Skip(3)) << "a skip that ends exactly at the end";
    EXPECT_EQ(S_FALSE, e->Skip(1));
    e.Reset();
    EXPECT_EQ(0u, s2.Refs());

    for (DWORD c : {c1, c3, c4}) EXPECT_EQ(S_OK, point->Unadvise(c));
    EXPECT_TRUE(Connections().empty());
    for (RecordingEventSink* s : {&s1, &s3, &s4}) EXPECT_EQ(0u, s->Refs());
}

TEST_F(ConnectionPointTest, ThePointKeepsItsControlAndReleasesTheSinksWithIt)
{
    auto canUnloadNow = test::KvadraExport<test::DllCanUnloadNowFn>("DllCanUnloadNow");
    RecordingEventSink sink(DIID__ITesseraEvents);
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, point->Advise(&sink, &cookie));
    EXPECT_LT(0u, sink.Refs());
    container.Reset();
    EXPECT_EQ(S_FALSE, canUnloadNow());
    point.Reset();
    EXPECT_EQ(0u, sink.Refs());
    EXPECT_EQ(S_OK, canUnloadNow());
}

} // namespace
