// Cell hints: the tooltip window that shows a cell's hint.
#include "control/Tessera.h"

// Right and middle button messages go to the hint window; answered 0.
LRESULT CTessera::OnRelayToHint(UINT, WPARAM, LPARAM, BOOL&)
{
    return 0;
}

void CTessera::CreateHintWindow()
{
}

void CTessera::DestroyHintWindow()
{
}
