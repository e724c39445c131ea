// In-place editors: which window a cell gets, what committing stores, the
// events around both, push buttons, and hosts' code re-entering from sinks.
#include <windows.h>
#include <gtest/gtest.h>
#include <commctrl.h>
#include <ocidl.h>

#include <functional>
#include <string>
#include <vector>

#include "interaction/InPlaceEditor.h"
#include "support/grid_helpers.h"
#include "support/recording_site.h"
#include "view/windowed_grid.h"

namespace {

using namespace interaction;
using Events = std::vector<std::string>;

// --- plain functions ----------------------------------------------------------

TEST(PlanEditor, WindowStyleAndRectangleFollowTheCell)
{
    const RECT cell = {100, 40, 179, 59};  // 80 x 20, inclusive
    struct Row {
        int ctype, typeEx, align;
        bool multiline;
        EditorKind kind;
        DWORD style;
        RECT rect;
        RECT button;  // all zero: none
    } rows[] = {
        {6, 2, 0, false, EditorKind::Text, 0x50800080, cell, {}},
        {6, 2, 1, true, EditorKind::Text, 0x508000C4 | ES_RIGHT, cell, {}},
        {4, 10, 2, false, EditorKind::Text, 0x50800080 | ES_CENTER, cell, {184, 40, 204, 60}},
        {0, 4, 0, false, EditorKind::BooleanList, 0x40A00043, {100, 40, 180, 100}, {}},
        {0, 12, 0, false, EditorKind::BooleanList, 0x40A00043, {100, 40, 180, 100}, {182, 40, 205, 63}},
        {0, 10, 0, false, EditorKind::None, 0, {100, 40, 155, 59}, {157, 40, 180, 63}},
        {2, 4, 0, false, EditorKind::ChoiceList, 0x40A00043, {100, 40, 180, 200}, {}},
        {7, 6, 0, false, EditorKind::ChoiceList, 0x40A00042, {100, 40, 180, 200}, {}},
        {7, 2, 0, false, EditorKind::UpDownDate, 0x50800001, {100, 40, 180, 59}, {}},
        {7, 1, 0, false, EditorKind::MonthCalendar, 0x40800000, cell, {}},
        {7, 5, 0, false, EditorKind::DropDownDate, 0x50800000, {100, 40, 200, 64}, {}},
        {7, 13, 0, false, EditorKind::DropDownDate, 0x50800000, {100, 40, 200, 64}, {202, 40, 225, 63}},
        {6, 0, 0, false, EditorKind::None, 0, {100, 40, 155, 59}, {}},
        {6, 8, 0, false, EditorKind::None, 0, {100, 40, 155, 59}, {}},
        {9, 2, 0, false, EditorKind::None, 0, cell, {}},
    };
    for (const Row& r : rows) {
        const EditorPlan plan = PlanEditor(r.ctype, r.typeEx, r.align, r.multiline, cell);
        const std::string at = std::to_string(r.ctype) + "/" + std::to_string(r.typeEx);
        EXPECT_EQ(r.kind, plan.kind) << at;
        EXPECT_EQ(r.style, plan.style) << at;
        EXPECT_TRUE(EqualRect(&r.rect, &plan.rect)) << at;
        const bool button = r.button.right != 0;
        EXPECT_EQ(button, plan.button) << at;
        if (button) {
            RECT b = EditorButtonRect(plan, plan.rect);
            EXPECT_TRUE(EqualRect(&r.button, &b)) << at << " " << b.left << "," << b.top << "," << b.right;
        }
    }
}

TEST(PlaceCalendar, CentredBelowTheCellAndKeptInside)
{
    const SIZE size = {180, 150}, client = {400, 300};
    struct Row {
        RECT cell;
        RECT want;
    } rows[] = {
        {{100, 40, 179, 59}, {49, 59, 229, 209}},
        {{320, 40, 399, 59}, {220, 59, 400, 209}},   // right edge
        {{100, 240, 179, 259}, {49, 150, 229, 300}},  // bottom edge
        {{0, 40, 60, 59}, {0, 59, 180, 209}},         // left edge
    };
    for (const Row& r : rows) {
        RECT got = PlaceCalendar(r.cell, size, client);
        EXPECT_TRUE(EqualRect(&r.want, &got)) << got.left << "," << got.top << "," << got.right << "," << got.bottom;
    }
}

TEST(AcceptableEditText, JudgedByTheCellType)
{
    struct Row {
        const wchar_t* text;
        int ctype;
        bool ok;
    } rows[] = {
        {L"", 2, true},      {L"12", 2, true},     {L"12a", 2, false},  {L"-", 2, false},
        {L"2.5", 1, true},  {L"2.5", 4, true},    {L"x", 6, true},     {L"x", 0, false},
        {L"1", -1, true},    {L"2000-01-31", 7, true}, {L"\u0416", 6, true}, {L"\u0416", 4, false},
    };
    for (const Row& r : rows) EXPECT_EQ(r.ok, AcceptableEditText(r.text, r.ctype)) << r.ctype;
}

TEST(EditorValue, DatesByEditorKind)
{
    EditorReading reading;
    fw::Variant v;
    // The calendar keeps the date and the hour; the drop-down picker only the date.
    reading.time = {2001, 2, 0, 3, 25, 30, 15, 0};
    ASSERT_TRUE(EditorValue(EditorKind::MonthCalendar, reading, v.Ref()));
    EXPECT_DOUBLE_EQ(36925.0, v.Ptr()->date);  // 3 February 2001; hour 25 is dropped
    reading.time.wHour = 12;
    ASSERT_TRUE(EditorValue(EditorKind::MonthCalendar, reading, v.Ref()));
    EXPECT_DOUBLE_EQ(36925.5, v.Ptr()->date);
    ASSERT_TRUE(EditorValue(EditorKind::DropDownDate, reading, v.Ref()));
    EXPECT_DOUBLE_EQ(36925.0, v.Ptr()->date);
}

// --- the control --------------------------------------------------------------

const char* EventName(DISPID id)
{
    switch (id) {
    case 1: return "BeforeEdit";
    case 2: return "ValidateEdit";
    case 3: return "AfterEdit";
    case 4: return "ButtonClick";
    case 12: return "AfterCalendar";
    case 15: return "ViewChange";
    default: return "Other";
    }
}

// Records events with their texts and lets a test answer or act inside them.
class Sink final : public test::Counted<IDispatch> {
public:
    Events events;
    // Called with the event's name and its cancel flag (null when none).
    std::function<void(const std::string&, SHORT*)> act;

    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, DIID__ITesseraEvents)) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD(GetTypeInfoCount)(UINT* n) override { return test::NoTypeInfo(n); }
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo** info) override { return test::Cleared(info, E_NOTIMPL); }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHOD(Invoke)(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override
    {
        const std::string name = EventName(id);
        std::string event = name + "(";
        SHORT* cancel = nullptr;
        for (UINT i = params->cArgs; i-- > 0;) {
            const VARIANT& v = params->rgvarg[i];
            if (v.vt == VT_I2) event += std::to_string(v.iVal);
            else if (v.vt == VT_BSTR) event += "'" + Narrow(v.bstrVal) + "'";
            else if (v.vt == (VT_BYREF | VT_I2)) cancel = v.piVal, event += "?";
            if (i) event += ",";
        }
        if (id != 15) events.push_back(event + ")");
        else events.push_back("ViewChange");
        if (act) act(name, cancel);
        return S_OK;
    }

private:
    static std::string Narrow(BSTR s)
    {
        std::string out;
        for (UINT i = 0; s && i < SysStringLen(s); ++i) out += s[i] < 128 ? static_cast<char>(s[i]) : '#';
        return out;
    }
};

