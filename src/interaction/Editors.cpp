// Messages of the in-place editor windows and of push buttons.
#include "control/Tessera.h"

// Every WM_COMMAND is consumed with 0.
LRESULT CTessera::OnCommand(UINT, WPARAM, LPARAM, BOOL&)
{
    return 0;
}

// The editors keep their own default handling until editing is built.
LRESULT CTessera::OnEditorKillFocus(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    return 0;
}

LRESULT CTessera::OnEditorChar(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    return 0;
}

LRESULT CTessera::OnButtonKillFocus(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    return 0;
}

void CTessera::EditCell(int, int)
{
}

void CTessera::EndEdit(bool)
{
}

HWND CTessera::OpenEditor() const noexcept
{
    return nullptr;
}

void CTessera::FilterEditorChar(HWND, WPARAM, LPARAM)
{
}

HWND CTessera::EditorButton() const noexcept
{
    return nullptr;
}
