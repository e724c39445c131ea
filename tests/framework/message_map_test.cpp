// Window mechanics of the framework. Message tables: the handled mark,
// repeated entries, alternate tables of contained windows, and numbers beyond
// the declared tables. Property pages: the dialog's life, the objects, the
// dirty flag and Apply.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/property_page.h"
#include "framework/window.h"
#include "support/recording_site.h"

namespace {

constexpr UINT kTwice = WM_APP + 1;   // first entry passes it on
constexpr UINT kOnce = WM_APP + 2;    // first entry keeps it
constexpr UINT kRangeFirst = WM_APP + 10;

// Captures OutputDebugStringA text, which the system raises as an exception
// that a vectored handler sees first.
struct DebugOutput {
    DebugOutput() { s_lines.clear(); m_handler = AddVectoredExceptionHandler(1, Handler); }
    ~DebugOutput() { RemoveVectoredExceptionHandler(m_handler); }
    static LONG CALLBACK Handler(EXCEPTION_POINTERS* ep)
    {
        const EXCEPTION_RECORD* r = ep->ExceptionRecord;
        if (r->ExceptionCode == DBG_PRINTEXCEPTION_C && r->NumberParameters >= 2)
            s_lines.emplace_back(reinterpret_cast<const char*>(r->ExceptionInformation[1]));
        return EXCEPTION_CONTINUE_SEARCH;
    }
    static inline std::vector<std::string> s_lines;
    void* m_handler;
};

class Host : public fw::MessageMap {
public:
    BOOL ProcessWindowMessage(HWND, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result, DWORD mapId) override
    {
        return fw::DispatchMessageTable(this, kTable, 2, msg, wp, lp, result, mapId);
    }

    LRESULT PassOn(UINT, WPARAM, LPARAM, BOOL& handled) { calls.push_back("pass"); handled = FALSE; return 1; }
    LRESULT Keep(UINT, WPARAM, LPARAM, BOOL&) { calls.push_back("keep"); return 42; }
    LRESULT Range(UINT msg, WPARAM, LPARAM, BOOL&)
    {
        return calls.push_back("range" + std::to_string(msg - kRangeFirst)), 0;
    }
    // Table 1 (a contained EDIT): swallow 'x', let everything else through.
    LRESULT EditChar(UINT, WPARAM wp, LPARAM, BOOL& handled)
    {
        chars += static_cast<char>(wp);
        handled = wp == 'x';
        return 0;
    }

    std::vector<std::string> calls;
    std::string chars;

private:
    static const fw::MessageEntry<Host> kTable[7];
};

const fw::MessageEntry<Host> Host::kTable[7] = {
    FW_MESSAGE(0, WM_CREATE, Host, PassOn),
    FW_MESSAGE(0, kTwice, Host, PassOn),
    FW_MESSAGE(0, kOnce, Host, Keep),
    FW_MESSAGE(0, kTwice, Host, Keep),
    FW_MESSAGE(0, kOnce, Host, PassOn),
    FW_MESSAGE_RANGE(0, kRangeFirst, kRangeFirst + 3, Host, Range),
    FW_MESSAGE(1, WM_CHAR, Host, EditChar),
};

TEST(MessageTable, HandledMarkDecidesWhetherTheNextEntryRuns)
{
    Host host;
    LRESULT r = 0;
    EXPECT_TRUE(host.ProcessWindowMessage(nullptr, kTwice, 0, 0, r, 0));
    EXPECT_EQ(42, r);
    EXPECT_EQ((std::vector<std::string>{"pass", "keep"}), host.calls);

    host.calls.clear();
    EXPECT_TRUE(host.ProcessWindowMessage(nullptr, kOnce, 0, 0, r, 0));
    EXPECT_EQ((std::vector<std::string>{"keep"}), host.calls);

    host.calls.clear();
    EXPECT_TRUE(host.ProcessWindowMessage(nullptr, kRangeFirst + 3, 0, 0, r, 0));
    EXPECT_FALSE(host.ProcessWindowMessage(nullptr, kRangeFirst + 4, 0, 0, r, 0));
    EXPECT_EQ((std::vector<std::string>{"range3"}), host.calls);

    // A message no entry takes, and an entry of another table.
    EXPECT_FALSE(host.ProcessWindowMessage(nullptr, WM_APP + 99, 0, 0, r, 0));
    EXPECT_FALSE(host.ProcessWindowMessage(nullptr, kTwice, 0, 0, r, 1));

    // A table number beyond the declared ones is reported and left unhandled;
    // the highest declared number is still served.
    DebugOutput out;
    r = 5;
    EXPECT_FALSE(host.ProcessWindowMessage(nullptr, WM_CHAR, 'a', 0, r, 7));
    EXPECT_EQ(5, r);
    EXPECT_TRUE(host.chars.empty());
    EXPECT_EQ(std::vector<std::string>{"Invalid message map ID (7)\n"}, DebugOutput::s_lines);
    EXPECT_FALSE(host.ProcessWindowMessage(nullptr, WM_CHAR, 'a', 0, r, 2));
    EXPECT_EQ(1u, DebugOutput::s_lines.size());
}

std::string EditText(HWND edit)
{
    char buf[64] = {};
    GetWindowTextA(edit, buf, sizeof buf);
    return buf;
}

// A window of our own class routes to table 0; a contained child goes to its
// alternate table first.
TEST(MessageTable, OwnWindowAndContainedChildRouteToTheirTables)
{
    Host host;
    fw::WindowClass cls(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, COLOR_WINDOW + 1, IDC_ARROW);
    fw::Window parent(host);
    HWND hwnd = parent.Create(cls, nullptr, {0, 0, 200, 100}, WS_POPUP);
    ASSERT_NE(nullptr, hwnd);
    EXPECT_EQ(std::vector<std::string>{"pass"}, host.calls) << "the table sees WM_CREATE";
    EXPECT_EQ(static_cast<ULONG_PTR>(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS), GetClassLongPtrW(hwnd, GCL_STYLE));
    EXPECT_EQ(42, SendMessageW(hwnd, kTwice, 0, 0));

    fw::ContainedWindow edit(L"EDIT", host, 1);
    HWND hedit = edit.Create(parent.Handle(), {0, 0, 100, 20}, L"", WS_CHILD | WS_VISIBLE);
    ASSERT_NE(nullptr, hedit);
    SendMessageW(hedit, WM_CHAR, 'a', 0);
    SendMessageW(hedit, WM_CHAR, 'x', 0);  // swallowed by the table
    SendMessageW(hedit, WM_CHAR, 'b', 0);
    EXPECT_EQ("axb", host.chars);
    EXPECT_EQ("ab", EditText(hedit));

    // An existing window can be subclassed and handed back.
    fw::ContainedWindow second(L"EDIT", host, 1);
    HWND plain = CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 30, 100, 20, parent.Handle(), nullptr, nullptr, nullptr);
    ASSERT_TRUE(second.Subclass(plain));
    SendMessageW(plain, WM_CHAR, 'x', 0);
    EXPECT_EQ("", EditText(plain));
    EXPECT_EQ(plain, second.Unsubclass());
    SendMessageW(plain, WM_CHAR, 'x', 0);
    EXPECT_EQ("x", EditText(plain));

