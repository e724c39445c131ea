// Painting the grid: background, fixed cells, normal cells, grid lines and
// border, on an off-screen surface when the target is the screen.
#include "control/Tessera.h"

#include <algorithm>
#include <string>

#include "control/Trace.h"
#include "view/Gdi.h"

namespace view {

HDC CSurfaceCache::Lend(HDC target, int w, int h) noexcept
{
    if (m_lent || w <= 0 || h <= 0 || static_cast<long long>(w) * h > kMostPixels) return nullptr;
    if (w > m_width || h > m_height) {
        // A larger surface replaces the kept one, keeping its largest sides.
        const int cw = std::max(w, m_width), ch = std::max(h, m_height);
        Reset();
        m_dc = CreateCompatibleDC(target);
        if (m_dc) m_bitmap = CBitmap(CreateCompatibleBitmap(target, cw, ch));
        if (!m_bitmap) {
            Reset();
            return nullptr;
        }
        m_oldBitmap = SelectObject(m_dc, m_bitmap.Get());
        m_width = cw;
        m_height = ch;
    }
    m_state = SaveDC(m_dc);
    if (!m_state) return nullptr;
    m_lent = true;
    return m_dc;
}

void CSurfaceCache::Return() noexcept
{
    if (!m_lent) return;
    RestoreDC(m_dc, m_state);
    m_lent = false;
}

void CSurfaceCache::Reset() noexcept
{
    if (m_lent) return;
    if (m_oldBitmap) SelectObject(m_dc, m_oldBitmap);
    m_oldBitmap = nullptr;
    m_bitmap.Reset();
    if (m_dc) DeleteDC(m_dc);
    m_dc = nullptr;
    m_width = m_height = 0;
}

CMemDC::CMemDC(HDC target, const RECT& rect, CSurfaceCache* cache) noexcept : m_target(target), m_rect(rect)
{
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (cache && (m_dc = cache->Lend(target, w, h)) != nullptr) {
        m_cache = cache;
    } else {
        m_dc = CreateCompatibleDC(target);
        if (!m_dc) return;
        m_bitmap = CBitmap(CreateCompatibleBitmap(target, w, h));
        if (m_bitmap) m_oldBitmap = SelectObject(m_dc, m_bitmap.Get());
    }
    // Painting uses the target's coordinates.
    SetWindowOrgEx(m_dc, rect.left, rect.top, nullptr);
}

CMemDC::~CMemDC()
{
    if (m_bitmap || m_cache) {
        // The copy takes the surface from its own corner, whatever origin
        // the painting used.
        SetWindowOrgEx(m_dc, 0, 0, nullptr);
        BitBlt(m_target, m_rect.left, m_rect.top, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top, m_dc, 0,
               0, SRCCOPY);
    }
    if (m_cache) {
        m_cache->Return();
        return;
    }
    if (m_bitmap) SelectObject(m_dc, m_oldBitmap);
    m_bitmap.Reset();
    if (m_dc) DeleteDC(m_dc);
}

} // namespace view

namespace {

UINT AlignmentFlags(int alignment)
{
    switch (alignment) {
    case 1: return DT_RIGHT;
    case 2: return DT_CENTER;
    default: return 0;
    }
}

UINT WrapFlags(int wrap)
{
    switch (wrap) {
    case 1: return DT_WORDBREAK;
    case 2: return DT_WORD_ELLIPSIS;
    case 3: return DT_PATH_ELLIPSIS;
    case 4: return DT_END_ELLIPSIS;
    default: return 0;
    }
}

void TraceLastError(const char* file, int line)
{
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, GetLastError(), 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = std::string(file) + "(" + std::to_string(line) + "): " + (text ? text : "error");
    OutputDebugStringA(message.c_str());
    if (text) LocalFree(text);
}

// What painting cells changes in a context, put back when the guard goes:
// once around all cells of a paint instead of once per cell.
class CCellState {
public:
    explicit CCellState(HDC dc) noexcept
        : m_dc(dc), m_mode(GetBkMode(dc)), m_text(GetTextColor(dc)), m_back(GetBkColor(dc)),
          m_pen(GetCurrentObject(dc, OBJ_PEN)), m_brush(GetCurrentObject(dc, OBJ_BRUSH))
    {
    }
    CCellState(const CCellState&) = delete;
    CCellState& operator=(const CCellState&) = delete;
    ~CCellState()
    {
        SetBkMode(m_dc, m_mode);
        SetTextColor(m_dc, m_text);
        SetBkColor(m_dc, m_back);
        SelectObject(m_dc, m_pen);
        SelectObject(m_dc, m_brush);
    }

private:
    HDC m_dc;
    int m_mode;
    COLORREF m_text;
    COLORREF m_back;
    HGDIOBJ m_pen;
    HGDIOBJ m_brush;
};

void FillSolid(HDC dc, const RECT& rc, HBRUSH brush)
{
    if (rc.left < rc.right && rc.top < rc.bottom) FillRect(dc, &rc, brush);
}

// A solid fill without making a brush: a thousand cells a paint make this
// the cheaper way. Changes the background colour.
void FillColor(HDC dc, const RECT& rc, COLORREF color)
{
    SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, L"", 0, nullptr);
}

} // namespace

