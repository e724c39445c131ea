// The grid table's automation members: counts, sizes, inserts, removes and
// exchanges of rows and columns.
#include "control/Tessera.h"

#include <algorithm>
#include <new>

#include <string>

#include "control/Accessors.h"
#include "control/Trace.h"
#include "framework/com_ptr.h"

namespace {

// Whether the process can still get what growing the table to rows x cols
// will take. A grow that cannot fit would otherwise eat the machine's memory
// for minutes before the allocation finally fails.
bool GrowFits(const CGridTable& grid, int rows, int cols)
{
    const unsigned long long cost = CGridTable::GrowCost(grid.Rows(), grid.Cols(), rows, cols);
    // Small grows are left to the allocator: asking the system costs more.
    if (cost < (64ull << 20)) return true;
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status)) return true;
    return cost <= status.ullAvailPhys && cost <= status.ullAvailVirtual;
}

} // namespace

HRESULT CTessera::RefuseSize(int rows, int cols)
{
    const std::wstring size = L"A grid of " + std::to_wstring(rows) + L" rows and " + std::to_wstring(cols) + L" columns";
    const std::wstring why = CGridTable::CanHold(rows, cols)
        ? L" would not fit in this process's memory; the size is unchanged."
        : L" holds more than the " + std::to_wstring(CGridTable::kMaxCells) + L" cells a grid may have; the size is unchanged.";
    return ReportError((size + why).c_str(), E_OUTOFMEMORY);
}

STDMETHODIMP CTessera::get_Cols(int* pVal) { return accessor::Get("Get Cols", m_grid.Cols(), pVal); }

STDMETHODIMP CTessera::get_Rows(int* pVal) { return accessor::Get("Get Rows", m_grid.Rows(), pVal); }

STDMETHODIMP CTessera::get_FixedCols(int* pVal) { return accessor::Get("Get FixedCols", m_grid.FixedCols(), pVal); }

STDMETHODIMP CTessera::get_FixedRows(int* pVal) { return accessor::Get("Get FixedRows", m_grid.FixedRows(), pVal); }

void CTessera::ClampRegionCols()
{
    const int last = m_grid.Cols() - 1;
    if (!m_bUserMode) {
        m_nCRegionLeftTopX = 0;
        m_nCRegionRightBottomX = last;
    } else {
        if (m_nCRegionLeftTopX > last) m_nCRegionLeftTopX = last;
        if (m_nCRegionRightBottomX > last) m_nCRegionRightBottomX = last;
    }
    if (m_nCRegionLeftTopX < 0) m_nCRegionLeftTopX = 0;
    if (m_nCRegionRightBottomX < 0) m_nCRegionRightBottomX = 0;
}

void CTessera::ClampRegionRows()
{
    const int last = m_grid.Rows() - 1;
    if (!m_bUserMode) {
        m_nCRegionLeftTopY = 0;
        m_nCRegionRightBottomY = last;
    } else {
        if (m_nCRegionLeftTopY > last) m_nCRegionLeftTopY = last;
        if (m_nCRegionRightBottomY > last) m_nCRegionRightBottomY = last;
    }
    if (m_nCRegionLeftTopY < 0) m_nCRegionLeftTopY = 0;
    if (m_nCRegionRightBottomY < 0) m_nCRegionRightBottomY = 0;
}

STDMETHODIMP CTessera::put_Cols(int newVal)
{
    trace::TraceLine("Put Cols");
    if (newVal < 0 || newVal == m_grid.Cols()) return S_OK;
    if (!CGridTable::CanHold(m_grid.Rows(), newVal) || !GrowFits(m_grid, m_grid.Rows(), newVal))
        return RefuseSize(m_grid.Rows(), newVal);

    CloseEditor();
    if (newVal < m_grid.FixedCols()) m_grid.SetFixedCols(newVal);
    if (FocusCell().col >= newVal) SetFocusCell(-1, -1);
    if (!m_grid.ResizeCols(newVal)) return RefuseSize(m_grid.Rows(), newVal);
    m_selection.PruneOutsideGrid();
    AccReordered();
    UpdateScrollBars();
    ClampRegionCols();
    Refresh();
    return S_OK;
}

