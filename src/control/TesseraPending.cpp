// Members whose behaviour has not been built yet. Each one moves out of this
// file into the part of the grid it belongs to as that part is built.
#include "control/Tessera.h"

STDMETHODIMP CTessera::put_TabStop(VARIANT_BOOL) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_SelectionLeftTopX(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_SelectionLeftTopX(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_SelectionLeftTopY(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_SelectionLeftTopY(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_SelectionRightBottomX(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_SelectionRightBottomX(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_SelectionRightBottomY(int*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_SelectionRightBottomY(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::ClearCRVariants() { return E_NOTIMPL; }
STDMETHODIMP CTessera::AddCRVariant(VARIANT, BSTR) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_CRVariantValue(int, VARIANT*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_CRVariantValue(int, VARIANT) { return E_NOTIMPL; }
STDMETHODIMP CTessera::get_CRVariantText(int, BSTR*) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_CRVariantText(int, BSTR) { return E_NOTIMPL; }
STDMETHODIMP CTessera::ShowEdit() { return E_NOTIMPL; }
STDMETHODIMP CTessera::HideEdit() { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_Width(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_Height(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::SetFocus() { return E_NOTIMPL; }