HRESULT CTessera::OnDraw(const fw::DrawInfo& info)
{
    trace::TraceLine("Drawing");
    HWND hwnd = ControlWindow();
    if (!m_bPainted) {
        m_bPainted = true;
        if (hwnd) UpdateScrollBars();
    }
    RECT bounds = info.bounds;
    if (hwnd) {
        PositionButtons();
        GetClientRect(hwnd, &bounds);
    }
    // Without a window of its own the grid is drawn at the container's
    // bounds, unscrolled, in a view the size of the bounds.
    const view::CLayout layout =
        hwnd ? Layout() : view::CLayout(m_grid, bounds.right - bounds.left, bounds.bottom - bounds.top, 0, 0);
    // Only the part the target lets through is painted: a line scroll
    // leaves a strip to repaint, not the whole view.
    RECT clip = bounds;
    RECT box;
    const int region = GetClipBox(info.hdc, &box);
    if (region == NULLREGION) return S_OK;
    if (region != ERROR && !IntersectRect(&clip, &bounds, &box)) return S_OK;
    RECT area = clip;
    OffsetRect(&area, -bounds.left, -bounds.top);

    // A metafile's context answers with its reference device's technology:
    // it must record the drawing itself, not one bitmap of it.
    const DWORD target = GetObjectType(info.hdc);
    if (GetDeviceCaps(info.hdc, TECHNOLOGY) == DT_RASDISPLAY && target != OBJ_ENHMETADC && target != OBJ_METADC) {
        view::CMemDC mem(info.hdc, clip, &m_surface);
        if (mem.Get()) {
            OffsetWindowOrgEx(mem.Get(), -bounds.left, -bounds.top, nullptr);
            PaintGrid(mem.Get(), area, layout, hwnd ? info.hdc : nullptr);
            return S_OK;
        }
    }
    // Printers and metafiles, or no memory for the surface: paint directly.
    view::CSavedDC saved(info.hdc);
    OffsetWindowOrgEx(info.hdc, -bounds.left, -bounds.top, nullptr);
    PaintGrid(info.hdc, area, layout);
    return S_OK;
}