STDMETHODIMP CTessera::put_Rows(int newVal)
{
    trace::TraceLine("put Rows");
    if (newVal < 0 || newVal == m_grid.Rows()) return S_OK;
    if (!CGridTable::CanHold(newVal, m_grid.Cols()) || !GrowFits(m_grid, newVal, m_grid.Cols()))
        return RefuseSize(newVal, m_grid.Cols());

    CloseEditor();
    if (newVal < m_grid.FixedRows()) m_grid.SetFixedRows(newVal);
    if (FocusCell().row >= newVal) SetFocusCell(-1, -1);
    if (!m_grid.ResizeRows(newVal)) return RefuseSize(newVal, m_grid.Cols());
    m_selection.PruneOutsideGrid();
    AccReordered();
    UpdateScrollBars();
    ClampRegionRows();
    Refresh();
    return S_OK;
}

STDMETHODIMP CTessera::put_FixedCols(int newVal)
{
    trace::TraceLine("Put FixedCols");
    if (newVal < 0) return S_OK;
    AccBatch batch(*this);
    if (newVal > m_grid.Cols()) {
        HRESULT hr = put_Cols(newVal);
        if (FAILED(hr)) return hr;
    }
    if (FocusCell().col < newVal) SetFocusCell(-1, -1);
    if (newVal != m_grid.FixedCols()) AccReordered();
    m_grid.SetFixedCols(newVal);
    Refresh();
    return S_OK;
}

STDMETHODIMP CTessera::put_FixedRows(int newVal)
{
    trace::TraceLine("Put FixedRows");
    if (newVal < 0) return S_OK;
    AccBatch batch(*this);
    if (newVal > m_grid.Rows()) {
        HRESULT hr = put_Rows(newVal);
        if (FAILED(hr)) return hr;
    }
    if (FocusCell().row < newVal) SetFocusCell(-1, -1);
    if (newVal != m_grid.FixedRows()) AccReordered();
    m_grid.SetFixedRows(newVal);
    Refresh();
    return S_OK;
}

STDMETHODIMP CTessera::get_ColWidth(int col, int* pVal) { return accessor::Get<int>(nullptr, m_grid.GetColumnWidth(col), pVal); }

STDMETHODIMP CTessera::put_ColWidth(int col, int newVal)
{
    if (m_grid.SetColumnWidth(col, newVal)) UpdateScrollBars();
    Refresh();
    return S_OK;
}

STDMETHODIMP CTessera::get_RowHeight(int row, int* pVal) { return accessor::Get<int>(nullptr, m_grid.GetRowHeight(row), pVal); }

STDMETHODIMP CTessera::put_RowHeight(int row, int newVal)
{
    if (m_grid.SetRowHeight(row, newVal)) UpdateScrollBars();
    Refresh();
    return S_OK;
}

STDMETHODIMP CTessera::get_TotalWidth(int* pVal) { return accessor::Get<int>(nullptr, m_grid.TotalWidth(), pVal); }

STDMETHODIMP CTessera::get_TotalHeight(int* pVal) { return accessor::Get<int>(nullptr, m_grid.TotalHeight(), pVal); }

// The selection is cleared before the cells move: its entries name
// positions, and the flags to clear are on the cells found there now.
STDMETHODIMP CTessera::ExchangeCols(int col1, int col2)
{
    // Indices at or beyond the count are refused like negative ones.
    if (col1 == col2 || col1 < 0 || col2 < 0 || col1 >= m_grid.Cols() || col2 >= m_grid.Cols()) return S_OK;
    m_selection.ClearSelection();
    m_grid.ExchangeCols(col1, col2);
    AccReordered();
    m_selection.ResetFocusCell();
    ClearSelection();
    return S_OK;
}

