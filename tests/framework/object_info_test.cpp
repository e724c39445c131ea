// What the control tells a host about itself without a site: misc and view
// status, extent, class information, property pages, error info support and
// the view's advise sink.
#include <windows.h>
#include <gtest/gtest.h>
#include <ole2.h>
#include <ocidl.h>
#include <olectl.h>
#include <vector>

#include "framework/com_ptr.h"
#include "kvadra.h"
#include "support/recording_site.h"
#include "support/dll.h"

namespace {

constexpr DWORD kMiscStatus = 131473;

// The system's stock font and colour pages.
const CLSID kStockFontPage = {0x7EBDAAE0, 0x8120, 0x11CF, {0x89, 0x9F, 0x00, 0xAA, 0x00, 0x68, 0x8B, 0x10}};
const CLSID kStockColorPage = {0x7EBDAAE1, 0x8120, 0x11CF, {0x89, 0x9F, 0x00, 0xAA, 0x00, 0x68, 0x8B, 0x10}};

template <class I>
fw::ComPtr<I> NewControl(const IID& iid)
{
    fw::ComPtr<I> p;
    EXPECT_EQ(S_OK, test::CreateFromDll(CLSID_Tessera, nullptr, iid, p.PutVoid()));
    return p;
}

TEST(ObjectInfo, MiscStatusIsTheSameForEveryAspect)
{
    auto ole = NewControl<IOleObject>(IID_IOleObject);
    ASSERT_TRUE(ole);
    EXPECT_EQ(0x20191u, kMiscStatus);  // SETCLIENTSITEFIRST|ACTIVATEWHENVISIBLE|INSIDEOUT|CANTLINKINSIDE|RECOMPOSEONRESIZE
    for (DWORD aspect : {DWORD(DVASPECT_CONTENT), DWORD(DVASPECT_THUMBNAIL), DWORD(DVASPECT_ICON),
                         DWORD(DVASPECT_DOCPRINT), DWORD(0), DWORD(0x1234)}) {
        DWORD status = 0;
        EXPECT_EQ(S_OK, ole->GetMiscStatus(aspect, &status)) << aspect;
        EXPECT_EQ(kMiscStatus, status) << aspect;
    }
    EXPECT_EQ(E_POINTER, ole->GetMiscStatus(DVASPECT_CONTENT, nullptr));
}

TEST(ObjectInfo, ExtentRoundTripsForContentOnly)
{
    auto ole = NewControl<IOleObject>(IID_IOleObject);
    ASSERT_TRUE(ole);
    SIZEL size = {12345, 6789};
    EXPECT_EQ(S_OK, ole->SetExtent(DVASPECT_CONTENT, &size));
    SIZEL got = {};
    EXPECT_EQ(S_OK, ole->GetExtent(DVASPECT_CONTENT, &got));
    EXPECT_EQ(12345, got.cx);
    EXPECT_EQ(6789, got.cy);

    // The view reports the same extent.
    fw::ComPtr<IViewObject2> view;
    ASSERT_EQ(S_OK, ole->QueryInterface(IID_IViewObject2, view.PutVoid()));
    SIZEL viaView = {};
    EXPECT_EQ(S_OK, view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &viaView));
    EXPECT_EQ(12345, viaView.cx);
    EXPECT_EQ(6789, viaView.cy);

    // Other aspects are refused and leave the extent alone.
    SIZEL other = {1, 2};
    EXPECT_EQ(DV_E_DVASPECT, ole->SetExtent(DVASPECT_THUMBNAIL, &other));
    EXPECT_EQ(E_POINTER, ole->SetExtent(DVASPECT_CONTENT, nullptr));
    EXPECT_EQ(E_POINTER, ole->GetExtent(DVASPECT_CONTENT, nullptr));
    EXPECT_EQ(S_OK, ole->GetExtent(DVASPECT_CONTENT, &got));
    EXPECT_EQ(12345, got.cx);
    EXPECT_EQ(6789, got.cy);