void CTessera::PaintGrid(HDC dc, const RECT& clip, const view::CLayout& layout, HDC visible)
{
    PaintBackground(dc, clip, layout);

    const int fixedRows = m_grid.FixedRows();
    const int fixedCols = m_grid.FixedCols();
    const int fixedHeight = layout.FixedRowsHeight();
    const int fixedWidth = layout.FixedColumnsWidth();
    RECT extent;
    const CCellRange shown = layout.ShownRange(&extent);
    const CCellID first(shown.minRow, shown.minCol);

    // Walks rows [rowFrom, rowTo] from y0 and columns [colFrom, colTo] from
    // x0, skipping what lies outside the clip and stopping past it.
    auto walk = [&](int rowFrom, int rowTo, int y0, int colFrom, int colTo, int x0, auto paint) {
        int top = y0;
        for (int row = rowFrom; row <= rowTo; ++row) {
            const int h = m_grid.GetRowHeight(row);
            const int bottom = top + h - 1;
            if (top >= clip.bottom) break;
            if (h > 0 && bottom >= clip.top) {
                int left = x0;
                for (int col = colFrom; col <= colTo; ++col) {
                    const int w = m_grid.GetColumnWidth(col);
                    if (left >= clip.right) break;
                    const int right = left + w - 1;
                    const RECT box = {left, top, right + 1, bottom + 1};
                    if (right >= clip.left && (!visible || RectVisible(visible, &box)))
                        paint(row, col, RECT{left, top, right, bottom});
                    left += w;
                }
            }
            top += h;
        }
    };

    auto fixed = [&](int row, int col, const RECT& rc) { PaintFixedCell(dc, row, col, rc); };
    walk(0, fixedRows - 1, 0, 0, fixedCols - 1, 0, fixed);
    walk(first.row, shown.maxRow, fixedHeight, 0, fixedCols - 1, 0, fixed);
    walk(0, fixedRows - 1, 0, first.col, shown.maxCol, fixedWidth, fixed);
    {
        CCellState state(dc);
        walk(first.row, shown.maxRow, fixedHeight, first.col, shown.maxCol, fixedWidth,
             [&](int row, int col, const RECT& rc) {
                 if (CCellRef cell = m_grid.GetCell(row, col)) PaintCell(dc, cell, rc);
             });
    }

    // Grid lines go last: each cell's fill covers its own right and bottom
    // line. Lines outside the clip would land off the surface.
    int xEnd = fixedWidth;
    int yEnd = fixedHeight;
    {
        view::CPen pen = view::SolidPen(0, m_clrGridLines);
        view::CSelection selectPen(dc, pen.Get());
        for (int col = first.col; col <= shown.maxCol && col < m_grid.Cols(); ++col) {
            xEnd += m_grid.GetColumnWidth(col);
            if (xEnd - 1 < clip.left || xEnd - 1 >= clip.right) continue;
            MoveToEx(dc, xEnd - 1, fixedHeight, nullptr);
            LineTo(dc, xEnd - 1, extent.bottom);
        }
        for (int row = first.row; row <= shown.maxRow && row < m_grid.Rows(); ++row) {
            yEnd += m_grid.GetRowHeight(row);
            if (yEnd - 1 < clip.top || yEnd - 1 >= clip.bottom) continue;
            MoveToEx(dc, fixedWidth, yEnd - 1, nullptr);
            LineTo(dc, extent.right, yEnd - 1);
        }
    }

    // The border frames the table from its own top-left corner, whatever part
    // of it is being repainted.
    if (m_nBorderStyle != 0) {
        view::CPen pen = view::SolidPen(m_nBorderStyle, RGB(0, 0, 0));
        view::CSelection selectPen(dc, pen.Get());
        MoveToEx(dc, 0, 0, nullptr);
        LineTo(dc, 0, yEnd);
        MoveToEx(dc, 0, 0, nullptr);
        LineTo(dc, xEnd, 0);
        LineTo(dc, xEnd, yEnd);
        LineTo(dc, 0, yEnd);
    }
}

void CTessera::PaintBackground(HDC dc, const RECT& clip, const view::CLayout& layout)
{
    RECT e;
    layout.ShownRange(&e);
    const int f = layout.FixedColumnsWidth();
    const int g = layout.FixedRowsHeight();
    view::CBrush fixedFill = view::SolidBrush(m_clrFixedFill);
    view::CBrush cellFill = view::SolidBrush(m_clrCellFill);
    view::CBrush back = view::SolidBrush(m_clrBackColor);

    if (clip.left < f && clip.top < e.bottom) FillSolid(dc, RECT{clip.left, clip.top, f, e.bottom}, fixedFill.Get());
    if (clip.top < g && clip.right > f && clip.left < e.right)
        FillSolid(dc, RECT{f - 1, clip.top, e.right, g}, fixedFill.Get());
    RECT cells;
    if (IntersectRect(&cells, &e, &clip)) {
        if (cells.left < f) cells.left = f;
        if (cells.top < g) cells.top = g;
        FillSolid(dc, cells, cellFill.Get());
    }
    if (e.right < clip.right) FillSolid(dc, RECT{e.right, clip.top, clip.right, clip.bottom}, back.Get());
    if (e.bottom < clip.bottom && clip.left < e.right)
        FillSolid(dc, RECT{clip.left, e.bottom, e.right, clip.bottom}, back.Get());
}

bool CTessera::PaintFixedCell(HDC dc, int row, int col, RECT rect)
{
    CCellRef cell = m_grid.GetCell(row, col);
    if (!m_nAllowDraw || !cell) return false;

    view::CSavedDC saved(dc);
    FillColor(dc, rect, m_clrFixedColor);
    view::CPropertyFont font(m_pFixedFont.Get());
    if (font.Get()) SelectObject(dc, font.Get());

    const CCellID current = FocusCell();
    if (m_grid.IsValid(current) && (row == current.row || col == current.col)) {
        RECT edge = {rect.left, rect.top, rect.right + 1, rect.bottom + 1};
        DrawEdge(dc, &edge, BDR_SUNKENINNER, BF_RECT);
    } else {
        view::CPen light = view::SolidPen(1, GetSysColor(COLOR_3DHIGHLIGHT));
        view::CPen dark = view::SolidPen(1, GetSysColor(COLOR_3DDKSHADOW));
        if (light && dark) {
            HGDIOBJ old = SelectObject(dc, light.Get());
            MoveToEx(dc, rect.right, rect.top, nullptr);
            LineTo(dc, rect.left, rect.top);
            LineTo(dc, rect.left, rect.bottom);
            SelectObject(dc, dark.Get());
            MoveToEx(dc, rect.right, rect.top, nullptr);
            LineTo(dc, rect.right, rect.bottom);
            LineTo(dc, rect.left, rect.bottom);
            SelectObject(dc, old);
        } else {
            TraceLastError(__FILE__, __LINE__);
        }
    }
    InflateRect(&rect, -1, -1);

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, m_clrFixedFontColor);
    // Formatting may run a host's code, which can drop the cell.
    const UINT flags = AlignmentFlags(cell.Alignment()) | WrapFlags(m_nFixedWordWrap);
    const std::wstring text = m_formatter.FormatCellText(cell);
    DrawTextW(dc, text.c_str(), -1, &rect, flags);
    return true;
}

