#include "view/Layout.h"

#include <algorithm>
#include <cstdint>

namespace view {

namespace {

// Addition with the wrap-around of 32-bit arithmetic, as the sums have.
int Wrap(long long v) noexcept
{
    return static_cast<int>(static_cast<std::uint32_t>(v));
}

// Within the tolerance of the cell's far edge, or of its near edge unless it
// is the first cell, which has no divider before it.
bool NearEdge(long long v, long long start, long long size, int index, int tolerance) noexcept
{
    return (v - start <= tolerance && index != 0) || (start + size - v <= tolerance);
}

} // namespace

int CAxis::FirstScrolled() const noexcept
{
    const int n = Count();
    if (m_pos <= 0 || m_fixed >= n - 1) return m_fixed;
    if (m_sums.Ordered()) {
        int i = m_sums.FirstReaching(m_fixed, n - 1, m_sums.Before64(m_fixed) + m_pos);
        return i > n - 1 ? n - 1 : i;
    }
    int i = m_fixed;
    int sum = 0;
    while (sum < m_pos && i < n - 1) sum = Wrap(static_cast<long long>(sum) + Size(i++));
    return i;
}

bool CAxis::Start(int i, int first, int& at) const noexcept
{
    if (i < m_fixed) {
        at = m_sums.Before(i);
        return true;
    }
    if (i < first) return false;
    at = Wrap(static_cast<long long>(FixedExtent()) + m_sums.Before(i) - m_sums.Before(first));
    return true;
}

long long CAxis::Origin(int i, int first) const noexcept
{
    if (i < m_fixed) return m_sums.Before64(i);
    return FixedExtent() + m_sums.Before64(i) - m_sums.Before64(first);
}

int CAxis::IndexAt(int v, int first, bool fixedAllowed) const noexcept
{
    if (v < 0) return -1;
    const int n = Count();
    const int fixedExtent = FixedExtent();
    if (m_sums.Ordered()) {
        if (v < fixedExtent) return fixedAllowed ? m_sums.FirstAbove(0, m_fixed, v) - 1 : -1;
        if (first >= n) return -1;
        // Search the content as if the scrolled-away cells were still there.
        long long target = static_cast<long long>(v) - fixedExtent + m_sums.Before64(first);
        int i = m_sums.FirstAbove(first, n, target) - 1;
        return i < n ? i : -1;
    }
    int start = 0;
    int from = first;
    if (v < fixedExtent) {
        if (!fixedAllowed) return -1;
        from = 0;
    } else {
        start = fixedExtent;
    }
    const int to = v < fixedExtent ? m_fixed : n;
    for (int i = from; i < to; ++i) {
        int end = Wrap(static_cast<long long>(start) + Size(i));
        if (start <= v && v < end) return i;
        start = end;
    }
    return -1;
}

int CAxis::LastShown(int first, int& end, bool& reached) const noexcept
{
    const int n = Count();
    const int fixedExtent = FixedExtent();
    reached = false;
    if (m_sums.Ordered()) {
        long long base = static_cast<long long>(fixedExtent) - m_sums.Before64(first);
        int j = m_sums.FirstReaching(first + 1, n, static_cast<long long>(m_extent) - base);
        if (j <= n && first < n) {
            reached = true;
            end = static_cast<int>(base + m_sums.Before64(j));
            return j - 1;
        }
        end = first < n ? static_cast<int>(base + m_sums.Before64(n)) : fixedExtent;
        return n - 1;
    }
    int at = fixedExtent;
    for (int i = first; i < n; ++i) {
        at = Wrap(static_cast<long long>(at) + Size(i));
        if (at >= m_extent) {
            reached = true;
            end = at;
            return i;
        }
    }
    end = at;
    return n - 1;
}

bool CAxis::Covered(int a, int b, int first, int& lo, int& hi) const noexcept
{
    long long from = m_extent, to = 0;
    if (!m_sums.Ordered()) {
        // Sizes that run backwards put cells anywhere: all of it, to be safe.
        from = 0;
        to = m_extent;
    } else {
        if (a < m_fixed) {
            from = m_sums.Before64(a);
            to = m_sums.Before64(b < m_fixed ? b + 1 : m_fixed);
        }
        const int start = a > first ? a : first;
        if (start <= b) {
            from = std::min(from, Origin(start, first));
            to = Origin(b + 1, first);
        }
    }
    from = std::max(from, 0LL);
    to = std::min(to, static_cast<long long>(m_extent));
    if (from >= to) return false;
    lo = static_cast<int>(from);
    hi = static_cast<int>(to);
    return true;
}

CLayout::CLayout(const CGridTable& grid, int clientWidth, int clientHeight, int hpos, int vpos, int edgeTolerance)
    : m_grid(grid),
      m_cols(grid.ColumnSums(), grid.FixedCols(), hpos, clientWidth),
      m_rows(grid.RowSums(), grid.FixedRows(), vpos, clientHeight),
      m_edgeTolerance(edgeTolerance)
{
}

CCellID CLayout::FirstScrolledCell() const noexcept
{
    return CCellID(m_rows.FirstScrolled(), m_cols.FirstScrolled());
}

bool CLayout::CellPosition(int row, int col, POINT& pt) const noexcept
{
    if (!m_grid.IsValid(row, col)) return false;
    int x = 0;
    int y = 0;
    const bool fixedCorner = row < m_rows.Fixed() && col < m_cols.Fixed();
    const CCellID first = fixedCorner ? CCellID(0, 0) : FirstScrolledCell();
    if (!m_cols.Start(col, first.col, x) || !m_rows.Start(row, first.row, y)) return false;
    pt = POINT{x, y};
    return true;
}

bool CLayout::CellBox(int row, int col, RECT& rc) const noexcept
{
    POINT pt;
    if (!CellPosition(row, col, pt)) return false;
    rc.left = pt.x;
    rc.top = pt.y;
    rc.right = Wrap(static_cast<long long>(pt.x) + m_cols.Size(col) - 1);
    rc.bottom = Wrap(static_cast<long long>(pt.y) + m_rows.Size(row) - 1);
    return true;
}

bool CLayout::CellShows(int row, int col) const noexcept
{
    POINT pt;
    return CellPosition(row, col, pt) && pt.x < m_cols.Extent() && pt.y < m_rows.Extent();
}

RECT CLayout::CellRect(int row, int col) const noexcept
{
    if (!m_grid.IsValid(row, col)) return RECT{0, 0, 0, 0};
    const CCellID first = FirstScrolledCell();
    const long long x = m_cols.Origin(col, first.col);
    const long long y = m_rows.Origin(row, first.row);
    return RECT{Wrap(x), Wrap(y), Wrap(x + m_cols.Size(col)), Wrap(y + m_rows.Size(row))};
}

CCellRange CLayout::ShownRange(RECT* extent) const noexcept
{
    const CCellID first = FirstScrolledCell();
    int right = 0;
    int bottom = 0;
    bool reachedX = false;
    bool reachedY = false;
    CCellRange range;
    range.minRow = first.row;
    range.minCol = first.col;
    range.maxRow = m_rows.LastShown(first.row, bottom, reachedY);
    range.maxCol = m_cols.LastShown(first.col, right, reachedX);
    if (extent) {
        *extent = RECT{0, 0, reachedX ? m_cols.Extent() : right, reachedY ? m_rows.Extent() : bottom};
    }
    return range;
}

CCellRange CLayout::WholeShownRange() const noexcept
{
    const CCellID first = FirstScrolledCell();
    CCellRange range;
    range.minRow = first.row;
    range.minCol = first.col;
    int end = 0;
    bool reached = false;
    range.maxRow = m_rows.LastShown(first.row, end, reached);
    if (range.maxRow > first.row && end > m_rows.Extent()) --range.maxRow;
    range.maxCol = m_cols.LastShown(first.col, end, reached);
    if (range.maxCol > first.col && end > m_cols.Extent()) --range.maxCol;
    return range;
}

RECT CLayout::RangeBox(const CCellRange& range) const noexcept
{
    const CCellID first = FirstScrolledCell();
    int left = 0, right = 0, top = 0, bottom = 0;
    if (!m_grid.IsValid(range) || !m_cols.Covered(range.minCol, range.maxCol, first.col, left, right)
        || !m_rows.Covered(range.minRow, range.maxRow, first.row, top, bottom))
        return RECT{0, 0, 0, 0};
    return RECT{left, top, right, bottom};
}

CCellID CLayout::CellAtPoint(int x, int y, bool fixedAllowed) const noexcept
{
    const CCellID first = FirstScrolledCell();
    return CCellID(m_rows.IndexAt(y, first.row, fixedAllowed), m_cols.IndexAt(x, first.col, fixedAllowed));
}

bool CLayout::OnColumnEdge(int x, int y) const noexcept
{
    if (y >= FixedRowsHeight()) return false;
    const CCellID cell = CellAtPoint(x, y, true);
    POINT pt;
    return CellPosition(cell.row, cell.col, pt) && NearEdge(x, pt.x, m_cols.Size(cell.col), cell.col, m_edgeTolerance);
}

bool CLayout::OnRowEdge(int x, int y) const noexcept
{
    if (x >= FixedColumnsWidth()) return false;
    const CCellID cell = CellAtPoint(x, y, true);
    POINT pt;
    return CellPosition(cell.row, cell.col, pt) && NearEdge(y, pt.y, m_rows.Size(cell.row), cell.row, m_edgeTolerance);
}

} // namespace view
