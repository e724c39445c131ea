// Control-wide settings, fonts and colours.
#include "control/Tessera.h"

#include "control/Accessors.h"
#include "control/Trace.h"

using accessor::Get;
using accessor::GetBool;
using accessor::Store;

namespace {

HRESULT GetFont(const char* line, const fw::ComPtr<IFontDisp>& font, IFontDisp** pVal)
{
    trace::TraceLine(line);
    return font.CopyTo(pVal);
}

void PutRefFont(fw::ComPtr<IFontDisp>& font, IFontDisp* pFont)
{
    if (font.Get() != pFont) font = pFont;
}

} // namespace

// --- Boolean settings ---------------------------------------------------------------

STDMETHODIMP CTessera::get_EditMultiline(VARIANT_BOOL* pVal) { return GetBool("Get EditMultiline", m_bEditMultiline, pVal); }
STDMETHODIMP CTessera::put_EditMultiline(VARIANT_BOOL newVal) { return Store("Put EditMultiline", m_bEditMultiline, newVal); }

STDMETHODIMP CTessera::get_DrawSelection(VARIANT_BOOL* pVal) { return GetBool("Get DrawSelection", m_bDrawSelection, pVal); }
STDMETHODIMP CTessera::put_DrawSelection(VARIANT_BOOL newVal)
{
    trace::TraceLine("Put DrawSelection");
    // Without range selection there is no selection to draw.
    if (!m_bRangeSelect) return S_OK;
    m_bDrawSelection = newVal;
    return Update();
}

STDMETHODIMP CTessera::get_ShowCellHint(VARIANT_BOOL* pVal) { return GetBool("Get ShowCellHint", m_bShowCellHint, pVal); }
STDMETHODIMP CTessera::put_ShowCellHint(VARIANT_BOOL newVal) { return Store("Put ShowCellHint", m_bShowCellHint, newVal); }

STDMETHODIMP CTessera::get_AutoAdjustLastCell(VARIANT_BOOL* pVal) { return GetBool("Get AutoAdjustLastCell", m_bAutoAdjustLastCell, pVal); }
STDMETHODIMP CTessera::put_AutoAdjustLastCell(VARIANT_BOOL newVal) { return Store("Put AutoAdjustLastCell", m_bAutoAdjustLastCell, newVal); }

STDMETHODIMP CTessera::get_RangeSelect(VARIANT_BOOL* pVal) { return GetBool("Get RangeSelect", m_bRangeSelect, pVal); }
STDMETHODIMP CTessera::put_RangeSelect(VARIANT_BOOL newVal)
{
    trace::TraceLine("Put RangeSelect");
    m_bRangeSelect = newVal;
    if (!newVal) m_bDrawSelection = 0;
    return S_OK;
}

STDMETHODIMP CTessera::get_ColSizing(VARIANT_BOOL* pVal) { return GetBool("Get ColSizing", m_bColSizing, pVal); }
STDMETHODIMP CTessera::put_ColSizing(VARIANT_BOOL newVal) { return Store("Put ColSizing", m_bColSizing, newVal); }

STDMETHODIMP CTessera::get_RowSizing(VARIANT_BOOL* pVal) { return GetBool("Get RowSizing", m_bRowSizing, pVal); }
STDMETHODIMP CTessera::put_RowSizing(VARIANT_BOOL newVal) { return Store("Put RowSizing", m_bRowSizing, newVal); }

STDMETHODIMP CTessera::get_Enabled(VARIANT_BOOL* pVal) { return GetBool(nullptr, m_nEnabled, pVal); }
STDMETHODIMP CTessera::put_Enabled(VARIANT_BOOL newVal)
{
    m_nEnabled = newVal;
    ClearSelection();
    SetFocusCell(-1, -1);
    Refresh();
    trace::TraceLine("put_Enabled");
    return S_OK;
}

