#include "interaction/MouseGesture.h"

#include <algorithm>

namespace mouse {

int SizedIndex(int pos, int cellStart, int index, int tolerance) noexcept
{
    return static_cast<long long>(pos) - cellStart <= tolerance ? index - 1 : index;
}

Drop PlanDrop(int dragged, int target, int fixed, int total, bool hitInside) noexcept
{
    Drop drop;
    if (!hitInside || target < fixed || target < 0 || target >= total || dragged < 0 || dragged >= total) return drop;
    if (dragged < target - 1) {
        drop = Drop{dragged, target - 1, target - 1 - dragged};
    } else if (dragged > target) {
        drop = Drop{dragged, target, dragged - target};
    }
    return drop;
}

ScrollSteps PlanAutoScroll(POINT pt, const RECT& client, int fixedW, int fixedH) noexcept
{
    ScrollSteps out;
    const LONG x = std::clamp(pt.x, client.left, client.right);
    const LONG y = std::clamp(pt.y, client.top, client.bottom);
    // The client rectangle is exclusive at the right and bottom.
    if (pt.y >= client.bottom) {
        out.steps[out.count++] = ScrollStep{VK_DOWN, POINT{x, client.bottom}};
    } else if (pt.y < fixedH) {
        out.steps[out.count++] = ScrollStep{VK_UP, POINT{x, fixedH + 1}};
    }
    if (pt.x >= client.right) {
        out.steps[out.count++] = ScrollStep{VK_RIGHT, POINT{client.right, y}};
    } else if (pt.x < fixedW) {
        out.steps[out.count++] = ScrollStep{VK_LEFT, POINT{fixedW + 1, y}};
    }
    return out;
}

// The transitions, in one place:
//   Idle -> OverColumnDivider / OverRowDivider    hover on a divider (capture held)
//        -> SizingColumn / SizingRow -> Idle       press, release
//   Idle -> SelectCells -> Idle                    press on a cell, release
//   Idle -> SelectAll / SelectColumns / SelectRows -> Idle   within a header press
//   Idle -> PrepareEdit -> Idle                    press on the current or a TypeEx cell; release opens the editor
//   Idle -> DragRow / DragColumn -> Idle           press on a header while focused; release drops
// Leaving the client area, leaving a divider without a button, or losing the
// capture returns to Idle.

void CMouseGesture::Press(int x, int y, WPARAM keys)
{
    m_host.CloseEditor();
    if (!m_host.Enabled()) return;

    const bool hadFocus = m_host.HasFocus();
    m_down = POINT{x, y};
    m_downCell = m_host.Layout().CellAtPoint(x, y, true);
    if (!m_grid.IsValid(m_downCell)) return;
    m_selection.SetAnchor((keys & MK_SHIFT) ? m_selection.FocusCell() : m_downCell);
    m_host.TakeFocus();

    if (m_downCell == m_selection.FocusCell()) {
        SetMode(MouseMode::PrepareEdit);
        m_host.OnClick();
        return;
    }
    if (Mode() != MouseMode::OverColumnDivider && Mode() != MouseMode::OverRowDivider) {
        m_selection.SetFocusCell(std::max(m_downCell.row, m_grid.FixedRows()),
                                 std::max(m_downCell.col, m_grid.FixedCols()));
        // Looked up after the events: a sink may have changed the table.
        const CCellRef cell = m_grid.GetCell(m_downCell.row, m_downCell.col);
        if (cell && cell.TypeEx() != 0) {
            SetMode(MouseMode::PrepareEdit);
            m_host.OnClick();
            return;
        }
    }
    m_host.OnClick();
    m_host.Capture();

    if (Mode() == MouseMode::Idle) {
        const view::CLayout layout = m_host.Layout();
        if (m_host.ColSizing() && layout.OnColumnEdge(x, y)) {
            m_host.ShowCursor(Cursor::SizeWE);
            SetMode(MouseMode::OverColumnDivider);
        } else if (m_host.RowSizing() && layout.OnRowEdge(x, y)) {
            m_host.ShowCursor(Cursor::SizeNS);
            SetMode(MouseMode::OverRowDivider);
        }
    }

    const bool rowHeader = m_downCell.row >= m_grid.FixedRows() && m_downCell.col < m_grid.FixedCols();
    const bool colHeader = m_downCell.row < m_grid.FixedRows() && m_downCell.col >= m_grid.FixedCols();
    if (Mode() == MouseMode::Idle && hadFocus && (rowHeader || colHeader)) {
        if (rowHeader && m_host.DragRows()) SetMode(MouseMode::DragRow);
        if (colHeader && m_host.DragCols()) SetMode(MouseMode::DragColumn);
        return;
    }

    switch (Mode()) {
    case MouseMode::OverColumnDivider:
    case MouseMode::OverRowDivider:
        if (!BeginSizing(Mode() == MouseMode::OverColumnDivider, x, y)) return;
        break;
    default:
        if (m_downCell.row < m_grid.FixedRows()) {
            HeaderClick(true);
        } else if (m_downCell.col < m_grid.FixedCols()) {
            HeaderClick(false);
        } else {
            SetMode(MouseMode::SelectCells);
            m_selection.ExtendSelection(m_downCell);
        }
        StopTimer();
        m_timer = m_host.StartTimer();
        break;
    }
    m_last = POINT{x, y};
    m_host.RelayToHint();
}

bool CMouseGesture::BeginSizing(bool columns, int x, int y)
{
    SetMode(columns ? MouseMode::SizingColumn : MouseMode::SizingRow);
    const view::CLayout layout = m_host.Layout();
    const int pos = columns ? x : y;
    RECT box;
    if (!layout.CellBox(columns ? 0 : m_downCell.row, columns ? m_downCell.col : 0, box)) return false;
    InvertSizingLine(columns, pos);
    // The release erases the line where the last point is.
    m_last = POINT{x, y};
    int& index = columns ? m_downCell.col : m_downCell.row;
    const int sized = SizedIndex(pos, columns ? box.left : box.top, index, layout.EdgeTolerance());
    if (sized != index) {
        index = sized;
        if (!layout.CellBox(columns ? 0 : sized, columns ? sized : 0, box)) return false;
    }
    RECT clip = m_host.Client();
    (columns ? clip.left : clip.top) = columns ? box.left : box.top;
    m_host.ClipCursor(&clip);
    return true;
}

void CMouseGesture::HeaderClick(bool columns)
{
    const MouseMode running = columns ? MouseMode::SelectColumns : MouseMode::SelectRows;
    if (Mode() == running || Mode() == MouseMode::SelectAll || !m_grid.IsValid(m_downCell)) return;
    const bool corner = m_downCell.row < m_grid.FixedRows() && m_downCell.col < m_grid.FixedCols();
    if (corner) {
        SetMode(MouseMode::SelectAll);
        m_selection.ExtendSelection(m_downCell);
    } else {
        SetMode(running);
        m_selection.ExtendSelection(m_downCell);
        if (columns) {
            m_host.OnFixedColClick(m_downCell.col);
        } else {
            m_host.OnFixedRowClick(m_downCell.row);
        }
    }
    SetMode(MouseMode::Idle);
}

void CMouseGesture::Move(int x, int y, WPARAM keys)
{
    if (!m_host.Enabled()) return;
    const RECT client = m_host.Client();
    if (!PtInRect(&client, POINT{x, y})) {
        SetMode(MouseMode::Idle);
        m_host.ShowCursor(Cursor::Arrow);
        return;
    }
    const view::CLayout layout = m_host.Layout();
    const CCellID hit = layout.CellAtPoint(x, y, true);

    if ((keys & MK_LBUTTON) && Mode() != MouseMode::Idle) {
        if (m_grid.IsValid(m_downCell)) {
            const bool inside = hit.row >= 0 && hit.col >= 0;
            switch (Mode()) {
            case MouseMode::SelectColumns:
            case MouseMode::SelectRows:
            case MouseMode::SelectCells:
                if (!m_grid.IsValid(hit) || hit == m_selection.FocusCell()) break;
                m_selection.ExtendSelection(hit);
                if (hit.row >= m_grid.FixedRows() && hit.col >= m_grid.FixedCols()) m_selection.SetFocusCell(hit.row, hit.col);
                break;
            case MouseMode::SizingRow:
                InvertSizingLine(false, m_last.y);
                InvertSizingLine(false, y);
                break;
            case MouseMode::SizingColumn:
                InvertSizingLine(true, m_last.x);
                InvertSizingLine(true, x);
                break;
            case MouseMode::DragRow:
                m_host.ShowCursor(hit.row >= m_grid.FixedRows() && inside ? Cursor::DropAllowed : Cursor::DropRefused);
                break;
            case MouseMode::DragColumn:
                m_host.ShowCursor(hit.col >= m_grid.FixedCols() && inside ? Cursor::DropAllowed : Cursor::DropRefused);
                break;
            default:
                break;
            }
        }
        m_last = POINT{x, y};
        return;
    }

    if (m_host.ColSizing() && layout.OnColumnEdge(x, y)) {
        if (Mode() != MouseMode::OverColumnDivider) {
            m_host.ShowCursor(Cursor::SizeWE);
            SetMode(MouseMode::OverColumnDivider);
            m_host.Capture();
        }
        return;
    }
    if (m_host.RowSizing() && layout.OnRowEdge(x, y)) {
        if (Mode() != MouseMode::OverRowDivider) {
            m_host.ShowCursor(Cursor::SizeNS);
            SetMode(MouseMode::OverRowDivider);
            m_host.Capture();
        }
        return;
    }
    if (Mode() != MouseMode::Idle) {
        m_host.ShowCursor(Cursor::Arrow);
        SetMode(MouseMode::Idle);
        m_host.ReleaseCapture();
    }
    m_host.HoverHint(hit);
    m_last = POINT{x, y};
}

bool CMouseGesture::Release(int x, int y)
{
    if (!m_host.Enabled()) return false;
    m_host.ClipCursor(nullptr);
    const CCellID hit = m_host.Layout().CellAtPoint(x, y, true);
    if (m_host.HasCapture()) {
        DropCapture();
        StopTimer();
    }

    const bool inside = hit.row >= 0 && hit.col >= 0;
    const bool moved = x != m_down.x || y != m_down.y;
    RECT box;
    switch (Mode()) {
    case MouseMode::PrepareEdit: {
        const CCellID focus = m_selection.FocusCell();
        m_host.EditCell(focus.row, focus.col);
        break;
    }
    case MouseMode::DragRow: {
        const int dragged = m_selection.FocusCell().row;
        m_host.ShowCursor(Cursor::Arrow);
        m_host.DropRow(PlanDrop(dragged, hit.row, m_grid.FixedRows(), m_grid.Rows(), inside), dragged, hit.row);
        break;
    }
    case MouseMode::DragColumn: {
        const int dragged = m_selection.FocusCell().col;
        m_host.ShowCursor(Cursor::Arrow);
        m_host.DropCol(PlanDrop(dragged, hit.col, m_grid.FixedCols(), m_grid.Cols(), inside), dragged, hit.col);
        break;
    }
    case MouseMode::SizingColumn:
    case MouseMode::SizingRow: {
        const bool columns = Mode() == MouseMode::SizingColumn;
        InvertSizingLine(columns, columns ? m_last.x : m_last.y);
        if (!moved) break;
        if (!m_host.Layout().CellBox(m_downCell.row, m_downCell.col, box)) {
            // The gesture ends here all the same.
            SetMode(MouseMode::Idle);
            return true;
        }
        // The cursor is clipped at the near edge; a message from elsewhere
        // is not, and a size never goes below 0.
        if (columns) {
            m_host.SetColWidth(m_downCell.col, std::max(0L, x - box.left));
        } else {
            m_host.SetRowHeight(m_downCell.row, std::max(0L, y - box.top));
        }
        break;
    }
    default:
        m_host.OnSelectRange();
        break;
    }
    SetMode(MouseMode::Idle);
    if (m_grid.IsValid(m_downCell)) m_host.RelayToHint();
    return true;
}

void CMouseGesture::DoubleClick(int x, int y)
{
    m_host.CloseEditor();
    if (!m_host.Enabled()) return;
    m_host.OnDblClick();

    switch (Mode()) {
    case MouseMode::OverColumnDivider:
    case MouseMode::OverRowDivider: {
        const bool columns = Mode() == MouseMode::OverColumnDivider;
        const view::CLayout layout = m_host.Layout();
        const CCellID hit = layout.CellAtPoint(x, y, true);
        RECT box;
        if (!m_grid.IsValid(hit) || !layout.CellBox(columns ? 0 : hit.row, hit.col, box)) return;
        const int grip = layout.EdgeTolerance();
        const int index = columns ? SizedIndex(x, box.left, hit.col, grip) : SizedIndex(y, box.top, hit.row, grip);
        // A negative index would fit every column or row.
        if (index < 0) return;
        if (columns) {
            m_host.FitCol(index);
        } else {
            m_host.FitRow(index);
        }
        break;
    }
    case MouseMode::Idle:
        if (m_grid.IsValid(m_downCell) && m_downCell.row >= m_grid.FixedRows() && m_downCell.col >= m_grid.FixedCols()) {
            const CCellID focus = m_selection.FocusCell();
            m_host.EditCell(focus.row, focus.col);
        }
        break;
    default:
        break;
    }
}

void CMouseGesture::Tick()
{
    const RECT client = m_host.Client();
    const view::CLayout layout = m_host.Layout();
    const ScrollSteps plan =
        PlanAutoScroll(m_host.CursorPos(), client, layout.FixedColumnsWidth(), layout.FixedRowsHeight());
    for (int i = 0; i < plan.count; ++i) {
        m_host.SendKey(plan.steps[i].key);
        // The key scrolled: the cell under the probe is found anew.
        const POINT probe = plan.steps[i].probe;
        m_selection.ExtendSelection(m_host.Layout().CellAtPoint(probe.x, probe.y, true));
    }
}

void CMouseGesture::CaptureLost()
{
    if (m_releasing) return;
    if (Mode() == MouseMode::SizingColumn) InvertSizingLine(true, m_last.x);
    if (Mode() == MouseMode::SizingRow) InvertSizingLine(false, m_last.y);
    if (Mode() == MouseMode::DragRow || Mode() == MouseMode::DragColumn) m_host.ShowCursor(Cursor::Arrow);
    m_host.ClipCursor(nullptr);
    StopTimer();
    SetMode(MouseMode::Idle);
}

void CMouseGesture::StopTimer()
{
    if (m_timer) m_host.StopTimer(m_timer);
    m_timer = 0;
}

void CMouseGesture::DropCapture()
{
    m_releasing = true;
    m_host.ReleaseCapture();
    m_releasing = false;
}

RECT CMouseGesture::SizingLine(bool columns, int pos) const
{
    RECT rc = m_host.Client();
    if (columns) {
        rc.left = pos;
        rc.right = pos + 2;
    } else {
        rc.top = pos;
        rc.bottom = pos + 2;
    }
    return rc;
}

void CMouseGesture::InvertSizingLine(bool columns, int pos)
{
    m_host.InvertRect(SizingLine(columns, pos));
}

} // namespace mouse
