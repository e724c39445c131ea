#include "view/AccessibleTable.h"

#include <oleacc.h>

#include "model/GridCell.h"

namespace view::access {

long ChildCount(const Shape& t) noexcept
{
    // The table holds at most CGridTable::kMaxCells, well inside a long.
    return t.rows > 0 && t.cols > 0 ? static_cast<long>(static_cast<long long>(t.rows) * t.cols) : 0;
}

long ChildId(const Shape& t, const CCellID& cell) noexcept
{
    return static_cast<long>(static_cast<long long>(cell.row) * t.cols + cell.col + 1);
}

bool CellOf(const Shape& t, long id, CCellID& cell) noexcept
{
    if (id <= 0 || id > ChildCount(t)) return false;
    cell = CCellID(static_cast<int>((id - 1) / t.cols), static_cast<int>((id - 1) % t.cols));
    return true;
}

bool IsFixed(const Shape& t, const CCellID& cell) noexcept
{
    return cell.row < t.fixedRows || cell.col < t.fixedCols;
}

long Role(const Shape& t, const CCellID& cell) noexcept
{
    if (cell.row < t.fixedRows) return ROLE_SYSTEM_COLUMNHEADER;
    if (cell.col < t.fixedCols) return ROLE_SYSTEM_ROWHEADER;
    return ROLE_SYSTEM_CELL;
}

std::wstring JoinHeaders(const std::wstring& column, const std::wstring& row, const CCellID& cell)
{
    if (column.empty() && row.empty())
        return L"Row " + std::to_wstring(cell.row) + L", Column " + std::to_wstring(cell.col);
    if (column.empty()) return row;
    if (row.empty()) return column;
    return column + L", " + row;
}

long CellState(const Shape& t, const CCellID& cell, const CellFacts& f) noexcept
{
    long state = 0;
    if (!IsFixed(t, cell)) state |= STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if (f.selected) state |= STATE_SYSTEM_SELECTED;
    if (f.current && f.windowFocused) state |= STATE_SYSTEM_FOCUSED;
    if (!f.editable) state |= STATE_SYSTEM_READONLY;
    if (f.offscreen) state |= STATE_SYSTEM_OFFSCREEN;
    return state;
}

long TableState(bool focused, bool enabled) noexcept
{
    long state = STATE_SYSTEM_FOCUSABLE;
    if (focused) state |= STATE_SYSTEM_FOCUSED;
    if (!enabled) state |= STATE_SYSTEM_UNAVAILABLE;
    return state;
}

long NavigateTarget(const Shape& t, long from, long dir) noexcept
{
    const long count = ChildCount(t);
    if (from == CHILDID_SELF) {
        if (count == 0) return CHILDID_SELF;
        if (dir == NAVDIR_FIRSTCHILD) return 1;
        if (dir == NAVDIR_LASTCHILD) return count;
        return CHILDID_SELF;
    }
    CCellID cell;
    if (!CellOf(t, from, cell)) return CHILDID_SELF;
    switch (dir) {
    case NAVDIR_UP: --cell.row; break;
    case NAVDIR_DOWN: ++cell.row; break;
    case NAVDIR_LEFT: --cell.col; break;
    case NAVDIR_RIGHT: ++cell.col; break;
    case NAVDIR_NEXT: return from < count ? from + 1 : CHILDID_SELF;
    case NAVDIR_PREVIOUS: return from > 1 ? from - 1 : CHILDID_SELF;
    default: return CHILDID_SELF;
    }
    if (cell.row < 0 || cell.row >= t.rows || cell.col < 0 || cell.col >= t.cols) return CHILDID_SELF;
    return ChildId(t, cell);
}

SelectStep SelectStepFor(long flags) noexcept
{
    constexpr long known = SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION | SELFLAG_EXTENDSELECTION;
    // The selection is one rectangle: single cells cannot be added or taken out.
    if (flags & ~known) return SelectStep::Refused;
    if (flags & SELFLAG_EXTENDSELECTION) return SelectStep::ShiftClick;
    if (flags) return SelectStep::Click;
    return SelectStep::Nothing;
}

CellAction DefaultAction(const Shape& t, const CCellID& cell, bool enabled, bool editable, int typeEx,
                         bool current) noexcept
{
    if (!enabled || IsFixed(t, cell)) return CellAction::None;
    if (typeEx == txButton) return CellAction::Press;
    // A click opens the editor of the current cell, and of any cell with an
    // editor kind of its own.
    if (editable && (typeEx != 0 || current)) return CellAction::Edit;
    return CellAction::None;
}

const wchar_t* ActionName(CellAction action) noexcept
{
    switch (action) {
    case CellAction::Edit: return L"Edit";
    case CellAction::Press: return L"Press";
    default: return nullptr;
    }
}

} // namespace view::access
