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

namespace {

struct Named {
    const IID* iid;
    const char* name;
};

#define NAMED(I) { &IID_##I, #I }

const Named kAnswered[] = {
    NAMED(ITessera),
    NAMED(IDispatch),
    NAMED(IViewObjectEx),
    NAMED(IViewObject2),
    NAMED(IViewObject),
    NAMED(IOleInPlaceObjectWindowless),
    NAMED(IOleInPlaceObject),
    NAMED(IOleWindow),
    NAMED(IOleInPlaceActiveObject),
    NAMED(IOleControl),
    NAMED(IOleObject),
    NAMED(IPersistStreamInit),
    NAMED(IPersist),
    NAMED(IPersistPropertyBag),
    NAMED(ISupportErrorInfo),
    NAMED(IConnectionPointContainer),
    NAMED(ISpecifyPropertyPages),
    NAMED(IQuickActivate),
    NAMED(IPersistStorage),
    NAMED(IDataObject),
    NAMED(IProvideClassInfo),
    NAMED(IProvideClassInfo2),
    NAMED(IPerPropertyBrowsing),
};

// An interface identifier nobody implements.
const IID IID_Unheard = {0x5c0a3b6e, 0x2f41, 0x4d8e, {0x9a, 0x11, 0x7e, 0x60, 0x2b, 0x3c, 0x4d, 0x5f}};

const Named kRefused[] = {
    NAMED(IPersistStream),
    NAMED(IOleInPlaceSite),
    NAMED(IOleClientSite),
    NAMED(IPropertyNotifySink),
    NAMED(IMarshal),
    NAMED(IStdMarshalInfo),
    NAMED(IExternalConnection),
    NAMED(IRunnableObject),
    NAMED(IOleCache),
    NAMED(IOleLink),
    NAMED(IConnectionPoint),
    NAMED(IClassFactory),
    NAMED(IPointerInactive),
    NAMED(IServiceProvider),
    NAMED(IOleCommandTarget),
    NAMED(IPersistFile),
    NAMED(IAdviseSink),
    {&DIID__ITesseraEvents, "_ITesseraEvents"},
    NAMED(Unheard),
};

HRESULT CanUnloadNow()
{
    return test::KvadraExport<test::DllCanUnloadNowFn>("DllCanUnloadNow")();
}

// The reference count an object reports, without changing it.
ULONG RefCount(IUnknown* p)
{
    p->AddRef();
    return p->Release();
}

fw::ComPtr<IUnknown> NewControl()
{
    fw::ComPtr<IUnknown> unk;
    EXPECT_HRESULT_SUCCEEDED(test::CreateFromDll(CLSID_Tessera, nullptr, IID_IUnknown, unk.PutVoid()));
    return unk;
}

TEST(Identity, AnswersEveryListedInterface)
{
    fw::ComPtr<IUnknown> control = NewControl();
    ASSERT_TRUE(control);
    const ULONG before = RefCount(control.Get());
    for (const Named& n : kAnswered) {
        void* p = nullptr;
        EXPECT_EQ(S_OK, control->QueryInterface(*n.iid, &p)) << n.name;
        ASSERT_NE(nullptr, p) << n.name;
        EXPECT_EQ(before + 1, RefCount(control.Get())) << n.name << ": QueryInterface takes one reference";
        static_cast<IUnknown*>(p)->Release();
    }
    EXPECT_EQ(before, RefCount(control.Get()));
}

TEST(Identity, RefusesOtherInterfacesAndClearsTheOutPointer)
{
    fw::ComPtr<IUnknown> control = NewControl();
    ASSERT_TRUE(control);
    const ULONG before = RefCount(control.Get());
    for (const Named& n : kRefused) {
        void* p = reinterpret_cast<void*>(1);
        EXPECT_EQ(E_NOINTERFACE, control->QueryInterface(*n.iid, &p)) << n.name;
        EXPECT_EQ(nullptr, p) << n.name;
    }
    EXPECT_EQ(before, RefCount(control.Get()));
    EXPECT_EQ(E_POINTER, control->QueryInterface(IID_IOleObject, nullptr));
}

TEST(Identity, OneUnknownAndSymmetricTransitiveReflexive)
{
    fw::ComPtr<IUnknown> control = NewControl();
    ASSERT_TRUE(control);
    const ULONG before = RefCount(control.Get());
    for (const Named& from : kAnswered) {
        fw::ComPtr<IUnknown> a;
        ASSERT_EQ(S_OK, control->QueryInterface(*from.iid, a.PutVoid())) << from.name;

        // One IUnknown, whatever interface it is asked from.
        fw::ComPtr<IUnknown> identity;
        ASSERT_EQ(S_OK, a->QueryInterface(IID_IUnknown, identity.PutVoid())) << from.name;
        EXPECT_EQ(control.Get(), identity.Get()) << from.name;

        // Reflexive: an interface answers for itself, with the same pointer.
        fw::ComPtr<IUnknown> self;
        ASSERT_EQ(S_OK, a->QueryInterface(*from.iid, self.PutVoid())) << from.name;
        EXPECT_EQ(a.Get(), self.Get()) << from.name;

        // Symmetric and transitive: every listed interface is reachable from
        // every other, refused ones stay refused, and the same pointer comes
        // back whichever way it is asked.
        for (const Named& to : kAnswered) {
            fw::ComPtr<IUnknown> b, direct;
            ASSERT_EQ(S_OK, a->QueryInterface(*to.iid, b.PutVoid())) << from.name << " -> " << to.name;
            ASSERT_EQ(S_OK, control->QueryInterface(*to.iid, direct.PutVoid())) << to.name;
            EXPECT_EQ(direct.Get(), b.Get()) << from.name << " -> " << to.name;
            fw::ComPtr<IUnknown> back;
            EXPECT_EQ(S_OK, b->QueryInterface(*from.iid, back.PutVoid())) << to.name << " -> " << from.name;
            EXPECT_EQ(a.Get(), back.Get()) << to.name << " -> " << from.name;
        }
        for (const Named& to : kRefused) {
            fw::ComPtr<IUnknown> none;
            EXPECT_EQ(E_NOINTERFACE, a->QueryInterface(*to.iid, none.PutVoid())) << from.name << " -> " << to.name;
        }
    }
    EXPECT_EQ(before, RefCount(control.Get()));
}

TEST(Identity, InterfacesReachTheSameObject)
{
    // Pointers that look right but lead to the wrong vtable would answer a
    // method of another interface; each of these calls has a distinctive result.
    fw::ComPtr<IUnknown> control = NewControl();
    ASSERT_TRUE(control);

    fw::ComPtr<IPersist> persist;
    ASSERT_EQ(S_OK, control->QueryInterface(IID_IPersist, persist.PutVoid()));
    CLSID clsid = CLSID_NULL;
    EXPECT_EQ(S_OK, persist->GetClassID(&clsid));
    EXPECT_TRUE(IsEqualCLSID(CLSID_Tessera, clsid));

    fw::ComPtr<IViewObject> view;
    ASSERT_EQ(S_OK, control->QueryInterface(IID_IViewObject, view.PutVoid()));
    fw::ComPtr<IAdviseSink> none;
    EXPECT_EQ(S_OK, view->GetAdvise(nullptr, nullptr, none.Put()));
    EXPECT_FALSE(none);

    fw::ComPtr<IOleWindow> window;
    ASSERT_EQ(S_OK, control->QueryInterface(IID_IOleWindow, window.PutVoid()));
    HWND hwnd = reinterpret_cast<HWND>(1);
    EXPECT_EQ(E_FAIL, window->GetWindow(&hwnd));  // no window before activation
    EXPECT_EQ(nullptr, hwnd);

    fw::ComPtr<IProvideClassInfo> classInfo;
    ASSERT_EQ(S_OK, control->QueryInterface(IID_IProvideClassInfo, classInfo.PutVoid()));
    fw::ComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, classInfo->GetClassInfo(info.Put()));
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
    EXPECT_TRUE(IsEqualGUID(CLSID_Tessera, attr->guid));
    info->ReleaseTypeAttr(attr);
}

