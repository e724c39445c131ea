// The control's COM identity: the interfaces it answers, the ones it refuses,
// the identity rules, and aggregation inside an outer object.
#include <windows.h>
#include <gtest/gtest.h>
#include <ole2.h>
#include <ocidl.h>
#include <olectl.h>
#include <docobj.h>
#include <servprov.h>

#include "framework/com_ptr.h"
#include "kvadra.h"
#include "support/dll.h"
#include "support/recording_site.h"

namespace {

struct Named {
    const IID* iid;
    const char* name;
};

#define NAMED(I) {&IID_##I, #I}

const Named kAnswered[] = {
    NAMED(ITessera), NAMED(IDispatch), NAMED(IViewObjectEx), NAMED(IViewObject2), NAMED(IViewObject),
    NAMED(IOleInPlaceObjectWindowless), NAMED(IOleInPlaceObject), NAMED(IOleWindow), NAMED(IOleInPlaceActiveObject),
    NAMED(IOleControl), NAMED(IOleObject), NAMED(IPersistStreamInit), NAMED(IPersist), NAMED(IPersistPropertyBag),
    NAMED(ISupportErrorInfo), NAMED(IConnectionPointContainer), NAMED(ISpecifyPropertyPages), NAMED(IQuickActivate),
    NAMED(IPersistStorage), NAMED(IDataObject), NAMED(IProvideClassInfo), NAMED(IProvideClassInfo2),
    NAMED(IPerPropertyBrowsing),
};

// An interface identifier nobody implements.
const IID IID_Unheard = {0x5c0a3b6e, 0x2f41, 0x4d8e, {0x9a, 0x11, 0x7e, 0x60, 0x2b, 0x3c, 0x4d, 0x5f}};

const Named kRefused[] = {
    NAMED(IPersistStream), NAMED(IOleInPlaceSite), NAMED(IOleClientSite), NAMED(IPropertyNotifySink), NAMED(IMarshal),
    NAMED(IStdMarshalInfo), NAMED(IExternalConnection), NAMED(IRunnableObject), NAMED(IOleCache), NAMED(IOleLink),
    NAMED(IConnectionPoint), NAMED(IClassFactory), NAMED(IPointerInactive), NAMED(IServiceProvider),
    NAMED(IOleCommandTarget), NAMED(IPersistFile), NAMED(IAdviseSink), {&DIID__ITesseraEvents, "_ITesseraEvents"},
    NAMED(Unheard),
};

using test::CanUnloadNow;

// The reference count an object reports, without changing it.
ULONG RefCount(IUnknown* p)
{
    p->AddRef();
    return p->Release();
}

// From every listed interface: one IUnknown, each listed interface reachable
// with the same pointer as asked directly and back again, refused ones
// refused with a cleared out-pointer, and one reference per answer.
TEST(Identity, AnswersTheListFromEveryInterfaceAndRefusesTheRest)
{
    fw::ComPtr<IUnknown> control;
    ASSERT_EQ(S_OK, test::CreateFromDll(CLSID_Tessera, nullptr, IID_IUnknown, control.PutVoid()));
    const ULONG before = RefCount(control.Get());
    for (const Named& from : kAnswered) {
        fw::ComPtr<IUnknown> a;
        ASSERT_EQ(S_OK, control->QueryInterface(*from.iid, a.PutVoid())) << from.name;
        EXPECT_EQ(before + 1, RefCount(control.Get())) << from.name;
        fw::ComPtr<IUnknown> identity;
        ASSERT_EQ(S_OK, a->QueryInterface(IID_IUnknown, identity.PutVoid())) << from.name;
        EXPECT_EQ(control.Get(), identity.Get()) << from.name;

        for (const Named& to : kAnswered) {
            fw::ComPtr<IUnknown> b, direct, back;
            ASSERT_EQ(S_OK, a->QueryInterface(*to.iid, b.PutVoid())) << from.name << " -> " << to.name;
            ASSERT_EQ(S_OK, control->QueryInterface(*to.iid, direct.PutVoid())) << to.name;
            EXPECT_EQ(direct.Get(), b.Get()) << from.name << " -> " << to.name;
            EXPECT_EQ(S_OK, b->QueryInterface(*from.iid, back.PutVoid())) << to.name << " -> " << from.name;
            EXPECT_EQ(a.Get(), back.Get()) << to.name << " -> " << from.name;
        }
        for (const Named& to : kRefused) {
            void* p = reinterpret_cast<void*>(1);
            EXPECT_EQ(E_NOINTERFACE, a->QueryInterface(*to.iid, &p)) << from.name << " -> " << to.name;
            EXPECT_EQ(nullptr, p) << from.name << " -> " << to.name;
        }
    }
    EXPECT_EQ(before, RefCount(control.Get()));

    // A reference through any interface keeps the object; the last frees it.
    fw::ComPtr<IOleObject> ole;
    ASSERT_EQ(S_OK, control->QueryInterface(IID_IOleObject, ole.PutVoid()));
    control.Reset();
    EXPECT_EQ(S_FALSE, CanUnloadNow());
    ole.Reset();
    EXPECT_EQ(S_OK, CanUnloadNow());
}

// An outer object with an interface of its own (IServiceProvider, which the
// control does not have); everything else it asks its inner object for.
class Outer final : public test::Counted<IServiceProvider> {
public:
    Outer() { AddRef(); }
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override
    {
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IServiceProvider))
            return inner ? inner->QueryInterface(iid, ppv) : test::Cleared(ppv, E_NOINTERFACE);
        *ppv = Unknown();
        AddRef();
        return S_OK;
    }
    STDMETHOD(QueryService)(REFGUID, REFIID, void** ppv) override { return test::Cleared(ppv, E_NOINTERFACE); }
    IUnknown* Unknown() { return this; }

    fw::ComPtr<IUnknown> inner;  // the inner object's non-delegating unknown
};

