#include "model/GridTable.h"

#include <algorithm>
#include <climits>
#include <cstring>
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
    // Cells lie in large blocks; a row adds its line pointer, height and
    // button count.
    const unsigned long long cell = sizeof(CellSlot);
    const unsigned long long row = sizeof(CellSlot*) + 2 * sizeof(int);
    const long long newCells = rows * cols - oldRows * oldCols;
    const long long newRows = rows - oldRows;
    if (newCells > 0 && static_cast<unsigned long long>(newCells) > ULLONG_MAX / (2 * cell)) return ULLONG_MAX;
    unsigned long long cost = newCells > 0 ? static_cast<unsigned long long>(newCells) * cell : 0;
    if (newRows > 0) cost += static_cast<unsigned long long>(newRows) * row;
    return cost;
}

// --- Attribute sets ------------------------------------------------------------

CAttrPool::CAttrPool() : m_sets(1), m_refs(1, 0)
{
    m_free.reserve(m_sets.capacity());
}

std::uint32_t CAttrPool::Intern(const CellAttrs& a)
{
    if (a == m_sets[m_last] && (m_last == 0 || m_refs[m_last] > 0)) {
        if (m_last) ++m_refs[m_last];
        return m_last;
    }
    if (a == m_sets[0]) return m_last = 0;
    auto found = m_index.find(a);
    if (found != m_index.end()) {
        ++m_refs[found->second];
        return m_last = found->second;
    }
    if (m_free.empty() && m_sets.size() == m_sets.capacity()) {
        const size_t cap = m_sets.size() * 2;
        m_sets.reserve(cap);
        m_refs.reserve(cap);
        m_free.reserve(cap);
    }
    std::uint32_t i;
    if (!m_free.empty()) {
        i = m_free.back();
        m_free.pop_back();
        m_sets[i] = a;
    } else {
        i = static_cast<std::uint32_t>(m_sets.size());
        m_sets.push_back(a);
        m_refs.push_back(0);
    }
    try {
        m_index.emplace(a, i);
    } catch (...) {
        m_free.push_back(i);
        throw;
    }
    m_refs[i] = 1;
    return m_last = i;
}

void CAttrPool::Release(std::uint32_t i) noexcept
{
    if (i == 0 || --m_refs[i] > 0) return;
    m_index.erase(m_sets[i]);
    m_free.push_back(i);
}

// --- Cells -------------------------------------------------------------------------

CGridTable::~CGridTable()
{
    for (CellSlot* line : m_lines) FreeSlots(line, static_cast<size_t>(Cols()));
}

void CGridTable::FreeSlots(CellSlot* slots, size_t count) noexcept
{
    for (size_t i = 0; i < count; ++i) {
        CellSlot& slot = slots[i];
        m_attrs.Release(slot.attrs);
        slot.attrs = 0;
        std::unique_ptr<CellExtras> extras;
        if (slot.extras) {
            extras = std::move(m_extras[slot.extras - 1]);
            m_freeExtras.push_back(slot.extras - 1);
            slot.extras = 0;
        }
        if (!slot.valueUnmade) {
            slot.valueUnmade = 1;
            VariantClear(&slot.value);
        }
    }
}

bool CGridTable::ResizeCols(int count)
{
    const int old = Cols();
    if (count < 0 || count == old) return true;
    if (!CanHold(Rows(), count)) return false;
    m_colSums.Invalidate();
    const size_t ucount = static_cast<size_t>(count);

    if (count < old) {
        // The cells go once the table is whole again: a cell's button window
        // going away can run a host's code, which may read the table. Without
        // memory for that they go in place. Lines keep their length.
        const size_t cut = static_cast<size_t>(old - count);
        std::vector<CellSlot> doomed;
        try {
            doomed.reserve(m_lines.size() * cut);
        } catch (const std::exception&) {
        }
        for (CellSlot* line : m_lines) {
            if (doomed.capacity() >= doomed.size() + cut)
                doomed.insert(doomed.end(), line + count, line + old);
            else
                FreeSlots(line + count, cut);
        }
        if (m_focus.col >= count) m_focus = CCellID();
        for (int c = count; c < old; ++c) m_totalWidth -= static_cast<std::uint32_t>(m_colWidths[c]);
        m_colWidths.resize(ucount);
        m_store.SetStride(ucount);
        FreeSlots(doomed.data(), doomed.size());
        return true;
    }

    // Rows whose line is too short move to a longer one, one by one, so that
    // the old blocks go as they empty. A failure on the way leaves some rows
    // on longer lines holding the same cells: the table is unchanged.
    const size_t oldStride = m_store.Stride();
    m_store.SetStride(ucount);
    try {
        m_colWidths.reserve(ucount);
        for (CellSlot*& line : m_lines) {
            if (m_store.Capacity(line) >= ucount) continue;
            m_store.Reserve(1);
            CellSlot* longer = m_store.Take();
            if (old > 0) std::memcpy(static_cast<void*>(longer), line, static_cast<size_t>(old) * sizeof(CellSlot));
            m_store.Give(line);
            line = longer;
        }
    } catch (const std::exception&) {
        m_store.SetStride(oldStride);
        return false;
    }
    for (CellSlot* line : m_lines) std::fill(line + old, line + count, NewCellSlot());
    m_colWidths.resize(ucount, m_defaultColWidth);
    m_totalWidth += static_cast<std::uint32_t>(count - old) * m_defaultColWidth;
    return true;
}

namespace {

// Room for count elements, growing by half again at least: rows added one by
// one do not copy the whole table each time.
template <class V>
void Grow(V& v, size_t count)
{
    if (count > v.capacity()) v.reserve(std::max(count, v.size() + v.size() / 2));
}

} // namespace