    // Destroying the parent destroys the child and leaves both wrappers empty.
    parent.Destroy();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(nullptr, parent.Handle());
    EXPECT_EQ(nullptr, edit.Handle());
}

class TestPage : public fw::PropertyPage {
public:
    TestPage() : fw::PropertyPage({500, 501, 502, 503}) {}
    STDMETHOD(QueryInterface)(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }

    using fw::PropertyPage::Objects;
    using fw::PropertyPage::SetDirty;
    HRESULT OnApply() override { ++applies; return applyResult; }
    INT_PTR OnDialogMessage(UINT msg, WPARAM, LPARAM) override { inits += msg == WM_INITDIALOG; return FALSE; }

    int applies = 0;
    int inits = 0;
    HRESULT applyResult = S_OK;
};

using Site = test::RecordingPageSite;

// The dialog lives from Activate to Deactivate (the page information from the
// resources is checked on the control's own pages).
TEST(PropertyPage, DialogLifeAndTheDirtyFlagThatTellsTheSiteOnceAndApplyClears)
{
    TestPage page;
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(E_UNEXPECTED, page.Show(SW_SHOW));
    RECT rc = {5, 6, 305, 206};
    ASSERT_HRESULT_SUCCEEDED(page.Activate(parent, &rc, TRUE));
    HWND dialog = page.Handle();
    EXPECT_EQ(1, page.inits);
    EXPECT_EQ(parent, GetParent(dialog));
    EXPECT_EQ(E_UNEXPECTED, page.Activate(parent, &rc, TRUE));
    ASSERT_HRESULT_SUCCEEDED(page.Deactivate());
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(E_UNEXPECTED, page.Deactivate());
    DestroyWindow(parent);

    Site site;
    ASSERT_HRESULT_SUCCEEDED(page.SetPageSite(&site));
    EXPECT_EQ(E_UNEXPECTED, page.SetPageSite(&site));
    EXPECT_EQ(S_FALSE, page.IsPageDirty());

    page.SetDirty(true);
    page.SetDirty(true);
    EXPECT_EQ(std::vector<DWORD>{PROPPAGESTATUS_DIRTY}, site.changes);
    EXPECT_EQ(S_OK, page.IsPageDirty());

    page.applyResult = E_FAIL;
    EXPECT_EQ(E_FAIL, page.Apply());
    EXPECT_EQ(S_OK, page.IsPageDirty());  // a failed Apply leaves it changed
    page.applyResult = S_OK;
    EXPECT_EQ(S_OK, page.Apply());
    EXPECT_EQ(2, page.applies);
    EXPECT_EQ(S_FALSE, page.IsPageDirty());
    page.SetDirty(true);
    EXPECT_EQ(2u, site.changes.size());

    // The site and the objects are held until replaced.
    Site a, b;
    IUnknown* objs[] = {&a, &b};
    ASSERT_HRESULT_SUCCEEDED(page.SetObjects(2, objs));
    EXPECT_EQ(2u, page.Objects().size());
    EXPECT_EQ(1u, a.Refs());
    ASSERT_HRESULT_SUCCEEDED(page.SetObjects(0, nullptr));
    EXPECT_TRUE(a.Refs() == 0 && b.Refs() == 0);
    ASSERT_HRESULT_SUCCEEDED(page.SetPageSite(nullptr));
    EXPECT_EQ(0u, site.Refs());
}

} // namespace