class Editing : public ::testing::Test {
protected:
    void SetUp() override
    {
        hwnd = windowed.Window();
        grid = windowed.Itf();
        ctl = windowed.operator->();
        grid->put_Rows(8);
        grid->put_Cols(5);
        for (int c = 0; c < 5; ++c) grid->put_ColWidth(c, 80);
        for (int r = 0; r < 8; ++r) grid->put_RowHeight(r, 20);
        ASSERT_HRESULT_SUCCEEDED(events.Advise(grid, &sink));
    }
    void TearDown() override
    {
        sink.act = nullptr;
        grid->HideEdit();
        events.Unadvise();
    }

    void At(int row, int col) { test::Region(grid, row, col); }
    void Setup(int row, int col, int ctype, int typeEx)
    {
        At(row, col);
        grid->put_CType(ctype);
        grid->put_TypeEx(typeEx);
    }
    // Opens the editor on the cell as the user's keys and clicks do.
    HWND Open(int row, int col)
    {
        ctl->SetFocusCell(row, col);
        sink.events.clear();
        grid->ShowEdit();
        return ctl->OpenEditor();
    }
    void Put(int row, int col, VARIANT v)
    {
        At(row, col);
        grid->put_Value(v);
    }
    void PutText(int row, int col, const wchar_t* text) { windowed.SetText(row, col, text); }
    std::wstring Text(int row, int col)
    {
        At(row, col);
        fw::Variant v;
        grid->get_Value(v.Ptr());
        if (FAILED(VariantChangeType(v.Ptr(), v.Ptr(), 0, VT_BSTR))) return L"?";
        return v.Ptr()->bstrVal ? v.Ptr()->bstrVal : L"";
    }
    VARIANT Value(int row, int col)
    {
        At(row, col);
        VARIANT v;
        VariantInit(&v);
        grid->get_Value(&v);
        return v;
    }
    RECT WindowBox(HWND child) const
    {
        RECT rc;
        GetWindowRect(child, &rc);
        MapWindowPoints(HWND_DESKTOP, hwnd, reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }
    // Visible editor windows among the control's children.
    int VisibleEditors() const
    {
        int n = 0;
        for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            const std::wstring name = ClassOf(c);
            if ((GetWindowLongW(c, GWL_STYLE) & WS_VISIBLE) &&
                (name == L"Edit" || name == L"EDIT" || name == L"ComboBox" || name == L"COMBOBOX" ||
                 name == L"SysMonthCal32" || name == L"SysDateTimePick32"))
                ++n;
        }
        return n;
    }
    static std::wstring ClassOf(HWND w)
    {
        wchar_t cls[64] = {};
        GetClassNameW(w, cls, 64);
        return cls;
    }

