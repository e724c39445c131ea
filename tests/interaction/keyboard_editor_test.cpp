// Keys meeting the in-place editors: Enter, Escape, Ctrl+Enter, arrows and
// Tab with an editor open. Disabled until the editors are built.
#include "interaction/keyed_grid.h"

namespace {

using keys_test::Held;
using List = std::vector<std::string>;

struct KeysAndEditor : keys_test::KeyedGrid {
    // A String cell with a text box.
    void TextCell(int row, int col, const wchar_t* text)
    {
        grid.SetText(row, col, text);
        grid->GetCell(row, col)->m_TypeEx = 2;
    }
    // Offers the key first and dispatches it when the hook leaves it, as a
    // container's message loop does.
    void Press(UINT vk, HWND target = nullptr)
    {
        if (Offer(WM_KEYDOWN, vk, target) != S_OK)
            SendMessageW(target ? target : grid.Window(), WM_KEYDOWN, vk, 0);
    }
};

TEST_F(KeysAndEditor, TabOpensTheNewCellsEditorBeforeLeaving)
{
    TextCell(2, 3, L"t");
    grid->SetFocusCell(2, 2);
    Events();
    Key(VK_TAB);
    const std::string text = "'text',&0";
    EXPECT_EQ((List{"9(9)", "10(3,2)", "1(3,2," + text + ")", "14(2,2)", "13(2,3)"}), Events());
    EXPECT_NE(nullptr, grid->OpenEditor());
}

TEST_F(KeysAndEditor, EnterOpensEnterCommitsEscapeDiscards)
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

TEST_F(KeysAndEditor, CtrlEnterAndArrowsReachAnOpenEditor)
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

TEST_F(KeysAndEditor, TypingStartsAnEditUnlessDisabled)
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
