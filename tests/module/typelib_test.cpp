// The type library embedded in the DLL, read back the way hosts read it,
// compared with the published member table.
#include <windows.h>
#include <gtest/gtest.h>
#include <ole2.h>

#include <string>
#include <vector>

#include "framework/com_ptr.h"
#include "kvadra.h"

namespace {

enum Kind { Method, Get, Put, PutRef };

struct Member {
    DISPID id;
    const wchar_t* name;
    Kind kind;
    const char* params;  // parameter types, the retval pointer included
};

const Member kMembers[] = {
    {-516, L"TabStop", Put, "VARIANT_BOOL"},
    {-516, L"TabStop", Get, "VARIANT_BOOL*"},
    {1, L"Cols", Get, "int*"},
    {1, L"Cols", Put, "int"},
    {2, L"Rows", Get, "int*"},
    {2, L"Rows", Put, "int"},
    {3, L"FixedCols", Get, "int*"},
    {3, L"FixedCols", Put, "int"},
    {4, L"FixedRows", Get, "int*"},
    {4, L"FixedRows", Put, "int"},
    {5, L"Alignment", Get, "int*"},
    {5, L"Alignment", Put, "int"},
    {6, L"Editable", Get, "VARIANT_BOOL*"},
    {6, L"Editable", Put, "VARIANT_BOOL"},
    {7, L"FixedFont", Get, "IFontDisp**"},
    {7, L"FixedFont", PutRef, "IFontDisp*"},
    {7, L"FixedFont", Put, "IFontDisp*"},
    {8, L"SelectedCellFont", Get, "IFontDisp**"},
    {8, L"SelectedCellFont", PutRef, "IFontDisp*"},
    {8, L"SelectedCellFont", Put, "IFontDisp*"},
    {9, L"SelectedRangeFont", Get, "IFontDisp**"},
    {9, L"SelectedRangeFont", PutRef, "IFontDisp*"},
    {9, L"SelectedRangeFont", Put, "IFontDisp*"},
    {10, L"Color", Get, "OLE_COLOR*"},
    {10, L"Color", Put, "OLE_COLOR"},
    {11, L"FixedColor", Get, "OLE_COLOR*"},
    {11, L"FixedColor", Put, "OLE_COLOR"},
    {12, L"SelectedCellColor", Get, "OLE_COLOR*"},
    {12, L"SelectedCellColor", Put, "OLE_COLOR"},
    {13, L"SelectedRangeColor", Get, "OLE_COLOR*"},
    {13, L"SelectedRangeColor", Put, "OLE_COLOR"},
    {14, L"WordWrap", Get, "int*"},
    {14, L"WordWrap", Put, "int"},
    {15, L"FixedWordWrap", Get, "int*"},
    {15, L"FixedWordWrap", Put, "int"},
    {16, L"EditMultiline", Get, "VARIANT_BOOL*"},
    {16, L"EditMultiline", Put, "VARIANT_BOOL"},
    {17, L"DrawSelection", Get, "VARIANT_BOOL*"},
    {17, L"DrawSelection", Put, "VARIANT_BOOL"},
    {18, L"ShowCellHint", Get, "VARIANT_BOOL*"},
    {18, L"ShowCellHint", Put, "VARIANT_BOOL"},
    {19, L"AutoAdjustLastCell", Get, "VARIANT_BOOL*"},
    {19, L"AutoAdjustLastCell", Put, "VARIANT_BOOL"},
    {20, L"BorderStyle", Get, "int*"},
    {20, L"BorderStyle", Put, "int"},
    {21, L"RangeSelect", Get, "VARIANT_BOOL*"},
    {21, L"RangeSelect", Put, "VARIANT_BOOL"},
    {22, L"ColSizing", Get, "VARIANT_BOOL*"},
    {22, L"ColSizing", Put, "VARIANT_BOOL"},
    {23, L"RowSizing", Get, "VARIANT_BOOL*"},
    {23, L"RowSizing", Put, "VARIANT_BOOL"},
    {24, L"ScrollBars", Get, "int*"},
    {24, L"ScrollBars", Put, "int"},
    {25, L"Font", Get, "IFontDisp**"},
    {25, L"Font", PutRef, "IFontDisp*"},
    {25, L"Font", Put, "IFontDisp*"},
    {28, L"FontColor", Get, "OLE_COLOR*"},
    {28, L"FontColor", Put, "OLE_COLOR"},
    {29, L"Value", Get, "VARIANT*"},
    {29, L"Value", Put, "VARIANT"},
    {30, L"CType", Get, "int*"},
    {30, L"CType", Put, "int"},
    {31, L"TypeEx", Get, "int*"},
    {31, L"TypeEx", Put, "int"},
    {32, L"DTFormat", Get, "BSTR*"},
    {32, L"DTFormat", Put, "BSTR"},
    {33, L"NUMFormat", Get, "BSTR*"},
    {33, L"NUMFormat", Put, "BSTR"},
    {35, L"Hint", Get, "BSTR*"},
    {35, L"Hint", Put, "BSTR"},
    {36, L"SelectionLeftTopX", Get, "int*"},
    {36, L"SelectionLeftTopX", Put, "int"},
    {37, L"SelectionLeftTopY", Get, "int*"},
    {37, L"SelectionLeftTopY", Put, "int"},
    {38, L"SelectionRightBottomX", Get, "int*"},
    {38, L"SelectionRightBottomX", Put, "int"},
    {39, L"SelectionRightBottomY", Get, "int*"},
    {39, L"SelectionRightBottomY", Put, "int"},
    {40, L"CRegionLeftTopX", Get, "int*"},
    {40, L"CRegionLeftTopX", Put, "int"},
    {41, L"CRegionLeftTopY", Get, "int*"},
    {41, L"CRegionLeftTopY", Put, "int"},
    {42, L"CRegionRightBottomX", Get, "int*"},
    {42, L"CRegionRightBottomX", Put, "int"},
    {43, L"CRegionRightBottomY", Get, "int*"},
    {43, L"CRegionRightBottomY", Put, "int"},
    {44, L"ColWidth", Get, "int, int*"},
    {44, L"ColWidth", Put, "int, int"},
    {45, L"RowHeight", Get, "int, int*"},
    {45, L"RowHeight", Put, "int, int"},
    {46, L"ClearCRVariants", Method, ""},
    {47, L"AddCRVariant", Method, "VARIANT, BSTR"},
    {48, L"CRVariantValue", Get, "int, VARIANT*"},
    {48, L"CRVariantValue", Put, "int, VARIANT"},
    {49, L"CRVariantText", Get, "int, BSTR*"},
    {49, L"CRVariantText", Put, "int, BSTR"},
    {50, L"ClearSelection", Method, ""},
    {51, L"ShowEdit", Method, ""},
    {52, L"HideEdit", Method, ""},
    {53, L"RemoveCol", Method, "int"},
    {54, L"RemoveRow", Method, "int"},
    {55, L"InsertCol", Method, "int"},
    {56, L"InsertRow", Method, "int"},
    {57, L"ExchangeCols", Method, "int, int"},
    {58, L"ExchangeRows", Method, "int, int"},
    {59, L"AdjustColWidths", Method, ""},
    {60, L"AdjustColWidth", Method, "int"},
    {61, L"AdjustRowHeights", Method, ""},
    {62, L"AdjustRowHeight", Method, "int"},
    {63, L"Update", Method, ""},
    {64, L"TotalWidth", Get, "int*"},
    {65, L"TotalHeight", Get, "int*"},
    {67, L"Width", Get, "int*"},
    {67, L"Width", Put, "int"},
    {68, L"Height", Get, "int*"},
    {68, L"Height", Put, "int"},
    {69, L"Enabled", Get, "VARIANT_BOOL*"},
    {69, L"Enabled", Put, "VARIANT_BOOL"},
    {70, L"SetFont", Method, ""},
    {71, L"Widths", Get, "BSTR*"},
    {71, L"Widths", Put, "BSTR"},
    {72, L"Heights", Get, "BSTR*"},
    {72, L"Heights", Put, "BSTR"},
    {73, L"FixedFontColor", Get, "OLE_COLOR*"},
    {73, L"FixedFontColor", Put, "OLE_COLOR"},
    {74, L"BackColor", Get, "OLE_COLOR*"},
    {74, L"BackColor", Put, "OLE_COLOR"},
    {75, L"DragAndDropRows", Get, "long*"},
    {75, L"DragAndDropRows", Put, "long"},
    {76, L"DragAndDropCols", Get, "long*"},
    {76, L"DragAndDropCols", Put, "long"},
    {77, L"AllowDraw", Get, "long*"},
    {77, L"AllowDraw", Put, "long"},
    {78, L"CurrentCellCol", Get, "int*"},
    {79, L"CurrentCellRow", Get, "int*"},
    {80, L"SetFocus", Method, ""},
};

struct Event {
    DISPID id;
    const wchar_t* name;
    const char* params;  // direction, type and name of each parameter
};

const Event kEvents[] = {
    {1, L"OnBeforeEdit", "in short col, in short row, in BSTR text, out VARIANT_BOOL* cancel"},
    {2, L"OnValidateEdit", "in short row, in short col, in BSTR text, out VARIANT_BOOL* cancel"},
    {3, L"OnAfterEdit", "in short row, in short col"},
    {4, L"OnButtonClick", "in short row, in short col"},
    {5, L"OnFixedColClick", "in short col"},
    {6, L"OnFixedRowClick", "in short row"},
    {7, L"OnClick", ""},
    {8, L"OnDblClick", ""},
    {9, L"OnKeyPress", "in short key"},
    {10, L"OnSelectCell", "in short col, in short row"},
    {11, L"OnSelectRange", ""},
    {12, L"OnAfterCalendar", "out VARIANT_BOOL* cancel"},
    {13, L"OnEnterCell", "in short row, in short col"},
    {14, L"OnLeaveCell", "in short row, in short col"},
    {15, L"ViewChange", ""},
    {16, L"OnDragAndDropRow", "short row1, short row2"},
    {17, L"OnDragAndDropCol", "short col1, short col2"},
};

std::string Narrow(const wchar_t* s)
{
    std::string r;
    for (; s && *s; ++s) r += static_cast<char>(*s);
    return r;
}

std::string TypeName(ITypeInfo* info, const TYPEDESC& td)
{
    switch (td.vt) {
    case VT_INT: return "int";
    case VT_I4: return "long";
    case VT_I2: return "short";
    // widl flattens the OLE_COLOR alias to its 32-bit unsigned base type.
    case VT_UI4: return "OLE_COLOR";
    case VT_BOOL: return "VARIANT_BOOL";
    case VT_BSTR: return "BSTR";
    case VT_VARIANT: return "VARIANT";
    case VT_PTR: return TypeName(info, *td.lptdesc) + "*";
    case VT_USERDEFINED: {
        fw::ComPtr<ITypeInfo> ref;
        fw::Bstr name;
        if (FAILED(info->GetRefTypeInfo(td.hreftype, ref.Put()))) return "?";
        ref->GetDocumentation(MEMBERID_NIL, name.Put(), nullptr, nullptr, nullptr);
        return Narrow(name.Get());
    }
    default: return "vt" + std::to_string(td.vt);
    }
}

class TypeLibTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(LoadTypeLibEx(KVADRA_DLL_PATH, REGKIND_NONE, lib.Put()));
    }

    fw::ComPtr<ITypeLib> lib;
};

