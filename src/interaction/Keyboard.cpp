// Keyboard handling of the control window.
#include "control/Tessera.h"

// Keys are consumed, so the second WM_KEYDOWN entry is not reached.
LRESULT CTessera::OnKeyDown(UINT, WPARAM, LPARAM, BOOL&)
{
    return 0;
}

LRESULT CTessera::OnChar(UINT, WPARAM, LPARAM, BOOL&)
{
    return 0;
}
