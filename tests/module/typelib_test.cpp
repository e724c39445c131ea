// The type library embedded in the DLL, read back the way hosts read it, and
// what host programmers are handed, which must agree with it: the reference
// has a section for every member and event in type library order, whose first
// line names the accessors and types; the page example and the reference name
// only stored properties; the version resource carries the project's version.
#include <windows.h>
#include <gtest/gtest.h>
#include <ole2.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "framework/com_ptr.h"
#include "kvadra.h"
#include "version.h"

namespace {

std::string ReadSource(const wchar_t* relative)
{
    const std::wstring path = std::wstring(KVADRA_SOURCE_DIR) + L"\\" + relative;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, file) << "cannot open " << std::string(path.begin(), path.end());
    std::string text;
    if (file == INVALID_HANDLE_VALUE) return text;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got) text.append(buffer, got);
    CloseHandle(file);
    return text;
}

struct Section {
    std::string name;
    long id;
    std::string line;  // the first line under the heading
};

// "### Name (DISPID n)" headings of one "## title" chapter, in order.
std::vector<Section> Sections(const std::string& doc, const std::string& chapter)
{
    std::vector<Section> found;
    std::istringstream lines(doc);
    bool inside = false;
    const std::regex heading(R"(^### (\w+) \(DISPID (-?\d+)\)\s*$)");
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("## ", 0) == 0) inside = line.substr(3) == chapter;
        std::smatch m;
        if (inside && std::regex_match(line, m, heading)) {
            found.push_back({m[1], std::stol(m[2]), ""});
            std::getline(lines, found.back().line);
        }
    }
    return found;
}

// A member's accessors as its first line names them, in vtable order (g get,
// p put, r putref, m method), and the types a put takes (index first) or the
// method's parameter types: "Property get, put with an index · `int col` →
// `int`" is {"gp", "int, int"}.
std::pair<std::string, std::string> Signature(const std::string& line)
{
    static const std::regex property("^Property ([a-z, ]+?)( with an index)? · `([^`]*)`(?: → `([^`]*)`)?");
    static const std::regex method("^Method · (?:no parameters|`([^`]*)`)");
    static const std::regex named(R"((\w+\*?) \w+)");
    std::smatch m;
    std::string kinds;
    if (std::regex_search(line, m, property)) {
        std::istringstream words(m[1]);
        for (std::string w; std::getline(words >> std::ws, w, ',');) kinds += w == "get" ? 'g' : w == "put" ? 'p' : 'r';
        return {kinds, m[4].matched ? std::regex_replace(m[3].str(), named, "$1") + ", " + m[4].str() : m[3].str()};
    }
    if (std::regex_search(line, m, method)) return {"m", std::regex_replace(m[1].str(), named, "$1")};
    return {};
}

std::string Narrow(const wchar_t* s)
{
    std::string r;
    for (; s && *s; ++s) r += static_cast<char>(*s);
    return r;
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
        // Designers know a colour by stdole2's alias of an unsigned long.
        fw::ComPtr<ITypeLib> lib;
        UINT index = 0;
        TLIBATTR* attr = nullptr;
        if (Narrow(name.Get()) == "OLE_COLOR" && SUCCEEDED(ref->GetContainingTypeLib(lib.Put(), &index)) &&
            SUCCEEDED(lib->GetLibAttr(&attr))) {
            const bool stdole = IsEqualGUID(attr->guid, IID_StdOle);
            lib->ReleaseTLibAttr(attr);
            TYPEATTR alias = Attr(ref.Get());
            if (!stdole || alias.typekind != TKIND_ALIAS || alias.tdescAlias.vt != VT_UI4) return "OLE_COLOR (not stdole2's)";
        }
        return Narrow(name.Get());
    }
    default: return "vt" + std::to_string(td.vt);
    }
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
    const std::string doc = ReadSource(L"docs\\reference.md");
};

