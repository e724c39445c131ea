// The registry script runner, on a scratch key of the current user.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "framework/registry_script.h"

namespace {

const wchar_t kBase[] = L"Software\\KvadraScriptTest";

std::wstring Path(const std::wstring& sub)
{
    return std::wstring(kBase) + (sub.empty() ? L"" : L"\\" + sub);
}

std::wstring Read(const std::wstring& sub, const wchar_t* name = nullptr)
{
    wchar_t buf[256] = {};
    DWORD size = sizeof(buf);
    if (RegGetValueW(HKEY_CURRENT_USER, Path(sub).c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
        return L"<none>";
    return buf;
}

bool Exists(const std::wstring& sub)
{
    HKEY k = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Path(sub).c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

void Create(const std::wstring& sub)
{
    HKEY k = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, Path(sub).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
    RegCloseKey(k);
}

class RegistryScript : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kBase); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kBase); }
};

const wchar_t kScript[] =
    L"HKCU\n{\n NoRemove Software\n {\n  KvadraScriptTest = s 'top'\n  {\n"
    L"   ForceRemove {8CC3273A-7BF6-42AD-9CB4-7214A72401CF} = s 'It''s %NAME%'\n   {\n"
    L"    'Empty'\n    Inproc = s '%PATH%, 101'\n    {\n     val Threading = s 'Apartment'\n     val Count = d '17'\n    }\n   }\n"
    L"   Plain = s '100%%'\n  }\n }\n}\n";

const std::wstring kGuid = L"{8CC3273A-7BF6-42AD-9CB4-7214A72401CF}";
const fw::Replacements kReps = {{L"NAME", L"grid"}, {L"PATH", L"C:\\x.dll"}};

TEST_F(RegistryScript, InstallsWithReplacementsClearsForceRemoveKeysAndRemovesAllButNoRemoveAndForeignKeys)
{
    Create(kGuid + L"\\Stale");
    ASSERT_HRESULT_SUCCEEDED(fw::RunRegistryScript(kScript, kReps, true));
    EXPECT_FALSE(Exists(kGuid + L"\\Stale"));
    EXPECT_EQ(L"top", Read(L""));
    EXPECT_EQ(L"It's grid", Read(kGuid));
    EXPECT_TRUE(Exists(kGuid + L"\\Empty"));
    EXPECT_EQ(L"C:\\x.dll, 101", Read(kGuid + L"\\Inproc"));
    EXPECT_EQ(L"Apartment", Read(kGuid + L"\\Inproc", L"Threading"));
    DWORD count = 0, size = sizeof(count);
    EXPECT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_CURRENT_USER, Path(kGuid + L"\\Inproc").c_str(), L"Count",
                                          RRF_RT_REG_DWORD, nullptr, &count, &size));
    EXPECT_EQ(17u, count);
    EXPECT_EQ(L"100%", Read(L"Plain"));

    // Removal keeps NoRemove keys and foreign subkeys.
    ASSERT_HRESULT_SUCCEEDED(fw::RunRegistryScript(kScript, kReps, false));
    EXPECT_FALSE(Exists(L""));
    HKEY k = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, &k));
    RegCloseKey(k);

    // A plain key that still holds someone else's subkey stays.
    ASSERT_HRESULT_SUCCEEDED(fw::RunRegistryScript(kScript, kReps, true));
    Create(L"Foreign");
    ASSERT_HRESULT_SUCCEEDED(fw::RunRegistryScript(kScript, kReps, false));
    EXPECT_TRUE(Exists(L"Foreign"));
    EXPECT_FALSE(Exists(L"Plain"));
    // Removing twice is harmless.
    EXPECT_HRESULT_SUCCEEDED(fw::RunRegistryScript(kScript, kReps, false));
}

} // namespace
