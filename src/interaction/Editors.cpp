// The control's side of in-place editing: opening and committing editors
// with their events, push-button clicks and the editor windows' messages.
// Every event lets a host's code change the grid, open or close editors; after
// each one the operation checks that its editor and its cell still exist.
#include "control/Tessera.h"

#include <commctrl.h>

#include <string>

using interaction::EditorKind;

namespace {

// A display text as the BSTR events carry.
fw::Bstr TextBstr(const std::wstring& text)
{
    fw::Bstr out;
    *out.Put() = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return out;
}

// Cells' own push buttons share one subclass procedure: they are many, and
// each only needs the control's push-button table.
LRESULT CALLBACK CellButtonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data)
{
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, CellButtonProc, id);
    } else {
        LRESULT result = 0;
        if (reinterpret_cast<fw::MessageMap*>(data)->ProcessWindowMessage(hwnd, msg, wp, lp, result,
                                                                          interaction::kButtonMap))
            return result;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

} // namespace

void CTessera::RouteCellButton(HWND button)
{
    if (button) SetWindowSubclass(button, CellButtonProc, 1, reinterpret_cast<DWORD_PTR>(static_cast<fw::MessageMap*>(this)));
}

STDMETHODIMP CTessera::ShowEdit()
{
    const CCellID cell = FocusCell();
    if (ControlWindow() && m_grid.IsValid(cell.row, cell.col)) EditCell(cell.row, cell.col);
    return S_OK;
}

STDMETHODIMP CTessera::HideEdit()
{
    EndEdit(false);
    return S_OK;
}

HWND CTessera::OpenEditor() const noexcept
{
    return m_editor.Window();
}

HWND CTessera::EditorButton() const noexcept
{
    return m_editor.Button();
}

void CTessera::EditCell(int row, int col)
{
    BringIntoView(row, col);
    RECT box;
    CCellRef cell = GetCell(row, col);
    if (!cell || !cell.Editable() || !CellShows(row, col) || !CellBox(row, col, box)) return;

    fw::Variant value;
    if (FAILED(VariantCopy(value.Ptr(), const_cast<VARIANT*>(&cell.Value())))) return;
    const bool wasCalendar = m_editor.Kind() == EditorKind::MonthCalendar;
    m_editor.Close();
    if (wasCalendar) PositionButtons();
    m_editor.UseFont(CellFont(cell));

    fw::Bstr text = TextBstr(m_formatter.FormatCellText(cell));
    const unsigned session = m_editor.Session();
    VARIANT_BOOL cancel = 0;
    Fire_OnBeforeEdit(static_cast<short>(col), static_cast<short>(row), text.Get(), &cancel);
    if (cancel) return;
    // A sink that opened or closed an editor has the last word; one that
    // shrank the table or scrolled may have taken the cell away.
    if (m_editor.Session() != session || !ControlWindow()) return;
    cell = GetCell(row, col);
    if (!cell || !CellShows(row, col) || !CellBox(row, col, box)) return;

    const interaction::EditorPlan plan =
        interaction::PlanEditor(cell.CType(), cell.TypeEx(), cell.Alignment(), m_bEditMultiline != 0, box, m_metrics,
                                m_editor.TextHeight(ControlWindow()));
    if (plan.kind == EditorKind::MonthCalendar) {
        // The calendar hangs below the cell over other cells' buttons.
        HideButtonsBut({});
    }
    RECT client = {0, 0, 0, 0};
    GetClientRect(ControlWindow(), &client);
    m_editor.Open(ControlWindow(), plan, CCellID(row, col), cell, *value.Ptr(), SIZE{client.right, client.bottom});
}

void CTessera::EndEdit(bool discard)
{
    if (!m_editor.Window()) {
        // At most a push button beside a cell without an editor window.
        m_editor.Close();
        return;
    }
    const unsigned session = m_editor.Session();
    if (!discard) {
        const CCellID at = m_editor.Cell();
        if (!CommitEditor()) return;
        if (m_bAutoAdjustLastCell) {
            FitColumnWidth(at.col);
            if (m_editor.Session() != session) return;
            FitRowHeight(at.row);
            if (m_editor.Session() != session) return;
        }
    }
    m_editor.Close();
    Refresh();
}

