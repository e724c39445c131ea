// The grid as accessibility clients see it, driven through oleacc as they
// drive it: a hosted 4 x 3 grid with one fixed row and column.
#include <windows.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/com_ptr.h"
#include "kvadra.h"
#include "support/hosted_grid.h"

namespace {

VARIANT Id(long id)
{
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

long IdOf(int row, int col) { return row * 3 + col + 1; }

// WinEvents of the control window: event, object, child.
struct WinEvent {
    DWORD event;
    long child;
    bool operator==(const WinEvent& o) const { return event == o.event && child == o.child; }
};
std::vector<WinEvent> g_events;
HWND g_window = nullptr;

void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD)
{
    // The platform's own focus event for the window itself is not ours.
    if (hwnd == g_window && object == OBJID_CLIENT && !(event == EVENT_OBJECT_FOCUS && child == CHILDID_SELF))
        g_events.push_back(WinEvent{event, child});
}

class Accessibility : public test::HostedGrid {
protected:
    void SetUp() override
    {
        HostedGrid::SetUp();
        if (HasFatalFailure()) return;
        grid->put_Rows(4);
        grid->put_Cols(3);
        Text(0, 1, L"Qty");
        Text(1, 0, L"Apples");
        Text(3, 0, L"Pears");
        test::Region(grid.Get(), 1, 1);
        grid->put_CType(4);  // Double, shown with its number pattern
        grid->put_NUMFormat(fw::Bstr(L"#,##0.00").Get());
        VARIANT v = {};
        v.vt = VT_R8;
        v.dblVal = 1234.5;
        grid->put_Value(v);
        test::Region(grid.Get(), 3, 2);
        grid->put_Editable(VARIANT_FALSE);
        grid->put_Hint(fw::Bstr(L"sealed").Get());
        // Row 3 starts at the window's bottom edge: off the screen, while
        // row 2 shows whole and needs no scrolling to.
        RECT client;
        GetClientRect(control, &client);
        tall = client.bottom - 80;
        grid->put_RowHeight(2, tall);
        ASSERT_HRESULT_SUCCEEDED(
            AccessibleObjectFromWindow(control, OBJID_CLIENT, IID_IAccessible, acc.PutVoid()));
    }
    void TearDown() override
    {
        acc.Reset();
        HostedGrid::TearDown();
    }
    void Text(int row, int col, const wchar_t* text)
    {
        test::Region(grid.Get(), row, col);
        VARIANT v = {};
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocString(text);
        grid->put_Value(v);
        VariantClear(&v);
    }
    std::wstring Read(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), long id)
    {
        fw::Bstr s;
        (acc.Get()->*get)(Id(id), s.Put());
        return s.Get() ? s.Get() : L"";
    }
    long Long(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), long id)
    {
        fw::Variant v;
        (acc.Get()->*get)(Id(id), &v);
        return v.Ref().vt == VT_I4 ? v.Ref().lVal : -1;
    }
    POINT Screen(int x, int y)
    {
        POINT pt = {x, y};
        ClientToScreen(control, &pt);
        return pt;
    }

    fw::ComPtr<IAccessible> acc;
    int tall = 0;
};

