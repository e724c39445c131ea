// Members whose behaviour has not been built yet. Each one moves out of this
// file into the part of the grid it belongs to as that part is built.
#include "control/Tessera.h"

STDMETHODIMP CTessera::put_TabStop(VARIANT_BOOL) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_Width(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::put_Height(int) { return E_NOTIMPL; }
STDMETHODIMP CTessera::SetFocus() { return E_NOTIMPL; }