    view_test::Grid windowed{400, 300};
    HWND hwnd = nullptr;
    ITessera* grid = nullptr;
    CTessera* ctl = nullptr;
    Sink sink;
    test::EventAdvise events;
};

TEST_F(Editing, EditorWindowsLieOverTheirCells)
{
    RECT box;
    ASSERT_TRUE(ctl->CellBox(2, 2, box));
    struct Row {
        int ctype, typeEx;
        const wchar_t* cls;
        LONG style;
        RECT rect;
    } rows[] = {
        {6, 2, L"Edit", 0x508000C4, box},  // EditMultiline is on by default
        {7, 2, L"SysDateTimePick32", 0x50800001, {box.left, box.top, box.left + 80, box.bottom}},
        {7, 5, L"SysDateTimePick32", 0x50800000, {box.left, box.top, box.left + 100, box.top + 24}},
    };
    for (const Row& r : rows) {
        Setup(2, 2, r.ctype, r.typeEx);
        HWND editor = Open(2, 2);
        ASSERT_NE(nullptr, editor) << r.typeEx;
        EXPECT_EQ(0, lstrcmpiW(r.cls, ClassOf(editor).c_str()));
        // The text box takes WS_BORDER off its style and draws the border itself.
        const LONG mask = ~(WS_CLIPSIBLINGS | WS_TABSTOP | (r.ctype == 6 ? WS_BORDER : 0));
        EXPECT_EQ(r.style & mask, GetWindowLongW(editor, GWL_STYLE) & mask) << r.typeEx;
        RECT got = WindowBox(editor);
        EXPECT_TRUE(EqualRect(&r.rect, &got)) << r.typeEx << ": " << got.left << "," << got.top << "," << got.right
                                              << "," << got.bottom;
        EXPECT_TRUE(IsWindowUnicode(editor));
        grid->HideEdit();
    }

    // A format with too many parts for the picker opens with its default.
    Setup(2, 2, 7, 2);
    std::wstring hostile;
    while (hostile.size() < 300) hostile += L"d ";
    grid->put_DTFormat(fw::Bstr(hostile.c_str()).Get());
    EXPECT_NE(nullptr, Open(2, 2));
    grid->HideEdit();

    // Lists: entries in order, the value's entry selected.
    Setup(2, 2, 2, 4);
    fw::Variant v;
    for (int i = 0; i < 3; ++i) {
        v.Ref().vt = VT_I4;
        v.Ref().lVal = 10 * (i + 1);
        grid->AddCRVariant(*v.Ptr(), fw::Bstr(i == 0 ? L"10" : i == 1 ? L"20" : L"30").Get());
    }
    v.Ref().lVal = 20;
    Put(2, 2, *v.Ptr());
    HWND list = Open(2, 2);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(3, SendMessageW(list, CB_GETCOUNT, 0, 0));
    wchar_t entry[16] = {};
    SendMessageW(list, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(entry));
    EXPECT_STREQ(L"30", entry);
    EXPECT_EQ(1, SendMessageW(list, CB_GETCURSEL, 0, 0));

    // The month calendar hangs below the cell, and inside the control at its edges.
    for (int col : {2, 4}) {
        Setup(6, col, 7, 1);
        HWND cal = Open(6, col);
        ASSERT_NE(nullptr, cal);
        EXPECT_EQ(0, lstrcmpiW(L"SysMonthCal32", ClassOf(cal).c_str()));
        RECT cell, got = WindowBox(cal), client = windowed.Client();
        ctl->CellBox(6, col, cell);
        EXPECT_LE(got.right, client.right);
        EXPECT_LE(got.bottom, client.bottom);
        if (col == 2) { EXPECT_EQ((cell.left + cell.right) / 2, (got.left + got.right) / 2); }
        grid->HideEdit();
    }

    // No window for TypeEx 0 and 8, but the opening is announced once.
    for (int typeEx : {0, 8}) {
        Setup(3, 3, 6, typeEx);
        EXPECT_EQ(nullptr, Open(3, 3));
        EXPECT_EQ((Events{"BeforeEdit(3,3,'',?)"}), sink.events);
        EXPECT_EQ(0, VisibleEditors());
    }
}

