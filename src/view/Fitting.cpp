// Sizing columns and rows to the one-line extent of their display texts.
#include "control/Tessera.h"

#include <algorithm>

#include "model/ValueFormat.h"
#include "view/Gdi.h"

namespace view {

// One device context for a whole fitting pass: the control window's, or the
// screen's before the window exists, so that a host may fit sizes before
// showing the grid. A font is selected only when it differs from the last,
// and kept alive while it is.
class CTextMeasure {
public:
    explicit CTextMeasure(HWND hwnd) : m_hwnd(hwnd), m_dc(GetDC(hwnd)) {}
    ~CTextMeasure()
    {
        if (!m_dc) return;
        if (m_old) SelectObject(m_dc, m_old);
        ReleaseDC(m_hwnd, m_dc);
    }
    CTextMeasure(const CTextMeasure&) = delete;
    CTextMeasure& operator=(const CTextMeasure&) = delete;

    bool Ready() const noexcept { return m_dc != nullptr; }

    SIZE Measure(IFontDisp* font, const std::wstring& text)
    {
        SIZE size = {0, 0};
        if (text.empty() || !m_dc) return size;
        if (font != m_disp.Get()) {
            // Without a font of its own the text is measured in the context's.
            CPropertyFont made(font);
            if (HGDIOBJ want = made.Get() ? made.Get() : m_old) {
                HGDIOBJ previous = SelectObject(m_dc, want);
                if (!m_old) m_old = previous;
            }
            m_disp = font;
            m_font = made;
        }
        if (!GetTextExtentPoint32W(m_dc, text.c_str(), static_cast<int>(text.size()), &size)) size = SIZE{0, 0};
        return size;
    }

private:
    HWND m_hwnd;
    HDC m_dc;
    HGDIOBJ m_old = nullptr;
    fw::ComPtr<IFontDisp> m_disp;
    CPropertyFont m_font{nullptr};
};

} // namespace view

SIZE CTessera::MeasureCellText(int row, int col, view::CTextMeasure& measure)
{
    CCellRef cell = m_grid.GetCell(row, col);
    if (!cell) return SIZE{0, 0};
    const std::wstring text = m_formatter.FormatCellText(cell);
    // Formatting may have run a host's code, which can drop the cell or
    // change its font: the font is picked afterwards.
    cell = m_grid.GetCell(row, col);
    if (text.empty() || !cell) return SIZE{0, 0};
    const bool fixed = row < m_grid.FixedRows() || col < m_grid.FixedCols();
    return measure.Measure(fixed ? m_pFixedFont.Get() : CellFont(cell), text);
}

// A column's width (columns) or a row's height to the largest text along it,
// or with a negative index every one, drawing held off until the end.
void CTessera::FitSize(bool columns, int index)
{
    auto count = [&] { return columns ? m_grid.Cols() : m_grid.Rows(); };
    if (index >= count()) return;
    view::CTextMeasure measure(ControlWindow());
    if (index < 0) {
        const LONG allowDraw = m_nAllowDraw;
        m_nAllowDraw = 0;
        for (int i = 0; i < count() && measure.Ready(); ++i) FitLine(columns, i, measure);
        m_nAllowDraw = allowDraw;
    } else {
        if (!measure.Ready()) return;
        FitLine(columns, index, measure);
    }
    UpdateScrollBars();
    Refresh();
}

void CTessera::FitLine(bool columns, int index, view::CTextMeasure& measure)
{
    int size = 0;
    const int across = columns ? m_grid.Rows() : m_grid.Cols();
    for (int j = 0; j < across; ++j) {
        const SIZE text = columns ? MeasureCellText(j, index, measure) : MeasureCellText(index, j, measure);
        size = std::max(size, static_cast<int>(columns ? text.cx : text.cy) + m_metrics.fitMargin);
    }
    if (columns) {
        m_grid.SetColumnWidth(index, size);
    } else {
        m_grid.SetRowHeight(index, size);
    }
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
