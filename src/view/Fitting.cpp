// Sizing columns and rows to the one-line extent of their display texts.
#include "control/Tessera.h"

#include <algorithm>

#include "model/ValueFormat.h"
#include "view/Gdi.h"

namespace {

// Measurement margin added to the widest (or tallest) text.
constexpr int kFitMargin = 3;

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
    CGridCell* cell = m_grid.GetCell(row, col);
    if (!cell || !dc) return size;
    const bool fixed = row < m_grid.FixedRows() || col < m_grid.FixedCols();
    view::CPropertyFont fontObject(fixed ? m_pFixedFont.Get() : cell->Font());
    HFONT font = fontObject.Get();
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;

    const std::string text = m_formatter.FormatCellText(*cell);
    if (!GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size)) size = SIZE{0, 0};

    if (old) SelectObject(dc, old);
    return size;
}

void CTessera::FitColumnWidth(int col)
{
    if (col >= m_grid.Cols()) return;
    if (col < 0) {
        const LONG allowDraw = m_nAllowDraw;
        m_nAllowDraw = 0;
        for (int c = 0; c < m_grid.Cols(); ++c) FitColumnWidth(c);
        m_nAllowDraw = allowDraw;
    } else {
        CMeasureDC dc(ControlWindow());
        if (!dc.Get()) return;
        int width = 0;
        for (int row = 0; row < m_grid.Rows(); ++row)
            width = std::max(width, static_cast<int>(MeasureCellText(row, col, dc.Get()).cx) + kFitMargin);
        m_grid.SetColumnWidth(col, width);
    }
    UpdateScrollBars();
    Refresh();
}

void CTessera::FitRowHeight(int row)
{
    if (row >= m_grid.Rows()) return;
    if (row < 0) {
        const LONG allowDraw = m_nAllowDraw;
        m_nAllowDraw = 0;
        for (int r = 0; r < m_grid.Rows(); ++r) FitRowHeight(r);
        m_nAllowDraw = allowDraw;
    } else {
        CMeasureDC dc(ControlWindow());
        if (!dc.Get()) return;
        int height = 0;
        for (int col = 0; col < m_grid.Cols(); ++col)
            height = std::max(height, static_cast<int>(MeasureCellText(row, col, dc.Get()).cy) + kFitMargin);
        m_grid.SetRowHeight(row, height);
    }
    UpdateScrollBars();
    Refresh();
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
