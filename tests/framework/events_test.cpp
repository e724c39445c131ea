// Raising events: argument packing, slot order, cancel flags and sinks that
// disconnect while an event is under way.
#include <windows.h>
#include <gtest/gtest.h>
#include <olectl.h>

#include <functional>
#include <string>
#include <vector>

#include "control/EventProxy.h"
#include "framework/com_ptr.h"
#include "framework/connection_point.h"
#include "kvadra.h"
#include "support/recording_site.h"

namespace {

// A container that only has to keep the point's reference counting happy.
class Container : public fw::ConnectionPointContainerImpl {
public:
    Container() : fw::ConnectionPointContainerImpl(DIID__ITesseraEvents) {}
    STDMETHOD(QueryInterface)(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
};

struct Call {
    int sink;
    DISPID id;
    std::vector<VARTYPE> types;
    std::vector<SHORT> shorts;
    std::wstring text;
};

class Sink final : public test::Counted<IDispatch> {
public:
    Sink(int n, std::vector<Call>& log) : number(n), calls(log) {}

    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override
    {
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch) && !IsEqualIID(iid, DIID__ITesseraEvents))
            return test::Cleared(ppv, E_NOINTERFACE);
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHOD(GetTypeInfoCount)(UINT* count) override { return test::NoTypeInfo(count); }
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo** info) override { return test::Cleared(info, E_NOTIMPL); }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHOD(Invoke)(DISPID id, REFIID, LCID lcid, WORD flags, DISPPARAMS* p, VARIANT* result, EXCEPINFO*, UINT*) override
    {
        EXPECT_EQ(0x400u, lcid);
        EXPECT_EQ(DISPATCH_METHOD, flags);
        EXPECT_EQ(nullptr, result);
        EXPECT_EQ(0u, p->cNamedArgs);
        Call c{number, id, {}, {}, {}};
        for (UINT i = 0; i < p->cArgs; ++i) {
            VARIANT& v = p->rgvarg[i];
            c.types.push_back(v.vt);
            if (v.vt == VT_I2) c.shorts.push_back(v.iVal);
            if (v.vt == (VT_BYREF | VT_I2)) {
                c.shorts.push_back(*v.piVal);
                if (setCancel) *v.piVal = setCancel;
            }
            if (v.vt == VT_BSTR) {
                c.text = v.bstrVal ? v.bstrVal : L"<null>";
                if (v.bstrVal && SysStringLen(v.bstrVal)) v.bstrVal[0] = L'#';  // only its own copy
            }
        }
        calls.push_back(c);
        if (onInvoke) onInvoke();
        return fail ? E_FAIL : S_OK;
    }

    int number;
    std::vector<Call>& calls;
    SHORT setCancel = 0;
    bool fail = false;
    std::function<void()> onInvoke;
};

class Events : public ::testing::Test {
protected:
    Container container;
    fw::ConnectionPoint& point = container.EventsPoint();
    CProxy_ITesseraEvents proxy{point};
    std::vector<Call> calls;
};

TEST_F(Events, ArgumentsArriveReversedWithTheirTypes)
{
    VARIANT_BOOL cancel = 0;
    proxy.Fire_OnAfterCalendar(&cancel);  // no sink: no call, and cancel stays
    EXPECT_EQ(0, cancel);
    Sink sink(1, calls);
    DWORD cookie = 0;
    ASSERT_HRESULT_SUCCEEDED(point.Advise(&sink, &cookie));
    fw::Bstr text(L"42");
    proxy.Fire_OnBeforeEdit(3, 4, text.Get(), &cancel);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(1, calls[0].id);
    EXPECT_EQ((std::vector<VARTYPE>{VT_BYREF | VT_I2, VT_BSTR, VT_I2, VT_I2}), calls[0].types);
    EXPECT_EQ((std::vector<SHORT>{0, 4, 3}), calls[0].shorts);  // rgvarg[0] is the last parameter
    EXPECT_EQ(L"42", calls[0].text);
    EXPECT_STREQ(L"42", text.Get());  // the sink scribbled on its own copy

    calls.clear();
    proxy.Fire_OnClick();
    proxy.Fire_ViewChange();
    proxy.Fire_OnBeforeEdit(1, 1, nullptr, &cancel);
    proxy.Fire_OnSelectCell(static_cast<short>(40000), static_cast<short>(7));
    proxy.Fire_OnDragAndDropCol(1, 2);
    ASSERT_EQ(5u, calls.size());
    EXPECT_EQ(7, calls[0].id);
    EXPECT_EQ(15, calls[1].id);
    EXPECT_TRUE(calls[0].types.empty() && calls[1].types.empty());
    EXPECT_EQ(L"<null>", calls[2].text);
    EXPECT_EQ((std::vector<SHORT>{7, -25536}), calls[3].shorts);  // indices are cut to shorts
    EXPECT_EQ(17, calls[4].id);
    EXPECT_EQ((std::vector<SHORT>{2, 1}), calls[4].shorts);
    point.Unadvise(cookie);
    EXPECT_EQ(0u, sink.Refs());
}

// Later sinks see the cancel flag earlier ones left; a failing sink, one
// that disconnects itself, and one connected during the event (beyond the
// slots counted at the start) disturb none of the others.
TEST_F(Events, SinksRunInSlotOrderShareTheCancelFlagAndMayDisconnectMidEvent)
{
    Sink first(1, calls), second(2, calls), third(3, calls), late(4, calls);
    DWORD c1 = 0, c2 = 0, c3 = 0, c4 = 0;
    point.Advise(&first, &c1);
    point.Advise(&second, &c2);
    point.Advise(&third, &c3);
    first.setCancel = -1;
    first.onInvoke = [&] { point.Advise(&late, &c4); };
    second.fail = true;
    second.onInvoke = [&] { point.Unadvise(c2); };
    VARIANT_BOOL cancel = 0;
    proxy.Fire_OnValidateEdit(2, 5, nullptr, &cancel);
    ASSERT_EQ(3u, calls.size());
    EXPECT_EQ((std::vector<int>{1, 2, 3}), (std::vector<int>{calls[0].sink, calls[1].sink, calls[2].sink}));
    EXPECT_EQ(-1, calls[1].shorts[0]);
    EXPECT_EQ((std::vector<SHORT>{-1, 5, 2}), calls[2].shorts);
    EXPECT_EQ(VARIANT_TRUE, cancel);
    EXPECT_EQ(0u, second.Refs());

    // The late sink is called from the next event on.
    calls.clear();
    first.onInvoke = nullptr;
    proxy.Fire_OnLeaveCell(1, 2);
    ASSERT_EQ(3u, calls.size());
    EXPECT_EQ((std::vector<int>{1, 3, 4}), (std::vector<int>{calls[0].sink, calls[1].sink, calls[2].sink}));
    for (DWORD c : {c1, c3, c4}) point.Unadvise(c);
    EXPECT_EQ(0u, first.Refs());
}

} // namespace
