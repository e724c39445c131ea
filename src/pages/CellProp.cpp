#include "pages/CellProp.h"

#include "resources/resource.h"

namespace {

using namespace pages;
using T = ITessera;

const wchar_t* const kWordWrap[] = {L"False", L"True", L"Dots"};
const wchar_t* const kAlignment[] = {L"Left", L"Right", L"Center"};
const wchar_t* const kTypes[] = {L"Boolean", L"Integer", L"Long", L"Single", L"Double", L"Currency", L"String", L"Date"};

// The value goes before the type: the cells take the text while they still
// have their old type.
const Field kFields[] = {
    ValueText(IDC_CELL_VALUE),
    Text(IDC_CELL_HINT, &T::get_Hint, &T::put_Hint),
    Text(IDC_CELL_NUMFORMAT, &T::get_NUMFormat, &T::put_NUMFormat),
    Text(IDC_CELL_DTFORMAT, &T::get_DTFormat, &T::put_DTFormat),
    List(IDC_CELL_WORDWRAP, &T::get_WordWrap, &T::put_WordWrap, kWordWrap),
    List(IDC_CELL_ALIGNMENT, &T::get_Alignment, &T::put_Alignment, kAlignment),
    Check(IDC_CELL_EDITABLE, &T::get_Editable, &T::put_Editable),
    List(IDC_CELL_TYPE, &T::get_CType, &T::put_CType, kTypes),
    Flag(IDC_CELL_EDIT, &T::get_TypeEx, &T::put_TypeEx, 2),
    Flag(IDC_CELL_CALENDAR, &T::get_TypeEx, &T::put_TypeEx, 1),
    Flag(IDC_CELL_BUTTON, &T::get_TypeEx, &T::put_TypeEx, 8),
    Flag(IDC_CELL_COMBOBOX, &T::get_TypeEx, &T::put_TypeEx, 4),
};

const int kReadOrder[] = {
    IDC_CELL_WORDWRAP, IDC_CELL_ALIGNMENT, IDC_CELL_EDITABLE, IDC_CELL_TYPE,
    IDC_CELL_EDIT, IDC_CELL_CALENDAR, IDC_CELL_BUTTON, IDC_CELL_COMBOBOX,
    IDC_CELL_VALUE, IDC_CELL_HINT, IDC_CELL_NUMFORMAT, IDC_CELL_DTFORMAT,
};

const int kRuled[] = {IDC_CELL_COMBOBOX, IDC_CELL_BUTTON, IDC_CELL_CALENDAR, IDC_CELL_EDIT, IDC_CELL_NUMFORMAT,
                      IDC_CELL_DTFORMAT};

void EnableControls(HWND dialog)
{
    const int type = static_cast<int>(SendDlgItemMessageW(dialog, IDC_CELL_TYPE, CB_GETCURSEL, 0, 0));
    for (int id : kRuled) EnableWindow(GetDlgItem(dialog, id), CCellProp::ControlEnabled(id, type));
}

const PageTable kPage = {
    {IDD_CELLPROP, IDS_CELLPROP_TITLE, IDS_CELLPROP_DOC, IDS_CELLPROP_HELPFILE},
    kFields, sizeof kFields / sizeof kFields[0], kReadOrder, sizeof kReadOrder / sizeof kReadOrder[0],
    "CCellProp::Apply\n", IDC_CELL_TYPE, EnableControls,
};

constexpr int kBoolean = 0, kCurrency = 5, kDate = 7;

} // namespace

CCellProp::CCellProp() : CTablePage(kPage) {}

bool CCellProp::ControlEnabled(int control, int type)
{
    switch (control) {
    case IDC_CELL_CALENDAR:
    case IDC_CELL_DTFORMAT: return type == kDate;
    case IDC_CELL_EDIT: return type != kBoolean;
    case IDC_CELL_NUMFORMAT: return type > kBoolean && type <= kCurrency;
    default: return true;
    }
}

const fw::InterfaceEntry* CCellProp::Interfaces()
{
    static const fw::InterfaceEntry table[] = {
        FW_INTERFACE_VIA(IUnknown, IPropertyPage, CCellProp),
        FW_INTERFACE(IPropertyPage, CCellProp),
        FW_END_INTERFACES,
    };
    return table;
}