TEST_F(Editing, CommitsStoreWhatTheEditorHolds)
{
    // A cell that is not editable opens no editor and asks no sink.
    At(3, 3);
    grid->put_Editable(VARIANT_FALSE);
    EXPECT_EQ(nullptr, Open(3, 3));
    EXPECT_TRUE(sink.events.empty());

    // Text: typed characters pass the filter.
    Setup(2, 2, 2, 2);
    HWND edit = Open(2, 2);
    ASSERT_NE(nullptr, edit);
    SetWindowTextW(edit, L"");
    for (wchar_t ch : {L'1', L'2', L'a'}) SendMessageW(edit, WM_CHAR, ch, 1);
    wchar_t typed[16] = {};
    GetWindowTextW(edit, typed, 16);
    EXPECT_STREQ(L"12", typed);
    grid->HideEdit();
    VARIANT v = Value(2, 2);
    EXPECT_EQ(VT_I4, v.vt);
    EXPECT_EQ(12, v.lVal);

    // An empty text stores what the cell makes of it.
    SetWindowTextW(Open(2, 2), L"");
    grid->HideEdit();
    EXPECT_EQ(L"0", Text(2, 2));

    // Boolean list: "True" is VT_BOOL -1, and no validation is asked.
    Setup(2, 3, 0, 4);
    HWND list = Open(2, 3);
    SendMessageW(list, CB_SETCURSEL, 0, 0);
    sink.events.clear();
    grid->HideEdit();
    v = Value(2, 3);
    EXPECT_EQ(VT_BOOL, v.vt);
    EXPECT_EQ(VARIANT_TRUE, v.boolVal);
    ASSERT_EQ(3u, sink.events.size());
    EXPECT_EQ(0u, sink.events[0].find("BeforeEdit(2,3,"));
    EXPECT_EQ((Events{"AfterEdit(2,3)", "ViewChange"}), Events(sink.events.begin() + 1, sink.events.end()));

    // Editable choice list: typed text, or the chosen entry's value.
    Setup(3, 2, 6, 6);
    fw::Variant entry;
    entry.Ref().vt = VT_BSTR;
    entry.Ref().bstrVal = SysAllocString(L"value one");
    grid->AddCRVariant(*entry.Ptr(), fw::Bstr(L"one").Get());
    list = Open(3, 2);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetWindowTextW(list, L"typed");
    grid->HideEdit();
    EXPECT_EQ(L"typed", Text(3, 2));
    list = Open(3, 2);
    SendMessageW(list, CB_SETCURSEL, 0, 0);
    grid->HideEdit();
    EXPECT_EQ(L"value one", Text(3, 2));

    // Date picker and calendar store the date set in them.
    SYSTEMTIME st = {2003, 4, 0, 5, 0, 0, 0, 0};
    for (int typeEx : {2, 1, 5}) {
        Setup(4, 2, 7, typeEx);
        HWND date = Open(4, 2);
        ASSERT_NE(nullptr, date);
        SendMessageW(date, typeEx == 1 ? MCM_SETCURSEL : DTM_SETSYSTEMTIME, typeEx == 1 ? 0 : GDT_VALID,
                     reinterpret_cast<LPARAM>(&st));
        grid->HideEdit();
        v = Value(4, 2);
        EXPECT_EQ(VT_DATE, v.vt);
        EXPECT_EQ(37716, static_cast<int>(v.date)) << typeEx;  // 5 April 2003
    }
}

