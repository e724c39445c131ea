// The cell region and the per-cell automation members.
#include "control/Tessera.h"

#include <algorithm>
#include <string>

#include "control/Accessors.h"
#include "control/Trace.h"
#include "framework/com_ptr.h"
#include "framework/error_info.h"

// --- Cell region -------------------------------------------------------------

CCellRange CTessera::CellRegion() const noexcept
{
    CCellRange r;
    r.minRow = std::min(m_nCRegionLeftTopY, m_nCRegionRightBottomY);
    r.maxRow = std::max(m_nCRegionLeftTopY, m_nCRegionRightBottomY);
    r.minCol = std::min(m_nCRegionLeftTopX, m_nCRegionRightBottomX);
    r.maxCol = std::max(m_nCRegionLeftTopX, m_nCRegionRightBottomX);
    return r;
}

template <class Visit>
bool CTessera::ForEachRegionCell(Visit visit)
{
    // Only the part inside the table: positions outside it are skipped.
    CCellRange r = CellRegion();
    const int firstCol = std::max(r.minCol, 0), lastCol = std::min(r.maxCol, m_grid.Cols() - 1);
    const int firstRow = std::max(r.minRow, 0), lastRow = std::min(r.maxRow, m_grid.Rows() - 1);
    for (int col = firstCol; col <= lastCol; ++col) {
        for (int row = firstRow; row <= lastRow; ++row) {
            if (CCellRef cell = m_grid.GetCell(row, col)) {
                if (!visit(cell, row, col)) return false;
            }
        }
    }
    return true;
}

template <class Out, class Read>
HRESULT CTessera::ReadFirstCell(Out* out, Read read)
{
    CCellRange r = CellRegion();
    CCellRef cell = m_grid.GetCell(r.minRow, r.minCol);
    if (!cell) return ReportError(L"The cell region holds no cell of the grid.");
    if (!out) return E_POINTER;
    return read(cell);
}

STDMETHODIMP CTessera::get_CRegionLeftTopX(int* pVal) { return accessor::Get(nullptr, m_nCRegionLeftTopX, pVal); }
STDMETHODIMP CTessera::put_CRegionLeftTopX(int newVal)
{
    if (newVal >= 0 && newVal < m_grid.Cols()) m_nCRegionLeftTopX = newVal;
    return S_OK;
}

STDMETHODIMP CTessera::get_CRegionLeftTopY(int* pVal) { return accessor::Get(nullptr, m_nCRegionLeftTopY, pVal); }
STDMETHODIMP CTessera::put_CRegionLeftTopY(int newVal)
{
    if (newVal >= 0 && newVal < m_grid.Rows()) m_nCRegionLeftTopY = newVal;
    return S_OK;
}

STDMETHODIMP CTessera::get_CRegionRightBottomX(int* pVal) { return accessor::Get(nullptr, m_nCRegionRightBottomX, pVal); }
STDMETHODIMP CTessera::put_CRegionRightBottomX(int newVal)
{
    if (newVal >= 0 && newVal < m_grid.Cols()) m_nCRegionRightBottomX = newVal;
    return S_OK;
}

STDMETHODIMP CTessera::get_CRegionRightBottomY(int* pVal) { return accessor::Get(nullptr, m_nCRegionRightBottomY, pVal); }
STDMETHODIMP CTessera::put_CRegionRightBottomY(int newVal)
{
    if (newVal >= 0 && newVal < m_grid.Rows()) m_nCRegionRightBottomY = newVal;
    return S_OK;
}

// --- Errors and colours ---------------------------------------------------------

HRESULT CTessera::ReportError(const wchar_t* text, HRESULT hr)
{
    fw::SetErrorDescription(CLSID_Tessera, text, IID_ITessera);
    return hr;
}

HRESULT CTessera::TranslateColor(OLE_COLOR color, COLORREF* out)
{
    if (FAILED(OleTranslateColor(color, nullptr, out)))
        return ReportError(L"Can't translate color");
    return S_OK;
}

// --- Plain attributes ------------------------------------------------------------

STDMETHODIMP CTessera::get_Alignment(int* pVal)
{
    trace::TraceLine("Get Alignment");
    return ReadFirstCell(pVal, [&](const CCellRef& c) { *pVal = c.Alignment(); return S_OK; });
}

STDMETHODIMP CTessera::put_Alignment(int newVal)
{
    trace::TraceLine("Put Alignment");
    ForEachRegionCell([&](CCellRef c, int, int) { c.Set(&CellAttrs::alignment, newVal); return true; });
    Refresh();
    return S_OK;
}

