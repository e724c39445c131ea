// What the three property pages share: a page is a dialog template plus a
// table saying which control shows which property of the control, and how.
// CTablePage walks that table to fill the dialog, to notice changes and to
// write the values back on Apply.
#pragma once

#include <windows.h>
#include <cstddef>

#include "kvadra.h"
#include "framework/property_page.h"

namespace pages {

using GetInt = HRESULT (STDMETHODCALLTYPE ITessera::*)(int*);
using PutInt = HRESULT (STDMETHODCALLTYPE ITessera::*)(int);
using GetBool = HRESULT (STDMETHODCALLTYPE ITessera::*)(VARIANT_BOOL*);
using PutBool = HRESULT (STDMETHODCALLTYPE ITessera::*)(VARIANT_BOOL);
using GetText = HRESULT (STDMETHODCALLTYPE ITessera::*)(BSTR*);
using PutText = HRESULT (STDMETHODCALLTYPE ITessera::*)(BSTR);

// How a control shows its property.
enum class Shows {
    Count,   // edit, unsigned decimal text; applied as a signed number
    Number,  // edit, signed decimal text
    List,    // drop-down list, the selected index
    Check,   // check box, non-zero when checked; applied as 1 or 0
    Flag,    // check box, one bit of an integer property
    Text,    // edit, the string
    Value,   // edit, the cell value as text; applied as a string value
};

struct Field {
    int id;
    Shows how;
    GetInt getInt = nullptr;
    PutInt putInt = nullptr;
    GetBool getBool = nullptr;
    PutBool putBool = nullptr;
    GetText getText = nullptr;
    PutText putText = nullptr;
    const wchar_t* const* entries = nullptr;  // list entries
    int entryCount = 0;
    int bit = 0;  // Flag
};

constexpr Field Count(int id, GetInt g, PutInt p) { return {id, Shows::Count, g, p}; }
constexpr Field Number(int id, GetInt g, PutInt p) { return {id, Shows::Number, g, p}; }
template <size_t N>
constexpr Field List(int id, GetInt g, PutInt p, const wchar_t* const (&entries)[N])
{
    return {id, Shows::List, g, p, nullptr, nullptr, nullptr, nullptr, entries, static_cast<int>(N)};
}
constexpr Field Check(int id, GetBool g, PutBool p) { return {id, Shows::Check, nullptr, nullptr, g, p}; }
// Flags of one property stand next to each other in the table: Apply
// gathers them and writes the property once.
constexpr Field Flag(int id, GetInt g, PutInt p, int bit)
{
    return {id, Shows::Flag, g, p, nullptr, nullptr, nullptr, nullptr, nullptr, 0, bit};
}
constexpr Field Text(int id, GetText g, PutText p) { return {id, Shows::Text, nullptr, nullptr, nullptr, nullptr, g, p}; }
constexpr Field ValueText(int id) { return {id, Shows::Value}; }

struct PageTable {
    fw::PropertyPage::Resources res;
    const Field* fields;  // in the order Apply writes them
    size_t fieldCount;
    const int* readOrder;  // control ids in the order the page reads them
    size_t readCount;
    const char* applyTrace;  // debugger line written by every Apply
    int ruleSource;          // the control whose change re-runs the enabling rule (0: none)
    void (*rule)(HWND dialog);
};

// Leading blanks, one sign, then decimal digits up to the first other
// character; 0 without digits. Values beyond int are clamped.
int ParseInt(const wchar_t* text);

class CTablePage : public fw::PropertyPage {
public:
    explicit CTablePage(const PageTable& table) : fw::PropertyPage(table.res), m_table(table) {}

protected:
    INT_PTR OnDialogMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    HRESULT OnApply() override;

private:
    const Field* Find(int id) const;
    void Load();
    void Show(ITessera* grid, const Field& f, int flags);
    void Write(ITessera* grid, const Field& f, int flags) const;
    void RunRule();

    const PageTable& m_table;
    bool m_loading = false;
};

} // namespace pages