STDMETHODIMP CTessera::get_TabStop(VARIANT_BOOL* pVal)
{
    if (!pVal) return E_POINTER;
    *pVal = m_nTabStop ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

// --- Numeric settings ------------------------------------------------------------------

STDMETHODIMP CTessera::get_FixedWordWrap(int* pVal) { return Get("Get FixedWordWrap", m_nFixedWordWrap, pVal); }
STDMETHODIMP CTessera::put_FixedWordWrap(int newVal)
{
    Store("Put FixedWordWrap", m_nFixedWordWrap, newVal);
    Refresh();
    return S_OK;
}

STDMETHODIMP CTessera::get_BorderStyle(int* pVal) { return Get("Get BorderStyle", m_nBorderStyle, pVal); }
STDMETHODIMP CTessera::put_BorderStyle(int newVal)
{
    Store("Put BorderStyle", m_nBorderStyle, newVal);
    Refresh();
    return S_OK;
}

STDMETHODIMP CTessera::get_ScrollBars(int* pVal) { return Get("Get ScrollBars", m_nScrollBars, pVal); }
STDMETHODIMP CTessera::put_ScrollBars(int newVal)
{
    trace::TraceLine("Put ScrollBars");
    m_nScrollBars = newVal;
    UpdateScrollBars();
    return S_OK;
}

STDMETHODIMP CTessera::get_DragAndDropRows(LONG* pVal) { return Get<LONG>(nullptr, m_nDragAndDropRows, pVal); }
STDMETHODIMP CTessera::put_DragAndDropRows(LONG newVal) { return Store(nullptr, m_nDragAndDropRows, newVal); }

STDMETHODIMP CTessera::get_DragAndDropCols(LONG* pVal) { return Get<LONG>(nullptr, m_nDragAndDropCols, pVal); }
STDMETHODIMP CTessera::put_DragAndDropCols(LONG newVal) { return Store(nullptr, m_nDragAndDropCols, newVal); }

STDMETHODIMP CTessera::get_AllowDraw(LONG* pVal) { return Get<LONG>(nullptr, m_nAllowDraw, pVal); }
STDMETHODIMP CTessera::put_AllowDraw(LONG newVal)
{
    m_nAllowDraw = newVal;
    UpdateScrollBars();
    Refresh();
    return S_OK;
}

STDMETHODIMP CTessera::get_Width(int* pVal) { return Get("Get Width", m_nWidth, pVal); }
STDMETHODIMP CTessera::get_Height(int* pVal) { return Get("Get Height", m_nHeight, pVal); }


STDMETHODIMP CTessera::Update()
{
    Refresh();
    return S_OK;
}

// --- Colours -----------------------------------------------------------------------------

STDMETHODIMP CTessera::get_FixedColor(OLE_COLOR* pVal) { return Get<OLE_COLOR>("Get FixedColor", m_clrFixedColor, pVal); }
STDMETHODIMP CTessera::put_FixedColor(OLE_COLOR newVal)
{
    trace::TraceLine("Put FixedColor");
    HRESULT hr = TranslateColor(newVal, &m_clrFixedColor);
    if (FAILED(hr)) return hr;
    Refresh();
    return S_OK;
}

STDMETHODIMP CTessera::get_SelectedCellColor(OLE_COLOR* pVal) { return Get<OLE_COLOR>("Get SelectedCellColor", m_clrSelectedCellColor, pVal); }
STDMETHODIMP CTessera::put_SelectedCellColor(OLE_COLOR newVal)
{
    trace::TraceLine("Put SelectedCellColor");
    return TranslateColor(newVal, &m_clrSelectedCellColor);
}

STDMETHODIMP CTessera::get_SelectedRangeColor(OLE_COLOR* pVal) { return Get<OLE_COLOR>("Get SelectedRangeColor", m_clrSelectedRangeColor, pVal); }
STDMETHODIMP CTessera::put_SelectedRangeColor(OLE_COLOR newVal)
{
    trace::TraceLine("Put SelectedRangeColor");
    return TranslateColor(newVal, &m_clrSelectedRangeColor);
}

STDMETHODIMP CTessera::get_FixedFontColor(OLE_COLOR* pVal) { return Get<OLE_COLOR>("Get FixedFontColor", m_clrFixedFontColor, pVal); }
STDMETHODIMP CTessera::put_FixedFontColor(OLE_COLOR newVal)
{
    trace::TraceLine("Put FixedFontColor");
    return TranslateColor(newVal, &m_clrFixedFontColor);
}

STDMETHODIMP CTessera::get_BackColor(OLE_COLOR* pVal) { return Get<OLE_COLOR>("Get BackColor", m_clrBackColor, pVal); }
STDMETHODIMP CTessera::put_BackColor(OLE_COLOR newVal)
{
    trace::TraceLine("Put BackColor");
    return TranslateColor(newVal, &m_clrBackColor);
}

// --- Fonts -------------------------------------------------------------------------------

STDMETHODIMP CTessera::get_FixedFont(IFontDisp** pVal) { return GetFont("Get FixedFont", m_pFixedFont, pVal); }
STDMETHODIMP CTessera::putref_FixedFont(IFontDisp* pFont)
{
    trace::TraceLine("Putref FixedFont");
    PutRefFont(m_pFixedFont, pFont);
    Refresh();
    return S_OK;
}
STDMETHODIMP CTessera::put_FixedFont(IFontDisp* pFont)
{
    trace::TraceLine("Put FixedFont");
    m_pFixedFont = CloneFont(pFont);  // none when it cannot be copied
    Refresh();
    return S_OK;
}

STDMETHODIMP CTessera::get_SelectedCellFont(IFontDisp** pVal) { return GetFont("Get SelectedCellFont", m_pSelectedCellFont, pVal); }
STDMETHODIMP CTessera::putref_SelectedCellFont(IFontDisp* pFont)
{
    trace::TraceLine("Pitref SelectedCellFont");
    PutRefFont(m_pSelectedCellFont, pFont);
    return S_OK;
}
STDMETHODIMP CTessera::put_SelectedCellFont(IFontDisp* pFont)
{
    trace::TraceLine("Put SelectedCellFont");
    m_pSelectedCellFont = CloneFont(pFont);
    return S_OK;
}

STDMETHODIMP CTessera::get_SelectedRangeFont(IFontDisp** pVal) { return GetFont("Get SelectedRangeFont", m_pSelectedRangeFont, pVal); }
STDMETHODIMP CTessera::putref_SelectedRangeFont(IFontDisp* pFont)
{
    trace::TraceLine("Putref SelectedRangeFont");
    PutRefFont(m_pSelectedRangeFont, pFont);
    return S_OK;
}
STDMETHODIMP CTessera::put_SelectedRangeFont(IFontDisp* pFont)
{
    trace::TraceLine("Put SelectedRangeFont");
    m_pSelectedRangeFont = CloneFont(pFont);
    return S_OK;
}