TEST_F(Accessibility, ReadsRolesNamesValuesStatesAndLocations)
{
    SetFocus(control);
    ASSERT_HRESULT_SUCCEEDED(acc->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, Id(IdOf(1, 1))));
    ASSERT_HRESULT_SUCCEEDED(acc->accSelect(SELFLAG_EXTENDSELECTION, Id(IdOf(2, 2))));

    constexpr long kCell = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    struct Row {
        int row, col;
        long role;
        const wchar_t* name;
        const wchar_t* value;
        long state;
        const wchar_t* description;
    } rows[] = {
        {0, 0, ROLE_SYSTEM_COLUMNHEADER, L"", L"", 0, L""},
        {0, 1, ROLE_SYSTEM_COLUMNHEADER, L"Qty", L"Qty", 0, L""},
        {1, 0, ROLE_SYSTEM_ROWHEADER, L"Apples", L"Apples", 0, L""},
        {3, 0, ROLE_SYSTEM_ROWHEADER, L"Pears", L"Pears", STATE_SYSTEM_OFFSCREEN, L""},
        {1, 1, ROLE_SYSTEM_CELL, L"Qty, Apples", L"1,234.50", kCell | STATE_SYSTEM_SELECTED, L""},
        {1, 2, ROLE_SYSTEM_CELL, L"Apples", L"", kCell | STATE_SYSTEM_SELECTED, L""},
        {2, 1, ROLE_SYSTEM_CELL, L"Qty", L"", kCell | STATE_SYSTEM_SELECTED, L""},
        {2, 2, ROLE_SYSTEM_CELL, L"Row 2, Column 2", L"",
         kCell | STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED, L""},
        {3, 2, ROLE_SYSTEM_CELL, L"Pears", L"", kCell | STATE_SYSTEM_READONLY | STATE_SYSTEM_OFFSCREEN, L"sealed"},
    };
    const int lefts[] = {0, 50, 100}, tops[] = {0, 40, 80, 80 + tall}, heights[] = {40, 40, tall, 40};
    for (const Row& r : rows) {
        const long id = IdOf(r.row, r.col);
        SCOPED_TRACE(testing::Message() << "cell " << r.row << "," << r.col);
        EXPECT_EQ(r.role, Long(&IAccessible::get_accRole, id));
        EXPECT_EQ(r.name, Read(&IAccessible::get_accName, id));
        EXPECT_EQ(r.value, Read(&IAccessible::get_accValue, id));
        EXPECT_EQ(r.state, Long(&IAccessible::get_accState, id));
        EXPECT_EQ(r.description, Read(&IAccessible::get_accDescription, id));
        long x = 0, y = 0, w = 0, h = 0;
        ASSERT_HRESULT_SUCCEEDED(acc->accLocation(&x, &y, &w, &h, Id(id)));
        const POINT at = Screen(lefts[r.col], tops[r.row]);
        EXPECT_EQ((std::vector<long>{at.x, at.y, 50, heights[r.row]}), (std::vector<long>{x, y, w, h}));
    }

    // The table itself, its children, focus and selection.
    EXPECT_EQ(ROLE_SYSTEM_TABLE, Long(&IAccessible::get_accRole, CHILDID_SELF));
    EXPECT_EQ(STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED, Long(&IAccessible::get_accState, CHILDID_SELF));
    EXPECT_EQ(L"", Read(&IAccessible::get_accName, CHILDID_SELF));  // the container has no DisplayName
    VARIANT children[13];
    LONG got = 0;
    ASSERT_HRESULT_SUCCEEDED(AccessibleChildren(acc.Get(), 0, 13, children, &got));
    ASSERT_EQ(12, got);
    for (LONG i = 0; i < got; ++i) EXPECT_EQ(i + 1, children[i].vt == VT_I4 ? children[i].lVal : -1) << i;
    fw::Variant focus;
    ASSERT_HRESULT_SUCCEEDED(acc->get_accFocus(&focus));
    EXPECT_EQ(IdOf(2, 2), focus.Ref().lVal);
    fw::Variant selection;
    ASSERT_HRESULT_SUCCEEDED(acc->get_accSelection(&selection));
    ASSERT_EQ(VT_UNKNOWN, selection.Ref().vt);
    fw::ComPtr<IEnumVARIANT> cells;
    ASSERT_HRESULT_SUCCEEDED(selection.Ref().punkVal->QueryInterface(IID_IEnumVARIANT, cells.PutVoid()));
    VARIANT picked[5];
    ULONG n = 0;
    EXPECT_EQ(S_FALSE, cells->Next(5, picked, &n));
    std::vector<long> ids;
    for (ULONG i = 0; i < n; ++i) ids.push_back(picked[i].lVal);
    EXPECT_EQ((std::vector<long>{IdOf(1, 1), IdOf(2, 1), IdOf(1, 2), IdOf(2, 2)}), ids);

    // Hit tests: a cell, the window outside the cells, outside the window.
    fw::ComPtr<IAccessible> hit;
    fw::Variant child;
    const POINT inCell = Screen(125, 60);
    ASSERT_HRESULT_SUCCEEDED(AccessibleObjectFromPoint(inCell, hit.Put(), &child));
    EXPECT_EQ(IdOf(1, 2), child.Ref().lVal);
    child.Clear();
    const POINT beside = Screen(300, 20);
    EXPECT_HRESULT_SUCCEEDED(acc->accHitTest(beside.x, beside.y, &child));
    EXPECT_EQ(CHILDID_SELF, child.Ref().lVal);
    child.Clear();
    EXPECT_EQ(S_FALSE, acc->accHitTest(-5000, -5000, &child));
    EXPECT_EQ(VT_EMPTY, child.Ref().vt);

    // Outside the table, and while the window lacks the focus.
    fw::Bstr name;
    EXPECT_EQ(E_INVALIDARG, acc->get_accName(Id(13), name.Put()));
    EXPECT_EQ(E_INVALIDARG, acc->accSelect(SELFLAG_ADDSELECTION, Id(IdOf(1, 1))));
    SetFocus(nullptr);
    child.Clear();
    EXPECT_EQ(S_FALSE, acc->get_accFocus(&child));
    EXPECT_EQ(VT_EMPTY, child.Ref().vt);
    grid->put_Enabled(VARIANT_FALSE);
    EXPECT_EQ(STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_UNAVAILABLE, Long(&IAccessible::get_accState, CHILDID_SELF));
}

