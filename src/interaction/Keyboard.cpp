// Keyboard handling of the control window: the key-down and character
// handlers and the accelerator hook. Where a key leads is decided in
// KeyNavigation; here are the events, scrolling and repaints around it.
#include "control/Tessera.h"

#include "interaction/KeyNavigation.h"

namespace {

bool Held(int vk)
{
    return GetKeyState(vk) < 0;
}

} // namespace

// Keys are consumed, so the second WM_KEYDOWN entry is not reached.
LRESULT CTessera::OnKeyDown(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled)
{
    handled = TRUE;
    KeyDown(msg, wp, lp);
    return 0;
}

void CTessera::KeyDown(UINT msg, WPARAM wp, LPARAM lp)
{
    EndEdit(false);
    if (!m_grid.IsValid(FocusCell())) return;
    const UINT key = static_cast<UINT>(wp);
    Fire_OnKeyPress(static_cast<short>(key));
    if (!m_nEnabled) return;

    HWND hwnd = ControlWindow();
    const bool shift = Held(VK_SHIFT);
    const bool ctrl = Held(VK_CONTROL);
    if (ctrl && key == 'A') m_selection.SelectAllCells();

    // Every step below may have run a host's code; the current cell is read
    // again after each.
    if (!kbd::IsNavigationKey(key)) {
        const CCellID cell = FocusCell();
        if (!ctrl && m_selection.Mode() == MouseMode::Idle && kbd::StartsEdit(key)) EditCell(cell.row, cell.col);
        if (hwnd) DefWindowProcW(hwnd, msg, wp, lp);
        return;
    }
    if (key == VK_DELETE) {
        ClearCells();
        return;
    }
    if (key == VK_TAB && hwnd) ::SetFocus(hwnd);

    int topShift = 0;
    const int scroll = kbd::ScrollBeforeMove(key);
    if (scroll >= 0 && hwnd) {
        const int before = FirstScrolledCell().row;
        SendMessageW(hwnd, WM_VSCROLL, static_cast<WPARAM>(scroll), 0);
        topShift = FirstScrolledCell().row - before;
    }

    const CCellID from = FocusCell();
    if (!m_grid.IsValid(from)) return;
    const kbd::GridShape shape{m_grid.Rows(), m_grid.Cols(), m_grid.FixedRows(), m_grid.FixedCols()};
    const kbd::Move to = kbd::NavigateKey(key, shift, from.row, from.col, shape, topShift);
    if (to.row == from.row && to.col == from.col) return;

    // During a mouse gesture (its auto-scroll sends keys) the selection is
    // the mouse's.
    if (m_selection.Mode() == MouseMode::Idle) {
        m_selection.SetMode(MouseMode::SelectCells);
        if (!shift || key == VK_TAB) m_selection.SetAnchor(CCellID(to.row, to.col));
        m_selection.ExtendSelection(CCellID(to.row, to.col));
        if (key == VK_TAB) EditCell(to.row, to.col);
        m_selection.SetMode(MouseMode::Idle);
    }
    if (!m_grid.IsValid(to.row, to.col)) return;
    SetFocusCell(to.row, to.col);
    if (!m_grid.IsValid(to.row, to.col) || CellShows(to.row, to.col)) return;

    BringIntoView(to.row, to.col);
    const kbd::ScrollAfter after = kbd::ScrollAfterMove(key, shift, to.wrapped);
    hwnd = ControlWindow();
    if (hwnd && after.bar != kbd::ScrollAfter::None)
        SendMessageW(hwnd, after.bar == kbd::ScrollAfter::Vert ? WM_VSCROLL : WM_HSCROLL,
                     static_cast<WPARAM>(after.code), 0);
    if (hwnd && after.horzTo >= 0) {
        SCROLLINFO si = {};
        si.cbSize = sizeof si;
        si.fMask = SIF_POS;
        si.nPos = after.horzTo ? m_nHScrollMax : 0;
        SetScrollInfo(hwnd, SB_HORZ, &si, TRUE);
    }
    Refresh();
}

LRESULT CTessera::OnChar(UINT, WPARAM wp, LPARAM, BOOL&)
{
    // A disabled grid starts no edit, whichever road the key took.
    if (wp != VK_TAB && m_nEnabled && !Held(VK_CONTROL) && m_selection.Mode() == MouseMode::Idle) {
        const CCellID cell = FocusCell();
        EditCell(cell.row, cell.col);
    }
    return 0;
}

bool CTessera::PreTranslateKey(const MSG& msg, HRESULT& result)
{
    HWND hwnd = ControlWindow();
    if (!hwnd || (msg.message != WM_KEYDOWN && msg.message != WM_CHAR)) return false;
    HWND editor = OpenEditor();
    HWND button = EditorButton();

    kbd::HookInput in{};
    in.message = msg.message;
    in.key = static_cast<unsigned>(msg.wParam);
    in.ctrl = Held(VK_CONTROL);
    in.shift = Held(VK_SHIFT);
    // IsChild asks about descendants as a walk over the children would,
    // without visiting every cell's push button on each key.
    in.inControl = msg.hwnd && (msg.hwnd == hwnd || IsChild(hwnd, msg.hwnd));
    in.ownWindow = msg.hwnd == hwnd || (editor && msg.hwnd == editor) || (button && msg.hwnd == button);
    in.editorOpen = editor != nullptr;
    in.buttonExists = button != nullptr;

    const kbd::HookAction action = kbd::RouteKey(in);
    switch (action) {
    case kbd::HookAction::Pass: return false;
    case kbd::HookAction::FilterChar: FilterEditorChar(msg.hwnd, msg.wParam, msg.lParam); break;
    case kbd::HookAction::Copy: CopyCells(); break;
    case kbd::HookAction::Paste: PasteCells(); break;
    case kbd::HookAction::Cut: CutCells(); break;
    case kbd::HookAction::ToEditor: SendMessageW(editor, msg.message, msg.wParam, msg.lParam); break;
    case kbd::HookAction::Tab: KeyDown(WM_KEYDOWN, VK_TAB, msg.lParam); break;
    case kbd::HookAction::KeyDown: KeyDown(msg.message, msg.wParam, msg.lParam); break;
    case kbd::HookAction::CommitEditor:
    case kbd::HookAction::DiscardEditor:
        EndEdit(action == kbd::HookAction::DiscardEditor);
        if (HWND own = ControlWindow()) ::SetFocus(own);
        break;
    case kbd::HookAction::PostKillFocus: PostMessageW(msg.hwnd, WM_KILLFOCUS, 0, 0); break;
    }
    result = S_OK;
    return true;
}
