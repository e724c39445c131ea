// The three property pages driven through IPropertyPage on a real control.
// The platform's property frame shows them in the control's activation tests.
#include <windows.h>
#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "control/control_test.h"
#include "support/grid_helpers.h"
#include "framework/com_ptr.h"
#include "kvadra.h"
#include "pages/PageTable.h"
#include "resources/resource.h"
#include "support/ax_host.h"
#include "support/dll.h"
#include "support/recording_site.h"

namespace {

using PageSite = test::RecordingPageSite;

class Page : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(test::CreateFromDll(CLSID_Tessera, nullptr, IID_ITessera, grid.PutVoid()));
        parent = CreateWindowExW(0, test::PlainWindowClass(), L"", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override
    {
        if (page) {
            page->Deactivate();
            page->SetObjects(0, nullptr);
            page->SetPageSite(nullptr);
        }
        DestroyWindow(parent);
    }
    void Open(const CLSID& clsid)
    {
        ASSERT_HRESULT_SUCCEEDED(test::CreateFromDll(clsid, nullptr, IID_IPropertyPage, page.PutVoid()));
        ASSERT_HRESULT_SUCCEEDED(page->SetPageSite(&site));
        IUnknown* objects[] = {grid.Get()};
        ASSERT_HRESULT_SUCCEEDED(page->SetObjects(1, objects));
        Activate();
    }
    void Activate()
    {
        RECT rc = {0, 0, 500, 200};
        ASSERT_HRESULT_SUCCEEDED(page->Activate(parent, &rc, FALSE));
        dialog = GetWindow(parent, GW_CHILD);
        ASSERT_NE(nullptr, dialog);
    }
    std::wstring Text(int id)
    {
        wchar_t buf[256] = {};
        return GetDlgItemTextW(dialog, id, buf, 256), buf;
    }
    // What the user's actions send: the control changes, then the dialog hears of it.
    void Type(int id, const wchar_t* text) { SetDlgItemTextW(dialog, id, text); Notify(id, EN_CHANGE); }
    void Click(int id) { CheckDlgButton(dialog, id, On(id) ? BST_UNCHECKED : BST_CHECKED), Notify(id, BN_CLICKED); }
    void Choose(int id, int index) { SendDlgItemMessageW(dialog, id, CB_SETCURSEL, index, 0), Notify(id, CBN_SELCHANGE); }
    void Notify(int id, WORD code) { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, code), (LPARAM)GetDlgItem(dialog, id)); }
    int Entries(int id) { return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0)); }
    bool On(int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
    bool Enabled(int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
    int Get(pages::GetInt get) { int v = -99; return (grid.Get()->*get)(&v), v; }
    void Region(int row, int col) { test::Region(grid.Get(), row, col); }

    fw::ComPtr<ITessera> grid;
    fw::ComPtr<IPropertyPage> page;
    PageSite site;
    HWND parent = nullptr;
    HWND dialog = nullptr;
};

TEST(PageNumbers, LeadingDigitsWithOneSign)
{
    const struct { const wchar_t* text; int value; } cases[] = {
        {L"384", 384}, {L"-10", -10}, {L"  +7", 7}, {L"12abc", 12}, {L"abc", 0}, {L"", 0}, {L"--3", 0},
        {L"99999999999", 2147483647}, {L"-99999999999", -2147483647 - 1},
    };
    for (const auto& c : cases) EXPECT_EQ(c.value, pages::ParseInt(c.text)) << testing::PrintToString(std::wstring(c.text));
    EXPECT_EQ(0, pages::ParseInt(nullptr));
}

// Information from the string table, and a size that is the created
// dialog's, in the template's own font.
TEST_F(Page, InfoMatchesTheDialogAndActivationRepeats)
{
    const struct { const CLSID* clsid; const wchar_t* title; const wchar_t* doc; const wchar_t* help; LONG cx; } pages[] = {
        {&CLSID_GenProp, L"General", L"General Settings", nullptr, 271},
        {&CLSID_CellProp, L"Cells", L"Cells properties", nullptr, 272},
        {&CLSID_SizeCtl, L"Control size", L"Control Size", L"ctlsize", 271},
    };
    for (const auto& p : pages) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(p.title)));
        Open(*p.clsid);
        PROPPAGEINFO info = {};
        ASSERT_HRESULT_SUCCEEDED(page->GetPageInfo(&info));
        EXPECT_STREQ(p.title, info.pszTitle);
        EXPECT_STREQ(p.doc, info.pszDocString);
        EXPECT_STREQ(p.help, info.pszHelpFile);
        RECT dlu = {0, 0, p.cx, 105};
        MapDialogRect(dialog, &dlu);
        EXPECT_EQ(dlu.right, info.size.cx);
        EXPECT_EQ(dlu.bottom, info.size.cy);
        for (LPOLESTR s : {info.pszTitle, info.pszDocString, info.pszHelpFile}) CoTaskMemFree(s);
        EXPECT_EQ(S_FALSE, page->IsPageDirty());
        ASSERT_HRESULT_SUCCEEDED(page->Deactivate());
        Activate();
        ASSERT_HRESULT_SUCCEEDED(page->Deactivate());
        page.Reset();
    }
}