TEST_F(Accessibility, NavigatesByCellsAndStopsAtTheEdges)
{
    struct Row {
        long from, dir, to;  // to 0: nothing there
    } rows[] = {
        {CHILDID_SELF, NAVDIR_FIRSTCHILD, 1}, {CHILDID_SELF, NAVDIR_LASTCHILD, 12},
        {CHILDID_SELF, NAVDIR_NEXT, 0},       {IdOf(1, 1), NAVDIR_UP, IdOf(0, 1)},
        {IdOf(1, 1), NAVDIR_DOWN, IdOf(2, 1)}, {IdOf(1, 1), NAVDIR_LEFT, IdOf(1, 0)},
        {IdOf(1, 1), NAVDIR_RIGHT, IdOf(1, 2)}, {IdOf(1, 2), NAVDIR_NEXT, IdOf(2, 0)},
        {IdOf(2, 0), NAVDIR_PREVIOUS, IdOf(1, 2)}, {1, NAVDIR_UP, 0},
        {1, NAVDIR_LEFT, 0},                   {1, NAVDIR_PREVIOUS, 0},
        {12, NAVDIR_DOWN, 0},                  {12, NAVDIR_RIGHT, 0},
        {12, NAVDIR_NEXT, 0},                  {IdOf(1, 1), NAVDIR_FIRSTCHILD, 0},
    };
    for (const Row& r : rows) {
        fw::Variant end;
        const HRESULT hr = acc->accNavigate(r.dir, Id(r.from), &end);
        EXPECT_EQ(r.to ? S_OK : S_FALSE, hr) << r.from << " dir " << r.dir;
        EXPECT_EQ(r.to ? VT_I4 : VT_EMPTY, end.Ref().vt) << r.from << " dir " << r.dir;
        EXPECT_EQ(r.to, end.Ref().vt == VT_I4 ? end.Ref().lVal : 0) << r.from << " dir " << r.dir;
    }
    fw::Variant end;
    EXPECT_EQ(E_INVALIDARG, acc->accNavigate(NAVDIR_UP, Id(13), &end));
    EXPECT_EQ(E_INVALIDARG, acc->accNavigate(NAVDIR_UP, Id(-1), &end));
}