STDMETHODIMP CTessera::get_Editable(VARIANT_BOOL* pVal)
{
    trace::TraceLine("Get Editable");
    return ReadFirstCell(pVal, [&](const CCellRef& c) {
        *pVal = static_cast<VARIANT_BOOL>(c.Editable());
        return S_OK;
    });
}

STDMETHODIMP CTessera::put_Editable(VARIANT_BOOL newVal)
{
    trace::TraceLine("Put Editable");
    ForEachRegionCell([&](CCellRef c, int, int) { c.Set(&CellAttrs::editable, static_cast<int>(newVal)); return true; });
    return S_OK;
}

STDMETHODIMP CTessera::get_WordWrap(int* pVal)
{
    trace::TraceLine("Get WordWrap");
    return ReadFirstCell(pVal, [&](const CCellRef& c) { *pVal = c.WordWrap(); return S_OK; });
}

STDMETHODIMP CTessera::put_WordWrap(int newVal)
{
    trace::TraceLine("Put WordWrap");
    ForEachRegionCell([&](CCellRef c, int, int) { c.Set(&CellAttrs::wordWrap, newVal); return true; });
    Refresh();
    return S_OK;
}

// A colour for every cell of the region; the first colour that cannot be
// translated stops the loop, and cells done keep theirs.
HRESULT CTessera::PutRegionColor(const char* line, OLE_COLOR color, COLORREF CellAttrs::*field)
{
    trace::TraceLine(line);
    HRESULT hr = S_OK;
    ForEachRegionCell([&](CCellRef c, int, int) {
        COLORREF translated = 0;
        hr = TranslateColor(color, &translated);
        if (SUCCEEDED(hr)) c.Set(field, translated);
        return SUCCEEDED(hr);
    });
    if (FAILED(hr)) return hr;
    Refresh();
    return S_OK;
}

STDMETHODIMP CTessera::get_Color(OLE_COLOR* pVal)
{
    trace::TraceLine("Get Color");
    return ReadFirstCell(pVal, [&](const CCellRef& c) { *pVal = c.Color(); return S_OK; });
}

STDMETHODIMP CTessera::put_Color(OLE_COLOR newVal)
{
    return PutRegionColor("put Color", newVal, &CellAttrs::color);
}

STDMETHODIMP CTessera::get_FontColor(OLE_COLOR* pVal)
{
    trace::TraceLine("Get FontColor");
    return ReadFirstCell(pVal, [&](const CCellRef& c) { *pVal = c.FontColor(); return S_OK; });
}

STDMETHODIMP CTessera::put_FontColor(OLE_COLOR newVal)
{
    return PutRegionColor("Put FontColor", newVal, &CellAttrs::fontColor);
}

STDMETHODIMP CTessera::get_CType(int* pVal)
{
    trace::TraceLine("Get CType");
    return ReadFirstCell(pVal, [&](const CCellRef& c) { *pVal = c.CType(); return S_OK; });
}

STDMETHODIMP CTessera::put_CType(int newVal)
{
    trace::TraceLine("put_CType");
    // The value test can run an object's code, which may resize the table.
    ForEachRegionCell([&](CCellRef c, int row, int col) {
        const bool keep = CCellRef::CanTakeType(c.Value(), newVal);
        fw::Variant old;
        if ((c = m_grid.GetCell(row, col))) c.ApplyType(newVal, keep, old);
        return true;
    });
    Refresh();
    return S_OK;
}

STDMETHODIMP CTessera::get_TypeEx(int* pVal)
{
    trace::TraceLine("Get TypeEx");
    return ReadFirstCell(pVal, [&](const CCellRef& c) { *pVal = c.TypeEx(); return S_OK; });
}

STDMETHODIMP CTessera::put_TypeEx(int newVal)
{
    trace::TraceLine("put_TypeEx");
    ForEachRegionCell([&](CCellRef c, int row, int col) {
        c.Set(&CellAttrs::typeEx, newVal);
        if (newVal == txButton) UpdateCellButton(row, col);
        return true;
    });
    return S_OK;
}

// --- Texts -------------------------------------------------------------------------

namespace {

HRESULT CopyText(const CCellText& text, BSTR* pVal)
{
    *pVal = text.Copy();
    return (*pVal || text.IsNull()) ? S_OK : E_OUTOFMEMORY;
}

} // namespace

STDMETHODIMP CTessera::get_DTFormat(BSTR* pVal)
{
    trace::TraceLine("Get DTFormat");
    if (!pVal) return E_POINTER;
    return ReadFirstCell(pVal, [&](const CCellRef& c) { return CopyText(c.DtFormat(), pVal); });
}

