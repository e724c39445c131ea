// What registration leaves in the registry, and what unregistration takes away.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "kvadra.h"
#include "support/dll.h"

namespace {

using Names = std::set<std::wstring>;

const wchar_t kControl[] = L"CLSID\\{8CC3273A-7BF6-42AD-9CB4-7214A72401CF}";
const wchar_t kTypeLib[] = L"TypeLib\\{42A1E3A3-3E02-4542-9055-067CEF8369DD}\\1.0";
const struct {
    const wchar_t* key;
    const wchar_t* name;
    const wchar_t* progid;
} kPages[] = {
    {L"CLSID\\{B36CA560-D702-403B-AA28-B230BD957BA0}", L"SizeCtl Class", L"Kvadra.SizeCtl"},
    {L"CLSID\\{DA3D7779-8BC0-4DB6-AB59-B0156F5392A9}", L"GenProp Class", L"Kvadra.GenProp"},
    {L"CLSID\\{0373AA61-1A4A-4F82-AD72-03B4EAAC814A}", L"CellProp Class", L"Kvadra.CellProp"},
};

// A string value, "<none>" when the key or value is missing.
std::wstring Value(const std::wstring& path, const wchar_t* name = nullptr)
{
    wchar_t buf[1024] = {};
    DWORD size = sizeof(buf);
    if (RegGetValueW(HKEY_CLASSES_ROOT, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
        return L"<none>";
    return buf;
}

// The subkeys of a key, or the names of its values; kGone when the key is missing.
const Names kGone = {L"<none>"};
Names Enumerate(const std::wstring& path, bool values = false)
{
    Names names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return kGone;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD len = 256;
        LONG rc = values ? RegEnumValueW(key, i, name, &len, nullptr, nullptr, nullptr, nullptr)
                         : RegEnumKeyExW(key, i, name, &len, nullptr, nullptr, nullptr, nullptr);
        if (rc != ERROR_SUCCESS) break;
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

// Exactly the keys and values of the four scripts; the module path is
// compared without case, as the file system does.
void ExpectRegistered()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(test::KvadraDll(), path, MAX_PATH);
    const std::wstring dll = Lower(path), k = kControl;
    const std::wstring clsid = L"{8CC3273A-7BF6-42AD-9CB4-7214A72401CF}";

    std::vector<std::pair<std::wstring, std::wstring>> values = {
        {k, L"Tessera Class"}, {k + L"\\ProgID", L"Kvadra.Tessera.1"},
        {k + L"\\VersionIndependentProgID", L"Kvadra.Tessera"}, {k + L"\\MiscStatus", L"0"},
        {k + L"\\MiscStatus\\1", L"131473"}, {k + L"\\TypeLib", L"{42A1E3A3-3E02-4542-9055-067CEF8369DD}"},
        {k + L"\\Version", L"1.0"}, {L"Kvadra.Tessera.1", L"Tessera Class"}, {L"Kvadra.Tessera.1\\CLSID", clsid},
        {L"Kvadra.Tessera", L"Tessera Class"}, {L"Kvadra.Tessera\\CLSID", clsid},
        {L"Kvadra.Tessera\\CurVer", L"Kvadra.Tessera.1"}, {kTypeLib, L"Kvadra 1.0 Type Library"},
    };
    std::vector<std::wstring> classes = {k};
    for (const auto& p : kPages) {
        const std::wstring key = p.key, progid = p.progid;
        classes.push_back(key);
        values.insert(values.end(), {{key, p.name}, {key + L"\\ProgID", progid + L".1"},
                                     {key + L"\\VersionIndependentProgID", progid},
                                     {progid + L"\\CurVer", progid + L".1"}, {progid + L".1", p.name}});
        EXPECT_EQ((Names{L"InprocServer32", L"ProgID", L"Programmable", L"VersionIndependentProgID"}), Enumerate(key));
    }
    for (const auto& v : values) EXPECT_EQ(v.second, Value(v.first)) << v.first;
    for (const std::wstring& key : classes) {
        EXPECT_EQ(dll, Lower(Value(key + L"\\InprocServer32"))) << key;
        EXPECT_EQ(L"Apartment", Value(key + L"\\InprocServer32", L"ThreadingModel")) << key;
    }

    EXPECT_EQ((Names{L"Control", L"Implemented Categories", L"InprocServer32", L"Insertable", L"MiscStatus", L"ProgID",
                     L"Programmable", L"ToolboxBitmap32", L"TypeLib", L"Version", L"VersionIndependentProgID"}),
              Enumerate(k));
    EXPECT_EQ(dll + L", 101", Lower(Value(k + L"\\ToolboxBitmap32")));
    EXPECT_EQ(Names{L"1"}, Enumerate(k + L"\\MiscStatus"));
    for (const wchar_t* empty : {L"Programmable", L"Control", L"Insertable"}) {
        EXPECT_TRUE(Enumerate(k + L"\\" + empty).empty()) << empty;
        EXPECT_TRUE(Enumerate(k + L"\\" + empty, true).empty()) << empty;
    }
    EXPECT_EQ((Names{L"{7DD95801-9882-11CF-9FA9-00AA006C42C4}", L"{7DD95802-9882-11CF-9FA9-00AA006C42C4}"}),
              Enumerate(k + L"\\Implemented Categories"));
    EXPECT_EQ((Names{L"CLSID", L"Insertable"}), Enumerate(L"Kvadra.Tessera.1"));
}

// Unregistering changes the machine for the test programs that follow:
// whatever a test does, the DLL is registered again after it.
class Registration : public ::testing::Test {
protected:
    void TearDown() override { test::KvadraExport<test::DllRegisterFn>("DllRegisterServer")(); }
};

// The library's key is shared by both bitnesses: unregistering takes away
// this one's entry and leaves the other's.
TEST_F(Registration, RegsvrLeftTheScriptsKeysAndUnregisterRemovesThem)
{
    ExpectRegistered();
    const bool win64 = sizeof(void*) == 8;
    const std::wstring own = std::wstring(kTypeLib) + (win64 ? L"\\0\\win64" : L"\\0\\win32");
    const std::wstring other = std::wstring(kTypeLib) + (win64 ? L"\\0\\win32" : L"\\0\\win64");
    ASSERT_NE(kGone, Enumerate(own));
    const bool planted = Enumerate(other) == kGone;
    if (planted) {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueW(HKEY_CLASSES_ROOT, other.c_str(), REG_SZ, L"C:\\other.dll", 0));
    }

    ASSERT_HRESULT_SUCCEEDED(test::KvadraExport<test::DllRegisterFn>("DllUnregisterServer")());
    for (const wchar_t* gone : {kControl, L"Kvadra.Tessera.1", L"Kvadra.Tessera"})
        EXPECT_EQ(kGone, Enumerate(gone)) << gone;
    for (const auto& p : kPages) EXPECT_EQ(kGone, Enumerate(p.key)) << p.name;
    EXPECT_EQ(kGone, Enumerate(own));
    EXPECT_NE(kGone, Enumerate(other));
    EXPECT_NE(kGone, Enumerate(L"CLSID"));
    if (planted) {
        RegDeleteKeyW(HKEY_CLASSES_ROOT, other.c_str());
        // Without the other entry, nothing of the library is left behind.
        ASSERT_HRESULT_SUCCEEDED(test::KvadraExport<test::DllRegisterFn>("DllRegisterServer")());
        ASSERT_HRESULT_SUCCEEDED(test::KvadraExport<test::DllRegisterFn>("DllUnregisterServer")());
        EXPECT_EQ(kGone, Enumerate(kTypeLib));
    }

    // Registering twice over leaves the same keys as once.
    auto reg = test::KvadraExport<test::DllRegisterFn>("DllRegisterServer");
    ASSERT_HRESULT_SUCCEEDED(reg());
    ASSERT_HRESULT_SUCCEEDED(reg());
    ExpectRegistered();
}

} // namespace
