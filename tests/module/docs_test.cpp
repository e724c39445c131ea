// What host programmers are handed must agree with the DLL: the reference
// has a section for every member and event of the embedded type library, in
// its order; the page example and the reference name only stored properties;
// the version resource carries the project's version.
#include <windows.h>
#include <gtest/gtest.h>
#include <ole2.h>

#include <algorithm>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
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

std::string Narrow(const wchar_t* s)
{
    std::string r;
    for (; s && *s; ++s) r += static_cast<char>(*s);
    return r;
}

using Section = std::pair<std::string, long>;  // name, DISPID

// "### Name (DISPID n)" headings of one "## title" chapter, in order.
std::vector<Section> Sections(const std::string& doc, const std::string& chapter)
{
    std::vector<Section> found;
    std::istringstream lines(doc);
    std::string line;
    bool inside = false;
    const std::regex heading(R"(^### (\w+) \(DISPID (-?\d+)\)\s*$)");
    while (std::getline(lines, line)) {
        if (line.rfind("## ", 0) == 0) inside = line.substr(3) == chapter;
        std::smatch m;
        if (inside && std::regex_match(line, m, heading)) found.emplace_back(m[1], std::stol(m[2]));
    }
    return found;
}

// Distinct member names of a type description, in the order they first appear.
std::vector<Section> Members(ITypeInfo* info)
{
    std::vector<Section> members;
    TYPEATTR* attr = nullptr;
    if (FAILED(info->GetTypeAttr(&attr))) return members;
    for (UINT i = 0; i < attr->cFuncs; ++i) {
        FUNCDESC* fd = nullptr;
        if (FAILED(info->GetFuncDesc(i, &fd))) continue;
        fw::Bstr name;
        info->GetDocumentation(fd->memid, name.Put(), nullptr, nullptr, nullptr);
        Section member{Narrow(name.Get()), fd->memid};
        if (members.empty() || members.back() != member) members.push_back(member);
        info->ReleaseFuncDesc(fd);
    }
    info->ReleaseTypeAttr(attr);
    return members;
}

TEST(Reference, EveryMemberAndEventHasASectionInTypeLibraryOrder)
{
    fw::ComPtr<ITypeLib> lib;
    ASSERT_HRESULT_SUCCEEDED(LoadTypeLibEx(KVADRA_DLL_PATH, REGKIND_NONE, lib.Put()));
    const std::string doc = ReadSource(L"docs\\reference.md");
    ASSERT_FALSE(doc.empty());
    fw::ComPtr<ITypeInfo> disp, info, events;
    ASSERT_HRESULT_SUCCEEDED(lib->GetTypeInfoOfGuid(IID_ITessera, disp.Put()));
    HREFTYPE ref = 0;
    ASSERT_HRESULT_SUCCEEDED(disp->GetRefTypeOfImplType(-1, &ref));
    ASSERT_HRESULT_SUCCEEDED(disp->GetRefTypeInfo(ref, info.Put()));
    const std::vector<Section> members = Members(info.Get());
    ASSERT_EQ(77u, members.size());
    EXPECT_EQ(members, Sections(doc, "ITessera members"));

    ASSERT_HRESULT_SUCCEEDED(lib->GetTypeInfoOfGuid(DIID__ITesseraEvents, events.Put()));
    const std::vector<Section> fired = Members(events.Get());
    ASSERT_EQ(17u, fired.size());
    EXPECT_EQ(fired, Sections(doc, "_ITesseraEvents events"));
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

TEST(PersistedNames, PageParamsAreStoredProperties)
{
    const std::vector<std::string> stored = StoredNames();
    const std::string page = ReadSource(L"examples\\page.html");
    const std::regex param(R"re(<param\s+name="([^"]*)")re", std::regex::icase);
    int count = 0;
    for (std::sregex_iterator it(page.begin(), page.end(), param), end; it != end; ++it, ++count) {
        const std::string name = (*it)[1];
        EXPECT_NE(stored.end(), std::find(stored.begin(), stored.end(), name)) << name << " is not stored";
    }
    EXPECT_GE(count, 10);
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
