// The control's single event connection point (finding it, connecting and
// disconnecting sinks, cookies, slot reuse, enumeration) and raising events
// through it: argument packing, slot order, cancel flags and sinks that
// disconnect while an event is under way.
#include <windows.h>
#include <gtest/gtest.h>
#include <olectl.h>
#include <ocidl.h>

#include <string>
#include <vector>

#include "control/EventProxy.h"
#include "framework/com_ptr.h"
#include "framework/connection_point.h"
#include "kvadra.h"
#include "support/dll.h"
#include "support/recording_site.h"

namespace {

using test::RecordingEventSink;

// A container that only has to keep the point's reference counting happy.
class Container : public fw::ConnectionPointContainerImpl {
public:
    Container() : fw::ConnectionPointContainerImpl(DIID__ITesseraEvents) {}
    STDMETHOD(QueryInterface)(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
};

class Events : public ::testing::Test {
protected:
    Container container;
    fw::ConnectionPoint& point = container.EventsPoint();
    CProxy_ITesseraEvents proxy{point};
};

TEST_F(Events, ArgumentsArriveReversedWithTheirTypes)
{
    VARIANT_BOOL cancel = 0;
    proxy.Fire_OnAfterCalendar(&cancel);  // no sink: no call, and cancel stays
    EXPECT_EQ(0, cancel);
    RecordingEventSink sink(DIID__ITesseraEvents);
    std::wstring seen;
    sink.onEvent = [&](DISPID, DISPPARAMS* p) {
        for (UINT i = 0; i < p->cArgs; ++i) {
            BSTR text = p->rgvarg[i].vt == VT_BSTR ? p->rgvarg[i].bstrVal : nullptr;
            if (!text || !SysStringLen(text)) continue;
            seen = text;
            text[0] = L'#';  // only its own copy
        }
    };
    DWORD cookie = 0;
    ASSERT_HRESULT_SUCCEEDED(point.Advise(&sink, &cookie));
    fw::Bstr text(L"42");
    proxy.Fire_OnBeforeEdit(3, 4, text.Get(), &cancel);
    EXPECT_EQ(std::vector<std::string>{"1(3,4,'text',&0)"}, sink.Events());
    EXPECT_EQ(L"42", seen);
    EXPECT_STREQ(L"42", text.Get());
    EXPECT_EQ(0x400u, sink.how.lcid);
    EXPECT_EQ(DISPATCH_METHOD, sink.how.flags);
    EXPECT_FALSE(sink.how.result);
    EXPECT_EQ(0u, sink.how.named);

    // Indices are cut to shorts.
    sink.Events().clear();
    proxy.Fire_OnClick();
    proxy.Fire_ViewChange();
    proxy.Fire_OnBeforeEdit(1, 1, nullptr, &cancel);
    proxy.Fire_OnSelectCell(static_cast<short>(40000), static_cast<short>(7));
    proxy.Fire_OnDragAndDropCol(1, 2);
    EXPECT_EQ((std::vector<std::string>{"7()", "15()", "1(1,1,'null',&0)", "10(-25536,7)", "17(1,2)"}), sink.Events());
    point.Unadvise(cookie);
    EXPECT_EQ(0u, sink.Refs());
}

// Later sinks see the cancel flag earlier ones left; a failing sink, one
// that disconnects itself, and one connected during the event (beyond the
// slots counted at the start) disturb none of the others.
TEST_F(Events, SinksRunInSlotOrderShareTheCancelFlagAndMayDisconnectMidEvent)
{
    RecordingEventSink first(DIID__ITesseraEvents), second(DIID__ITesseraEvents), third(DIID__ITesseraEvents),
        late(DIID__ITesseraEvents);
    DWORD c1 = 0, c2 = 0, c3 = 0, c4 = 0;
    point.Advise(&first, &c1);
    point.Advise(&second, &c2);
    point.Advise(&third, &c3);
    std::vector<int> order;
    first.onEvent = [&](DISPID, DISPPARAMS* p) {
        order.push_back(1);
        if (p->cArgs && p->rgvarg[0].vt == (VT_BYREF | VT_I2)) *p->rgvarg[0].piVal = -1;
        if (!c4) point.Advise(&late, &c4);
    };
    second.answer = E_FAIL;
    second.onEvent = [&](DISPID, DISPPARAMS*) {
        order.push_back(2);
        point.Unadvise(c2);
    };
    third.onEvent = [&](DISPID, DISPPARAMS*) { order.push_back(3); };
    late.onEvent = [&](DISPID, DISPPARAMS*) { order.push_back(4); };
    VARIANT_BOOL cancel = 0;
    proxy.Fire_OnValidateEdit(2, 5, nullptr, &cancel);
    EXPECT_EQ((std::vector<int>{1, 2, 3}), order);
    EXPECT_EQ(std::vector<std::string>{"2(2,5,'null',&-1)"}, second.Events());
    EXPECT_EQ(std::vector<std::string>{"2(2,5,'null',&-1)"}, third.Events());
    EXPECT_EQ(VARIANT_TRUE, cancel);
    EXPECT_EQ(0u, second.Refs());

    // The late sink is called from the next event on.
    order.clear();
    proxy.Fire_OnLeaveCell(1, 2);
    EXPECT_EQ((std::vector<int>{1, 3, 4}), order);
    for (DWORD c : {c1, c3, c4}) point.Unadvise(c);
    EXPECT_EQ(0u, first.Refs());
}

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

TEST_F(ConnectionPointTest, SinksCookiesSlotsEnumerationAndThePointKeepingItsControl)
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

    // The point keeps its control, and releases the sinks with it.
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, point->Advise(&s1, &cookie));
    EXPECT_LT(0u, s1.Refs());
    container.Reset();
    EXPECT_EQ(S_FALSE, test::CanUnloadNow());
    point.Reset();
    EXPECT_EQ(0u, s1.Refs());
    EXPECT_EQ(S_OK, test::CanUnloadNow());
}

} // namespace
