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

// One row per name, in interface order. kinds lists the accessors in vtable
// order (g get, p put, r putref, m method). For accessors, type is what a put
// takes (index first); a get returns the last of them through a pointer. For
// methods it is the parameter list.
struct Member {
    DISPID id;
    const wchar_t* name;
    const char* kinds;
    const char* type;
};

const Member kMembers[] = {
    {-516, L"TabStop", "pg", "VARIANT_BOOL"}, {1, L"Cols", "gp", "int"},
    {2, L"Rows", "gp", "int"}, {3, L"FixedCols", "gp", "int"},
    {4, L"FixedRows", "gp", "int"}, {5, L"Alignment", "gp", "int"},
    {6, L"Editable", "gp", "VARIANT_BOOL"}, {7, L"FixedFont", "grp", "IFontDisp*"},
    {8, L"SelectedCellFont", "grp", "IFontDisp*"}, {9, L"SelectedRangeFont", "grp", "IFontDisp*"},
    {10, L"Color", "gp", "OLE_COLOR"}, {11, L"FixedColor", "gp", "OLE_COLOR"},
    {12, L"SelectedCellColor", "gp", "OLE_COLOR"}, {13, L"SelectedRangeColor", "gp", "OLE_COLOR"},
    {14, L"WordWrap", "gp", "int"}, {15, L"FixedWordWrap", "gp", "int"},
    {16, L"EditMultiline", "gp", "VARIANT_BOOL"}, {17, L"DrawSelection", "gp", "VARIANT_BOOL"},
    {18, L"ShowCellHint", "gp", "VARIANT_BOOL"}, {19, L"AutoAdjustLastCell", "gp", "VARIANT_BOOL"},
    {20, L"BorderStyle", "gp", "int"}, {21, L"RangeSelect", "gp", "VARIANT_BOOL"},
    {22, L"ColSizing", "gp", "VARIANT_BOOL"}, {23, L"RowSizing", "gp", "VARIANT_BOOL"},
    {24, L"ScrollBars", "gp", "int"}, {25, L"Font", "grp", "IFontDisp*"},
    {28, L"FontColor", "gp", "OLE_COLOR"}, {29, L"Value", "gp", "VARIANT"},
    {30, L"CType", "gp", "int"}, {31, L"TypeEx", "gp", "int"},
    {32, L"DTFormat", "gp", "BSTR"}, {33, L"NUMFormat", "gp", "BSTR"},
    {35, L"Hint", "gp", "BSTR"}, {36, L"SelectionLeftTopX", "gp", "int"},
    {37, L"SelectionLeftTopY", "gp", "int"}, {38, L"SelectionRightBottomX", "gp", "int"},
    {39, L"SelectionRightBottomY", "gp", "int"}, {40, L"CRegionLeftTopX", "gp", "int"},
    {41, L"CRegionLeftTopY", "gp", "int"}, {42, L"CRegionRightBottomX", "gp", "int"},
    {43, L"CRegionRightBottomY", "gp", "int"}, {44, L"ColWidth", "gp", "int, int"},
    {45, L"RowHeight", "gp", "int, int"}, {46, L"ClearCRVariants", "m", ""},
    {47, L"AddCRVariant", "m", "VARIANT, BSTR"}, {48, L"CRVariantValue", "gp", "int, VARIANT"},
    {49, L"CRVariantText", "gp", "int, BSTR"}, {50, L"ClearSelection", "m", ""},
    {51, L"ShowEdit", "m", ""}, {52, L"HideEdit", "m", ""},
    {53, L"RemoveCol", "m", "int"}, {54, L"RemoveRow", "m", "int"},
    {55, L"InsertCol", "m", "int"}, {56, L"InsertRow", "m", "int"},
    {57, L"ExchangeCols", "m", "int, int"}, {58, L"ExchangeRows", "m", "int, int"},
    {59, L"AdjustColWidths", "m", ""}, {60, L"AdjustColWidth", "m", "int"},
    {61, L"AdjustRowHeights", "m", ""}, {62, L"AdjustRowHeight", "m", "int"},
    {63, L"Update", "m", ""}, {64, L"TotalWidth", "g", "int"},
    {65, L"TotalHeight", "g", "int"}, {67, L"Width", "gp", "int"},
    {68, L"Height", "gp", "int"}, {69, L"Enabled", "gp", "VARIANT_BOOL"},
    {70, L"SetFont", "m", ""}, {71, L"Widths", "gp", "BSTR"},
    {72, L"Heights", "gp", "BSTR"}, {73, L"FixedFontColor", "gp", "OLE_COLOR"},
    {74, L"BackColor", "gp", "OLE_COLOR"}, {75, L"DragAndDropRows", "gp", "long"},
    {76, L"DragAndDropCols", "gp", "long"}, {77, L"AllowDraw", "gp", "long"},
    {78, L"CurrentCellCol", "g", "int"}, {79, L"CurrentCellRow", "g", "int"},
    {80, L"SetFocus", "m", ""},
};

