// Class objects and the module's unload answer. The exports are checked on
// the file by tools/check-dll.sh, aggregation by the framework tests.
#include <windows.h>
#include <gtest/gtest.h>
#include <ole2.h>

#include "framework/com_ptr.h"
#include "kvadra.h"
#include "support/dll.h"

namespace {

const CLSID* const kClasses[] = {&CLSID_Tessera, &CLSID_SizeCtl, &CLSID_GenProp, &CLSID_CellProp};

using test::CanUnloadNow;

fw::ComPtr<IClassFactory> Factory(REFCLSID clsid)
{
    fw::ComPtr<IClassFactory> f;
    auto get = test::KvadraExport<test::DllGetClassObjectFn>("DllGetClassObject");
    EXPECT_HRESULT_SUCCEEDED(get(clsid, IID_IClassFactory, f.PutVoid()));
    return f;
}

TEST(Module, UnknownClassIsNotAvailableAndLiveObjectsAndLocksKeepTheModuleLoaded)
{
    auto get = test::KvadraExport<test::DllGetClassObjectFn>("DllGetClassObject");
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, get(IID_ITessera, IID_IClassFactory, &p));
    EXPECT_EQ(nullptr, p);
    fw::ComPtr<IUnknown> unk;
    EXPECT_EQ(E_NOINTERFACE, get(CLSID_Tessera, IID_ITessera, unk.PutVoid()));
    unk.Reset();

    // Live objects and locks keep the module loaded.
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

        // Locks are counted, not just flagged.
        ASSERT_HRESULT_SUCCEEDED(factory->LockServer(TRUE));
        ASSERT_HRESULT_SUCCEEDED(factory->LockServer(TRUE));
        factory->LockServer(FALSE);
        EXPECT_EQ(S_FALSE, CanUnloadNow());
        factory->LockServer(FALSE);
        EXPECT_EQ(S_OK, CanUnloadNow());
    }
}

} // namespace