// Leaves the background mode, colours, pen, brush and font as the cell
// needed them; the caller puts the context back.
bool CTessera::PaintCell(HDC dc, const CCellRef& cell, RECT rect)
{
    SetBkMode(dc, TRANSPARENT);
    // Each fill takes the cell's right and bottom line too.
    const RECT fill = {rect.left, rect.top, rect.right + 1, rect.bottom + 1};
    IFontDisp* fontProperty = nullptr;
    if (cell.Focused()) {
        FillColor(dc, fill, m_clrSelectedCellColor);
        SelectObject(dc, GetStockObject(BLACK_PEN));
        SelectObject(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
        SetTextColor(dc, cell.FontColor());
        InflateRect(&rect, -1, -1);
        fontProperty = m_pSelectedCellFont.Get();
    } else if (m_bDrawSelection && m_selection.IsSelected(cell.Row(), cell.Col())) {
        FillColor(dc, fill, m_clrSelectedRangeColor);
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        fontProperty = m_pSelectedRangeFont.Get();
    } else {
        FillColor(dc, fill, cell.Color());
        SetTextColor(dc, cell.FontColor());
        fontProperty = CellFont(cell);
    }
    // The font stays selected after the cell: the next cell mostly uses the
    // same one, and selecting a font costs more than the rest of a cell.
    // The callers own the context's state around a whole paint.
    view::CPropertyFont font(fontProperty);
    if (font.Get() && GetCurrentObject(dc, OBJ_FONT) != font.Get()) {
        SelectObject(dc, font.Get());
        m_pSelectedFontObject = font.Object();
    }

    // Formatting may run a host's code, which can drop the cell.
    const UINT flags = AlignmentFlags(cell.Alignment()) | WrapFlags(cell.WordWrap());
    const std::wstring text = m_formatter.FormatCellText(cell);
    DrawTextW(dc, text.c_str(), -1, &rect, flags);
    return true;
}

IFontDisp* CTessera::CellFont(const CCellRef& cell)
{
    // Making a font object for every cell that scrolls into view would cost
    // more than the rest of its paint.
    if (cell.FontMade()) return cell.Font();
    if (!m_pStandardFont) m_pStandardFont.Attach(CreateStandardFont());
    return m_pStandardFont.Get();
}

bool CTessera::PaintCellNow(HDC hdc, int row, int col)
{
    RECT box;
    if (!m_nAllowDraw || !CellShows(row, col) || !CellBox(row, col, box)) return false;
    HWND hwnd = ControlWindow();
    HDC dc = hdc ? hdc : GetDC(hwnd);
    if (!dc) {
        RECT dirty = {box.left, box.top, box.right + 1, box.bottom + 1};
        InvalidateRect(hwnd, &dirty, TRUE);
        return true;
    }
    bool painted = false;
    {
    // A caller's context gets its state back, the font included.
    view::CSavedDC saved(dc);
    if (row < m_grid.FixedRows() || col < m_grid.FixedCols()) {
        painted = PaintFixedCell(dc, row, col, box);
    } else if (CCellRef cell = m_grid.GetCell(row, col)) {
        painted = PaintCell(dc, cell, box);
        view::CPen pen = view::SolidPen(1, m_clrGridLines);
        view::CSelection selectPen(dc, pen.Get());
        MoveToEx(dc, box.left, box.bottom, nullptr);
        LineTo(dc, box.right + 1, box.bottom);
        MoveToEx(dc, box.right, box.top, nullptr);
        LineTo(dc, box.right, box.bottom + 1);
    }
    }
    if (!hdc) ReleaseDC(hwnd, dc);
    return painted;
}