STDMETHODIMP CTessera::put_DTFormat(BSTR newVal)
{
    trace::TraceLine("put_DTFormat");
    HRESULT hr = S_OK;
    ForEachRegionCell([&](CCellRef c, int, int) { hr = c.SetDtFormat(newVal); return SUCCEEDED(hr); });
    return hr;
}

STDMETHODIMP CTessera::get_NUMFormat(BSTR* pVal)
{
    trace::TraceLine("Get NUMFormat");
    if (!pVal) return E_POINTER;
    return ReadFirstCell(pVal, [&](const CCellRef& c) { return CopyText(c.NumFormat(), pVal); });
}

STDMETHODIMP CTessera::put_NUMFormat(BSTR newVal)
{
    trace::TraceLine("put_NUMFormat");
    HRESULT hr = S_OK;
    ForEachRegionCell([&](CCellRef c, int, int) { hr = c.SetNumFormat(newVal); return SUCCEEDED(hr); });
    return hr;
}

STDMETHODIMP CTessera::get_Hint(BSTR* pVal)
{
    trace::TraceLine("Get Hint");
    if (!pVal) return E_POINTER;
    return ReadFirstCell(pVal, [&](const CCellRef& c) { return CopyText(c.Hint(), pVal); });
}

STDMETHODIMP CTessera::put_Hint(BSTR newVal)
{
    trace::TraceLine("put_Hint");
    HRESULT hr = S_OK;
    ForEachRegionCell([&](CCellRef c, int, int) { hr = c.SetHint(newVal); return SUCCEEDED(hr); });
    return hr;
}

// --- Fonts -------------------------------------------------------------------------

STDMETHODIMP CTessera::get_Font(IFontDisp** pVal)
{
    trace::TraceLine("Get Font");
    return ReadFirstCell(pVal, [&](const CCellRef& c) { return c.get_Font(pVal); });
}

STDMETHODIMP CTessera::putref_Font(IFontDisp* pFont)
{
    trace::TraceLine("Putref Font");
    ForEachRegionCell([&](CCellRef c, int row, int col) {
        // Released after the cell is left alone: the last release of a
        // host's font runs its code.
        if (pFont) pFont->AddRef();
        fw::ComPtr<IFontDisp> old;
        if ((c = m_grid.GetCell(row, col))) old.Attach(c.ExchangeFont(pFont));
        else if (pFont) pFont->Release();
        return true;
    });
    Refresh();
    return S_OK;
}

STDMETHODIMP CTessera::put_Font(IFontDisp* pFont)
{
    trace::TraceLine("Put Font");
    ForEachRegionCell([&](CCellRef, int row, int col) {
        // Cloning a host's font runs its code: the cell is found afterwards.
        fw::ComPtr<IFontDisp> clone = CloneFont(pFont);
        fw::ComPtr<IFontDisp> old;
        if (CCellRef c = m_grid.GetCell(row, col)) old.Attach(c.ExchangeFont(clone.Detach()));
        return true;
    });
    Refresh();
    return S_OK;
}

STDMETHODIMP CTessera::SetFont()
{
    fw::ComPtr<IFontDisp> font;
    if (FAILED(get_Font(font.Put()))) return E_FAIL;
    if (FAILED(put_Font(font.Get()))) return E_FAIL;
    return S_OK;
}

// --- Value ---------------------------------------------------------------------------

namespace {

// The value's text for the trace; empty when it has none.
std::string TraceText(VARIANT* value)
{
    fw::Variant text;
    if (FAILED(VariantChangeType(&text, value, 0, VT_BSTR)) || !text.Ref().bstrVal) return std::string();
    BSTR s = text.Ref().bstrVal;
    int length = static_cast<int>(SysStringLen(s));
    int bytes = WideCharToMultiByte(CP_THREAD_ACP, 0, s, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_THREAD_ACP, 0, s, length, out.data(), bytes, nullptr, nullptr);
    return out.c_str();  // as 8-bit C text: up to the first NUL
}

} // namespace

STDMETHODIMP CTessera::get_Value(VARIANT* pVal)
{
    trace::TraceLine("Get Value");
    return ReadFirstCell(pVal, [&](const CCellRef& c) { return c.GetValue(pVal); });
}