TEST_F(Accessibility, RaisesOneEventPerChangeClicksLikeTheMouseAndOutlivesTheControl)
{
    sink.Events().clear();
    SetFocus(control);
    g_window = control;
    g_events.clear();
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_VALUECHANGE, nullptr, OnWinEvent,
                                         GetCurrentProcessId(), GetCurrentThreadId(), WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(nullptr, hook);
    // Events arrive while the thread looks at its messages.
    auto await = [&](std::vector<WinEvent> expected, const char* step) {
        MSG msg;
        for (int i = 0; i < 100000 && g_events.size() < expected.size(); ++i)
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        EXPECT_EQ(expected, g_events) << step;
        g_events.clear();
    };
    const WinEvent selection = {EVENT_OBJECT_SELECTIONWITHIN, CHILDID_SELF};
    const WinEvent reorder = {EVENT_OBJECT_REORDER, CHILDID_SELF};

    ASSERT_HRESULT_SUCCEEDED(acc->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, Id(IdOf(1, 2))));
    await({{EVENT_OBJECT_FOCUS, IdOf(1, 2)}, selection}, "select");
    std::vector<std::string> fired;
    for (const std::string& e : sink.Events())
        if (e != "15()") fired.push_back(e);
    EXPECT_EQ((std::vector<std::string>{"14(-1,-1)", "13(1,2)", "7()", "10(2,1)", "11()"}), fired);

    SendMessageW(control, WM_KEYDOWN, VK_DOWN, 0);
    SendMessageW(control, WM_KEYDOWN, VK_LEFT, 0);
    // Each key selects the cell it moves to.
    await({selection, {EVENT_OBJECT_FOCUS, IdOf(2, 2)}, selection, {EVENT_OBJECT_FOCUS, IdOf(2, 1)}}, "arrow keys");
    SetFocus(host.Frame());
    SetFocus(control);
    await({{EVENT_OBJECT_FOCUS, IdOf(2, 1)}}, "focus back with a current cell");
    fw::ComPtr<IAccessible> focused;
    fw::Variant child;
    ASSERT_HRESULT_SUCCEEDED(AccessibleObjectFromEvent(control, OBJID_CLIENT, IdOf(2, 1), focused.Put(), &child));
    fw::Bstr name;
    ASSERT_HRESULT_SUCCEEDED(focused->get_accName(child.Ref(), name.Put()));
    EXPECT_STREQ(L"Qty", name.Get());

    ASSERT_HRESULT_SUCCEEDED(acc->accSelect(SELFLAG_EXTENDSELECTION, Id(IdOf(1, 2))));
    await({{EVENT_OBJECT_FOCUS, IdOf(1, 2)}, selection}, "extend over four cells");
    Text(2, 2, L"x");
    await({{EVENT_OBJECT_VALUECHANGE, IdOf(2, 2)}}, "one value");
    grid->put_CRegionLeftTopX(1);
    grid->put_Value(Id(7));
    await({reorder}, "a region's values");
    grid->InsertRow(1);
    await({selection, reorder}, "a row inserted");

    test::Region(grid.Get(), 1, 2);
    grid->put_TypeEx(8);  // a push button of its own
    sink.Events().clear();
    EXPECT_HRESULT_SUCCEEDED(acc->accDoDefaultAction(Id(IdOf(1, 2))));
    EXPECT_EQ(1u, std::count(sink.Events().begin(), sink.Events().end(), "4(1,2)"));
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, acc->accDoDefaultAction(Id(IdOf(2, 2))));
    UnhookWinEvent(hook);

    // An object that outlives the control, and its selection, answer "not connected".
    acc->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, Id(IdOf(1, 1)));
    acc->accSelect(SELFLAG_EXTENDSELECTION, Id(IdOf(2, 2)));
    fw::Variant selected;
    ASSERT_HRESULT_SUCCEEDED(acc->get_accSelection(&selected));
    ASSERT_EQ(VT_UNKNOWN, selected.Ref().vt);
    grid.Reset();
    host.Destroy();
    long n = 0;
    fw::Bstr text;
    fw::Variant v;
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, acc->get_accChildCount(&n));
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, acc->get_accName(Id(1), text.Put()));
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, acc->get_accState(Id(CHILDID_SELF), &v));
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, acc->accLocation(&n, &n, &n, &n, Id(1)));
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, acc->accHitTest(0, 0, &v));
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, acc->accSelect(SELFLAG_TAKEFOCUS, Id(5)));
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, acc->accDoDefaultAction(Id(5)));
    fw::ComPtr<IEnumVARIANT> cells;
    ASSERT_HRESULT_SUCCEEDED(selected.Ref().punkVal->QueryInterface(IID_IEnumVARIANT, cells.PutVoid()));
    ULONG got = 0;
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, cells->Next(1, v.Ptr(), &got));
}

} // namespace