// Direction, type and name of each parameter.
const struct {
    DISPID id;
    const wchar_t* name;
    const char* params;
} kEvents[] = {
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
    case VT_UI4: return "unsigned long";
    case VT_BOOL: return "VARIANT_BOOL";
    case VT_BSTR: return "BSTR";
    case VT_VARIANT: return "VARIANT";
    case VT_PTR: return TypeName(info, *td.lptdesc) + "*";
    case VT_USERDEFINED: {
        fw::ComPtr<ITypeInfo> ref;
        fw::Bstr name;
        if (FAILED(info->GetRefTypeInfo(td.hreftype, ref.Put()))) return "?";
        ref->GetDocumentation(MEMBERID_NIL, name.Put(), nullptr, nullptr, nullptr);
        if (Narrow(name.Get()) == "OLE_COLOR") {
            // Designers know a colour by stdole2's alias of an unsigned long.
            fw::ComPtr<ITypeLib> lib;
            UINT index = 0;
            TLIBATTR* attr = nullptr;
            TYPEATTR* alias = nullptr;
            bool stdole = false, ulong = false;
            if (SUCCEEDED(ref->GetContainingTypeLib(lib.Put(), &index)) && SUCCEEDED(lib->GetLibAttr(&attr))) {
                stdole = IsEqualGUID(attr->guid, IID_StdOle);
                lib->ReleaseTLibAttr(attr);
            }
            if (SUCCEEDED(ref->GetTypeAttr(&alias))) {
                ulong = alias->typekind == TKIND_ALIAS && alias->tdescAlias.vt == VT_UI4;
                ref->ReleaseTypeAttr(alias);
            }
            if (!stdole || !ulong) return "OLE_COLOR (not stdole2's)";
        }
        return Narrow(name.Get());
    }
    default: return "vt" + std::to_string(td.vt);
    }
}

TYPEATTR Attr(ITypeInfo* info)
{
    TYPEATTR* attr = nullptr;
    TYPEATTR copy = {};
    EXPECT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attr));
    if (attr) {
        copy = *attr;
        info->ReleaseTypeAttr(attr);
    }
    return copy;
}

std::wstring Doc(ITypeInfo* info, MEMBERID id)
{
    fw::Bstr doc;
    info->GetDocumentation(id, nullptr, doc.Put(), nullptr, nullptr);
    return doc.Get() ? doc.Get() : L"";
}

class TypeLibTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_HRESULT_SUCCEEDED(LoadTypeLibEx(KVADRA_DLL_PATH, REGKIND_NONE, lib.Put())); }
    fw::ComPtr<ITypeLib> lib;
};

TEST_F(TypeLibTest, ITesseraMembersInOrder)
{
    fw::ComPtr<ITypeInfo> disp, info;
    ASSERT_HRESULT_SUCCEEDED(lib->GetTypeInfoOfGuid(IID_ITessera, disp.Put()));
    EXPECT_EQ(TKIND_DISPATCH, Attr(disp.Get()).typekind);
    EXPECT_TRUE(Attr(disp.Get()).wTypeFlags & TYPEFLAG_FDUAL);

    // The interface half lists the members after IDispatch's, in vtable order.
    HREFTYPE ref = 0;
    ASSERT_HRESULT_SUCCEEDED(disp->GetRefTypeOfImplType(-1, &ref));
    ASSERT_HRESULT_SUCCEEDED(disp->GetRefTypeInfo(ref, info.Put()));
    const TYPEATTR attr = Attr(info.Get());
    EXPECT_EQ(TKIND_INTERFACE, attr.typekind);
    // Both halves derive from IDispatch: marshalers and importers follow it.
    for (ITypeInfo* half : {disp.Get(), info.Get()}) {
        fw::ComPtr<ITypeInfo> base;
        HREFTYPE baseRef = 0;
        ASSERT_HRESULT_SUCCEEDED(half->GetRefTypeOfImplType(0, &baseRef));
        ASSERT_HRESULT_SUCCEEDED(half->GetRefTypeInfo(baseRef, base.Put()));
        EXPECT_TRUE(IsEqualGUID(IID_IDispatch, Attr(base.Get()).guid));
    }

    UINT i = 0;
    for (const Member& want : kMembers) {
        for (const char* k = want.kinds; *k; ++k, ++i) {
            SCOPED_TRACE(testing::Message() << "member " << i << " " << Narrow(want.name) << " " << *k);
            ASSERT_LT(i, attr.cFuncs);
            FUNCDESC* fd = nullptr;
            ASSERT_HRESULT_SUCCEEDED(info->GetFuncDesc(i, &fd));
            fw::Bstr name;
            info->GetDocumentation(fd->memid, name.Put(), nullptr, nullptr, nullptr);
            EXPECT_STREQ(want.name, name.Get());
            EXPECT_EQ(want.id, fd->memid);
            EXPECT_EQ(*k == 'm' ? INVOKE_FUNC
                      : *k == 'g' ? INVOKE_PROPERTYGET
                      : *k == 'p' ? INVOKE_PROPERTYPUT
                                  : INVOKE_PROPERTYPUTREF,
                      fd->invkind);
            std::string params;
            for (SHORT p = 0; p < fd->cParams; ++p)
                params += (p ? ", " : "") + TypeName(info.Get(), fd->lprgelemdescParam[p].tdesc);
            EXPECT_EQ(std::string(want.type) + (*k == 'g' ? "*" : ""), params);
            EXPECT_EQ(VT_HRESULT, fd->elemdescFunc.tdesc.vt);
            if (*k == 'g') {
                EXPECT_TRUE(fd->lprgelemdescParam[fd->cParams - 1].paramdesc.wParamFlags & PARAMFLAG_FRETVAL);
            }
            info->ReleaseFuncDesc(fd);
        }
    }
    EXPECT_EQ(136u, i);
    EXPECT_EQ(136u, attr.cFuncs);
}

