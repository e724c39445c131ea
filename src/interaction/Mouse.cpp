// Mouse handling of the control window.
#include "control/Tessera.h"

// Button presses, releases, moves and the drag timer; consumed until the
// gestures are built.
LRESULT CTessera::OnMouseMessage(UINT, WPARAM, LPARAM, BOOL&)
{
    return 0;
}