TEST(Identity, LastReleaseFreesTheObject)
{
    ASSERT_EQ(S_OK, CanUnloadNow());
    {
        fw::ComPtr<IUnknown> control = NewControl();
        ASSERT_TRUE(control);
        fw::ComPtr<IOleObject> ole;
        ASSERT_EQ(S_OK, control->QueryInterface(IID_IOleObject, ole.PutVoid()));
        control.Reset();
        EXPECT_EQ(S_FALSE, CanUnloadNow()) << "a reference through any interface keeps the object";
    }
    EXPECT_EQ(S_OK, CanUnloadNow());
}

// ---------------------------------------------------------------- aggregation

// An outer object with an interface of its own (IServiceProvider, which the
// control does not have); everything else it asks its inner control for.
class Outer final : public IServiceProvider {
public:
    Outer() = default;
    Outer(const Outer&) = delete;
    Outer& operator=(const Outer&) = delete;
    virtual ~Outer() = default;

    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override
    {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IServiceProvider)) {
            *ppv = static_cast<IServiceProvider*>(this);
            AddRef();
            return S_OK;
        }
        return inner ? inner->QueryInterface(iid, ppv) : E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }
    STDMETHOD(QueryService)(REFGUID, REFIID, void** ppv) override
    {
        if (ppv) *ppv = nullptr;
        ++services;
        return E_NOINTERFACE;
    }

    IUnknown* Unknown() { return static_cast<IServiceProvider*>(this); }

    ULONG refs = 1;
    int services = 0;
    fw::ComPtr<IUnknown> inner;  // the control's non-delegating unknown
};