TEST_F(TypeLibTest, EventsWithParameters)
{
    fw::ComPtr<ITypeInfo> info;
    ASSERT_HRESULT_SUCCEEDED(lib->GetTypeInfoOfGuid(DIID__ITesseraEvents, info.Put()));
    const TYPEATTR attr = Attr(info.Get());
    EXPECT_EQ(TKIND_DISPATCH, attr.typekind);
    ASSERT_EQ(17u, attr.cFuncs);

    for (UINT i = 0; i < attr.cFuncs; ++i) {
        const auto& want = kEvents[i];
        SCOPED_TRACE(Narrow(want.name));
        FUNCDESC* fd = nullptr;
        ASSERT_HRESULT_SUCCEEDED(info->GetFuncDesc(i, &fd));
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
            const USHORT flags = e.paramdesc.wParamFlags;
            params += p ? ", " : "";
            params += (flags & PARAMFLAG_FOUT) ? "out " : (flags & PARAMFLAG_FIN) ? "in " : "";
            params += TypeName(info.Get(), e.tdesc) + " " + Narrow(UINT(p + 1) < got ? names[p + 1] : L"?");
        }
        for (UINT n = 0; n < got; ++n) SysFreeString(names[n]);
        EXPECT_EQ(want.params, params);
        EXPECT_EQ(L"method " + std::wstring(want.name), Doc(info.Get(), fd->memid));
        info->ReleaseFuncDesc(fd);
    }
}

// The library GUID is checked because widl once cut its last byte.
TEST_F(TypeLibTest, LibraryAndCoclassesWithHelpStringsAndTheControlsDefaults)
{
    TLIBATTR* libAttr = nullptr;
    ASSERT_HRESULT_SUCCEEDED(lib->GetLibAttr(&libAttr));
    EXPECT_TRUE(IsEqualGUID(libAttr->guid, LIBID_KVADRALib));
    EXPECT_TRUE(libAttr->wMajorVerNum == 1 && libAttr->wMinorVerNum == 0);
    lib->ReleaseTLibAttr(libAttr);
    fw::Bstr libName, libDoc;
    ASSERT_HRESULT_SUCCEEDED(lib->GetDocumentation(-1, libName.Put(), libDoc.Put(), nullptr, nullptr));
    EXPECT_STREQ(L"KVADRALib", libName.Get());
    EXPECT_STREQ(L"Kvadra 1.0 Type Library", libDoc.Get());

    for (const auto& c : {std::make_pair(&CLSID_Tessera, L"Tessera"), std::make_pair(&CLSID_SizeCtl, L"SizeCtl"),
                          std::make_pair(&CLSID_GenProp, L"GenProp"), std::make_pair(&CLSID_CellProp, L"CellProp")}) {
        fw::ComPtr<ITypeInfo> info;
        ASSERT_HRESULT_SUCCEEDED(lib->GetTypeInfoOfGuid(*c.first, info.Put()));
        fw::Bstr name;
        info->GetDocumentation(MEMBERID_NIL, name.Put(), nullptr, nullptr, nullptr);
        EXPECT_STREQ(c.second, name.Get());
        EXPECT_EQ(std::wstring(c.second) + L" Class", Doc(info.Get(), MEMBERID_NIL));
        EXPECT_EQ(TKIND_COCLASS, Attr(info.Get()).typekind);
        EXPECT_TRUE(Attr(info.Get()).wTypeFlags & TYPEFLAG_FCANCREATE);
    }

    // Hosts find the control's default interface and default event source here.
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
        EXPECT_TRUE(flags & IMPLTYPEFLAG_FDEFAULT);
        const GUID guid = Attr(impl.Get()).guid;
        if (flags & IMPLTYPEFLAG_FSOURCE) sawSource = IsEqualGUID(guid, DIID__ITesseraEvents);
        else sawInterface = IsEqualGUID(guid, IID_ITessera);
    }
    EXPECT_TRUE(sawInterface);
    EXPECT_TRUE(sawSource);
}

} // namespace
