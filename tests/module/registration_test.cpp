// What registration leaves in the registry, and what unregistration takes away.
#include <windows.h>
#include <gtest/gtest.h>
#include <comcat.h>

#include <algorithm>
#include <set>
#include <string>

#include "kvadra.h"
#include "support/dll.h"

namespace {

const wchar_t kControl[] = L"CLSID\\{8CC3273A-7BF6-42AD-9CB4-7214A72401CF}";

struct Page {
    const wchar_t* key;
    const wchar_t* name;
    const wchar_t* progid;
};
const Page kPages[] = {
    {L"CLSID\\{B36CA560-D702-403B-AA28-B230BD957BA0}", L"SizeCtl Class", L"Kvadra.SizeCtl"},
    {L"CLSID\\{DA3D7779-8BC0-4DB6-AB59-B0156F5392A9}", L"GenProp Class", L"Kvadra.GenProp"},
    {L"CLSID\\{0373AA61-1A4A-4F82-AD72-03B4EAAC814A}", L"CellProp Class", L"Kvadra.CellProp"},
};

bool KeyExists(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// A string value; "<none>" when the key or value is missing.
std::wstring Value(const std::wstring& path, const wchar_t* name = nullptr)
{
    wchar_t buf[1024] = {};
    DWORD size = sizeof(buf);
    if (RegGetValueW(HKEY_CLASSES_ROOT, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
        return L"<none>";
    return buf;
}

std::set<std::wstring> Subkeys(const std::wstring& path)
{
    std::set<std::wstring> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD len = 256;
        if (RegEnumKeyExW(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.insert(name);
    }
    RegCloseKey(key);
    return names;
}

std::set<std::wstring> ValueNames(const std::wstring& path)
{
    std::set<std::wstring> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD len = 256;
        if (RegEnumValueW(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.insert(name);
    }
    RegCloseKey(key);
    return names;
}

std::wstring Lower(std::wstring s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](wchar_t c) { return static_cast<wchar_t>(towlower(c)); });
    return s;
}

std::wstring ModulePath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(test::KvadraDll(), path, MAX_PATH);
    return path;
}

void ExpectControlRegistered()
{
    const std::wstring k = kControl;
    EXPECT_EQ(L"Tessera Class", Value(k));
    EXPECT_EQ((std::set<std::wstring>{L"Control", L"Implemented Categories", L"InprocServer32", L"Insertable",
                                      L"MiscStatus", L"ProgID", L"Programmable", L"ToolboxBitmap32", L"TypeLib",
                                      L"Version", L"VersionIndependentProgID"}),
              Subkeys(k));
    EXPECT_EQ(L"Kvadra.Tessera.1", Value(k + L"\\ProgID"));
    EXPECT_EQ(L"Kvadra.Tessera", Value(k + L"\\VersionIndependentProgID"));
    EXPECT_EQ(Lower(ModulePath()), Lower(Value(k + L"\\InprocServer32")));
    EXPECT_EQ(L"Apartment", Value(k + L"\\InprocServer32", L"ThreadingModel"));
    EXPECT_EQ(Lower(ModulePath()) + L", 101", Lower(Value(k + L"\\ToolboxBitmap32")));
    EXPECT_EQ(L"0", Value(k + L"\\MiscStatus"));
    EXPECT_EQ(std::set<std::wstring>{L"1"}, Subkeys(k + L"\\MiscStatus"));
    EXPECT_EQ(L"131473", Value(k + L"\\MiscStatus\\1"));
    EXPECT_EQ(L"{42A1E3A3-3E02-4542-9055-067CEF8369DD}", Value(k + L"\\TypeLib"));
    EXPECT_EQ(L"1.0", Value(k + L"\\Version"));
    for (const wchar_t* empty : {L"Programmable", L"Control", L"Insertable"}) {
        EXPECT_TRUE(Subkeys(k + L"\\" + empty).empty()) << empty;
        EXPECT_TRUE(ValueNames(k + L"\\" + empty).empty()) << empty;
    }
    EXPECT_EQ((std::set<std::wstring>{L"{7DD95801-9882-11CF-9FA9-00AA006C42C4}",
                                      L"{7DD95802-9882-11CF-9FA9-00AA006C42C4}"}),
              Subkeys(k + L"\\Implemented Categories"));

    EXPECT_EQ(L"Tessera Class", Value(L"Kvadra.Tessera.1"));
    EXPECT_EQ(L"{8CC3273A-7BF6-42AD-9CB4-7214A72401CF}", Value(L"Kvadra.Tessera.1\\CLSID"));
    EXPECT_EQ((std::set<std::wstring>{L"CLSID", L"Insertable"}), Subkeys(L"Kvadra.Tessera.1"));
    EXPECT_EQ(L"Tessera Class", Value(L"Kvadra.Tessera"));
    EXPECT_EQ(L"{8CC3273A-7BF6-42AD-9CB4-7214A72401CF}", Value(L"Kvadra.Tessera\\CLSID"));
    EXPECT_EQ(L"Kvadra.Tessera.1", Value(L"Kvadra.Tessera\\CurVer"));
}

void ExpectPagesRegistered()
{
    for (const Page& p : kPages) {
        const std::wstring k = p.key;
        SCOPED_TRACE(p.name);
        EXPECT_EQ(p.name, Value(k));
        EXPECT_EQ((std::set<std::wstring>{L"InprocServer32", L"ProgID", L"Programmable", L"VersionIndependentProgID"}),
                  Subkeys(k));
        EXPECT_EQ(std::wstring(p.progid) + L".1", Value(k + L"\\ProgID"));
        EXPECT_EQ(p.progid, Value(k + L"\\VersionIndependentProgID"));
        EXPECT_EQ(L"Apartment", Value(k + L"\\InprocServer32", L"ThreadingModel"));
        EXPECT_EQ(Lower(ModulePath()), Lower(Value(k + L"\\InprocServer32")));
        EXPECT_EQ(std::wstring(p.progid) + L".1", Value(std::wstring(p.progid) + L"\\CurVer"));
        EXPECT_EQ(p.name, Value(std::wstring(p.progid) + L".1"));
    }
}

TEST(Registration, RegsvrLeftTheScriptsKeys)
{
    ExpectControlRegistered();
    ExpectPagesRegistered();
    EXPECT_EQ(L"Kvadra 1.0 Type Library", Value(L"TypeLib\\{42A1E3A3-3E02-4542-9055-067CEF8369DD}\\1.0"));
}

TEST(Registration, UnregisterRemovesTheClassesAndRegisterRestoresThem)
{
    auto unreg = test::KvadraExport<test::DllRegisterFn>("DllUnregisterServer");
    auto reg = test::KvadraExport<test::DllRegisterFn>("DllRegisterServer");
    ASSERT_HRESULT_SUCCEEDED(unreg());

    EXPECT_FALSE(KeyExists(kControl));
    for (const Page& p : kPages) EXPECT_FALSE(KeyExists(p.key)) << p.name;
    EXPECT_TRUE(KeyExists(L"CLSID"));
    EXPECT_FALSE(KeyExists(L"Kvadra.Tessera.1"));
    EXPECT_FALSE(KeyExists(L"Kvadra.Tessera"));
    EXPECT_FALSE(KeyExists(L"TypeLib\\{42A1E3A3-3E02-4542-9055-067CEF8369DD}\\1.0"));

    // Registering twice over leaves the same keys as once.
    ASSERT_HRESULT_SUCCEEDED(reg());
    ASSERT_HRESULT_SUCCEEDED(reg());
    ExpectControlRegistered();
    ExpectPagesRegistered();
}

} // namespace