TEST(Aggregation, OuterObjectReachesTheControlAndItsOwnInterfaces)
{
    Outer outer;
    ASSERT_EQ(S_OK, test::CreateFromDll(CLSID_Tessera, outer.Unknown(), IID_IUnknown, outer.inner.PutVoid()));
    ASSERT_TRUE(outer.inner);
    EXPECT_EQ(1u, outer.refs) << "creation leaves no reference on the outer object";
    EXPECT_EQ(S_FALSE, CanUnloadNow());
    {
        fw::ComPtr<ITessera> grid;
        ASSERT_EQ(S_OK, outer.QueryInterface(IID_ITessera, grid.PutVoid()));
        EXPECT_EQ(2u, outer.refs);

        // Every interface of the control delegates to the outer object.
        for (const Named& n : kAnswered) {
            fw::ComPtr<IUnknown> p;
            ASSERT_EQ(S_OK, grid->QueryInterface(*n.iid, p.PutVoid())) << n.name;
            EXPECT_EQ(3u, outer.refs) << n.name << ": the reference goes to the outer object";

            fw::ComPtr<IUnknown> identity;
            ASSERT_EQ(S_OK, p->QueryInterface(IID_IUnknown, identity.PutVoid())) << n.name;
            EXPECT_EQ(outer.Unknown(), identity.Get()) << n.name;

            fw::ComPtr<IServiceProvider> services;
            ASSERT_EQ(S_OK, p->QueryInterface(IID_IServiceProvider, services.PutVoid())) << n.name;
            EXPECT_EQ(static_cast<IServiceProvider*>(&outer), services.Get()) << n.name;
        }
        EXPECT_EQ(2u, outer.refs);

        // Refusals of the control stay refusals through the outer object.
        fw::ComPtr<IUnknown> none;
        EXPECT_EQ(E_NOINTERFACE, grid->QueryInterface(IID_IPersistStream, none.PutVoid()));

        // AddRef/Release on a delegating interface count on the outer object.
        grid->AddRef();
        EXPECT_EQ(3u, outer.refs);
        grid->Release();
        EXPECT_EQ(2u, outer.refs);

        // The connection point is part of the same object and counts there too.
        fw::ComPtr<IConnectionPointContainer> cpc;
        ASSERT_EQ(S_OK, grid->QueryInterface(IID_IConnectionPointContainer, cpc.PutVoid()));
        fw::ComPtr<IConnectionPoint> point;
        ASSERT_EQ(S_OK, cpc->FindConnectionPoint(DIID__ITesseraEvents, point.Put()));
        EXPECT_EQ(4u, outer.refs);
        fw::ComPtr<IConnectionPointContainer> back;
        ASSERT_EQ(S_OK, point->GetConnectionPointContainer(back.Put()));
        fw::ComPtr<IUnknown> backIdentity;
        ASSERT_EQ(S_OK, back->QueryInterface(IID_IUnknown, backIdentity.PutVoid()));
        EXPECT_EQ(outer.Unknown(), backIdentity.Get());
    }
    EXPECT_EQ(1u, outer.refs);

    // The inner unknown does not delegate: it answers for itself and keeps
    // its own count.
    fw::ComPtr<IUnknown> innerSelf;
    ASSERT_EQ(S_OK, outer.inner->QueryInterface(IID_IUnknown, innerSelf.PutVoid()));
    EXPECT_EQ(outer.inner.Get(), innerSelf.Get());
    EXPECT_NE(outer.Unknown(), innerSelf.Get());
    EXPECT_EQ(1u, outer.refs);
    innerSelf.Reset();
    fw::ComPtr<IServiceProvider> notInner;
    EXPECT_EQ(E_NOINTERFACE, outer.inner->QueryInterface(IID_IServiceProvider, notInner.PutVoid()));

    // The outer object's own interface is reached through the control.
    fw::ComPtr<IOleObject> ole;
    ASSERT_EQ(S_OK, outer.inner->QueryInterface(IID_IOleObject, ole.PutVoid()));
    fw::ComPtr<IServiceProvider> sp;
    ASSERT_EQ(S_OK, ole->QueryInterface(IID_IServiceProvider, sp.PutVoid()));
    void* dummy = nullptr;
    sp->QueryService(IID_IUnknown, IID_IUnknown, &dummy);
    EXPECT_EQ(1, outer.services);
    sp.Reset();
    ole.Reset();
    EXPECT_EQ(1u, outer.refs);

    outer.inner.Reset();
    EXPECT_EQ(1u, outer.refs);
    EXPECT_EQ(S_OK, CanUnloadNow());
}

TEST(Aggregation, CreationMustAskForTheInnerUnknown)
{
    Outer outer;
    fw::ComPtr<IUnknown> refused;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, test::CreateFromDll(CLSID_Tessera, outer.Unknown(), IID_ITessera, refused.PutVoid()));
    EXPECT_FALSE(refused);
    EXPECT_EQ(1u, outer.refs);
    EXPECT_EQ(S_OK, CanUnloadNow());
}

} // namespace
