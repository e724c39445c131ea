// The pure side of keyboard handling: where a key moves the current cell,
// which scroll steps go with the move, and where the accelerator hook sends
// a key. No windows here; the handlers in Keyboard.cpp act on the answers.
#pragma once

namespace kbd {

// Virtual-key codes and the two key messages the grid acts on (the
// platform's values).
enum Key : unsigned {
    kTab = 9, kReturn = 13, kEscape = 27,
    kPrior = 33, kNext = 34, kEnd = 35, kHome = 36,
    kLeft = 37, kUp = 38, kRight = 39, kDown = 40,
    kInsert = 45, kDelete = 46,
};
constexpr unsigned kKeyDownMessage = 0x100;
constexpr unsigned kCharMessage = 0x102;

// Scroll-bar codes of WM_HSCROLL / WM_VSCROLL.
enum ScrollCode : int {
    kLineUp = 0, kLineDown = 1, kPageUp = 2, kPageDown = 3, kTop = 6, kBottom = 7,
};

struct GridShape {
    int rows;
    int cols;
    int fixedRows;
    int fixedCols;
};

struct Move {
    int row;
    int col;
    bool wrapped;  // Tab went on to the next (Shift+Tab: previous) row
};

// Keys that move the current cell (or clear, for Delete) instead of
// starting an edit.
bool IsNavigationKey(unsigned key) noexcept;

// Whether a key without Ctrl opens the editor on the current cell: any key
// but the navigation keys and the modifiers pressed on their own (Shift
// before Shift+Down must not open an editor that then takes the arrow).
bool StartsEdit(unsigned key) noexcept;

// The vertical scroll a key sends before its move is known (-1: none):
// PgUp/PgDn page, Home/End jump to the top/bottom.
int ScrollBeforeMove(unsigned key) noexcept;

// The new position for a key from (row, col). topShift is how many rows the
// first scrolled row moved by the scroll of ScrollBeforeMove (PgUp/PgDn).
Move NavigateKey(unsigned key, bool shift, int row, int col, const GridShape& grid, int topShift) noexcept;

// The extra scroll after a move brought a hidden cell into view.
struct ScrollAfter {
    enum Bar { None, Horz, Vert } bar;
    int code;
    // Tab across rows also puts the view at the far left (0) or the far
    // right (1); -1 leaves it.
    int horzTo;
};
ScrollAfter ScrollAfterMove(unsigned key, bool shift, bool wrapped) noexcept;

// What the accelerator hook does with a key message.
enum class HookAction {
    Pass,           // not ours: the container goes on with it
    FilterChar,     // a character for a window inside an open editor
    Copy,
    Paste,
    Cut,
    ToEditor,       // the same message to the open editor
    Tab,            // the key-down handler with Tab
    KeyDown,        // the key-down handler with the message
    CommitEditor,   // close the editor, keeping its content
    DiscardEditor,  // close the editor, dropping its content
    PostKillFocus,  // Escape with nothing to close
};

struct HookInput {
    unsigned message;
    unsigned key;
    bool ctrl;
    bool shift;
    bool inControl;     // the target is the control window or lies inside it
    bool ownWindow;     // the target is the control window, the editor or its push button
    bool editorOpen;
    bool buttonExists;  // the editor's push button
};
HookAction RouteKey(const HookInput& in) noexcept;

} // namespace kbd