TEST_F(Editing, HostAnswersDecideWhatIsStored)
{
    Setup(2, 2, 6, 2);
    PutText(2, 2, L"old");
    struct Row {
        const char* event;
        SHORT answer;
        bool atOpening;
        const wchar_t* stored;
        Events trace;
    } rows[] = {
        {"ValidateEdit", -1, false, L"old",
         {"BeforeEdit(2,2,'old',?)", "ValidateEdit(2,2,'new',?)", "AfterEdit(2,2)", "ViewChange"}},
        {"ValidateEdit", 1, false, L"new",
         {"BeforeEdit(2,2,'old',?)", "ValidateEdit(2,2,'new',?)", "AfterEdit(2,2)", "ViewChange"}},
        {"BeforeEdit", 1, false, L"old", {"BeforeEdit(2,2,'old',?)", "ViewChange"}},
        {"BeforeEdit", -1, true, L"old", {"BeforeEdit(2,2,'old',?)"}},
    };
    for (const Row& r : rows) {
        if (r.atOpening) sink.act = [&](const std::string& e, SHORT* c) { if (e == r.event) *c = r.answer; };
        HWND edit = Open(2, 2);
        EXPECT_EQ(r.atOpening, edit == nullptr);
        if (edit) SetWindowTextW(edit, L"new");
        sink.events.clear();
        sink.act = [&](const std::string& e, SHORT* c) { if (e == r.event) *c = r.answer; };
        grid->HideEdit();
        sink.act = nullptr;
        EXPECT_EQ(r.stored, Text(2, 2)) << r.event << r.answer;
        if (!r.atOpening) { EXPECT_EQ(r.trace, sink.events) << r.event << r.answer; }
        PutText(2, 2, L"old");
    }

    // The calendar's cancel keeps the old date.
    Setup(4, 2, 7, 1);
    fw::Variant old;
    old.Ref().vt = VT_DATE;
    old.Ref().date = 36000;
    Put(4, 2, *old.Ptr());
    HWND cal = Open(4, 2);
    SYSTEMTIME st = {2003, 4, 0, 5, 0, 0, 0, 0};
    SendMessageW(cal, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&st));
    sink.events.clear();
    sink.act = [](const std::string& e, SHORT* c) { if (e == "AfterCalendar") *c = -1; };
    grid->HideEdit();
    EXPECT_EQ(36000, static_cast<int>(Value(4, 2).date));
    EXPECT_EQ(4u, sink.events.size());
    EXPECT_EQ("AfterCalendar(?)", sink.events[1]);
    EXPECT_EQ("AfterEdit(4,2)", sink.events[2]);

    // A discarded edit raises only ViewChange.
    Setup(2, 2, 6, 2);
    SetWindowTextW(Open(2, 2), L"dropped");
    sink.events.clear();
    ctl->EndEdit(true);
    EXPECT_EQ((Events{"ViewChange"}), sink.events);
    EXPECT_EQ(L"old", Text(2, 2));
}

