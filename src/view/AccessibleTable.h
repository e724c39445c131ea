// The grid as a flat table for accessibility clients: child ids, roles,
// names, states, navigation and actions as plain functions of the table's
// shape and of what is known about one cell. Nothing here is kept per cell,
// so every answer costs the same on any size of grid.
#pragma once

#include <windows.h>

#include <string>

#include "model/GridTable.h"

namespace view::access {

struct Shape {
    int rows = 0;
    int cols = 0;
    int fixedRows = 0;
    int fixedCols = 0;
};

// Every cell, fixed ones included, is a child: row * cols + col + 1.
// CHILDID_SELF (0) is the table itself.
long ChildCount(const Shape& t) noexcept;
long ChildId(const Shape& t, const CCellID& cell) noexcept;
// False for CHILDID_SELF and for ids outside the table.
bool CellOf(const Shape& t, long id, CCellID& cell) noexcept;

bool IsFixed(const Shape& t, const CCellID& cell) noexcept;
long Role(const Shape& t, const CCellID& cell) noexcept;

// A cell's name. A fixed cell is named by its own text; any other by the
// texts of its column header (fixed row 0) and row header (fixed column 0),
// joined by ", " without empty ones, else by its position. text(row, col)
// gives a cell's display text.
template <class Text>
std::wstring CellName(const Shape& t, const CCellID& cell, Text text);
std::wstring JoinHeaders(const std::wstring& column, const std::wstring& row, const CCellID& cell);

struct CellFacts {
    bool selected = false;
    bool current = false;
    bool windowFocused = false;
    bool editable = true;
    bool offscreen = false;
};
long CellState(const Shape& t, const CCellID& cell, const CellFacts& facts) noexcept;
long TableState(bool focused, bool enabled) noexcept;

// The child a NAVDIR_ move from `from` reaches; CHILDID_SELF when there is
// none (past an edge, or a direction that does not apply).
long NavigateTarget(const Shape& t, long from, long dir) noexcept;

// What accSelect's flags ask for.
enum class SelectStep { Refused, Nothing, Click, ShiftClick };
SelectStep SelectStepFor(long flags) noexcept;

// What a cell's default action does: open its editor as a click does, or
// press its own push button.
enum class CellAction { None, Edit, Press };
CellAction DefaultAction(const Shape& t, const CCellID& cell, bool enabled, bool editable, int typeEx,
                         bool current) noexcept;
const wchar_t* ActionName(CellAction action) noexcept;

template <class Text>
std::wstring CellName(const Shape& t, const CCellID& cell, Text text)
{
    if (IsFixed(t, cell)) return text(cell.row, cell.col);
    return JoinHeaders(t.fixedRows > 0 ? text(0, cell.col) : std::wstring(),
                       t.fixedCols > 0 ? text(cell.row, 0) : std::wstring(), cell);
}

} // namespace view::access
