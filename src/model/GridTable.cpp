#include "model/GridTable.h"

#include <algorithm>
#include <climits>
#include <utility>

int CGridTable::GetColumnWidth(int col) const noexcept
{
    if (col < 0 || col >= Cols()) return -1;
    return m_colWidths[col];
}

int CGridTable::GetRowHeight(int row) const noexcept
{
    if (row < 0 || row >= Rows()) return -1;
    return m_rowHeights[row];
}

bool CGridTable::SetColumnWidth(int col, int width) noexcept
{
    if (col < 0 || col >= Cols()) return false;
    m_totalWidth += static_cast<std::uint32_t>(width) - static_cast<std::uint32_t>(m_colWidths[col]);
    m_colWidths[col] = width;
    m_colSums.Invalidate();
    return true;
}

bool CGridTable::SetRowHeight(int row, int height) noexcept
{
    if (row < 0 || row >= Rows()) return false;
    m_totalHeight += static_cast<std::uint32_t>(height) - static_cast<std::uint32_t>(m_rowHeights[row]);
    m_rowHeights[row] = height;
    m_rowSums.Invalidate();
    return true;
}

bool CGridTable::CanHold(long long rows, long long cols) noexcept
{
    return rows >= 0 && cols >= 0 && rows * cols <= kMaxCells;
}

unsigned long long CGridTable::GrowCost(long long oldRows, long long oldCols, long long rows, long long cols) noexcept
{
    if (rows < 0 || cols < 0 || oldRows < 0 || oldCols < 0) return 0;
    // A heap block carries a header and is rounded up to 16 bytes.
    auto block = [](unsigned long long bytes) { return (bytes + 16 + 15) / 16 * 16; };
    const unsigned long long cell = block(sizeof(CGridCell)) + sizeof(std::unique_ptr<CGridCell>);
    const unsigned long long row = block(sizeof(Row)) + sizeof(std::unique_ptr<Row>) + 2 * sizeof(int);
    const long long newCells = rows * cols - oldRows * oldCols;
    const long long newRows = rows - oldRows;
    if (newCells > 0 && static_cast<unsigned long long>(newCells) > ULLONG_MAX / (2 * cell)) return ULLONG_MAX;
    unsigned long long cost = newCells > 0 ? static_cast<unsigned long long>(newCells) * cell : 0;
    if (newRows > 0) cost += static_cast<unsigned long long>(newRows) * row;
    return cost;
}

bool CGridTable::ResizeCols(int count)
{
    const int old = Cols();
    if (count < 0 || count == old) return true;
    if (!CanHold(Rows(), count)) return false;
    m_colSums.Invalidate();

    if (count < old) {
        // The cells go once the table is whole again: a cell's button window
        // going away can run a host's code, which may read the table. Without
        // memory for that they go in place.
        std::vector<std::unique_ptr<CGridCell>> doomed;
        try {
            doomed.reserve(m_rows.size() * static_cast<size_t>(old - count));
        } catch (const std::exception&) {
        }
        for (auto& row : m_rows) {
            for (int c = count; c < old; ++c) {
                ForgetFocusFlag((*row)[c].get());
                if (doomed.size() < doomed.capacity()) doomed.push_back(std::move((*row)[c]));
            }
            row->resize(count);
        }
        for (int c = count; c < old; ++c) m_totalWidth -= static_cast<std::uint32_t>(m_colWidths[c]);
        m_colWidths.resize(count);
        return true;
    }

    // Everything that can fail happens before the table changes, so a
    // failed grow leaves every row as long as the widths say.
    try {
        std::vector<Row> added(m_rows.size());
        for (Row& cells : added) {
            cells.reserve(static_cast<size_t>(count - old));
            for (int c = old; c < count; ++c) cells.push_back(std::make_unique<CGridCell>());
        }
        for (auto& row : m_rows) row->reserve(static_cast<size_t>(count));
        m_colWidths.reserve(static_cast<size_t>(count));
        for (size_t r = 0; r < m_rows.size(); ++r)
            for (auto& cell : added[r]) m_rows[r]->push_back(std::move(cell));
    } catch (const std::exception&) {
        return false;
    }
    m_colWidths.resize(count, kDefaultColWidth);
    m_totalWidth += static_cast<std::uint32_t>(count - old) * kDefaultColWidth;
    return true;
}