TEST_F(TypeLibTest, LibraryIdentity)
{
    TLIBATTR* attr = nullptr;
    ASSERT_HRESULT_SUCCEEDED(lib->GetLibAttr(&attr));
    EXPECT_TRUE(IsEqualGUID(attr->guid, LIBID_KVADRALib));
    EXPECT_EQ(1, attr->wMajorVerNum);
    EXPECT_EQ(0, attr->wMinorVerNum);
    lib->ReleaseTLibAttr(attr);

    fw::Bstr name, doc;
    ASSERT_HRESULT_SUCCEEDED(lib->GetDocumentation(-1, name.Put(), doc.Put(), nullptr, nullptr));
    EXPECT_STREQ(L"KVADRALib", name.Get());
    EXPECT_STREQ(L"Kvadra 1.0 Type Library", doc.Get());
}

TEST_F(TypeLibTest, ITesseraMembersInOrder)
{
    fw::ComPtr<ITypeInfo> disp, info;
    ASSERT_HRESULT_SUCCEEDED(lib->GetTypeInfoOfGuid(IID_ITessera, disp.Put()));
    TYPEATTR* attr = nullptr;
    ASSERT_HRESULT_SUCCEEDED(disp->GetTypeAttr(&attr));
    EXPECT_EQ(TKIND_DISPATCH, attr->typekind);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL);
    disp->ReleaseTypeAttr(attr);

    // The interface half lists the members after IDispatch's, in vtable order.
    HREFTYPE ref = 0;
    ASSERT_HRESULT_SUCCEEDED(disp->GetRefTypeOfImplType(-1, &ref));
    ASSERT_HRESULT_SUCCEEDED(disp->GetRefTypeInfo(ref, info.Put()));
    ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attr));
    const UINT count = attr->cFuncs;
    EXPECT_EQ(TKIND_INTERFACE, attr->typekind);
    info->ReleaseTypeAttr(attr);
    ASSERT_EQ(136u, sizeof(kMembers) / sizeof(kMembers[0]));
    ASSERT_EQ(136u, count);

    fw::Bstr doc;
    ASSERT_HRESULT_SUCCEEDED(info->GetDocumentation(MEMBERID_NIL, nullptr, doc.Put(), nullptr, nullptr));
    EXPECT_STREQ(L"ITessera Interface", doc.Get());

    for (UINT i = 0; i < count; ++i) {
        const Member& want = kMembers[i];
        FUNCDESC* fd = nullptr;
        ASSERT_HRESULT_SUCCEEDED(info->GetFuncDesc(i, &fd));
        fw::Bstr name;
        info->GetDocumentation(fd->memid, name.Put(), nullptr, nullptr, nullptr);
        SCOPED_TRACE(testing::Message() << "member " << i << " " << Narrow(want.name));
        EXPECT_STREQ(want.name, name.Get());
        EXPECT_EQ(want.id, fd->memid);
        INVOKEKIND kind = want.kind == Method ? INVOKE_FUNC
                          : want.kind == Get  ? INVOKE_PROPERTYGET
                          : want.kind == Put  ? INVOKE_PROPERTYPUT
                                              : INVOKE_PROPERTYPUTREF;
        EXPECT_EQ(kind, fd->invkind);
        std::string params;
        for (SHORT p = 0; p < fd->cParams; ++p) {
            if (p) params += ", ";
            params += TypeName(info.Get(), fd->lprgelemdescParam[p].tdesc);
        }
        EXPECT_EQ(want.params, params);
        EXPECT_EQ(VT_HRESULT, fd->elemdescFunc.tdesc.vt);
        if (want.kind == Get) {
            EXPECT_TRUE(fd->lprgelemdescParam[fd->cParams - 1].paramdesc.wParamFlags & PARAMFLAG_FRETVAL);
        }
        info->ReleaseFuncDesc(fd);
    }
}

