// The registry script runner, on a scratch key of the current user.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "framework/registry_script.h"

namespace {

const wchar_t kBase[] = L"Software\\KvadraScriptTest";

std::wstring Read(const std::wstring& sub, const wchar_t* name = nullptr)
{
    wchar_t buf[256] = {};
    DWORD size = sizeof(buf);
    std::wstring path = std::wstring(kBase) + (sub.empty() ? L"" : L"\\" + sub);
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
        return L"<none>";
    return buf;
}

bool Exists(const std::wstring& sub)
{
    HKEY k = nullptr;
    std::wstring path = std::wstring(kBase) + (sub.empty() ? L"" : L"\\" + sub);
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
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

TEST_F(RegistryScript, InstallsKeysValuesAndReplacements)
{
    ASSERT_HRESULT_SUCCEEDED(fw::RunRegistryScript(kScript, {{L"NAME", L"grid"}, {L"PATH", L"C:\\x.dll"}}, true));
    const std::wstring guid = L"{8CC3273A-7BF6-42AD-9CB4-7214A72401CF}";
    EXPECT_EQ(L"top", Read(L""));
    EXPECT_EQ(L"It's grid", Read(guid));
    EXPECT_TRUE(Exists(guid + L"\\Empty"));
    EXPECT_EQ(L"C:\\x.dll, 101", Read(guid + L"\\Inproc"));
    EXPECT_EQ(L"Apartment", Read(guid + L"\\Inproc", L"Threading"));
    DWORD count = 0, size = sizeof(count);
    EXPECT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_CURRENT_USER, (std::wstring(kBase) + L"\\" + guid + L"\\Inproc").c_str(),
                                          L"Count", RRF_RT_REG_DWORD, nullptr, &count, &size));
    EXPECT_EQ(17u, count);
    EXPECT_EQ(L"100%", Read(L"Plain"));
}

TEST_F(RegistryScript, ForceRemoveReplacesTheWholeKey)
{
    HKEY k = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kBase) + L"\\{8CC3273A-7BF6-42AD-9CB4-7214A72401CF}\\Stale").c_str(),
                    0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
    RegCloseKey(k);
    ASSERT_HRESULT_SUCCEEDED(fw::RunRegistryScript(kScript, {{L"NAME", L"g"}, {L"PATH", L"p"}}, true));
    EXPECT_FALSE(Exists(L"{8CC3273A-7BF6-42AD-9CB4-7214A72401CF}\\Stale"));
}

TEST_F(RegistryScript, RemovalKeepsNoRemoveKeysAndForeignSubkeys)
{
    const fw::Replacements reps = {{L"NAME", L"g"}, {L"PATH", L"p"}};
    ASSERT_HRESULT_SUCCEEDED(fw::RunRegistryScript(kScript, reps, true));
    ASSERT_HRESULT_SUCCEEDED(fw::RunRegistryScript(kScript, reps, false));
    EXPECT_FALSE(Exists(L""));
    HKEY k = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, &k));
    RegCloseKey(k);

    // A plain key that still holds someone else's subkey stays.
    ASSERT_HRESULT_SUCCEEDED(fw::RunRegistryScript(kScript, reps, true));
    RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kBase) + L"\\Foreign").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &k, nullptr);
    RegCloseKey(k);
    ASSERT_HRESULT_SUCCEEDED(fw::RunRegistryScript(kScript, reps, false));
    EXPECT_TRUE(Exists(L"Foreign"));
    EXPECT_FALSE(Exists(L"Plain"));
    // Removing twice is harmless.
    EXPECT_HRESULT_SUCCEEDED(fw::RunRegistryScript(kScript, reps, false));
}

TEST_F(RegistryScript, MalformedScriptsWriteNothing)
{
    const wchar_t* bad[] = {
        L"HKCU { Software { KvadraScriptTest = s 'unterminated } }",
        L"HKXX { Software }",
        L"HKCU { Software { KvadraScriptTest = q 'x' } }",
        L"HKCU { Software { KvadraScriptTest = s '%UNKNOWN%' } }",
        L"HKCU { Software { KvadraScriptTest = d 'abc' } }",
        L"HKCU { Software { KvadraScriptTest",
        L"HKCU { = }",
    };
    for (const wchar_t* script : bad) {
        EXPECT_EQ(E_INVALIDARG, fw::RunRegistryScript(script, {}, true)) << script;
        EXPECT_FALSE(Exists(L""));
    }
}

} // namespace