bool CGridTable::ResizeRows(int count)
{
    const int old = Rows();
    if (count < 0 || count == old) return true;
    if (!CanHold(count, Cols())) return false;
    m_rowSums.Invalidate();

    if (count < old) {
        // As with columns: the rows go once the table is whole again.
        std::vector<std::unique_ptr<Row>> doomed;
        try {
            doomed.reserve(static_cast<size_t>(old - count));
        } catch (const std::exception&) {
        }
        for (int r = count; r < old; ++r) {
            for (auto& cell : *m_rows[r]) ForgetFocusFlag(cell.get());
            if (doomed.size() < doomed.capacity()) doomed.push_back(std::move(m_rows[r]));
            m_totalHeight -= static_cast<std::uint32_t>(m_rowHeights[r]);
            m_nButtonCells -= m_rowButtons[r];
        }
        m_rows.resize(count);
        m_rowButtons.resize(count);
        m_rowHeights.resize(count);
        return true;
    }

    const int cols = Cols();
    try {
        std::vector<std::unique_ptr<Row>> added;
        added.reserve(static_cast<size_t>(count - old));
        for (int r = old; r < count; ++r) {
            auto row = std::make_unique<Row>();
            row->reserve(cols);
            for (int c = 0; c < cols; ++c) row->push_back(std::make_unique<CGridCell>());
            added.push_back(std::move(row));
        }
        m_rows.reserve(static_cast<size_t>(count));
        m_rowHeights.reserve(static_cast<size_t>(count));
        m_rowButtons.reserve(static_cast<size_t>(count));
        for (auto& row : added) m_rows.push_back(std::move(row));
    } catch (const std::exception&) {
        return false;
    }
    m_rowHeights.resize(count, kDefaultRowHeight);
    m_rowButtons.resize(count, 0);
    m_totalHeight += static_cast<std::uint32_t>(count - old) * kDefaultRowHeight;
    return true;
}

bool CGridTable::ExchangeCols(int col1, int col2) noexcept
{
    if (col1 == col2 || col1 < 0 || col2 < 0 || col1 >= Cols() || col2 >= Cols()) return false;
    for (auto& row : m_rows) std::swap((*row)[col1], (*row)[col2]);
    std::swap(m_colWidths[col1], m_colWidths[col2]);
    m_colSums.Invalidate();
    return true;
}

bool CGridTable::ExchangeRows(int row1, int row2) noexcept
{
    if (row1 == row2 || row1 < 0 || row2 < 0 || row1 >= Rows() || row2 >= Rows()) return false;
    std::swap(m_rows[row1], m_rows[row2]);
    std::swap(m_rowButtons[row1], m_rowButtons[row2]);
    std::swap(m_rowHeights[row1], m_rowHeights[row2]);
    m_rowSums.Invalidate();
    return true;
}

namespace {

// Rotates v so that the element at from ends at to.
template <class V>
void Shift(V& v, int from, int to)
{
    auto f = v.begin() + from;
    auto t = v.begin() + to;
    if (from < to) {
        std::rotate(f, f + 1, t + 1);
    } else {
        std::rotate(t, f, f + 1);
    }
}

} // namespace

bool CGridTable::MoveCol(int from, int to) noexcept
{
    if (from == to || from < 0 || to < 0 || from >= Cols() || to >= Cols()) return false;
    for (auto& row : m_rows) Shift(*row, from, to);
    Shift(m_colWidths, from, to);
    m_colSums.Invalidate();
    return true;
}

bool CGridTable::MoveRow(int from, int to) noexcept
{
    if (from == to || from < 0 || to < 0 || from >= Rows() || to >= Rows()) return false;
    Shift(m_rows, from, to);
    Shift(m_rowButtons, from, to);
    Shift(m_rowHeights, from, to);
    m_rowSums.Invalidate();
    return true;
}

void CGridTable::NoteButtonCell(int row, int col) noexcept
{
    CGridCell* cell = GetCell(row, col);
    if (!cell || cell->m_bButtonListed) return;
    cell->m_bButtonListed = true;
    ++m_rowButtons[row];
    ++m_nButtonCells;
}

void CGridTable::SetFocusFlag(CGridCell* cell) noexcept
{
    ClearFocusFlags();
    if (cell) {
        cell->m_bFocus = true;
        m_pFocusFlagged = cell;
    }
}

void CGridTable::ClearFocusFlags() noexcept
{
    if (m_pFocusFlagged) m_pFocusFlagged->m_bFocus = false;
    m_pFocusFlagged = nullptr;
}

namespace {

std::wstring JoinSizes(const std::vector<int>& sizes)
{
    std::wstring text;
    text.reserve(sizes.size() * 4);
    for (size_t i = 0; i < sizes.size(); ++i) {
        if (i) text += L' ';
        text += std::to_wstring(sizes[i]);
    }
    return text;
}

bool IsCSpace(char c) noexcept
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

std::wstring CGridTable::WidthsText() const
{
    return JoinSizes(m_colWidths);
}

std::wstring CGridTable::HeightsText() const
{
    return JoinSizes(m_rowHeights);
}

int CGridTable::Atoi(const char* p, const char* end) noexcept
{
    while (p < end && IsCSpace(*p)) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = (*p++ == '-');
    long long n = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        n = n * 10 + (*p - '0');
        if (n > static_cast<long long>(INT_MAX) + 1) n = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) n = -n;
    if (n > INT_MAX) return INT_MAX;
    if (n < INT_MIN) return INT_MIN;
    return static_cast<int>(n);
}

std::vector<int> CGridTable::ParseSizes(const std::string& text)
{
    // The text ends at its first NUL, as a C string would.
    const char* p = text.c_str();
    const char* end = p + std::char_traits<char>::length(p);
    std::vector<int> sizes;
    const char* piece = p;
    for (; p < end; ++p) {
        if (*p == ' ') {
            sizes.push_back(Atoi(piece, p));
            piece = p + 1;
        }
    }
    sizes.push_back(Atoi(piece, end));
    return sizes;
}
