#include "interaction/KeyNavigation.h"

namespace kbd {

namespace {

bool IsArrow(unsigned key) noexcept
{
    return key == kLeft || key == kRight || key == kUp || key == kDown;
}

} // namespace

bool IsNavigationKey(unsigned key) noexcept
{
    return IsArrow(key) || key == kTab || key == kPrior || key == kNext || key == kHome || key == kEnd
           || key == kDelete;
}

bool StartsEdit(unsigned key) noexcept
{
    switch (key) {
    case 0x10: case 0x11: case 0x12:  // Shift, Ctrl, Alt
    case 0x14: case 0x90: case 0x91:  // Caps, Num and Scroll Lock
    case 0x5B: case 0x5C:             // Windows keys
    case 0xA0: case 0xA1: case 0xA2: case 0xA3: case 0xA4: case 0xA5:  // left and right modifiers
        return false;
    default:
        return !IsNavigationKey(key);
    }
}

int ScrollBeforeMove(unsigned key) noexcept
{
    switch (key) {
    case kPrior: return kPageUp;
    case kNext: return kPageDown;
    case kEnd: return kBottom;
    case kHome: return kTop;
    default: return -1;
    }
}

Move NavigateKey(unsigned key, bool shift, int row, int col, const GridShape& g, int topShift) noexcept
{
    Move m{row, col, false};
    switch (key) {
    case kTab:
        if (shift) {
            if (col > g.fixedCols) {
                --m.col;
            } else if (col == g.fixedCols && row > g.fixedRows) {
                m = Move{row - 1, g.cols - 1, true};
            }
        } else {
            if (col < g.cols - 1) {
                ++m.col;
            } else if (col == g.cols - 1 && row < g.rows - 1) {
                m = Move{row + 1, g.fixedCols, true};
            }
        }
        break;
    case kPrior:
        // A view that did not move was at the top already.
        if (topShift == 0) m.row = g.fixedRows;
        else m.row = row + topShift < g.fixedRows ? g.fixedRows : row + topShift;
        break;
    case kNext:
        if (topShift == 0) m.row = g.rows - 1;
        else m.row = row + topShift > g.rows - 1 ? g.rows - 1 : row + topShift;
        break;
    case kEnd: m.row = g.rows - 1; break;
    case kHome: m.row = g.fixedRows; break;
    case kLeft: if (col > g.fixedCols) --m.col; break;
    case kUp: if (row > g.fixedRows) --m.row; break;
    case kRight: if (col < g.cols - 1) ++m.col; break;
    case kDown: if (row < g.rows - 1) ++m.row; break;
    default: break;
    }
    return m;
}

ScrollAfter ScrollAfterMove(unsigned key, bool shift, bool wrapped) noexcept
{
    using B = ScrollAfter;
    switch (key) {
    case kLeft: return {B::Horz, kLineUp, -1};
    case kRight: return {B::Horz, kLineDown, -1};
    case kUp: return {B::Vert, kLineUp, -1};
    case kDown: return {B::Vert, kLineDown, -1};
    case kTab:
        if (wrapped) return shift ? B{B::Vert, kLineUp, 1} : B{B::Vert, kLineDown, 0};
        return {B::Horz, shift ? kLineUp : kLineDown, -1};
    default: return {B::None, 0, -1};
    }
}

HookAction RouteKey(const HookInput& in) noexcept
{
    const bool isChar = in.message == kCharMessage;
    if (in.message != kKeyDownMessage && !isChar) return HookAction::Pass;
    if (!in.inControl) return HookAction::Pass;
    if (isChar && !in.ownWindow) return HookAction::FilterChar;

    // A character code is no key code: '.' (46) is not Delete, '%' (37) not
    // Left. Only Tab, Enter and Escape mean the same as characters.
    const unsigned key = in.key;
    if (!isChar && !in.editorOpen && !in.buttonExists) {
        if (in.ctrl && (key == 'C' || key == kInsert)) return HookAction::Copy;
        if ((in.ctrl && key == 'V') || (in.shift && key == kInsert)) return HookAction::Paste;
        if (in.ctrl && key == 'X') return HookAction::Cut;
    }
    const bool moves = IsArrow(key) || key == kDelete;
    if (in.editorOpen && moves) return HookAction::ToEditor;
    if (key == kTab) return HookAction::Tab;
    if (in.editorOpen && key != kEscape) {
        if (key != kReturn || in.ctrl) return HookAction::Pass;
    } else if (!in.editorOpen && moves && !isChar) {
        return HookAction::KeyDown;
    }
    if (in.editorOpen || in.buttonExists)
        return key == kEscape ? HookAction::DiscardEditor : HookAction::CommitEditor;
    if (key == kEscape) return HookAction::PostKillFocus;
    return HookAction::Pass;
}

} // namespace kbd