bool CGridTable::ResizeRows(int count)
{
    const int old = Rows();
    if (count < 0 || count == old) return true;
    if (!CanHold(count, Cols())) return false;
    m_rowSums.Invalidate();
    const size_t cols = static_cast<size_t>(Cols());

    if (count < old) {
        // As with columns: the rows go once the table is whole again, and
        // their lines are given back after that.
        std::vector<CellSlot*> doomed;
        try {
            doomed.reserve(static_cast<size_t>(old - count));
        } catch (const std::exception&) {
        }
        for (int r = count; r < old; ++r) {
            if (doomed.size() < doomed.capacity()) {
                doomed.push_back(m_lines[r]);
            } else {
                FreeSlots(m_lines[r], cols);
                m_store.Give(m_lines[r]);
            }
            m_totalHeight -= static_cast<std::uint32_t>(m_rowHeights[r]);
            m_nButtonCells -= m_rowButtons[r];
        }
        m_lines.resize(count);
        m_rowButtons.resize(count);
        m_rowHeights.resize(count);
        if (m_focus.row >= count) m_focus = CCellID();
        for (CellSlot* line : doomed) {
            FreeSlots(line, cols);
            m_store.Give(line);
        }
        return true;
    }

    const size_t added = static_cast<size_t>(count - old);
    try {
        Grow(m_lines, static_cast<size_t>(count));
        Grow(m_rowHeights, static_cast<size_t>(count));
        Grow(m_rowButtons, static_cast<size_t>(count));
        m_store.Reserve(added);
    } catch (const std::exception&) {
        return false;
    }
    const CellSlot fresh = NewCellSlot();
    for (size_t r = 0; r < added; ++r) {
        CellSlot* line = m_store.Take();
        std::fill(line, line + cols, fresh);
        m_lines.push_back(line);
    }
    m_rowHeights.resize(count, m_defaultRowHeight);
    m_rowButtons.resize(count, 0);
    m_totalHeight += static_cast<std::uint32_t>(count - old) * m_defaultRowHeight;
    return true;
}

bool CGridTable::ExchangeCols(int col1, int col2) noexcept
{
    if (col1 == col2 || col1 < 0 || col2 < 0 || col1 >= Cols() || col2 >= Cols()) return false;
    for (CellSlot* line : m_lines) std::swap(line[col1], line[col2]);
    std::swap(m_colWidths[col1], m_colWidths[col2]);
    MoveFocus(false, [&](int c) { return c == col1 ? col2 : c == col2 ? col1 : c; });
    m_colSums.Invalidate();
    return true;
}

bool CGridTable::ExchangeRows(int row1, int row2) noexcept
{
    if (row1 == row2 || row1 < 0 || row2 < 0 || row1 >= Rows() || row2 >= Rows()) return false;
    std::swap(m_lines[row1], m_lines[row2]);
    std::swap(m_rowButtons[row1], m_rowButtons[row2]);
    std::swap(m_rowHeights[row1], m_rowHeights[row2]);
    MoveFocus(true, [&](int r) { return r == row1 ? row2 : r == row2 ? row1 : r; });
    m_rowSums.Invalidate();
    return true;
}

namespace {

// Rotates the range at begin so that the element at from ends at to.
template <class It>
void ShiftAt(It begin, int from, int to)
{
    auto f = begin + from;
    auto t = begin + to;
    if (from < to) {
        std::rotate(f, f + 1, t + 1);
    } else {
        std::rotate(t, f, f + 1);
    }
}

// Where index i lands when the element at from moves to to.
template <class V>
void Shift(V& v, int from, int to)
{
    ShiftAt(v.begin(), from, to);
}

int Shifted(int i, int from, int to) noexcept
{
    if (i == from) return to;
    if (from < to && i > from && i <= to) return i - 1;
    if (to < from && i >= to && i < from) return i + 1;
    return i;
}

} // namespace

bool CGridTable::MoveCol(int from, int to) noexcept
{
    if (from == to || from < 0 || to < 0 || from >= Cols() || to >= Cols()) return false;
    for (CellSlot* line : m_lines) ShiftAt(line, from, to);
    Shift(m_colWidths, from, to);
    MoveFocus(false, [&](int c) { return Shifted(c, from, to); });
    m_colSums.Invalidate();
    return true;
}

bool CGridTable::MoveRow(int from, int to) noexcept
{
    if (from == to || from < 0 || to < 0 || from >= Rows() || to >= Rows()) return false;
    Shift(m_lines, from, to);
    Shift(m_rowButtons, from, to);
    Shift(m_rowHeights, from, to);
    MoveFocus(true, [&](int r) { return Shifted(r, from, to); });
    m_rowSums.Invalidate();
    return true;
}

void CGridTable::NoteButtonCell(int row, int col) noexcept
{
    if (!IsValid(row, col)) return;
    CellSlot& slot = m_lines[row][col];
    if (slot.buttonListed) return;
    slot.buttonListed = 1;
    ++m_rowButtons[row];
    ++m_nButtonCells;
}

void CGridTable::SetFocusFlag(int row, int col) noexcept
{
    ClearFocusFlags();
    if (IsValid(row, col)) {
        m_lines[row][col].focus = 1;
        m_focus = CCellID(row, col);
    }
}

void CGridTable::ClearFocusFlags() noexcept
{
    if (IsValid(m_focus)) m_lines[m_focus.row][m_focus.col].focus = 0;
    m_focus = CCellID();
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