TEST_F(Page, CellsShowsADateCellAndAppliesTheFlags)
{
    Region(1, 1);
    grid->put_CType(7);
    grid->put_TypeEx(6);
    Open(CLSID_CellProp);

    EXPECT_EQ(L"Date", Text(IDC_CELL_TYPE));
    EXPECT_TRUE(Enabled(IDC_CELL_CALENDAR) && Enabled(IDC_CELL_DTFORMAT) && Enabled(IDC_CELL_EDIT));
    EXPECT_FALSE(Enabled(IDC_CELL_NUMFORMAT));
    EXPECT_TRUE(On(IDC_CELL_EDIT) && On(IDC_CELL_COMBOBOX));
    EXPECT_FALSE(On(IDC_CELL_CALENDAR) || On(IDC_CELL_BUTTON));

    Click(IDC_CELL_BUTTON);
    Choose(IDC_CELL_TYPE, 0);
    for (int id : {IDC_CELL_EDIT, IDC_CELL_CALENDAR, IDC_CELL_NUMFORMAT, IDC_CELL_DTFORMAT}) EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_TRUE(Enabled(IDC_CELL_BUTTON) && Enabled(IDC_CELL_COMBOBOX));
    ASSERT_EQ(S_OK, page->Apply());
    EXPECT_EQ(14, Get(&ITessera::get_TypeEx));
    EXPECT_EQ(0, Get(&ITessera::get_CType));

    // Opening again fills the lists afresh.
    ASSERT_HRESULT_SUCCEEDED(page->Deactivate());
    Activate();
    EXPECT_EQ(8, Entries(IDC_CELL_TYPE));
    EXPECT_EQ(3, Entries(IDC_CELL_WORDWRAP));
    EXPECT_EQ(3, Entries(IDC_CELL_ALIGNMENT));
}

TEST_F(Page, CellsKeepForeignTextAndShowNumbersInTheLocale)
{
    const wchar_t* const word = L"\x41F\x440\x438\x432\x435\x442";
    Region(2, 2);
    grid->put_CType(6);
    fw::Variant text;
    grid->put_Value(control_test::Text(text, word).Ref());
    grid->put_Hint(fw::Bstr(word).Get());
    Open(CLSID_CellProp);
    EXPECT_EQ(word, Text(IDC_CELL_VALUE));
    ASSERT_EQ(S_OK, page->Apply());
    fw::Variant value;
    fw::Bstr hint;
    grid->get_Value(&value);
    grid->get_Hint(hint.Put());
    ASSERT_EQ(VT_BSTR, value.Ref().vt);
    EXPECT_STREQ(word, value.Ref().bstrVal);
    EXPECT_STREQ(word, hint.Get());

    ASSERT_HRESULT_SUCCEEDED(page->Deactivate());
    Region(3, 3);
    grid->put_CType(4);
    VARIANT number;
    number.vt = VT_R8;
    number.dblVal = 2.5;
    grid->put_Value(number);
    fw::Variant expected;
    ASSERT_HRESULT_SUCCEEDED(VariantChangeType(&expected, &number, 0, VT_BSTR));
    Activate();
    EXPECT_EQ(expected.Ref().bstrVal, Text(IDC_CELL_VALUE));
}

TEST_F(Page, SizeShowsAndAppliesPixelsAndNoObjectsLeaveTheFieldsEmpty)
{
    Open(CLSID_SizeCtl);
    EXPECT_EQ(L"100 100", Text(IDC_SIZE_WIDTH) + L" " + Text(IDC_SIZE_HEIGHT));
    Type(IDC_SIZE_WIDTH, L"384");
    Type(IDC_SIZE_HEIGHT, L"288");
    ASSERT_EQ(S_OK, page->Apply());
    EXPECT_EQ(384, Get(&ITessera::get_Width));
    EXPECT_EQ(288, Get(&ITessera::get_Height));
    site.changes.clear();
    page->Deactivate();
    page->SetObjects(0, nullptr);
    Activate();
    EXPECT_EQ(L"", Text(IDC_SIZE_WIDTH));
    Type(IDC_SIZE_HEIGHT, L"50");
    EXPECT_EQ(std::vector<DWORD>{PROPPAGESTATUS_DIRTY}, site.changes);
    EXPECT_EQ(S_OK, page->Apply());
    EXPECT_EQ(S_FALSE, page->IsPageDirty());
}

} // namespace
