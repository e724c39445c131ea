#include "framework/registry_script.h"

#include <memory>

namespace fw {
namespace {

enum class Mode { Plain, NoRemove, ForceRemove, Delete };

struct Value {
    std::wstring name;  // empty: the key's default value
    DWORD type = REG_SZ;
    std::wstring text;
    DWORD number = 0;
};

struct Key {
    Mode mode = Mode::Plain;
    std::wstring name;
    bool hasDefault = false;
    Value defaultValue;
    std::vector<Value> values;
    std::vector<Key> subkeys;
};

struct Root {
    HKEY hkey;
    std::vector<Key> keys;
};

class Parser {
public:
    Parser(const std::wstring& text, const Replacements& reps) : m_text(text), m_reps(reps) {}

    bool Parse(std::vector<Root>& roots)
    {
        for (;;) {
            std::wstring tok;
            if (!Next(tok)) return true;
            HKEY root = RootKey(tok);
            if (!root || !Expect(L"{")) return false;
            Root r{root, {}};
            if (!ParseBody(r.keys, nullptr)) return false;
            roots.push_back(std::move(r));
        }
    }

private:
    static HKEY RootKey(const std::wstring& t)
    {
        if (t == L"HKCR" || t == L"HKEY_CLASSES_ROOT") return HKEY_CLASSES_ROOT;
        if (t == L"HKCU" || t == L"HKEY_CURRENT_USER") return HKEY_CURRENT_USER;
        if (t == L"HKLM" || t == L"HKEY_LOCAL_MACHINE") return HKEY_LOCAL_MACHINE;
        if (t == L"HKU" || t == L"HKEY_USERS") return HKEY_USERS;
        return nullptr;
    }

    // Keys (and, inside a key, named values) up to the closing brace.
    bool ParseBody(std::vector<Key>& keys, std::vector<Value>* values)
    {
        for (;;) {
            std::wstring tok;
            bool quoted = false;
            if (!Next(tok, &quoted)) return false;
            if (!quoted && tok == L"}") return true;
            if (!quoted && tok == L"val" && values) {
                Value v;
                if (!Next(v.name) || !Expect(L"=") || !ParseValue(v)) return false;
                values->push_back(std::move(v));
                continue;
            }
            Key k;
            if (!quoted && tok == L"NoRemove") k.mode = Mode::NoRemove;
            else if (!quoted && tok == L"ForceRemove") k.mode = Mode::ForceRemove;
            else if (!quoted && tok == L"Delete") k.mode = Mode::Delete;
            if (k.mode != Mode::Plain && !Next(tok, &quoted)) return false;
            if (!quoted && (tok == L"{" || tok == L"}" || tok == L"=")) return false;
            k.name = tok;
            if (Peek() == L'=') {
                Next(tok);
                k.hasDefault = true;
                if (!ParseValue(k.defaultValue)) return false;
            }
            if (Peek() == L'{') {
                Next(tok);
                if (!ParseBody(k.subkeys, &k.values)) return false;
            }
            keys.push_back(std::move(k));
        }
    }

    bool ParseValue(Value& v)
    {
        std::wstring type, text;
        bool quoted = false;
        if (!Next(type) || !Next(text, &quoted)) return false;
        if (type == L"s") {
            v.type = REG_SZ;
            v.text = text;
            return true;
        }
        if (type == L"d") {
            wchar_t* end = nullptr;
            unsigned long n = wcstoul(text.c_str(), &end, 0);
            if (text.empty() || *end) return false;
            v.type = REG_DWORD;
            v.number = static_cast<DWORD>(n);
            return true;
        }
        return false;
    }

    bool Expect(const wchar_t* want)
    {
        std::wstring tok;
        bool quoted = false;
        return Next(tok, &quoted) && !quoted && tok == want;
    }

    void SkipSpace()
    {
        while (m_pos < m_text.size() && iswspace(m_text[m_pos])) ++m_pos;
    }

    wchar_t Peek()
    {
        SkipSpace();
        return m_pos < m_text.size() ? m_text[m_pos] : L'\0';
    }

    // One token: a brace, '=', a quoted string ('' inside stands for ') or
    // a bare word. Replacements are applied to both kinds of text.
    bool Next(std::wstring& tok, bool* quoted = nullptr)
    {
        SkipSpace();
        tok.clear();
        if (quoted) *quoted = false;
        if (m_pos >= m_text.size()) return false;
        wchar_t c = m_text[m_pos];
        if (c == L'{' || c == L'}' || c == L'=') {
            // A brace that opens a GUID name is part of a bare word.
            if (c == L'{' && m_pos + 1 < m_text.size() && iswxdigit(m_text[m_pos + 1])) return Word(tok);
            tok.assign(1, c);
            ++m_pos;
            return true;
        }
        if (c == L'\'') {
            if (quoted) *quoted = true;
            std::wstring raw;
            for (++m_pos; m_pos < m_text.size(); ++m_pos) {
                if (m_text[m_pos] == L'\'') {
                    if (m_pos + 1 < m_text.size() && m_text[m_pos + 1] == L'\'') {
                        raw += L'\'';
                        ++m_pos;
                        continue;
                    }
                    ++m_pos;
                    return Replace(raw, tok);
                }
                raw += m_text[m_pos];
            }
            return false;  // unterminated string
        }
        return Word(tok);
    }

