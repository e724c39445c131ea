// Where keys move the current cell and where the accelerator hook sends them.
#include <windows.h>
#include <gtest/gtest.h>

#include "interaction/KeyNavigation.h"

namespace {

using kbd::HookAction;

// 10 rows, 8 columns, 1 fixed row, 2 fixed columns.
const kbd::GridShape kGrid{10, 8, 1, 2};

struct NavCase {
    unsigned key;
    bool shift;
    int row, col, topShift;
    int toRow, toCol;
    bool wrapped;
};

TEST(KeyNavigation, NewPositionPerKey)
{
    const NavCase cases[] = {
        {VK_RIGHT, false, 3, 4, 0, 3, 5, false},
        {VK_RIGHT, false, 3, 7, 0, 3, 7, false},   // last column
        {VK_LEFT, false, 3, 3, 0, 3, 2, false},
        {VK_LEFT, false, 3, 2, 0, 3, 2, false},    // first movable column
        {VK_UP, false, 1, 4, 0, 1, 4, false},      // first movable row
        {VK_UP, true, 5, 4, 0, 4, 4, false},       // Shift does not change arrows
        {VK_DOWN, false, 9, 4, 0, 9, 4, false},
        {VK_DOWN, false, 8, 4, 0, 9, 4, false},
        {VK_TAB, false, 3, 4, 0, 3, 5, false},
        {VK_TAB, false, 3, 7, 0, 4, 2, true},      // wraps to the first movable column
        {VK_TAB, false, 9, 7, 0, 9, 7, false},     // last cell of the grid
        {VK_TAB, true, 3, 4, 0, 3, 3, false},
        {VK_TAB, true, 3, 2, 0, 2, 7, true},
        {VK_TAB, true, 1, 2, 0, 1, 2, false},      // first movable cell
        {VK_HOME, false, 6, 5, 0, 1, 5, false},    // column kept
        {VK_END, false, 2, 5, 0, 9, 5, false},
        {VK_NEXT, false, 2, 5, 4, 6, 5, false},    // by what the view moved
        {VK_NEXT, false, 8, 5, 4, 9, 5, false},    // not past the last row
        {VK_NEXT, false, 4, 5, 0, 9, 5, false},    // view at the end: last row
        {VK_PRIOR, false, 6, 5, -4, 2, 5, false},
        {VK_PRIOR, false, 3, 5, -4, 1, 5, false},
        {VK_PRIOR, false, 6, 5, 0, 1, 5, false},   // view at the top: first movable row
        {VK_DELETE, false, 3, 4, 0, 3, 4, false},
        {'A', false, 3, 4, 0, 3, 4, false},
    };
    for (const NavCase& c : cases) {
        const kbd::Move m = kbd::NavigateKey(c.key, c.shift, c.row, c.col, kGrid, c.topShift);
        EXPECT_EQ(c.toRow, m.row) << "key " << c.key << " shift " << c.shift << " from " << c.row << "," << c.col;
        EXPECT_EQ(c.toCol, m.col) << "key " << c.key << " shift " << c.shift << " from " << c.row << "," << c.col;
        EXPECT_EQ(c.wrapped, m.wrapped) << "key " << c.key << " from " << c.row << "," << c.col;
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
    EXPECT_EQ(SB_PAGEUP, kbd::ScrollBeforeMove(VK_PRIOR));
    EXPECT_EQ(SB_PAGEDOWN, kbd::ScrollBeforeMove(VK_NEXT));
    EXPECT_EQ(SB_TOP, kbd::ScrollBeforeMove(VK_HOME));
    EXPECT_EQ(SB_BOTTOM, kbd::ScrollBeforeMove(VK_END));
    EXPECT_EQ(-1, kbd::ScrollBeforeMove(VK_DOWN));

    using S = kbd::ScrollAfter;
    struct Case { unsigned key; bool shift, wrapped; S::Bar bar; int code, horzTo; } const cases[] = {
        {VK_LEFT, false, false, S::Horz, SB_LINELEFT, -1},
        {VK_RIGHT, false, false, S::Horz, SB_LINERIGHT, -1},
        {VK_UP, false, false, S::Vert, SB_LINEUP, -1},
        {VK_DOWN, false, false, S::Vert, SB_LINEDOWN, -1},
        {VK_TAB, false, false, S::Horz, SB_LINERIGHT, -1},
        {VK_TAB, true, false, S::Horz, SB_LINELEFT, -1},
        {VK_TAB, false, true, S::Vert, SB_LINEDOWN, 0},
        {VK_TAB, true, true, S::Vert, SB_LINEUP, 1},
        {VK_HOME, false, false, S::None, 0, -1},
    };
    for (const Case& c : cases) {
        const S s = kbd::ScrollAfterMove(c.key, c.shift, c.wrapped);
        EXPECT_EQ(c.bar, s.bar) << c.key << " " << c.shift << c.wrapped;
        if (c.bar != S::None) {
            EXPECT_EQ(c.code, s.code) << c.key << " " << c.shift << c.wrapped;
        }
        EXPECT_EQ(c.horzTo, s.horzTo) << c.key << " " << c.shift << c.wrapped;
    }
}

TEST(KeyNavigation, HookRoutes)
{
    enum Where { Grid, Editor, Inner, Outside };
    struct Case {
        UINT msg;
        unsigned key;
        bool ctrl, shift;
        Where where;
        bool editor, button;
        HookAction action;
    } const cases[] = {
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
    for (const Case& c : cases) {
        kbd::HookInput in{};
        in.message = c.msg;
        in.key = c.key;
        in.ctrl = c.ctrl;
        in.shift = c.shift;
        in.inControl = c.where != Outside;
        in.ownWindow = c.where == Grid || c.where == Editor;
        in.editorOpen = c.editor;
        in.buttonExists = c.button;
        EXPECT_EQ(c.action, kbd::RouteKey(in))
            << "msg " << c.msg << " key " << c.key << " ctrl " << c.ctrl << " shift " << c.shift << " where " << c.where
            << " editor " << c.editor << " button " << c.button;
    }
}

} // namespace
