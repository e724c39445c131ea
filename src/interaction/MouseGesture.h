// CMouseGesture: what the left button does in the grid, as a state machine
// over the mouse mode: presses, moves, releases, double clicks and the
// auto-scroll tick. Geometry comes from the layout; the control supplies
// events, editing, capture, cursors and drawing through CMouseHost.
#pragma once

#include <windows.h>

#include "interaction/SelectionModel.h"
#include "model/GridTable.h"
#include "view/Layout.h"

namespace mouse {

// The auto-scroll timer: its id and period.
constexpr UINT_PTR kScrollTimerId = 513;
constexpr UINT kScrollPeriodMs = 25;

enum class Cursor { Arrow, SizeWE, SizeNS, DropAllowed, DropRefused };

// Which column (row) a press on a divider sizes: one within the tolerance
// of a cell's near edge sizes the cell before it.
int SizedIndex(int pos, int cellStart, int index, int tolerance = view::kEdgeTolerance) noexcept;

// Where a dragged row or column lands when dropped on target: before the
// target, so one dragged down ends just above it. count is the number of
// neighbour exchanges that move stands for (0: nothing moves).
struct Drop {
    int from = -1;
    int to = -1;
    int count = 0;
};
// hitInside: the drop point hit a cell (row and column both >= 0).
Drop PlanDrop(int dragged, int target, int fixed, int total, bool hitInside) noexcept;

// One step of the auto-scroll tick: the arrow key to send and the point
// whose cell the selection then extends to.
struct ScrollStep {
    WORD key = 0;
    POINT probe = {0, 0};
};
struct ScrollSteps {
    int count = 0;
    ScrollStep steps[2];
};
// At most one vertical step (first) and one horizontal one, for a pointer at
// pt in the client area client with the fixed area fixedW x fixedH.
ScrollSteps PlanAutoScroll(POINT pt, const RECT& client, int fixedW, int fixedH) noexcept;

class CMouseHost {
public:
    // Settings.
    virtual bool Enabled() const = 0;
    virtual bool ColSizing() const = 0;
    virtual bool RowSizing() const = 0;
    virtual bool DragRows() const = 0;
    virtual bool DragCols() const = 0;

    virtual view::CLayout Layout() const = 0;
    virtual RECT Client() const = 0;
    // The cursor position in client coordinates.
    virtual POINT CursorPos() const = 0;

    // Editing: commit the open editor; open one on a cell.
    virtual void CloseEditor() = 0;
    virtual void EditCell(int row, int col) = 0;

    virtual bool HasFocus() const = 0;
    virtual void TakeFocus() = 0;

    // Events.
    virtual void OnClick() = 0;
    virtual void OnDblClick() = 0;
    virtual void OnSelectRange() = 0;
    virtual void OnFixedColClick(int col) = 0;
    virtual void OnFixedRowClick(int row) = 0;

    // Moves a row or column as the drop asks (Drop::count exchanges' worth),
    // then raises the drop event with dragged and target.
    virtual void DropRow(const Drop& drop, int dragged, int target) = 0;
    virtual void DropCol(const Drop& drop, int dragged, int target) = 0;
    // Sizes set by a divider drag, and fitted by a double click on one.
    virtual void SetColWidth(int col, int width) = 0;
    virtual void SetRowHeight(int row, int height) = 0;
    virtual void FitCol(int col) = 0;
    virtual void FitRow(int row) = 0;

    // The platform.
    virtual void Capture() = 0;
    virtual void ReleaseCapture() = 0;
    virtual bool HasCapture() const = 0;
    virtual void ShowCursor(Cursor cursor) = 0;
    // Confines the pointer to a client rectangle; null frees it.
    virtual void ClipCursor(const RECT* client) = 0;
    virtual void InvertRect(const RECT& rc) = 0;
    // Returns the timer's id, 0 when none was made.
    virtual UINT_PTR StartTimer() = 0;
    virtual void StopTimer(UINT_PTR id) = 0;
    // WM_KEYDOWN with the key to the control window.
    virtual void SendKey(WORD key) = 0;

    // Cell hints: a hover over a cell while nothing runs, and the relay of
    // the message being handled.
    virtual void HoverHint(const CCellID& cell) = 0;
    virtual void RelayToHint() = 0;

protected:
    ~CMouseHost() = default;
};

class CMouseGesture {
public:
    CMouseGesture(const CGridTable& grid, CSelectionModel& selection, CMouseHost& host) noexcept
        : m_grid(grid), m_selection(selection), m_host(host) {}
    CMouseGesture(const CMouseGesture&) = delete;
    CMouseGesture& operator=(const CMouseGesture&) = delete;

    // keys: the MK_ flags of the message.
    void Press(int x, int y, WPARAM keys);
    void Move(int x, int y, WPARAM keys);
    // True when the message then goes to the default window procedure.
    bool Release(int x, int y);
    void DoubleClick(int x, int y);
    void Tick();
    // Another window took the mouse: the gesture ends with it.
    void CaptureLost();

    MouseMode Mode() const noexcept { return m_selection.Mode(); }
    CCellID ButtonDownCell() const noexcept { return m_downCell; }

private:
    void SetMode(MouseMode mode) noexcept { m_selection.SetMode(mode); }
    // Steps of a press that picks its branch by the mode.
    bool BeginSizing(bool columns, int x, int y);
    void HeaderClick(bool columns);
    void StopTimer();
    // Our own release of the capture, which must not end the gesture twice.
    void DropCapture();
    // The inverted line of a divider drag at pos.
    RECT SizingLine(bool columns, int pos) const;
    void InvertSizingLine(bool columns, int pos);

    const CGridTable& m_grid;
    CSelectionModel& m_selection;
    CMouseHost& m_host;
    POINT m_down = {0, 0};
    POINT m_last = {0, 0};
    CCellID m_downCell;
    UINT_PTR m_timer = 0;
    bool m_releasing = false;
};

} // namespace mouse