TEST_F(Editing, PushButtonsNameTheirOwnCell)
{
    // The editor's button, for a text, a Boolean and a date cell.
    for (int ctype : {6, 0, 7}) {
        Setup(2, 2, ctype, ctype == 7 ? 9 : 10);
        Open(2, 2);
        HWND button = FindWindowExW(hwnd, nullptr, L"BUTTON", nullptr);
        ASSERT_NE(nullptr, button) << ctype;
        sink.events.clear();
        SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        ASSERT_FALSE(sink.events.empty());
        EXPECT_EQ("ButtonClick(2,2)", sink.events.back()) << ctype;
        EXPECT_EQ(nullptr, ctl->OpenEditor());
        EXPECT_FALSE(IsWindow(button));
    }

    // A cell's own button; other notifications are swallowed.
    Setup(4, 3, 6, 8);
    HWND own = FindWindowExW(hwnd, nullptr, L"BUTTON", nullptr);
    ASSERT_NE(nullptr, own);
    windowed->Refresh();
    sink.events.clear();
    EXPECT_EQ(0, SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(0, BN_SETFOCUS), reinterpret_cast<LPARAM>(own)));
    EXPECT_TRUE(sink.events.empty());
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(own));
    EXPECT_EQ((Events{"ButtonClick(4,3)"}), sink.events);
}

TEST_F(Editing, LongAndForeignTextsSurviveAndTheColumnWidens)
{
    Setup(2, 2, 6, 2);
    grid->put_AutoAdjustLastCell(VARIANT_TRUE);
    const std::wstring texts[] = {std::wstring(5000, L'x') + L"end", L"\u041F\u0440\u0438\u0432\u0435\u0442",
                                  L"\u039A\u03B1\u03BB\u03B7\u03BC\u03AD\u03C1\u03B1"};
    for (const std::wstring& text : texts) {
        PutText(2, 2, text.c_str());
        HWND edit = Open(2, 2);
        ASSERT_NE(nullptr, edit);
        grid->HideEdit();  // opened and committed unchanged
        EXPECT_EQ(text, Text(2, 2));
        if (text.size() > 1000) { EXPECT_GT(windowed.W(2), 1000); }
    }
}

// A host's code inside any of the events may open or close editors, shrink
// the table or move the current cell: the outer operation stops cleanly.
TEST_F(Editing, SinksThatReenterLeaveAtMostOneEditor)
{
    const char* events[] = {"BeforeEdit", "ValidateEdit", "AfterCalendar", "AfterEdit", "ButtonClick"};
    const char* actions[] = {"ShowEdit", "HideEdit", "Rows", "Cols", "Move"};
    for (const char* event : events) {
        for (const char* action : actions) {
            for (int nth : {1, 2}) {
                const std::string what = std::string(event) + "/" + action + "/" + std::to_string(nth);
                grid->put_Rows(8);
                grid->put_Cols(5);
                const bool calendar = std::string(event) == "AfterCalendar";
                Setup(2, 2, calendar ? 7 : 6, calendar ? 9 : 10);
                int seen = 0;
                bool done = false;
                sink.act = [&](const std::string& e, SHORT*) {
                    if (done || e != event || ++seen != nth) return;
                    done = true;
                    const std::string a = action;
                    if (a == "ShowEdit") grid->ShowEdit();
                    else if (a == "HideEdit") grid->HideEdit();
                    else if (a == "Rows") grid->put_Rows(1);
                    else if (a == "Cols") grid->put_Cols(2);
                    else ctl->SetFocusCell(3, 3);
                };
                HWND editor = Open(2, 2);
                if (editor) SetWindowTextW(editor, L"7");
                HWND button = FindWindowExW(hwnd, nullptr, L"BUTTON", nullptr);
                if (std::string(event) == "ButtonClick" && button)
                    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(button));
                else
                    grid->HideEdit();
                EXPECT_LE(VisibleEditors(), 1) << what;
                HWND open = ctl->OpenEditor();
                EXPECT_TRUE(!open || IsWindow(open)) << what;
                sink.act = nullptr;
                grid->HideEdit();
                EXPECT_EQ(0, VisibleEditors()) << what;
            }
        }
    }
}

} // namespace