STDMETHODIMP CTessera::put_Value(VARIANT newVal)
{
    std::string newText = TraceText(&newVal);
    fw::Variant old;
    std::string oldText;
    if (SUCCEEDED(get_Value(&old))) oldText = TraceText(&old);
    trace::TraceLine("put_Value old=" + oldText + " new=" + newText);

    bool refused = false;
    // Several cells are one change for accessibility clients.
    const CCellRange r = CellRegion();
    AccBatch batch(*this, r.minRow != r.maxRow || r.minCol != r.maxCol);
    ForEachRegionCell([&](CCellRef c, int row, int col) {
        // Converting an object's value runs its code, which may resize the
        // table: the cell is found again before the value goes in, and a
        // type changed meanwhile asks for another conversion.
        for (int tries = 0; c && tries < 3; ++tries) {
            const int type = c.CType();
            fw::Variant converted;
            if (!CCellRef::ConvertValue(newVal, type, converted)) {
                refused = true;
                return false;
            }
            c = m_grid.GetCell(row, col);
            if (c && c.CType() == type) {
                c.TakeValue(converted);
                AccValueChanged(row, col);
                break;
            }
        }
        return true;
    });
    if (refused) return ReportError(L"Can't copy variant");

    Refresh();
    trace::TraceLine("put_Value(fin)");
    return S_OK;
}

// --- Choice lists ------------------------------------------------------------------------

STDMETHODIMP CTessera::ClearCRVariants()
{
    ForEachRegionCell([](CCellRef c, int, int) { c.ClearVariants(); return true; });
    return S_OK;
}

STDMETHODIMP CTessera::AddCRVariant(VARIANT Value, BSTR text)
{
    HRESULT hr = S_OK;
    ForEachRegionCell([&](CCellRef c, int, int) { hr = c.AddVariant(Value, text); return SUCCEEDED(hr); });
    return hr;
}

namespace {

std::wstring NoSuchEntry(int index)
{
    return L"The choice list of the cell region has no entry " + std::to_wstring(index) +
           L": entries are numbered from 0 up to one less than the number added.";
}

} // namespace

bool CTessera::RegionHasVariant(int index)
{
    return ForEachRegionCell([&](CCellRef c, int, int) { return index >= 0 && index < c.VariantCount(); });
}

STDMETHODIMP CTessera::get_CRVariantValue(int variant, VARIANT* pVal)
{
    HRESULT hr = ReadFirstCell(pVal, [&](const CCellRef& c) { return c.GetVariantValue(variant, pVal); });
    return hr == E_INVALIDARG ? ReportError(NoSuchEntry(variant).c_str(), hr) : hr;
}

STDMETHODIMP CTessera::put_CRVariantValue(int variant, VARIANT newVal)
{
    // Checked on every cell first, so that a refused put changes no cell.
    if (!RegionHasVariant(variant)) return ReportError(NoSuchEntry(variant).c_str(), E_INVALIDARG);
    HRESULT hr = S_OK;
    ForEachRegionCell([&](CCellRef c, int, int) {
        hr = c.SetVariantValue(variant, newVal);
        return SUCCEEDED(hr);
    });
    return hr;
}

STDMETHODIMP CTessera::get_CRVariantText(int variant, BSTR* pVal)
{
    HRESULT hr = ReadFirstCell(pVal, [&](const CCellRef& c) { return c.GetVariantText(variant, pVal); });
    return hr == E_INVALIDARG ? ReportError(NoSuchEntry(variant).c_str(), hr) : hr;
}

STDMETHODIMP CTessera::put_CRVariantText(int variant, BSTR newVal)
{
    if (!RegionHasVariant(variant)) return ReportError(NoSuchEntry(variant).c_str(), E_INVALIDARG);
    HRESULT hr = S_OK;
    ForEachRegionCell([&](CCellRef c, int, int) {
        hr = c.SetVariantText(variant, newVal);
        return SUCCEEDED(hr);
    });
    return hr;
}

// --- Buttons ---------------------------------------------------------------------------

void CTessera::UpdateCellButton(int row, int col)
{
    CCellRef cell = m_grid.GetCell(row, col);
    if (!cell) return;
    if (cell.TypeEx() == txButton && row >= m_grid.FixedRows() && col >= m_grid.FixedCols()) {
        // Listed first: making the window runs window code, after which the
        // position may name another cell. A cell left without a button drops
        // out of the list on the next placement.
        m_grid.NoteButtonCell(row, col);
        cell.CreateButton(ControlWindow(), CellButtonRect(row, col));
        if (CCellRef made = m_grid.GetCell(row, col)) RouteCellButton(made.ButtonWindow());
    } else {
        cell.DestroyButton();
    }
}