    SIZEL second = {2540, 1270};
    EXPECT_EQ(S_OK, ole->SetExtent(DVASPECT_CONTENT, &second));
    EXPECT_EQ(S_OK, ole->GetExtent(DVASPECT_CONTENT, &got));
    EXPECT_EQ(2540, got.cx);
    EXPECT_EQ(1270, got.cy);
}

TEST(ObjectInfo, ViewStatusIsOpaqueWithASolidBackground)
{
    auto view = NewControl<IViewObjectEx>(IID_IViewObjectEx);
    ASSERT_TRUE(view);
    DWORD status = 0;
    EXPECT_EQ(S_OK, view->GetViewStatus(&status));
    EXPECT_EQ(static_cast<DWORD>(VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND), status);
    EXPECT_EQ(E_POINTER, view->GetViewStatus(nullptr));
}

TEST(ObjectInfo, ViewAdviseSinkIsKeptAndGivenBack)
{
    test::RecordingSite site;
    {
        auto view = NewControl<IViewObjectEx>(IID_IViewObjectEx);
        ASSERT_TRUE(view);
        EXPECT_EQ(S_OK, view->SetAdvise(DVASPECT_CONTENT, ADVF_PRIMEFIRST, site.Sink()));
        EXPECT_LT(0u, site.Refs()) << "the view holds its sink";

        DWORD aspects = 0, advf = 0;
        fw::ComPtr<IAdviseSink> sink;
        EXPECT_EQ(S_OK, view->GetAdvise(&aspects, &advf, sink.Put()));
        EXPECT_EQ(site.Sink(), sink.Get());
        EXPECT_EQ(static_cast<DWORD>(DVASPECT_CONTENT), aspects);
        EXPECT_EQ(static_cast<DWORD>(ADVF_PRIMEFIRST), advf);
        sink.Reset();

        // Replacing the sink with none lets the old one go.
        EXPECT_EQ(S_OK, view->SetAdvise(DVASPECT_CONTENT, 0, nullptr));
        EXPECT_EQ(0u, site.Refs());
        EXPECT_EQ(S_OK, view->GetAdvise(nullptr, nullptr, sink.Put()));
        EXPECT_FALSE(sink);

        // A sink still set when the control goes is released with it.
        EXPECT_EQ(S_OK, view->SetAdvise(DVASPECT_CONTENT, 0, site.Sink()));
    }
    EXPECT_EQ(0u, site.Refs());
}

TEST(ObjectInfo, ClassInfoNamesTheCoclassAndTheEvents)
{
    auto info2 = NewControl<IProvideClassInfo2>(IID_IProvideClassInfo2);
    ASSERT_TRUE(info2);
    GUID guid = GUID_NULL;
    EXPECT_EQ(S_OK, info2->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &guid));
    EXPECT_TRUE(IsEqualGUID(DIID__ITesseraEvents, guid));
    EXPECT_EQ(E_POINTER, info2->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, nullptr));
    EXPECT_EQ(E_INVALIDARG, info2->GetGUID(12345, &guid));

    fw::ComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, info2->GetClassInfo(info.Put()));
    ASSERT_TRUE(info);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
    EXPECT_EQ(TKIND_COCLASS, attr->typekind);
    EXPECT_TRUE(IsEqualGUID(CLSID_Tessera, attr->guid));
    const WORD implemented = attr->cImplTypes;
    info->ReleaseTypeAttr(attr);
    EXPECT_EQ(E_POINTER, info2->GetClassInfo(nullptr));

    // The coclass names ITessera as default and the events as default source.
    bool defaultInterface = false, defaultSource = false;
    for (UINT i = 0; i < implemented; ++i) {
        HREFTYPE ref = 0;
        INT flags = 0;
        ASSERT_EQ(S_OK, info->GetRefTypeOfImplType(i, &ref));
        ASSERT_EQ(S_OK, info->GetImplTypeFlags(i, &flags));
        fw::ComPtr<ITypeInfo> impl;
        ASSERT_EQ(S_OK, info->GetRefTypeInfo(ref, impl.Put()));
        TYPEATTR* a = nullptr;
        ASSERT_EQ(S_OK, impl->GetTypeAttr(&a));
        if ((flags & IMPLTYPEFLAG_FDEFAULT) && !(flags & IMPLTYPEFLAG_FSOURCE))
            defaultInterface = IsEqualGUID(IID_ITessera, a->guid);
        if ((flags & IMPLTYPEFLAG_FDEFAULT) && (flags & IMPLTYPEFLAG_FSOURCE))
            defaultSource = IsEqualGUID(DIID__ITesseraEvents, a->guid);
        impl->ReleaseTypeAttr(a);
    }
    EXPECT_TRUE(defaultInterface);
    EXPECT_TRUE(defaultSource);
}