bool CTessera::CommitEditor()
{
    const unsigned session = m_editor.Session();
    const EditorKind kind = m_editor.Kind();
    const CCellID at = m_editor.Cell();
    const short row = static_cast<short>(at.row);
    const short col = static_cast<short>(at.col);
    auto stillOpen = [&]() { return m_editor.Session() == session; };
    CCellRef cell = GetCell(at.row, at.col);
    if (!cell) return true;

    fw::Bstr old = TextBstr(m_formatter.FormatCellText(cell));
    VARIANT_BOOL cancel = 0;
    Fire_OnBeforeEdit(row, col, old.Get(), &cancel);
    if (!stillOpen()) return false;
    if (cancel) return true;

    fw::Variant value;
    bool dateMade = true;
    auto read = [&]() {
        interaction::EditorReading reading;
        m_editor.Read(GetCell(at.row, at.col), reading);
        dateMade = interaction::EditorValue(kind, reading, value.Ref());
    };
    auto keepOld = [&]() {
        value.Clear();
        if (CCellRef c = GetCell(at.row, at.col)) VariantCopy(value.Ptr(), const_cast<VARIANT*>(&c.Value()));
    };

    if (kind == EditorKind::MonthCalendar || kind == EditorKind::DropDownDate) {
        cancel = 0;
        Fire_OnAfterCalendar(&cancel);
        if (!stillOpen()) return false;
        if (cancel) keepOld();
        else read();
    } else {
        read();
    }
    if (!dateMade) {
        MessageBoxW(ControlWindow(), L"Error!", L"", MB_OK);
        if (!stillOpen()) return false;
    }
    if (kind != EditorKind::BooleanList && kind != EditorKind::MonthCalendar && kind != EditorKind::DropDownDate) {
        fw::Variant shown;
        BSTR text = nullptr;
        if (SUCCEEDED(VariantChangeType(shown.Ptr(), value.Ptr(), 0, VT_BSTR))) text = shown.Ptr()->bstrVal;
        cancel = 0;
        Fire_OnValidateEdit(row, col, text, &cancel);
        if (!stillOpen()) return false;
        if (cancel == VARIANT_TRUE) keepOld();
    }

    cell = GetCell(at.row, at.col);
    if (!cell) return true;
    cell.SetValue(*value.Ptr());
    AccValueChanged(at.row, at.col);
    Fire_OnAfterEdit(row, col);
    return stillOpen();
}

void CTessera::FilterEditorChar(HWND target, WPARAM ch, LPARAM lp)
{
    if (!m_editor.Owns(target)) return;
    const CCellID at = m_editor.Cell();
    const CCellRef cell = GetCell(at.row, at.col);
    m_editor.FilterChar(ch, lp, cell ? cell.CType() : -1);
}

LRESULT CTessera::OnEditorChar(UINT, WPARAM wp, LPARAM lp, BOOL&)
{
    FilterEditorChar(m_editor.Window(), wp, lp);
    return 0;
}

// The editor stays open when it loses the focus: the next press, key or
// HideEdit closes it.
LRESULT CTessera::OnEditorKillFocus(UINT, WPARAM, LPARAM, BOOL&)
{
    return 0;
}

LRESULT CTessera::OnButtonKillFocus(UINT, WPARAM wp, LPARAM, BOOL&)
{
    // Focus moves while editor windows are made or destroyed are not the user's.
    if (m_editor.Busy()) return 0;
    // A cell's own button losing the focus while nothing is edited has
    // nothing to give it back to.
    if (!m_editor.Window() && !m_editor.Button()) return 0;
    HWND to = reinterpret_cast<HWND>(wp);
    if (to && to == ControlWindow()) {
        HideEdit();
        Refresh();
    } else if (to && !m_editor.Owns(to)) {
        SetFocus();
        HWND editor = m_editor.Kind() == EditorKind::Text ? m_editor.Window() : nullptr;
        ::SetFocus(editor ? editor : ControlWindow());
    }
    return 0;
}

LRESULT CTessera::OnCommand(UINT, WPARAM wp, LPARAM lp, BOOL&)
{
    HWND button = reinterpret_cast<HWND>(lp);
    if (HIWORD(wp) != BN_CLICKED || !button || !ControlWindow() || GetParent(button) != ControlWindow()) return 0;

    // The cell is found before the editor closes: closing destroys the
    // editor's button, and the text box covers the column the button sits over.
    CCellID cell;
    if (button == m_editor.Button()) {
        cell = m_editor.Cell();
    } else {
        RECT rc;
        GetWindowRect(button, &rc);
        MapWindowPoints(HWND_DESKTOP, ControlWindow(), reinterpret_cast<POINT*>(&rc), 2);
        cell = CellAtPoint(rc.left, rc.top, true);
    }
    PressCellButton(cell);
    return 0;
}

void CTessera::PressCellButton(const CCellID& cell)
{
    HideEdit();
    if (!m_grid.IsValid(cell.row, cell.col)) return;
    m_selection.ExtendSelection(cell);
    Fire_OnButtonClick(static_cast<short>(cell.row), static_cast<short>(cell.col));
}
