// Members whose behaviour has not been built yet. Each one moves out of this
// file into the part of the grid it belongs to as that part is built.
#include "control/Tessera.h"

STDMETHODIMP CTessera::put_TabStop(VARIANT_BOOL) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_TabStop(VARIANT_BOOL*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_Cols(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_Cols(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_Rows(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_Rows(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_FixedCols(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_FixedCols(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_FixedRows(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_FixedRows(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_Alignment(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_Alignment(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_Editable(VARIANT_BOOL*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_Editable(VARIANT_BOOL) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_FixedFont(IFontDisp**) { return E_NOTIMPL; }
STDMETHODIMP CTessera::putref_FixedFont(IFontDisp*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_FixedFont(IFontDisp*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_SelectedCellFont(IFontDisp**) { return E_NOTIMPL; }
STDMETHODIMP CTessera::putref_SelectedCellFont(IFontDisp*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_SelectedCellFont(IFontDisp*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_SelectedRangeFont(IFontDisp**) { return E_NOTIMPL; }
STDMETHODIMP CTessera::putref_SelectedRangeFont(IFontDisp*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_SelectedRangeFont(IFontDisp*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_Color(OLE_COLOR*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_Color(OLE_COLOR) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_FixedColor(OLE_COLOR*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_FixedColor(OLE_COLOR) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_SelectedCellColor(OLE_COLOR*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_SelectedCellColor(OLE_COLOR) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_SelectedRangeColor(OLE_COLOR*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_SelectedRangeColor(OLE_COLOR) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_WordWrap(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_WordWrap(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_FixedWordWrap(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_FixedWordWrap(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_EditMultiline(VARIANT_BOOL*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_EditMultiline(VARIANT_BOOL) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_DrawSelection(VARIANT_BOOL*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_DrawSelection(VARIANT_BOOL) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_ShowCellHint(VARIANT_BOOL*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_ShowCellHint(VARIANT_BOOL) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_AutoAdjustLastCell(VARIANT_BOOL*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_AutoAdjustLastCell(VARIANT_BOOL) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_BorderStyle(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_BorderStyle(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_RangeSelect(VARIANT_BOOL*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_RangeSelect(VARIANT_BOOL) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_ColSizing(VARIANT_BOOL*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_ColSizing(VARIANT_BOOL) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_RowSizing(VARIANT_BOOL*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_RowSizing(VARIANT_BOOL) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_ScrollBars(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_ScrollBars(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_Font(IFontDisp**) { return E_NOTIMPL; }
STDMETHODIMP CTessera::putref_Font(IFontDisp*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_Font(IFontDisp*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_FontColor(OLE_COLOR*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_FontColor(OLE_COLOR) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_Value(VARIANT*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_Value(VARIANT) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_CType(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_CType(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_TypeEx(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_TypeEx(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_DTFormat(BSTR*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_DTFormat(BSTR) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_NUMFormat(BSTR*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_NUMFormat(BSTR) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_Hint(BSTR*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_Hint(BSTR) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_SelectionLeftTopX(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_SelectionLeftTopX(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_SelectionLeftTopY(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_SelectionLeftTopY(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_SelectionRightBottomX(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_SelectionRightBottomX(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_SelectionRightBottomY(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_SelectionRightBottomY(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_CRegionLeftTopX(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_CRegionLeftTopX(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_CRegionLeftTopY(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_CRegionLeftTopY(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_CRegionRightBottomX(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_CRegionRightBottomX(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_CRegionRightBottomY(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_CRegionRightBottomY(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_ColWidth(int, int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_ColWidth(int, int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_RowHeight(int, int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_RowHeight(int, int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::ClearCRVariants() { return E_NOTIMPL; }
STDMETHODIMP CTessera::AddCRVariant(VARIANT, BSTR) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_CRVariantValue(int, VARIANT*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_CRVariantValue(int, VARIANT) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_CRVariantText(int, BSTR*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_CRVariantText(int, BSTR) { return E_NOTIMPL; }
STDMETHODIMP CTessera::ClearSelection() { return E_NOTIMPL; }
STDMETHODIMP CTessera::ShowEdit() { return E_NOTIMPL; }
STDMETHODIMP CTessera::HideEdit() { return E_NOTIMPL; }
STDMETHODIMP CTessera::RemoveCol(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::RemoveRow(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::InsertCol(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::InsertRow(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::ExchangeCols(int, int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::ExchangeRows(int, int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::AdjustColWidths() { return E_NOTIMPL; }
STDMETHODIMP CTessera::AdjustColWidth(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::AdjustRowHeights() { return E_NOTIMPL; }
STDMETHODIMP CTessera::AdjustRowHeight(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::Update() { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_TotalWidth(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_TotalHeight(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_Width(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_Width(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_Height(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_Height(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_Enabled(VARIANT_BOOL*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_Enabled(VARIANT_BOOL) { return E_NOTIMPL; }
STDMETHODIMP CTessera::SetFont() { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_Widths(BSTR*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_Widths(BSTR) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_Heights(BSTR*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_Heights(BSTR) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_FixedFontColor(OLE_COLOR*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_FixedFontColor(OLE_COLOR) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_BackColor(OLE_COLOR*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_BackColor(OLE_COLOR) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_DragAndDropRows(LONG*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_DragAndDropRows(LONG) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_DragAndDropCols(LONG*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_DragAndDropCols(LONG) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_AllowDraw(LONG*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_AllowDraw(LONG) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_CurrentCellCol(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_CurrentCellRow(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::SetFocus() { return E_NOTIMPL; }