TEST_F(TypeLibTest, EventsWithParameters)
{
    fw::ComPtr<ITypeInfo> info;
    ASSERT_HRESULT_SUCCEEDED(lib->GetTypeInfoOfGuid(DIID__ITesseraEvents, info.Put()));
    TYPEATTR* attr = nullptr;
    ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attr));
    EXPECT_EQ(TKIND_DISPATCH, attr->typekind);
    const UINT count = attr->cFuncs;
    info->ReleaseTypeAttr(attr);
    ASSERT_EQ(17u, count);

    fw::Bstr ifaceDoc;
    info->GetDocumentation(MEMBERID_NIL, nullptr, ifaceDoc.Put(), nullptr, nullptr);
    EXPECT_STREQ(L"_ITesseraEvents Interface", ifaceDoc.Get());

    for (UINT i = 0; i < count; ++i) {
        const Event& want = kEvents[i];
        FUNCDESC* fd = nullptr;
        ASSERT_HRESULT_SUCCEEDED(info->GetFuncDesc(i, &fd));
        SCOPED_TRACE(Narrow(want.name));
        EXPECT_EQ(want.id, fd->memid);
        EXPECT_EQ(INVOKE_FUNC, fd->invkind);
        EXPECT_EQ(VT_VOID, fd->elemdescFunc.tdesc.vt);

        BSTR names[8] = {};
        UINT got = 0;
        info->GetNames(fd->memid, names, 8, &got);
        ASSERT_GE(got, 1u);
        EXPECT_STREQ(want.name, names[0]);
        std::string params;
        for (SHORT p = 0; p < fd->cParams; ++p) {
            const ELEMDESC& e = fd->lprgelemdescParam[p];
            if (p) params += ", ";
            USHORT flags = e.paramdesc.wParamFlags;
            if (flags & PARAMFLAG_FOUT) params += "out ";
            else if (flags & PARAMFLAG_FIN) params += "in ";
            params += TypeName(info.Get(), e.tdesc) + " " + Narrow(static_cast<UINT>(p + 1) < got ? names[p + 1] : L"?");
        }
        for (UINT n = 0; n < got; ++n) SysFreeString(names[n]);
        EXPECT_EQ(want.params, params);

        fw::Bstr doc;
        info->GetDocumentation(fd->memid, nullptr, doc.Put(), nullptr, nullptr);
        EXPECT_EQ(L"method " + std::wstring(want.name), std::wstring(doc.Get() ? doc.Get() : L""));
        info->ReleaseFuncDesc(fd);
    }
}

