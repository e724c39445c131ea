// Copy, cut and paste of the control window.
#include "control/Tessera.h"

LRESULT CTessera::OnClipboard(UINT, WPARAM, LPARAM, BOOL&)
{
    return 0;
}