TEST_F(TypeLibTest, ITesseraMembersInOrderAsTheReferenceNamesThem)
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

    const std::vector<Section> sections = Sections(doc, "ITessera members");
    ASSERT_EQ(77u, sections.size());
    UINT i = 0;
    for (const Section& want : sections) {
        const auto signature = Signature(want.line);
        EXPECT_NE("", signature.first) << want.name << ": " << want.line;
        for (char k : signature.first) {
            SCOPED_TRACE(testing::Message() << "member " << i++ << " " << want.name << " " << k);
            FUNCDESC* fd = nullptr;
            ASSERT_HRESULT_SUCCEEDED(info->GetFuncDesc(i - 1, &fd));
            fw::Bstr name;
            info->GetDocumentation(fd->memid, name.Put(), nullptr, nullptr, nullptr);
            EXPECT_EQ(want.name, Narrow(name.Get()));
            EXPECT_EQ(want.id, fd->memid);
            EXPECT_EQ(k == 'm' ? INVOKE_FUNC : k == 'g' ? INVOKE_PROPERTYGET : k == 'p' ? INVOKE_PROPERTYPUT : INVOKE_PROPERTYPUTREF,
                      fd->invkind);
            std::string params;
            for (SHORT p = 0; p < fd->cParams; ++p)
                params += (p ? ", " : "") + TypeName(info.Get(), fd->lprgelemdescParam[p].tdesc);
            EXPECT_EQ(signature.second + (k == 'g' ? "*" : ""), params);
            EXPECT_EQ(VT_HRESULT, fd->elemdescFunc.tdesc.vt);
            EXPECT_TRUE(k != 'g' || (fd->lprgelemdescParam[fd->cParams - 1].paramdesc.wParamFlags & PARAMFLAG_FRETVAL));
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
    const std::vector<Section> sections = Sections(doc, "_ITesseraEvents events");
    ASSERT_EQ(17u, sections.size());
    for (UINT i = 0; i < attr.cFuncs; ++i) {
        const Section& want = sections[i];
        SCOPED_TRACE(want.name);
        FUNCDESC* fd = nullptr;
        ASSERT_HRESULT_SUCCEEDED(info->GetFuncDesc(i, &fd));
        EXPECT_EQ(want.id, fd->memid);
        EXPECT_EQ(INVOKE_FUNC, fd->invkind);
        EXPECT_EQ(VT_VOID, fd->elemdescFunc.tdesc.vt);

        BSTR names[8] = {};
        UINT got = 0;
        info->GetNames(fd->memid, names, 8, &got);
        ASSERT_GE(got, 1u);
        std::string line = "`" + Narrow(names[0]) + "(";
        for (SHORT p = 0; p < fd->cParams; ++p) {
            const ELEMDESC& e = fd->lprgelemdescParam[p];
            line += (p ? ", " : "") + TypeName(info.Get(), e.tdesc) + " " + Narrow(UINT(p + 1) < got ? names[p + 1] : L"?");
            // A pointer is an answer to the control; the drag events' parameters carry no direction.
            const USHORT direction = e.tdesc.vt == VT_PTR ? PARAMFLAG_FOUT : PARAMFLAG_FIN;
            EXPECT_EQ(want.id >= 16 ? 0 : direction, e.paramdesc.wParamFlags & (PARAMFLAG_FIN | PARAMFLAG_FOUT)) << p;
        }
        EXPECT_EQ(want.line, line + ")`");
        EXPECT_EQ(L"method " + std::wstring(names[0]), Doc(info.Get(), fd->memid));
        for (UINT n = 0; n < got; ++n) SysFreeString(names[n]);
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

// The names the control stores its properties under: its property table.
std::vector<std::string> StoredNames()
{
    const std::string source = ReadSource(L"src\\control\\TesseraProperties.cpp");
    const std::regex entry(R"re(\{L"(\w+)",)re");
    std::vector<std::string> names;
    for (std::sregex_iterator it(source.begin(), source.end(), entry), end; it != end; ++it) names.push_back((*it)[1]);
    return names;
}

TEST(PersistedNames, ReferenceListsThePropertyTable)
{
    const std::vector<std::string> stored = StoredNames();
    ASSERT_EQ(40u, stored.size());
    const std::string doc = ReadSource(L"docs\\reference.md");
    const std::string chapter = doc.substr(doc.find("## Persisted property names"));
    const std::regex row(R"(\n\| *\d+ *\| *`(\w+)`)");
    std::vector<std::string> listed;
    for (std::sregex_iterator it(chapter.begin(), chapter.end(), row), end; it != end; ++it) listed.push_back((*it)[1]);
    EXPECT_EQ(stored, listed);
}

TEST(VersionResource, CarriesTheProjectVersion)
{
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(KVADRA_DLL_PATH, &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(KVADRA_DLL_PATH, 0, size, data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(MAKELONG(KVADRA_VERSION_MINOR, KVADRA_VERSION_MAJOR), fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(0, KVADRA_VERSION_PATCH), fixed->dwFileVersionLS);
    wchar_t* text = nullptr;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\ProductVersion",
                               reinterpret_cast<void**>(&text), &length));
    EXPECT_EQ(KVADRA_VERSION_TEXT, Narrow(text));
}

} // namespace