    bool Word(std::wstring& tok)
    {
        std::wstring raw;
        while (m_pos < m_text.size()) {
            wchar_t c = m_text[m_pos];
            if (iswspace(c) || c == L'=' || c == L'\'') break;
            if ((c == L'{' && !raw.empty()) || (c == L'}' && raw.find(L'{') == std::wstring::npos)) break;
            raw += c;
            ++m_pos;
            if (c == L'}') break;
        }
        return Replace(raw, tok);
    }

    bool Replace(const std::wstring& raw, std::wstring& out) const
    {
        out.clear();
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] != L'%') {
                out += raw[i];
                continue;
            }
            size_t end = raw.find(L'%', i + 1);
            if (end == std::wstring::npos) return false;
            std::wstring name = raw.substr(i + 1, end - i - 1);
            if (name.empty()) {
                out += L'%';
            } else {
                bool found = false;
                for (const auto& r : m_reps) {
                    if (r.first == name) {
                        out += r.second;
                        found = true;
                        break;
                    }
                }
                if (!found) return false;
            }
            i = end;
        }
        return true;
    }

    const std::wstring& m_text;
    const Replacements& m_reps;
    size_t m_pos = 0;
};

HRESULT FromWin32(LONG err) { return err == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(err); }

struct KeyCloser {
    void operator()(HKEY k) const { RegCloseKey(k); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

HRESULT SetValue(HKEY key, const Value& v)
{
    const wchar_t* name = v.name.empty() ? nullptr : v.name.c_str();
    if (v.type == REG_DWORD)
        return FromWin32(RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v.number), sizeof(DWORD)));
    return FromWin32(RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.text.c_str()),
                                    static_cast<DWORD>((v.text.size() + 1) * sizeof(wchar_t))));
}

bool HasSubkeys(HKEY parent, const std::wstring& name)
{
    HKEY raw = nullptr;
    if (RegOpenKeyExW(parent, name.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS) return false;
    UniqueKey key(raw);
    DWORD subkeys = 0;
    RegQueryInfoKeyW(raw, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    return subkeys != 0;
}

HRESULT Install(HKEY parent, const std::vector<Key>& keys)
{
    for (const Key& k : keys) {
        if (k.mode == Mode::Delete || k.mode == Mode::ForceRemove) {
            LONG err = RegDeleteTreeW(parent, k.name.c_str());
            if (err != ERROR_SUCCESS && err != ERROR_FILE_NOT_FOUND) return FromWin32(err);
            if (k.mode == Mode::Delete) continue;
        }
        HKEY raw = nullptr;
        HRESULT hr = FromWin32(RegCreateKeyExW(parent, k.name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &raw, nullptr));
        if (FAILED(hr)) return hr;
        UniqueKey key(raw);
        if (k.hasDefault && FAILED(hr = SetValue(raw, k.defaultValue))) return hr;
        for (const Value& v : k.values)
            if (FAILED(hr = SetValue(raw, v))) return hr;
        if (FAILED(hr = Install(raw, k.subkeys))) return hr;
    }
    return S_OK;
}

// Removal goes on past keys that are already gone.
HRESULT Remove(HKEY parent, const std::vector<Key>& keys)
{
    for (const Key& k : keys) {
        if (k.mode == Mode::ForceRemove || k.mode == Mode::Delete) {
            LONG err = RegDeleteTreeW(parent, k.name.c_str());
            if (err != ERROR_SUCCESS && err != ERROR_FILE_NOT_FOUND) return FromWin32(err);
            continue;
        }
        HKEY raw = nullptr;
        LONG err = RegOpenKeyExW(parent, k.name.c_str(), 0, KEY_ALL_ACCESS, &raw);
        if (err == ERROR_FILE_NOT_FOUND) continue;
        if (err != ERROR_SUCCESS) return FromWin32(err);
        {
            UniqueKey key(raw);
            HRESULT hr = Remove(raw, k.subkeys);
            if (FAILED(hr)) return hr;
            for (const Value& v : k.values) RegDeleteValueW(raw, v.name.c_str());
        }
        if (k.mode == Mode::Plain && !HasSubkeys(parent, k.name)) {
            err = RegDeleteKeyW(parent, k.name.c_str());
            if (err != ERROR_SUCCESS && err != ERROR_FILE_NOT_FOUND) return FromWin32(err);
        }
    }
    return S_OK;
}

} // namespace

HRESULT RunRegistryScript(const std::wstring& script, const Replacements& replacements, bool install)
{
    std::vector<Root> roots;
    if (!Parser(script, replacements).Parse(roots)) return E_INVALIDARG;
    for (const Root& r : roots) {
        HRESULT hr = install ? Install(r.hkey, r.keys) : Remove(r.hkey, r.keys);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

} // namespace fw