STDMETHODIMP CTessera::ExchangeRows(int row1, int row2)
{
    if (row1 == row2 || row1 < 0 || row2 < 0 || row1 >= m_grid.Rows() || row2 >= m_grid.Rows()) return S_OK;
    m_selection.ClearSelection();
    m_grid.ExchangeRows(row1, row2);
    AccReordered();
    m_selection.ResetFocusCell();
    ClearSelection();
    return S_OK;
}

// Exchanges with a negative index do nothing, so the loops start and stop
// at 0 however negative the argument is.
STDMETHODIMP CTessera::InsertCol(int acol)
{
    AccBatch batch(*this);
    HRESULT hr = put_Cols(m_grid.Cols() + 1);
    if (FAILED(hr)) return hr;
    for (int i = m_grid.Cols() - 1; i > std::max(acol, 0); --i) ExchangeCols(i, i - 1);
    Refresh();
    return S_OK;
}

STDMETHODIMP CTessera::InsertRow(int arow)
{
    AccBatch batch(*this);
    HRESULT hr = put_Rows(m_grid.Rows() + 1);
    if (FAILED(hr)) return hr;
    for (int i = m_grid.Rows() - 1; i > std::max(arow, 0); --i) ExchangeRows(i, i - 1);
    Refresh();
    return S_OK;
}

STDMETHODIMP CTessera::RemoveCol(int col)
{
    AccBatch batch(*this);
    for (int i = std::max(col, 0); i <= m_grid.Cols() - 2; ++i) ExchangeCols(i, i + 1);
    put_Cols(m_grid.Cols() - 1);
    return S_OK;
}

STDMETHODIMP CTessera::RemoveRow(int row)
{
    AccBatch batch(*this);
    for (int i = std::max(row, 0); i <= m_grid.Rows() - 2; ++i) ExchangeRows(i, i + 1);
    put_Rows(m_grid.Rows() - 1);
    return S_OK;
}

namespace {

HRESULT ReturnText(const std::wstring& text, BSTR* pVal)
{
    if (!pVal) return E_POINTER;
    *pVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *pVal ? S_OK : E_OUTOFMEMORY;
}

// The text in the thread's ANSI code page; a null BSTR is empty.
std::string AnsiText(BSTR text)
{
    int length = static_cast<int>(SysStringLen(text));
    if (!length) return std::string();
    int bytes = WideCharToMultiByte(CP_THREAD_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_THREAD_ACP, 0, text, length, out.data(), bytes, nullptr, nullptr);
    return out;
}

} // namespace

// The text forms can be as long as the host likes; running out of memory
// is an error for the caller, not an exception through COM.
STDMETHODIMP CTessera::get_Widths(BSTR* pVal)
try {
    return ReturnText(m_grid.WidthsText(), pVal);
} catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
}

STDMETHODIMP CTessera::get_Heights(BSTR* pVal)
try {
    return ReturnText(m_grid.HeightsText(), pVal);
} catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
}

STDMETHODIMP CTessera::put_Widths(BSTR newVal)
try {
    std::vector<int> sizes = CGridTable::ParseSizes(AnsiText(newVal));
    // Each size is put as ColWidth puts it; the scroll bars follow once.
    for (size_t i = 0; i < sizes.size(); ++i) {
        m_grid.SetColumnWidth(static_cast<int>(i), sizes[i]);
        Refresh();
    }
    UpdateScrollBars();
    return S_OK;
} catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
}

STDMETHODIMP CTessera::put_Heights(BSTR newVal)
try {
    std::vector<int> sizes = CGridTable::ParseSizes(AnsiText(newVal));
    for (size_t i = 0; i < sizes.size(); ++i) {
        m_grid.SetRowHeight(static_cast<int>(i), sizes[i]);
        Refresh();
    }
    UpdateScrollBars();
    return S_OK;
} catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
}
