#include "pages/GenProp.h"

#include "resources/resource.h"

namespace {

using namespace pages;
using T = ITessera;

const wchar_t* const kWordWrap[] = {L"False", L"True", L"Dots"};
const wchar_t* const kScrollBars[] = {L"Both", L"Horizontal", L"Vertical", L"None"};
const wchar_t* const kBorderStyle[] = {L"None", L"Single"};

const Field kFields[] = {
    List(IDC_GEN_FIXEDWORDWRAP, &T::get_FixedWordWrap, &T::put_FixedWordWrap, kWordWrap),
    List(IDC_GEN_SCROLLBARS, &T::get_ScrollBars, &T::put_ScrollBars, kScrollBars),
    List(IDC_GEN_BORDERSTYLE, &T::get_BorderStyle, &T::put_BorderStyle, kBorderStyle),
    Check(IDC_GEN_AUTOADJUST, &T::get_AutoAdjustLastCell, &T::put_AutoAdjustLastCell),
    Check(IDC_GEN_COLSIZING, &T::get_ColSizing, &T::put_ColSizing),
    Check(IDC_GEN_ROWSIZING, &T::get_RowSizing, &T::put_RowSizing),
    Check(IDC_GEN_DRAWSELECTION, &T::get_DrawSelection, &T::put_DrawSelection),
    Check(IDC_GEN_EDITMULTILINE, &T::get_EditMultiline, &T::put_EditMultiline),
    Check(IDC_GEN_ENABLED, &T::get_Enabled, &T::put_Enabled),
    Check(IDC_GEN_RANGESELECT, &T::get_RangeSelect, &T::put_RangeSelect),
    Check(IDC_GEN_SHOWCELLHINT, &T::get_ShowCellHint, &T::put_ShowCellHint),
    Count(IDC_GEN_COLS, &T::get_Cols, &T::put_Cols),
    Count(IDC_GEN_ROWS, &T::get_Rows, &T::put_Rows),
    Count(IDC_GEN_FIXEDCOLS, &T::get_FixedCols, &T::put_FixedCols),
    Count(IDC_GEN_FIXEDROWS, &T::get_FixedRows, &T::put_FixedRows),
    Check(IDC_GEN_TABSTOP, &T::get_TabStop, &T::put_TabStop),
};

const int kReadOrder[] = {
    IDC_GEN_FIXEDWORDWRAP, IDC_GEN_SCROLLBARS, IDC_GEN_BORDERSTYLE,
    IDC_GEN_AUTOADJUST, IDC_GEN_COLSIZING, IDC_GEN_ROWSIZING, IDC_GEN_DRAWSELECTION, IDC_GEN_EDITMULTILINE,
    IDC_GEN_ENABLED, IDC_GEN_RANGESELECT, IDC_GEN_TABSTOP, IDC_GEN_SHOWCELLHINT,
    IDC_GEN_COLS, IDC_GEN_ROWS, IDC_GEN_FIXEDCOLS, IDC_GEN_FIXEDROWS,
};

// Drawing the selection only means something when ranges can be selected.
void EnableControls(HWND dialog)
{
    EnableWindow(GetDlgItem(dialog, IDC_GEN_DRAWSELECTION), IsDlgButtonChecked(dialog, IDC_GEN_RANGESELECT) == BST_CHECKED);
}

const PageTable kPage = {
    {IDD_GENPROP, IDS_GENPROP_TITLE, IDS_GENPROP_DOC, IDS_GENPROP_HELPFILE},
    kFields, sizeof kFields / sizeof kFields[0], kReadOrder, sizeof kReadOrder / sizeof kReadOrder[0],
    "CGenProp::Apply\n", IDC_GEN_RANGESELECT, EnableControls,
};

} // namespace

CGenProp::CGenProp() : CTablePage(kPage) {}

const fw::InterfaceEntry* CGenProp::Interfaces()
{
    static const fw::InterfaceEntry table[] = {
        FW_INTERFACE_VIA(IUnknown, IPropertyPage, CGenProp),
        FW_INTERFACE(IPropertyPage, CGenProp),
        FW_END_INTERFACES,
    };
    return table;
}
