// Class objects, aggregation at creation and the module's unload answer.
#include <windows.h>
#include <gtest/gtest.h>
#include <ole2.h>

#include "framework/com_ptr.h"
#include "kvadra.h"
#include "support/dll.h"

namespace {

const CLSID* const kClasses[] = {&CLSID_Tessera, &CLSID_SizeCtl, &CLSID_GenProp, &CLSID_CellProp};

HRESULT CanUnloadNow()
{
    return test::KvadraExport<test::DllCanUnloadNowFn>("DllCanUnloadNow")();
}

fw::ComPtr<IClassFactory> Factory(REFCLSID clsid)
{
    fw::ComPtr<IClassFactory> f;
    auto get = test::KvadraExport<test::DllGetClassObjectFn>("DllGetClassObject");
    EXPECT_HRESULT_SUCCEEDED(get(clsid, IID_IClassFactory, f.PutVoid()));
    return f;
}

TEST(Module, ExportsTheFourEntryPoints)
{
    ASSERT_NE(nullptr, test::KvadraDll());
    for (const char* name : {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"})
        EXPECT_NE(nullptr, test::KvadraExport<void*>(name)) << name;
}

TEST(Module, UnknownClassIsNotAvailable)
{
    auto get = test::KvadraExport<test::DllGetClassObjectFn>("DllGetClassObject");
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, get(IID_ITessera, IID_IClassFactory, &p));
    EXPECT_EQ(nullptr, p);
    EXPECT_EQ(E_POINTER, get(CLSID_Tessera, IID_IClassFactory, nullptr));
    fw::ComPtr<IUnknown> unk;
    EXPECT_EQ(E_NOINTERFACE, get(CLSID_Tessera, IID_ITessera, unk.PutVoid()));
}

TEST(Module, LiveObjectsKeepTheModuleLoaded)
{
    ASSERT_EQ(S_OK, CanUnloadNow());
    for (const CLSID* clsid : kClasses) {
        fw::ComPtr<IClassFactory> factory = Factory(*clsid);
        ASSERT_TRUE(factory);
        // A factory alone does not hold the module.
        EXPECT_EQ(S_OK, CanUnloadNow());
        fw::ComPtr<IUnknown> obj;
        ASSERT_HRESULT_SUCCEEDED(factory->CreateInstance(nullptr, IID_IUnknown, obj.PutVoid()));
        EXPECT_EQ(S_FALSE, CanUnloadNow());
        obj.Reset();
        EXPECT_EQ(S_OK, CanUnloadNow());
    }
}

TEST(Module, LockServerCountsLocks)
{
    fw::ComPtr<IClassFactory> factory = Factory(CLSID_GenProp);
    ASSERT_HRESULT_SUCCEEDED(factory->LockServer(TRUE));
    ASSERT_HRESULT_SUCCEEDED(factory->LockServer(TRUE));
    EXPECT_EQ(S_FALSE, CanUnloadNow());
    factory->LockServer(FALSE);
    EXPECT_EQ(S_FALSE, CanUnloadNow());
    factory->LockServer(FALSE);
    EXPECT_EQ(S_OK, CanUnloadNow());
}

// A minimal outer object that counts the references it is given.
class Outer : public IUnknown {
public:
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override
    {
        if (IsEqualIID(iid, IID_IUnknown)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        return inner ? inner->QueryInterface(iid, ppv) : E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }

    ULONG refs = 1;
    fw::ComPtr<IUnknown> inner;
};

TEST(Module, EveryClassCanBeAggregated)
{
    for (const CLSID* clsid : kClasses) {
        fw::ComPtr<IClassFactory> factory = Factory(*clsid);
        Outer outer;
        fw::ComPtr<IUnknown> refused;
        EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, IID_IDispatch, refused.PutVoid()));
        ASSERT_HRESULT_SUCCEEDED(factory->CreateInstance(&outer, IID_IUnknown, outer.inner.PutVoid()));
        EXPECT_EQ(1u, outer.refs);
        EXPECT_EQ(S_FALSE, CanUnloadNow());
        outer.inner.Reset();
        EXPECT_EQ(1u, outer.refs);
    }
    EXPECT_EQ(S_OK, CanUnloadNow());
}

TEST(Module, AggregatedControlDelegatesToTheOuterObject)
{
    Outer outer;
    ASSERT_HRESULT_SUCCEEDED(test::CreateFromDll(CLSID_Tessera, &outer, IID_IUnknown, outer.inner.PutVoid()));
    {
        fw::ComPtr<ITessera> grid;
        ASSERT_HRESULT_SUCCEEDED(outer.QueryInterface(IID_ITessera, grid.PutVoid()));
        EXPECT_EQ(2u, outer.refs);  // the interface's reference went to the outer object

        // The inner object's IUnknown answers for the outer object's identity.
        fw::ComPtr<IUnknown> identity;
        ASSERT_HRESULT_SUCCEEDED(grid->QueryInterface(IID_IUnknown, identity.PutVoid()));
        EXPECT_EQ(static_cast<IUnknown*>(&outer), identity.Get());
    }
    EXPECT_EQ(1u, outer.refs);
    outer.inner.Reset();
    EXPECT_EQ(S_OK, CanUnloadNow());
}

} // namespace