TEST(Aggregation, EveryClassAsksForTheInnerUnknownAndTheControlDelegates)
{
    for (const CLSID* clsid : {&CLSID_Tessera, &CLSID_SizeCtl, &CLSID_GenProp, &CLSID_CellProp}) {
        Outer outer;
        fw::ComPtr<IUnknown> refused;
        EXPECT_EQ(CLASS_E_NOAGGREGATION, test::CreateFromDll(*clsid, outer.Unknown(), IID_IDispatch, refused.PutVoid()));
        EXPECT_FALSE(refused);
        ASSERT_EQ(S_OK, test::CreateFromDll(*clsid, outer.Unknown(), IID_IUnknown, outer.inner.PutVoid()));
        EXPECT_EQ(1u, outer.Refs());
        EXPECT_EQ(S_FALSE, CanUnloadNow());
        outer.inner.Reset();
        EXPECT_EQ(1u, outer.Refs());
    }
    EXPECT_EQ(S_OK, CanUnloadNow());

    // Through the outer object the control and its own interfaces are reached.
    Outer outer;
    ASSERT_EQ(S_OK, test::CreateFromDll(CLSID_Tessera, outer.Unknown(), IID_IUnknown, outer.inner.PutVoid()));
    {
        fw::ComPtr<ITessera> grid;
        ASSERT_EQ(S_OK, outer.QueryInterface(IID_ITessera, grid.PutVoid()));
        EXPECT_EQ(2u, outer.Refs());
        // Every interface of the control delegates to the outer object: its
        // references, its identity and its own interface.
        for (const Named& n : kAnswered) {
            fw::ComPtr<IUnknown> p, identity;
            ASSERT_EQ(S_OK, grid->QueryInterface(*n.iid, p.PutVoid())) << n.name;
            EXPECT_EQ(3u, outer.Refs()) << n.name;
            ASSERT_EQ(S_OK, p->QueryInterface(IID_IUnknown, identity.PutVoid())) << n.name;
            EXPECT_EQ(outer.Unknown(), identity.Get()) << n.name;
            fw::ComPtr<IServiceProvider> services;
            ASSERT_EQ(S_OK, p->QueryInterface(IID_IServiceProvider, services.PutVoid())) << n.name;
            EXPECT_EQ(static_cast<IServiceProvider*>(&outer), services.Get()) << n.name;
        }
        EXPECT_EQ(2u, outer.Refs());

        // The connection point belongs to the same object and counts there too.
        fw::ComPtr<IConnectionPointContainer> cpc, back;
        fw::ComPtr<IConnectionPoint> point;
        ASSERT_EQ(S_OK, grid->QueryInterface(IID_IConnectionPointContainer, cpc.PutVoid()));
        ASSERT_EQ(S_OK, cpc->FindConnectionPoint(DIID__ITesseraEvents, point.Put()));
        EXPECT_EQ(4u, outer.Refs());
        fw::ComPtr<IUnknown> backIdentity;
        ASSERT_EQ(S_OK, point->GetConnectionPointContainer(back.Put()));
        ASSERT_EQ(S_OK, back->QueryInterface(IID_IUnknown, backIdentity.PutVoid()));
        EXPECT_EQ(outer.Unknown(), backIdentity.Get());
    }
    EXPECT_EQ(1u, outer.Refs());

    // The inner unknown does not delegate: it answers for itself and keeps
    // its own count.
    fw::ComPtr<IUnknown> innerSelf;
    fw::ComPtr<IServiceProvider> notInner;
    ASSERT_EQ(S_OK, outer.inner->QueryInterface(IID_IUnknown, innerSelf.PutVoid()));
    EXPECT_EQ(outer.inner.Get(), innerSelf.Get());
    EXPECT_EQ(E_NOINTERFACE, outer.inner->QueryInterface(IID_IServiceProvider, notInner.PutVoid()));
    EXPECT_EQ(1u, outer.Refs());
    innerSelf.Reset();
    outer.inner.Reset();
    EXPECT_EQ(S_OK, CanUnloadNow());
}

} // namespace
