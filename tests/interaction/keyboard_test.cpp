// Keys through the control window's WM_KEYDOWN and through the accelerator
// hook, as a container sends them, with and without an open editor.
#include "interaction/keyed_grid.h"

namespace {

using keys_test::Held;
using List = std::vector<std::string>;

struct Keys : keys_test::KeyedGrid {};

TEST_F(Keys, ArrowsRaiseKeyPressThenTheSelectionEventsAndSelect)
{
    Key(VK_DOWN);  // no current cell: nothing at all
    EXPECT_TRUE(Events().empty());

    grid->SetFocusCell(2, 2);
    Events();
    Key(VK_RIGHT);
    EXPECT_EQ((List{"9(39)", "10(3,2)", "14(2,2)", "13(2,3)"}), Events());
    EXPECT_EQ("3,2-3,2", Corners());

    Itf()->put_Enabled(VARIANT_FALSE);  // drops the current cell
    grid->SetFocusCell(2, 3);
    Events();
    Key(VK_RIGHT);
    EXPECT_EQ(List{"9(39)"}, Events());
    EXPECT_EQ(CCellID(2, 3), Current());
    Itf()->put_Enabled(VARIANT_TRUE);

    // Shift extends from the anchor; a plain move selects one cell.
    grid->SetFocusCell(2, 2);
    Key(VK_DOWN);  // anchor (3, 2)
    {
        Held shift{VK_SHIFT};
        Key(VK_DOWN);
        Key(VK_DOWN);
    }
    EXPECT_EQ("2,3-2,5", Corners());
    EXPECT_EQ(CCellID(5, 2), Current());
    Key(VK_DOWN);
    EXPECT_EQ("2,6-2,6", Corners());

    // Ctrl+A selects every movable cell and keeps the current cell.
    grid->SetFocusCell(4, 4);
    Held ctrl{VK_CONTROL};
    Key('A');
    EXPECT_EQ("1,1-9,9", Corners());
    EXPECT_EQ(CCellID(4, 4), Current());
}

TEST_F(Keys, TabWrapsAcrossRowsAndStopsAtTheLastCell)
{
    Itf()->put_Cols(30);
    grid->SetFocusCell(2, 1);
    grid->SetFocusCell(2, 29);  // scrolled to the far right
    ASSERT_GT(GetScrollPos(grid.Window(), SB_HORZ), 0);

    Key(VK_TAB);
    EXPECT_EQ(CCellID(3, 1), Current());
    EXPECT_EQ(0, GetScrollPos(grid.Window(), SB_HORZ));
    {
        Held shift{VK_SHIFT};
        Key(VK_TAB);
        EXPECT_EQ(CCellID(2, 29), Current());
        EXPECT_TRUE(grid->CellShows(2, 29));
        Key(VK_TAB);
        EXPECT_EQ(CCellID(2, 28), Current());
        EXPECT_EQ("28,2-28,2", Corners()) << "a tab moves the anchor too";
    }
    grid->SetFocusCell(9, 29);
    Events();
    Key(VK_TAB);
    EXPECT_EQ(CCellID(9, 29), Current());
    EXPECT_EQ(List{"9(9)"}, Events());
}

TEST_F(Keys, PagesAndJumpsKeepTheColumn)
{
    Itf()->put_Rows(100);
    grid->SetFocusCell(1, 3);
    Key(VK_NEXT);
    const int top = grid->FirstScrolledCell().row;
    ASSERT_GT(top, 1);
    EXPECT_EQ(CCellID(top, 3), Current());  // moved as far as the view

    Key(VK_END);
    EXPECT_EQ(CCellID(99, 3), Current());
    Key(VK_NEXT);  // the view cannot go further
    EXPECT_EQ(CCellID(99, 3), Current());
    Key(VK_HOME);
    EXPECT_EQ(CCellID(1, 3), Current());
    Key(VK_PRIOR);
    EXPECT_EQ(CCellID(1, 3), Current());
}

TEST_F(Keys, DeleteClearsEditableSelectedCellsUnlessTheSinkCancels)
{
    Fill2x2();
    grid->GetCell(2, 2).Set(&CellAttrs::editable, 0);
    grid->SetFocusCell(2, 1);
    // OnBeforeEdit(row, col, text, cancel): -1 for (3, 1), 1 for (3, 2).
    sink.onEvent = [](DISPID id, DISPPARAMS* p) {
        if (id != 1 || p->cArgs != 4) return;
        const short row = p->rgvarg[3].iVal, col = p->rgvarg[2].iVal;
        if (row == 3) *p->rgvarg[0].pboolVal = col == 1 ? VARIANT_TRUE : 1;
    };
    Events();
    Key(VK_DELETE);
    const std::string text = "'text',&0";
    EXPECT_EQ((List{"9(46)", "1(2,1," + text + ")", "3(2,1)", "1(3,1," + text + ")", "1(3,2," + text + ")",
                      "3(3,2)"}),
              Events());
    EXPECT_EQ(VT_EMPTY, Type(2, 1));
    EXPECT_EQ(L"b", Text(2, 2));
    EXPECT_EQ(L"c", Text(3, 1));
    EXPECT_EQ(VT_EMPTY, Type(3, 2));

    // Nothing selected: the current cell.
    Itf()->ClearSelection();
    grid.SetText(4, 4, L"z");
    grid->SetFocusCell(4, 4);
    Events();
    Key(VK_DELETE);
    EXPECT_EQ((List{"9(46)", "1(4,4," + text + ")", "3(4,4)"}), Events());
    EXPECT_EQ(VT_EMPTY, Type(4, 4));
}

TEST_F(Keys, HookMovesWithArrowsAndLeavesOtherKeysToTheSite)
{
    test::RecordingSite site;
    fw::ComPtr<IOleObject> ole;
    ASSERT_HRESULT_SUCCEEDED(Itf()->QueryInterface(IID_IOleObject, ole.PutVoid()));
    ole->SetClientSite(site.Client());

    grid->SetFocusCell(2, 2);
    EXPECT_EQ(S_OK, Offer(WM_KEYDOWN, VK_DOWN));
    EXPECT_EQ(CCellID(3, 2), Current());
    EXPECT_EQ(S_OK, Offer(WM_KEYDOWN, VK_ESCAPE));
    EXPECT_EQ(S_FALSE, Chord({VK_CONTROL, VK_SHIFT}, 'Q'));
    EXPECT_EQ(S_FALSE, Offer(WM_KEYDOWN, VK_DOWN, GetDesktopWindow()));  // not ours
    std::vector<std::string> offered;
    for (const std::string& call : site.Log().Calls())
        if (call.rfind("TranslateAccelerator", 0) == 0) offered.push_back(call);
    EXPECT_EQ((std::vector<std::string>{"TranslateAccelerator(81,3)", "TranslateAccelerator(40,0)"}), offered);
    EXPECT_EQ(CCellID(3, 2), Current());

    // A typed '.' has the code of Delete, and '(' that of Down: they stay
    // characters.
    grid.SetText(3, 2, L"keep");
    Offer(WM_CHAR, '.');
    Offer(WM_CHAR, '(');
    EXPECT_EQ(L"keep", Text(3, 2));
    EXPECT_EQ(CCellID(3, 2), Current());

    ole->SetClientSite(nullptr);
    EXPECT_EQ(0u, site.Refs());
}

TEST_F(Keys, TabOpensTheNewCellsEditorBeforeLeaving)
{
    TextCell(2, 3, L"t");
    grid->SetFocusCell(2, 2);
    Events();
    Key(VK_TAB);
    const std::string text = "'text',&0";
    EXPECT_EQ((List{"9(9)", "10(3,2)", "1(3,2," + text + ")", "14(2,2)", "13(2,3)"}), Events());
    EXPECT_NE(nullptr, grid->OpenEditor());
}

TEST_F(Keys, EnterOpensEnterCommitsEscapeDiscards)
{
    TextCell(2, 2, L"old");
    grid->SetFocusCell(2, 2);
    Press(VK_RETURN);
    HWND editor = grid->OpenEditor();
    ASSERT_NE(nullptr, editor);
    SetWindowTextW(editor, L"new");
    Press(VK_RETURN, editor);
    EXPECT_EQ(nullptr, grid->OpenEditor());
    EXPECT_EQ(L"new", Text(2, 2));
    EXPECT_EQ(CCellID(2, 2), Current());

    Press(VK_RETURN);
    editor = grid->OpenEditor();
    ASSERT_NE(nullptr, editor);
    SetWindowTextW(editor, L"dropped");
    Press(VK_ESCAPE, editor);
    EXPECT_EQ(nullptr, grid->OpenEditor());
    EXPECT_EQ(L"new", Text(2, 2));
}

TEST_F(Keys, CtrlEnterAndArrowsReachAnOpenEditor)
{
    Itf()->put_EditMultiline(VARIANT_TRUE);
    TextCell(2, 2, L"abc");
    grid->SetFocusCell(2, 2);
    Press(VK_RETURN);
    HWND editor = grid->OpenEditor();
    ASSERT_NE(nullptr, editor);
    {
        Held ctrl{VK_CONTROL};
        EXPECT_NE(S_OK, Offer(WM_KEYDOWN, VK_RETURN, editor));  // left for the editor
    }
    EXPECT_EQ(editor, grid->OpenEditor());

    SendMessageW(editor, EM_SETSEL, 0, 0);
    EXPECT_EQ(S_OK, Offer(WM_KEYDOWN, VK_RIGHT, editor));
    DWORD start = 0;
    SendMessageW(editor, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    EXPECT_EQ(1u, start);
    EXPECT_EQ(CCellID(2, 2), Current());
    EXPECT_EQ(editor, grid->OpenEditor());
}

TEST_F(Keys, TypingStartsAnEditUnlessDisabled)
{
    TextCell(2, 2, L"abc");
    grid->SetFocusCell(2, 2);
    Press(VK_SHIFT);  // a modifier alone opens nothing
    EXPECT_EQ(nullptr, grid->OpenEditor());
    Itf()->put_Enabled(VARIANT_FALSE);  // drops the current cell
    grid->SetFocusCell(2, 2);
    SendMessageW(grid.Window(), WM_CHAR, 'x', 0);
    Press(VK_RETURN);
    EXPECT_EQ(nullptr, grid->OpenEditor());
    Itf()->put_Enabled(VARIANT_TRUE);
    grid->SetFocusCell(2, 2);
    SendMessageW(grid.Window(), WM_CHAR, 'x', 0);
    EXPECT_NE(nullptr, grid->OpenEditor());
}

} // namespace
