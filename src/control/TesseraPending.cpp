// Members whose behaviour has not been built yet. Each one moves out of this
// file into the part of the grid it belongs to as that part is built.
#include "control/Tessera.h"

STDMETHODIMP CTessera::ShowEdit() { return E_NOTIMPL; }
STDMETHODIMP CTessera::HideEdit() { return E_NOTIMPL; }

