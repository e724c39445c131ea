// Keys through the control window's WM_KEYDOWN and through the accelerator
// hook, as a container sends them, with and without an open editor.
// First, where keys move the current cell and where the hook sends them.
#include "interaction/KeyNavigation.h"
#include "interaction/keyed_grid.h"

#include <tuple>

namespace {

using kbd::HookAction;

// 10 rows, 8 columns, 1 fixed row, 2 fixed columns.
const kbd::GridShape kGrid{10, 8, 1, 2};

TEST(KeyNavigation, NewPositionPerKey)
{
    const struct { unsigned key; bool shift; int row, col, topShift, toRow, toCol; bool wrapped; } cases[] = {
        {VK_RIGHT, false, 3, 4, 0, 3, 5, false},   {VK_LEFT, false, 3, 3, 0, 3, 2, false},
        {VK_RIGHT, false, 3, 7, 0, 3, 7, false},   // last column
        {VK_LEFT, false, 3, 2, 0, 3, 2, false},    // first movable column
        {VK_UP, false, 1, 4, 0, 1, 4, false},      // first movable row
        {VK_UP, true, 5, 4, 0, 4, 4, false},       // Shift does not change arrows
        {VK_DOWN, false, 9, 4, 0, 9, 4, false},    {VK_DOWN, false, 8, 4, 0, 9, 4, false},
        {VK_TAB, false, 3, 4, 0, 3, 5, false},     {VK_TAB, true, 3, 4, 0, 3, 3, false},
        {VK_TAB, false, 3, 7, 0, 4, 2, true},      // wraps to the first movable column
        {VK_TAB, false, 9, 7, 0, 9, 7, false},     // last cell of the grid
        {VK_TAB, true, 3, 2, 0, 2, 7, true},
        {VK_TAB, true, 1, 2, 0, 1, 2, false},      // first movable cell
        {VK_HOME, false, 6, 5, 0, 1, 5, false},    // column kept
        {VK_END, false, 2, 5, 0, 9, 5, false},
        {VK_NEXT, false, 2, 5, 4, 6, 5, false},    // by what the view moved
        {VK_NEXT, false, 8, 5, 4, 9, 5, false},    // not past the last row
        {VK_NEXT, false, 4, 5, 0, 9, 5, false},    // view at the end: last row
        {VK_PRIOR, false, 6, 5, -4, 2, 5, false},  {VK_PRIOR, false, 3, 5, -4, 1, 5, false},
        {VK_PRIOR, false, 6, 5, 0, 1, 5, false},   // view at the top: first movable row
        {VK_DELETE, false, 3, 4, 0, 3, 4, false},  {'A', false, 3, 4, 0, 3, 4, false},
    };
    for (const auto& c : cases) {
        const kbd::Move m = kbd::NavigateKey(c.key, c.shift, c.row, c.col, kGrid, c.topShift);
        EXPECT_EQ(std::make_tuple(c.toRow, c.toCol, c.wrapped), std::make_tuple(m.row, m.col, m.wrapped))
            << "key " << c.key << " shift " << c.shift << " from " << c.row << "," << c.col << " view " << c.topShift;
    }
}

TEST(KeyNavigation, KeysThatStartAnEdit)
{
    for (unsigned key : {unsigned(VK_RETURN), unsigned(VK_F2), unsigned(VK_SPACE), unsigned('A'), unsigned('7')})
        EXPECT_TRUE(kbd::StartsEdit(key)) << key;
    for (unsigned key : {unsigned(VK_SHIFT), unsigned(VK_CONTROL), unsigned(VK_MENU), unsigned(VK_LSHIFT),
                         unsigned(VK_CAPITAL), unsigned(VK_DOWN), unsigned(VK_TAB), unsigned(VK_DELETE)})
        EXPECT_FALSE(kbd::StartsEdit(key)) << key;
}

TEST(KeyNavigation, ScrollStepsAroundAMove)
{
    for (auto [key, code] : {std::pair{VK_PRIOR, SB_PAGEUP}, {VK_NEXT, SB_PAGEDOWN}, {VK_HOME, SB_TOP},
                              {VK_END, SB_BOTTOM}, {VK_DOWN, -1}})
        EXPECT_EQ(code, kbd::ScrollBeforeMove(key)) << key;

    using S = kbd::ScrollAfter;
    struct Case { unsigned key; bool shift, wrapped; S::Bar bar; int code, horzTo; } const cases[] = {
        {VK_LEFT, false, false, S::Horz, SB_LINELEFT, -1},  {VK_RIGHT, false, false, S::Horz, SB_LINERIGHT, -1},
        {VK_UP, false, false, S::Vert, SB_LINEUP, -1},      {VK_DOWN, false, false, S::Vert, SB_LINEDOWN, -1},
        {VK_TAB, false, false, S::Horz, SB_LINERIGHT, -1},  {VK_TAB, true, false, S::Horz, SB_LINELEFT, -1},
        {VK_TAB, false, true, S::Vert, SB_LINEDOWN, 0},     {VK_TAB, true, true, S::Vert, SB_LINEUP, 1},
        {VK_HOME, false, false, S::None, 0, -1},
    };
    for (const auto& c : cases) {
        const S s = kbd::ScrollAfterMove(c.key, c.shift, c.wrapped);
        EXPECT_EQ(std::make_tuple(c.bar, c.code, c.horzTo), std::make_tuple(s.bar, s.bar == S::None ? 0 : s.code, s.horzTo))
            << c.key << " " << c.shift << c.wrapped;
    }
}

TEST(KeyNavigation, HookRoutes)
{
    enum Where { Grid, Editor, Inner, Outside };
    const struct { UINT msg; unsigned key; bool ctrl, shift; Where where; bool editor, button; HookAction action; }
    cases[] = {
        {WM_KEYUP, VK_LEFT, false, false, Grid, false, false, HookAction::Pass},
        {WM_KEYDOWN, VK_LEFT, false, false, Outside, false, false, HookAction::Pass},
        {WM_KEYDOWN, VK_LEFT, false, false, Grid, false, false, HookAction::KeyDown},
        {WM_KEYDOWN, VK_DELETE, false, false, Grid, false, false, HookAction::KeyDown},
        {WM_KEYDOWN, 'C', true, false, Grid, false, false, HookAction::Copy},
        {WM_KEYDOWN, VK_INSERT, true, false, Grid, false, false, HookAction::Copy},
        {WM_KEYDOWN, 'V', true, false, Grid, false, false, HookAction::Paste},
        {WM_KEYDOWN, VK_INSERT, false, true, Grid, false, false, HookAction::Paste},
        {WM_KEYDOWN, 'X', true, false, Grid, false, false, HookAction::Cut},
        {WM_KEYDOWN, 'C', false, false, Grid, false, false, HookAction::Pass},
        {WM_KEYDOWN, 'C', true, false, Editor, true, false, HookAction::Pass},      // the editor's own copy
        {WM_KEYDOWN, VK_LEFT, false, false, Editor, true, false, HookAction::ToEditor},
        {WM_KEYDOWN, VK_TAB, false, false, Editor, true, false, HookAction::Tab},
        {WM_CHAR, VK_TAB, false, false, Grid, false, false, HookAction::Tab},
        {WM_KEYDOWN, VK_RETURN, false, false, Editor, true, false, HookAction::CommitEditor},
        {WM_KEYDOWN, VK_RETURN, true, false, Editor, true, false, HookAction::Pass},  // line break in the editor
        {WM_KEYDOWN, VK_ESCAPE, false, false, Editor, true, false, HookAction::DiscardEditor},
        {WM_KEYDOWN, VK_HOME, false, false, Editor, true, false, HookAction::Pass},
        {WM_KEYDOWN, VK_RETURN, false, false, Grid, false, false, HookAction::Pass},   // opens the editor later
        {WM_KEYDOWN, VK_ESCAPE, false, false, Grid, false, false, HookAction::PostKillFocus},
        {WM_KEYDOWN, 'Q', false, false, Grid, false, true, HookAction::CommitEditor},  // only the push button
        {WM_KEYDOWN, VK_ESCAPE, false, false, Grid, false, true, HookAction::DiscardEditor},
        {WM_CHAR, 'q', false, false, Inner, true, false, HookAction::FilterChar},
        {WM_CHAR, 'q', false, false, Editor, true, false, HookAction::Pass},
        // Characters whose codes equal key codes are no keys.
        {WM_CHAR, '.', false, false, Grid, false, false, HookAction::Pass},
        {WM_CHAR, '%', false, false, Grid, false, false, HookAction::Pass},
        {WM_CHAR, '-', false, true, Grid, false, false, HookAction::Pass},
    };
    for (const auto& c : cases) {
        const kbd::HookInput in{c.msg, c.key, c.ctrl, c.shift, c.where != Outside,
                                c.where == Grid || c.where == Editor, c.editor, c.button};
        EXPECT_EQ(c.action, kbd::RouteKey(in))
            << "msg " << c.msg << " key " << c.key << " ctrl " << c.ctrl << " shift " << c.shift << " where " << c.where
            << " editor " << c.editor << " button " << c.button;
    }
}

using keys_test::Held;
using List = std::vector<std::string>;

struct Keys : keys_test::KeyedGrid {};

TEST_F(Keys, EditorsOpenByTabEnterOrTypingAndTakeTheirKeys)
{
    TextCell(2, 3, L"t");
    grid->SetFocusCell(2, 2);
    Events();
    Key(VK_TAB);  // the new cell's editor opens before the leave
    const std::string text = "'text',&0";
    EXPECT_EQ((List{"9(9)", "10(3,2)", "1(3,2," + text + ")", "14(2,2)", "13(2,3)"}), Events());
    EXPECT_NE(nullptr, grid->OpenEditor());
    Itf()->HideEdit();
    {
        Held shift{VK_SHIFT};  // back: the new cell alone is selected, the anchor with it
        Key(VK_TAB);
    }
    Itf()->HideEdit();
    EXPECT_EQ(CCellID(2, 2), Current());
    EXPECT_EQ("2,2-2,2", Corners());
    EXPECT_EQ(CCellID(2, 2), grid->Selection().Anchor());

    Itf()->put_EditMultiline(VARIANT_TRUE);
    TextCell(2, 2, L"old");
    grid->SetFocusCell(2, 2);
    Press(VK_SHIFT);  // a modifier alone opens nothing
    EXPECT_EQ(nullptr, grid->OpenEditor());
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
    EXPECT_EQ(editor, grid->OpenEditor());
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

    Itf()->put_Enabled(VARIANT_FALSE);  // drops the current cell
    grid->SetFocusCell(2, 2);
    SendMessageW(grid.Window(), WM_CHAR, 'x', 0);
    EXPECT_EQ(nullptr, grid->OpenEditor());
    Press(VK_RETURN);
    EXPECT_EQ(nullptr, grid->OpenEditor());
    Itf()->put_Enabled(VARIANT_TRUE);
    grid->SetFocusCell(2, 2);
    SendMessageW(grid.Window(), WM_CHAR, 'x', 0);
    EXPECT_NE(nullptr, grid->OpenEditor());
}

} // namespace
