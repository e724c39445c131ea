// In-place editors: which window a cell gets, what committing stores, the
// events around both, and push buttons.
#include "interaction/keyed_grid.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <functional>

#include "interaction/InPlaceEditor.h"

namespace {

using namespace interaction;
using List = std::vector<std::string>;
using Texts = std::vector<std::wstring>;

// --- plain functions ----------------------------------------------------------

TEST(PlanEditor, WindowStyleAndRectangleFollowTheCell)
{
    const RECT cell = {100, 40, 179, 59};  // 80 x 20, inclusive
    // button all zero: none
    const struct { int ctype, typeEx, align; bool multiline; EditorKind kind; DWORD style; RECT rect, button; }
    rows[] = {
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
    for (const auto& r : rows) {
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
    const struct { RECT cell, want; } rows[] = {
        {{100, 40, 179, 59}, {49, 59, 229, 209}},
        {{320, 40, 399, 59}, {220, 59, 400, 209}},   // right edge
        {{100, 240, 179, 259}, {49, 150, 229, 300}},  // bottom edge
        {{0, 40, 60, 59}, {0, 59, 180, 209}},         // left edge
    };
    for (const auto& r : rows) {
        RECT got = PlaceCalendar(r.cell, size, client);
        EXPECT_TRUE(EqualRect(&r.want, &got)) << got.left << "," << got.top << "," << got.right << "," << got.bottom;
    }
}

TEST(AcceptableEditText, JudgedByTheCellType)
{
    const struct { const wchar_t* text; int ctype; bool ok; } rows[] = {
        {L"", 2, true},      {L"12", 2, true},     {L"12a", 2, false},  {L"-", 2, false},
        {L"2.5", 1, true},  {L"2.5", 4, true},    {L"x", 6, true},     {L"x", 0, false},
        {L"1", -1, true},    {L"2000-01-31", 7, true}, {L"\u0416", 6, true}, {L"\u0416", 4, false},
    };
    for (const auto& r : rows) EXPECT_EQ(r.ok, AcceptableEditText(r.text, r.ctype)) << r.ctype;
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

// Dispids: 1 OnBeforeEdit, 2 OnValidateEdit, 3 OnAfterEdit, 4 OnButtonClick,
// 12 OnAfterCalendar, 15 ViewChange. `act` answers an event (its cancel
// flag, null when none) or calls back into the control from inside it.
struct Editing : keys_test::KeyedGrid {
    Texts texts;  // the texts the events carried
    std::function<void(DISPID, SHORT*)> act;

    void SetUp() override
    {
        KeyedGrid::SetUp();
        Itf()->put_Rows(8);
        Itf()->put_Cols(5);
        for (int c = 0; c < 5; ++c) Itf()->put_ColWidth(c, 80);
        for (int r = 0; r < 8; ++r) Itf()->put_RowHeight(r, 20);
        sink.onEvent = [this](DISPID id, DISPPARAMS* p) {
            SHORT* cancel = nullptr;
            for (UINT i = p->cArgs; i-- > 0;) {
                if (p->rgvarg[i].vt == VT_BSTR) texts.push_back(p->rgvarg[i].bstrVal ? p->rgvarg[i].bstrVal : L"");
                if (p->rgvarg[i].vt == (VT_BYREF | VT_I2)) cancel = p->rgvarg[i].piVal;
            }
            if (act) act(id, cancel);
        };
    }
    void TearDown() override
    {
        act = nullptr;
        Itf()->HideEdit();
        KeyedGrid::TearDown();
    }

    void Setup(int row, int col, int ctype, int typeEx)
    {
        test::Region(Itf(), row, col);
        Itf()->put_CType(ctype);
        Itf()->put_TypeEx(typeEx);
    }
    // Opens the editor on the cell as the user's keys and clicks do.
    HWND Open(int row, int col)
    {
        grid->SetFocusCell(row, col);
        sink.Events().clear();
        texts.clear();
        Itf()->ShowEdit();
        return grid->OpenEditor();
    }
    void Commit()
    {
        sink.Events().clear();
        texts.clear();
        Itf()->HideEdit();
    }
    HWND Button() const { return FindWindowExW(grid.Window(), nullptr, L"BUTTON", nullptr); }
    LRESULT Click(HWND button, WORD code = BN_CLICKED) const
    {
        return SendMessageW(grid.Window(), WM_COMMAND, MAKEWPARAM(0, code), reinterpret_cast<LPARAM>(button));
    }
};

// A list shows its entries in order, the value's entry selected.
TEST_F(Editing, ListsShowTheirEntriesWithTheValueSelected)
{
    Setup(2, 2, 2, 4);
    fw::Variant v;
    v.Ref().vt = VT_I4;
    for (const wchar_t* text : {L"10", L"20", L"30"}) {
        v.Ref().lVal = _wtoi(text);
        Itf()->AddCRVariant(*v.Ptr(), fw::Bstr(text).Get());
    }
    v.Ref().lVal = 20;
    grid->GetCell(2, 2).SetValue(*v.Ptr());
    HWND list = Open(2, 2);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(3, SendMessageW(list, CB_GETCOUNT, 0, 0));
    wchar_t entry[16] = {};
    SendMessageW(list, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(entry));
    EXPECT_STREQ(L"30", entry);
    EXPECT_EQ(1, SendMessageW(list, CB_GETCURSEL, 0, 0));
}

TEST_F(Editing, CommitsStoreWhatTheEditorHolds)
{
    // A cell that is not editable opens no editor and asks no sink.
    test::Region(Itf(), 3, 3);
    Itf()->put_Editable(VARIANT_FALSE);
    EXPECT_EQ(nullptr, Open(3, 3));
    EXPECT_TRUE(sink.Events().empty());

    // Text: typed characters pass the filter.
    Setup(2, 2, 2, 2);
    HWND edit = Open(2, 2);
    ASSERT_NE(nullptr, edit);
    SetWindowTextW(edit, L"");
    for (wchar_t ch : {L'1', L'2', L'a'}) SendMessageW(edit, WM_CHAR, ch, 1);
    wchar_t typed[16] = {};
    GetWindowTextW(edit, typed, 16);
    EXPECT_STREQ(L"12", typed);
    Itf()->HideEdit();
    EXPECT_EQ(VT_I4, Type(2, 2));
    EXPECT_EQ(12, grid->GetCell(2, 2).Value().lVal);

    // An empty text stores what the cell makes of it.
    SetWindowTextW(Open(2, 2), L"");
    Itf()->HideEdit();
    EXPECT_EQ(L"0", Text(2, 2));

    // Boolean list: "True" is VT_BOOL -1, and no validation is asked.
    Setup(2, 3, 0, 4);
    SendMessageW(Open(2, 3), CB_SETCURSEL, 0, 0);
    Commit();
    EXPECT_EQ(VT_BOOL, Type(2, 3));
    EXPECT_EQ(VARIANT_TRUE, grid->GetCell(2, 3).Value().boolVal);
    EXPECT_EQ((List{"1(2,3,'text',&0)", "3(2,3)", "15()"}), sink.Events());

    // Editable choice list: typed text, or the chosen entry's value.
    Setup(3, 2, 6, 6);
    fw::Variant entry;
    entry.Ref().vt = VT_BSTR;
    entry.Ref().bstrVal = SysAllocString(L"value one");
    Itf()->AddCRVariant(*entry.Ptr(), fw::Bstr(L"one").Get());
    HWND list = Open(3, 2);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetWindowTextW(list, L"typed");
    Itf()->HideEdit();
    EXPECT_EQ(L"typed", Text(3, 2));
    SendMessageW(Open(3, 2), CB_SETCURSEL, 0, 0);
    Itf()->HideEdit();
    EXPECT_EQ(L"value one", Text(3, 2));

    // Date picker and calendar store the date set in them.
    SYSTEMTIME st = {2003, 4, 0, 5, 0, 0, 0, 0};
    for (int typeEx : {2, 1, 5}) {
        Setup(4, 2, 7, typeEx);
        HWND date = Open(4, 2);
        ASSERT_NE(nullptr, date);
        SendMessageW(date, typeEx == 1 ? MCM_SETCURSEL : DTM_SETSYSTEMTIME, typeEx == 1 ? 0 : GDT_VALID,
                     reinterpret_cast<LPARAM>(&st));
        Itf()->HideEdit();
        EXPECT_EQ(VT_DATE, Type(4, 2));
        EXPECT_EQ(37716, static_cast<int>(grid->GetCell(4, 2).Value().date)) << typeEx;  // 5 April 2003
    }
}

TEST_F(Editing, HostAnswersDecideWhatIsStored)
{
    Setup(2, 2, 6, 2);
    grid.SetText(2, 2, L"old");
    const List validated = {"1(2,2,'text',&0)", "2(2,2,'text',&0)", "3(2,2)", "15()"};
    // Carried: the events' texts.
    const struct { DISPID event; SHORT answer; bool atOpening; const wchar_t* stored; List trace; Texts carried; }
    rows[] = {
        {2, -1, false, L"old", validated, {L"old", L"new"}},
        {2, 1, false, L"new", validated, {L"old", L"new"}},
        {1, 1, false, L"old", {"1(2,2,'text',&0)", "15()"}, {L"old"}},
        {1, -1, true, L"old", {}, {}},
    };
    for (const auto& r : rows) {
        const std::string at = std::to_string(r.event) + "/" + std::to_string(r.answer);
        if (r.atOpening) act = [&](DISPID e, SHORT* c) { if (e == r.event) *c = r.answer; };
        HWND edit = Open(2, 2);
        EXPECT_EQ(r.atOpening, edit == nullptr) << at;
        if (edit) SetWindowTextW(edit, L"new");
        act = [&](DISPID e, SHORT* c) { if (e == r.event) *c = r.answer; };
        Commit();
        act = nullptr;
        EXPECT_EQ(r.stored, Text(2, 2)) << at;
        if (!r.atOpening) {
            EXPECT_EQ(r.trace, sink.Events()) << at;
            EXPECT_EQ(r.carried, texts) << at;
        }
        grid.SetText(2, 2, L"old");
    }

    // The calendar's cancel keeps the old date.
    Setup(4, 2, 7, 1);
    fw::Variant old;
    old.Ref().vt = VT_DATE;
    old.Ref().date = 36000;
    grid->GetCell(4, 2).SetValue(*old.Ptr());
    SYSTEMTIME st = {2003, 4, 0, 5, 0, 0, 0, 0};
    SendMessageW(Open(4, 2), MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&st));
    act = [](DISPID e, SHORT* c) { if (e == 12) *c = -1; };
    Commit();
    EXPECT_EQ(36000, static_cast<int>(grid->GetCell(4, 2).Value().date));
    EXPECT_EQ(4u, sink.Events().size());
    EXPECT_EQ("12(&0)", sink.Events()[1]);
    EXPECT_EQ("3(4,2)", sink.Events()[2]);

    // A discarded edit raises only ViewChange.
    Setup(2, 2, 6, 2);
    SetWindowTextW(Open(2, 2), L"dropped");
    sink.Events().clear();
    grid->EndEdit(true);
    EXPECT_EQ((List{"15()"}), sink.Events());
    EXPECT_EQ(L"old", Text(2, 2));
}

TEST_F(Editing, PushButtonsNameTheirOwnCell)
{
    // The editor's button, for a text, a Boolean and a date cell.
    for (int ctype : {6, 0, 7}) {
        Setup(2, 2, ctype, ctype == 7 ? 9 : 10);
        Open(2, 2);
        HWND button = Button();
        ASSERT_NE(nullptr, button) << ctype;
        sink.Events().clear();
        Click(button);
        ASSERT_FALSE(sink.Events().empty());
        EXPECT_EQ("4(2,2)", sink.Events().back()) << ctype;
        EXPECT_EQ(nullptr, grid->OpenEditor());
        EXPECT_FALSE(IsWindow(button));
    }

    // A cell's own button; other notifications are swallowed.
    Setup(4, 3, 6, 8);
    HWND own = Button();
    ASSERT_NE(nullptr, own);
    grid->Refresh();
    sink.Events().clear();
    EXPECT_EQ(0, Click(own, BN_SETFOCUS));
    EXPECT_TRUE(sink.Events().empty());
    Click(own);
    EXPECT_EQ((List{"4(4,3)"}), sink.Events());
}

TEST_F(Editing, LongAndForeignTextsSurviveAndTheColumnWidens)
{
    Setup(2, 2, 6, 2);
    Itf()->put_AutoAdjustLastCell(VARIANT_TRUE);
    const std::wstring samples[] = {std::wstring(5000, L'x') + L"end", L"\u041F\u0440\u0438\u0432\u0435\u0442",
                                  L"\u039A\u03B1\u03BB\u03B7\u03BC\u03AD\u03C1\u03B1"};
    for (const std::wstring& text : samples) {
        grid.SetText(2, 2, text.c_str());
        ASSERT_NE(nullptr, Open(2, 2));
        Itf()->HideEdit();  // opened and committed unchanged
        EXPECT_EQ(text, Text(2, 2));
        if (text.size() > 1000) { EXPECT_GT(grid.W(2), 1000); }
    }
}

// Every text the metafile's text records draw, empty ones (fills) left out.
Texts MetafileTexts(HENHMETAFILE emf)
{
    struct Reader {
        static int CALLBACK Record(HDC, HANDLETABLE*, const ENHMETARECORD* r, int, LPARAM lp)
        {
            if (r->iType != EMR_EXTTEXTOUTW) return 1;
            const auto* t = reinterpret_cast<const EMREXTTEXTOUTW*>(r);
            const auto* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(r) + t->emrtext.offString);
            if (t->emrtext.nChars) reinterpret_cast<Texts*>(lp)->emplace_back(chars, t->emrtext.nChars);
            return 1;
        }
    };
    Texts texts;
    EnumEnhMetaFile(nullptr, emf, Reader::Record, &texts, nullptr);
    return texts;
}

// Text outside the thread's code page keeps every character wherever a
// display text goes: paint, fitting, editors, lists, events and readers.
TEST_F(Editing, EveryCharacterOfADisplayTextArrivesWhole)
{
    const std::wstring scripts[] = {L"\u0416\u0451\u043B\u0442\u044B\u0439", L"\u03A9\u03BC\u03AD\u03B3\u03B1",
                                    L"\u8868\u683C\u63A7\u4EF6", L"\U0001F600", L"e\u0301"};
    fw::ComPtr<IAccessible> reader;
    ASSERT_HRESULT_SUCCEEDED(AccessibleObjectFromWindow(grid.Window(), OBJID_CLIENT, IID_IAccessible, reader.PutVoid()));
    for (const std::wstring& text : scripts) {
        grid.SetText(0, 1, text.c_str());  // its column's header names cell (1, 1)
        TextCell(1, 1, text.c_str());
        Setup(1, 2, 4, 0);
        Itf()->put_NUMFormat(fw::Bstr((L"0 " + text).c_str()).Get());
        grid.SetText(1, 2, L"5");
        Setup(1, 3, 6, 4);
        Itf()->ClearCRVariants();
        Itf()->AddCRVariant(fw::Variant().Ref(), fw::Bstr(text.c_str()).Get());

        HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
        ASSERT_HRESULT_SUCCEEDED(grid.Draw(dc, RECT{0, 0, 400, 300}));
        HENHMETAFILE emf = CloseEnhMetaFile(dc);
        const Texts drawn = MetafileTexts(emf);
        DeleteEnhMetaFile(emf);
        EXPECT_EQ(2, std::count(drawn.begin(), drawn.end(), text));
        EXPECT_EQ(1, std::count(drawn.begin(), drawn.end(), L"5 " + text));

        const view::CPropertyFont font(grid->GetCell(2, 4).Font());
        HDC screen = GetDC(grid.Window());
        SelectObject(screen, font.Get());
        SIZE extent = {};
        GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &extent);
        ReleaseDC(grid.Window(), screen);
        grid.SetText(2, 4, text.c_str());
        Itf()->AdjustColWidth(4);
        EXPECT_EQ(extent.cx + 3, grid.W(4));

        HWND edit = Open(1, 1);
        ASSERT_NE(nullptr, edit);
        wchar_t shown[32] = {};
        GetWindowTextW(edit, shown, 32);
        EXPECT_EQ(text, shown);
        Commit();  // the old text, then the new one
        grid->Selection().SetSelectedRange(1, 1, 1, 1);
        Key(VK_DELETE);
        EXPECT_EQ((Texts{text, text, text}), texts);
        HWND list = Open(1, 3);
        SendMessageW(list, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(shown));
        EXPECT_EQ(text, shown);
        Itf()->HideEdit();

        grid.SetText(1, 1, text.c_str());
        fw::Variant child, name;
        child.Ref().vt = VT_I4;
        child.Ref().lVal = 1 * 5 + 1 + 1;
        fw::Bstr value;
        EXPECT_HRESULT_SUCCEEDED(reader->get_accValue(*child.Ptr(), value.Put()));
        EXPECT_EQ(text, value.Get());
        // Clients that only speak IDispatch reach the same name.
        DISPPARAMS args = {child.Ptr(), nullptr, 1, 0};
        EXPECT_HRESULT_SUCCEEDED(reader->Invoke(DISPID_ACC_NAME, IID_NULL, 0, DISPATCH_PROPERTYGET, &args, name.Ptr(),
                                                nullptr, nullptr));
        EXPECT_EQ(VT_BSTR, name.Ref().vt);
        EXPECT_EQ(text, name.Ref().bstrVal);
    }
}

} // namespace