TEST(ObjectInfo, PropertyPagesInOrder)
{
    auto pages = NewControl<ISpecifyPropertyPages>(IID_ISpecifyPropertyPages);
    ASSERT_TRUE(pages);
    CAUUID list = {0, nullptr};
    ASSERT_EQ(S_OK, pages->GetPages(&list));
    const CLSID* expected[] = {&CLSID_GenProp, &CLSID_CellProp, &kStockFontPage, &kStockColorPage, &CLSID_SizeCtl};
    ASSERT_EQ(5u, list.cElems);
    ASSERT_NE(nullptr, list.pElems);
    for (ULONG i = 0; i < 5; ++i) EXPECT_TRUE(IsEqualCLSID(*expected[i], list.pElems[i])) << "page " << i;
    CoTaskMemFree(list.pElems);
    EXPECT_EQ(E_POINTER, pages->GetPages(nullptr));
}

TEST(ObjectInfo, PropertiesMapToTheirPages)
{
    auto browsing = NewControl<IPerPropertyBrowsing>(IID_IPerPropertyBrowsing);
    ASSERT_TRUE(browsing);
    struct Case {
        DISPID dispid;
        const CLSID* page;  // null: no page
    };
    const Case cases[] = {
        {1, &CLSID_GenProp},           // Cols
        {DISPID_TABSTOP, &CLSID_GenProp},
        {5, &CLSID_CellProp},          // Alignment
        {25, &kStockFontPage},         // Font
        {10, &kStockColorPage},        // Color
        {67, &CLSID_SizeCtl},          // Width
        {71, nullptr},                 // Widths
        {72, nullptr},                 // Heights
        {0, nullptr},                  // the stored extent has no page
        {9999, nullptr},               // no such property
    };
    for (const Case& c : cases) {
        CLSID page = CLSID_Tessera;
        HRESULT hr = browsing->MapPropertyToPage(c.dispid, &page);
        if (c.page) {
            EXPECT_EQ(S_OK, hr) << c.dispid;
            EXPECT_TRUE(IsEqualCLSID(*c.page, page)) << c.dispid;
        } else {
            EXPECT_EQ(PERPROP_E_NOPAGEAVAILABLE, hr) << c.dispid;
            EXPECT_TRUE(IsEqualCLSID(CLSID_NULL, page)) << c.dispid;
        }
    }
    EXPECT_EQ(E_POINTER, browsing->MapPropertyToPage(1, nullptr));
}

TEST(ObjectInfo, ErrorInfoIsSupportedOnTheControlsOwnInterfaceOnly)
{
    auto support = NewControl<ISupportErrorInfo>(IID_ISupportErrorInfo);
    ASSERT_TRUE(support);
    EXPECT_EQ(S_OK, support->InterfaceSupportsErrorInfo(IID_ITessera));
    for (const IID* iid : {&IID_IDispatch, &IID_IUnknown, &IID_IOleObject, &IID_IConnectionPointContainer,
                           &DIID__ITesseraEvents, &IID_NULL})
        EXPECT_EQ(S_FALSE, support->InterfaceSupportsErrorInfo(*iid));
}

TEST(ObjectInfo, UserClassIdIsTheControls)
{
    auto ole = NewControl<IOleObject>(IID_IOleObject);
    ASSERT_TRUE(ole);
    CLSID clsid = CLSID_NULL;
    EXPECT_EQ(S_OK, ole->GetUserClassID(&clsid));
    EXPECT_TRUE(IsEqualCLSID(CLSID_Tessera, clsid));
    EXPECT_EQ(E_POINTER, ole->GetUserClassID(nullptr));
}

} // namespace
