// Sizing columns and rows to the one-line extent of their display texts.
#include "control/Tessera.h"

#include <algorithm>

#include "model/ValueFormat.h"
#include "view/Gdi.h"

namespace {

// The device context of the control window, or of the screen before the
// window exists, so that a host may fit sizes before showing the grid.
class CMeasureDC {
public:
    explicit CMeasureDC(HWND hwnd) : m_hwnd(hwnd), m_dc(GetDC(hwnd)) {}
    ~CMeasureDC() { if (m_dc) ReleaseDC(m_hwnd, m_dc); }
    CMeasureDC(const CMeasureDC&) = delete;
    CMeasureDC& operator=(const CMeasureDC&) = delete;
    HDC Get() const noexcept { return m_dc; }

private:
    HWND m_hwnd;
    HDC m_dc;
};

} // namespace

SIZE CTessera::MeasureCellText(int row, int col, HDC dc)
{
    SIZE size = {0, 0};
    CCellRef cell = m_grid.GetCell(row, col);
    if (!cell || !dc) return size;
    const bool fixed = row < m_grid.FixedRows() || col < m_grid.FixedCols();
    view::CPropertyFont fontObject(fixed ? m_pFixedFont.Get() : cell.Font());
    HFONT font = fontObject.Get();
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;

    const std::string text = m_formatter.FormatCellText(cell);
    if (!GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size)) size = SIZE{0, 0};

    if (old) SelectObject(dc, old);
    return size;
}

// A column's width (columns) or a row's height to the largest text along it,
// or with a negative index every one, drawing held off until the end.
void CTessera::FitSize(bool columns, int index)
{
    auto count = [&] { return columns ? m_grid.Cols() : m_grid.Rows(); };
    if (index >= count()) return;
    if (index < 0) {
        const LONG allowDraw = m_nAllowDraw;
        m_nAllowDraw = 0;
        for (int i = 0; i < count(); ++i) FitSize(columns, i);
        m_nAllowDraw = allowDraw;
    } else {
        CMeasureDC dc(ControlWindow());
        if (!dc.Get()) return;
        int size = 0;
        const int across = columns ? m_grid.Rows() : m_grid.Cols();
        for (int j = 0; j < across; ++j) {
            const SIZE text = columns ? MeasureCellText(j, index, dc.Get()) : MeasureCellText(index, j, dc.Get());
            size = std::max(size, static_cast<int>(columns ? text.cx : text.cy) + m_metrics.fitMargin);
        }
        if (columns) {
            m_grid.SetColumnWidth(index, size);
        } else {
            m_grid.SetRowHeight(index, size);
        }
    }
    UpdateScrollBars();
    Refresh();
}

void CTessera::FitColumnWidth(int col)
{
    FitSize(true, col);
}

void CTessera::FitRowHeight(int row)
{
    FitSize(false, row);
}

STDMETHODIMP CTessera::AdjustColWidths()
{
    FitColumnWidth(-1);
    return S_OK;
}

STDMETHODIMP CTessera::AdjustColWidth(int col)
{
    FitColumnWidth(col);
    return S_OK;
}

STDMETHODIMP CTessera::AdjustRowHeights()
{
    FitRowHeight(-1);
    return S_OK;
}

STDMETHODIMP CTessera::AdjustRowHeight(int row)
{
    FitRowHeight(row);
    return S_OK;
}