TEST_F(TypeLibTest, CoclassesWithHelpStrings)
{
    struct { const CLSID* clsid; const wchar_t* name; const wchar_t* doc; } classes[] = {
        {&CLSID_Tessera, L"Tessera", L"Tessera Class"},
        {&CLSID_SizeCtl, L"SizeCtl", L"SizeCtl Class"},
        {&CLSID_GenProp, L"GenProp", L"GenProp Class"},
        {&CLSID_CellProp, L"CellProp", L"CellProp Class"},
    };
    for (const auto& c : classes) {
        fw::ComPtr<ITypeInfo> info;
        ASSERT_HRESULT_SUCCEEDED(lib->GetTypeInfoOfGuid(*c.clsid, info.Put()));
        fw::Bstr name, doc;
        info->GetDocumentation(MEMBERID_NIL, name.Put(), doc.Put(), nullptr, nullptr);
        EXPECT_STREQ(c.name, name.Get());
        EXPECT_STREQ(c.doc, doc.Get());
        TYPEATTR* attr = nullptr;
        ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attr));
        EXPECT_EQ(TKIND_COCLASS, attr->typekind);
        EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FCANCREATE);
        info->ReleaseTypeAttr(attr);
    }

    // The control's default interface and default event source.
    fw::ComPtr<ITypeInfo> tessera;
    ASSERT_HRESULT_SUCCEEDED(lib->GetTypeInfoOfGuid(CLSID_Tessera, tessera.Put()));
    bool sawInterface = false, sawSource = false;
    for (UINT i = 0; i < 2; ++i) {
        INT flags = 0;
        HREFTYPE ref = 0;
        fw::ComPtr<ITypeInfo> impl;
        ASSERT_HRESULT_SUCCEEDED(tessera->GetImplTypeFlags(i, &flags));
        ASSERT_HRESULT_SUCCEEDED(tessera->GetRefTypeOfImplType(i, &ref));
        ASSERT_HRESULT_SUCCEEDED(tessera->GetRefTypeInfo(ref, impl.Put()));
        TYPEATTR* attr = nullptr;
        impl->GetTypeAttr(&attr);
        EXPECT_TRUE(flags & IMPLTYPEFLAG_FDEFAULT);
        if (flags & IMPLTYPEFLAG_FSOURCE) {
            sawSource = IsEqualGUID(attr->guid, DIID__ITesseraEvents);
        } else {
            sawInterface = IsEqualGUID(attr->guid, IID_ITessera);
        }
        impl->ReleaseTypeAttr(attr);
    }
    EXPECT_TRUE(sawInterface);
    EXPECT_TRUE(sawSource);
}

} // namespace
