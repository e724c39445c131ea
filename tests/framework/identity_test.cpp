// The control's COM identity: the interfaces it answers, the ones it refuses
// and the identity rules; and what it tells a host about itself without a
// site: misc status, extent, class identity, property pages, error info
// support and the view's advise sink.
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

struct Named { const IID* iid; const char* name; };

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

// The system's stock font and colour pages.
const CLSID kStockFontPage = {0x7EBDAAE0, 0x8120, 0x11CF, {0x89, 0x9F, 0x00, 0xAA, 0x00, 0x68, 0x8B, 0x10}};
const CLSID kStockColorPage = {0x7EBDAAE1, 0x8120, 0x11CF, {0x89, 0x9F, 0x00, 0xAA, 0x00, 0x68, 0x8B, 0x10}};

class ObjectInfo : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(S_OK, test::CreateFromDll(CLSID_Tessera, nullptr, IID_IOleObject, ole.PutVoid())); }

    template <class I>
    fw::ComPtr<I> As(const IID& iid)
    {
        fw::ComPtr<I> p;
        EXPECT_EQ(S_OK, ole->QueryInterface(iid, p.PutVoid()));
        return p;
    }

    fw::ComPtr<IOleObject> ole;
};

TEST_F(ObjectInfo, StatusClassErrorInfoExtentAndPages)
{
    DWORD status = 0;
    EXPECT_EQ(S_OK, ole->GetMiscStatus(DVASPECT_CONTENT, &status));
    EXPECT_EQ(131473u, status);
    CLSID clsid = CLSID_NULL;
    EXPECT_EQ(S_OK, ole->GetUserClassID(&clsid));
    EXPECT_TRUE(IsEqualCLSID(CLSID_Tessera, clsid));
    auto info2 = As<IProvideClassInfo2>(IID_IProvideClassInfo2);
    GUID guid = GUID_NULL;
    EXPECT_EQ(S_OK, info2->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &guid));
    EXPECT_TRUE(IsEqualGUID(DIID__ITesseraEvents, guid));
    EXPECT_EQ(E_INVALIDARG, info2->GetGUID(12345, &guid));

    // Error info is published on the control's own interface only.
    auto support = As<ISupportErrorInfo>(IID_ISupportErrorInfo);
    EXPECT_EQ(S_OK, support->InterfaceSupportsErrorInfo(IID_ITessera));
    for (const IID* iid : {&IID_IDispatch, &IID_IUnknown, &IID_IOleObject, &DIID__ITesseraEvents, &IID_NULL})
        EXPECT_EQ(S_FALSE, support->InterfaceSupportsErrorInfo(*iid));

    // One content extent for the object and its view; other aspects are refused
    // and leave it alone.
    SIZEL size = {12345, 6789}, other = {1, 2}, got = {};
    EXPECT_EQ(S_OK, ole->SetExtent(DVASPECT_CONTENT, &size));
    EXPECT_EQ(DV_E_DVASPECT, ole->SetExtent(DVASPECT_THUMBNAIL, &other));
    EXPECT_EQ(S_OK, As<IViewObject2>(IID_IViewObject2)->GetExtent(DVASPECT_CONTENT, -1, nullptr, &got));
    EXPECT_TRUE(got.cx == 12345 && got.cy == 6789);

    CAUUID list = {0, nullptr};
    auto pages = As<ISpecifyPropertyPages>(IID_ISpecifyPropertyPages);
    ASSERT_EQ(S_OK, pages->GetPages(&list));
    const CLSID* expected[] = {&CLSID_GenProp, &CLSID_CellProp, &kStockFontPage, &kStockColorPage, &CLSID_SizeCtl};
    ASSERT_EQ(5u, list.cElems);
    for (ULONG i = 0; i < 5; ++i) EXPECT_TRUE(IsEqualCLSID(*expected[i], list.pElems[i])) << "page " << i;
    CoTaskMemFree(list.pElems);

    // Cols, TabStop, Alignment, Font, Color and Width have pages; Widths,
    // Heights, the stored extent (0) and an unknown property none.
    const struct { DISPID dispid; const CLSID* page; } cases[] = {
        {1, &CLSID_GenProp}, {DISPID_TABSTOP, &CLSID_GenProp}, {5, &CLSID_CellProp}, {25, &kStockFontPage},
        {10, &kStockColorPage}, {67, &CLSID_SizeCtl}, {71, nullptr}, {72, nullptr}, {0, nullptr}, {9999, nullptr},
    };
    auto browsing = As<IPerPropertyBrowsing>(IID_IPerPropertyBrowsing);
    for (const auto& c : cases) {
        CLSID page = CLSID_Tessera;
        EXPECT_EQ(c.page ? S_OK : PERPROP_E_NOPAGEAVAILABLE, browsing->MapPropertyToPage(c.dispid, &page)) << c.dispid;
        EXPECT_TRUE(IsEqualCLSID(c.page ? *c.page : CLSID_NULL, page)) << c.dispid;
    }
}

// The view holds its advise sink until it is replaced or the control goes.
TEST_F(ObjectInfo, ViewAdviseSinkIsHeldUntilReplacedOrTheControlGoes)
{
    test::RecordingSite site;
    auto view = As<IViewObjectEx>(IID_IViewObjectEx);
    EXPECT_EQ(S_OK, view->SetAdvise(DVASPECT_CONTENT, ADVF_PRIMEFIRST, site.Sink()));
    DWORD aspects = 0, advf = 0;
    fw::ComPtr<IAdviseSink> sink;
    EXPECT_EQ(S_OK, view->GetAdvise(&aspects, &advf, sink.Put()));
    EXPECT_TRUE(sink.Get() == site.Sink() && aspects == DWORD(DVASPECT_CONTENT) && advf == DWORD(ADVF_PRIMEFIRST));
    sink.Reset();
    EXPECT_EQ(S_OK, view->SetAdvise(DVASPECT_CONTENT, 0, nullptr));
    EXPECT_EQ(0u, site.Refs());
    EXPECT_EQ(S_OK, view->SetAdvise(DVASPECT_CONTENT, 0, site.Sink()));
    view.Reset();
    ole.Reset();
    EXPECT_EQ(0u, site.Refs());
}

} // namespace
