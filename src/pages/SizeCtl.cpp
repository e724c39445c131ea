#include "pages/SizeCtl.h"

#include <string>

#include "resources/resource.h"

namespace {

using namespace pages;
using T = ITessera;

// Width first: the host hears the new width with the old height, then both.
const Field kFields[] = {
    Number(IDC_SIZE_WIDTH, &T::get_Width, &T::put_Width),
    Number(IDC_SIZE_HEIGHT, &T::get_Height, &T::put_Height),
};
const int kReadOrder[] = {IDC_SIZE_WIDTH, IDC_SIZE_HEIGHT};

const PageTable kPage = {
    {IDD_SIZECTL, IDS_SIZECTL_TITLE, IDS_SIZECTL_DOC, IDS_SIZECTL_HELPFILE},
    kFields, 2, kReadOrder, 2, "CSizeCtl::Apply\n", 0, nullptr,
};

} // namespace

CSizeCtl::CSizeCtl() : CTablePage(kPage) {}

STDMETHODIMP CSizeCtl::Help(LPCOLESTR helpDir)
{
    std::wstring path = helpDir ? helpDir : L"";
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    path += L"ctlsize";
    return WinHelpW(Handle(), path.c_str(), HELP_CONTEXTPOPUP, 0) ? S_OK : E_FAIL;
}

const fw::InterfaceEntry* CSizeCtl::Interfaces()
{
    static const fw::InterfaceEntry table[] = {
        FW_INTERFACE_VIA(IUnknown, IPropertyPage, CSizeCtl),
        FW_INTERFACE(IPropertyPage, CSizeCtl),
        FW_END_INTERFACES,
    };
    return table;
}
