// CInPlaceEditor: the one window a cell is edited in, its push button and
// the font they show. Which window a cell gets, and what the window's content
// stores when the edit is committed, are plain functions of the cell's
// attributes and of the editor's kind; the object only makes, reads and
// destroys the windows.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>

#include <string>

#include "framework/com_ptr.h"
#include "framework/window.h"
#include "model/GridTable.h"
#include "view/Metrics.h"

namespace interaction {

enum class EditorKind {
    None,           // no window (the push button may still exist)
    Text,           // EDIT
    BooleanList,    // COMBOBOX with "True" and "False"
    ChoiceList,     // COMBOBOX with the cell's choice list
    UpDownDate,     // SysDateTimePick32 with up-down arrows
    MonthCalendar,  // SysMonthCal32 below the cell
    DropDownDate,   // SysDateTimePick32 with a drop-down calendar
};

// The message tables the editor windows are routed through.
enum : DWORD { kTextMap = 1, kButtonMap = 2, kListMap = 3, kCalendarMap = 4, kPickerMap = 5 };

// What opening an editor on a cell makes.
struct EditorPlan {
    EditorKind kind = EditorKind::None;
    DWORD style = 0;   // WS_BORDER included
    // The editor's window rectangle (the calendar's is placed later, below
    // this one); the push button's left edge is measured from its right.
    RECT rect = {0, 0, 0, 0};
    bool button = false;
    int buttonGap = 0;
    int buttonSize = 0;
};

// The window for a cell of type ctype with editor bits typeEx, alignment and
// the control's EditMultiline, over the cell's inclusive rectangle, with the
// built-in sizes of the window's DPI. A text box or combo box is at least
// textHeight high, so that its font's text is never cut.
EditorPlan PlanEditor(int ctype, int typeEx, int alignment, bool multiline, const RECT& cell,
                      const view::Metrics& sizes = view::Metrics(), int textHeight = 0);
// The push button beside an editor window (or beside what is left of the
// cell when there is none).
RECT EditorButtonRect(const EditorPlan& plan, const RECT& editor);
// The month calendar of the given size, centred below the cell and moved
// inside the control's client area.
RECT PlaceCalendar(const RECT& cell, SIZE size, SIZE client);

// Whether a text typed into an editor may stay, judged by the cell's type
// (any other code, or -1 for no cell, judges it as a number).
bool AcceptableEditText(const wchar_t* text, int ctype);

// The content of an editor window when it closes.
struct EditorReading {
    std::wstring text;
    int selection = -1;     // list entry, -1 for none
    fw::Variant choice;     // value of the selected choice-list entry, or empty
    SYSTEMTIME time = {};   // date windows
};

// The value an editor's content stores, by the editor's kind. False when
// the date could not be made (out is then the date 0).
bool EditorValue(EditorKind kind, const EditorReading& reading, VARIANT& out);

class CInPlaceEditor {
public:
    explicit CInPlaceEditor(fw::MessageMap& owner) noexcept;
    CInPlaceEditor(const CInPlaceEditor&) = delete;
    CInPlaceEditor& operator=(const CInPlaceEditor&) = delete;

    // The open editor window, null when none.
    HWND Window() const noexcept;
    HWND Button() const noexcept { return m_button.Handle(); }
    EditorKind Kind() const noexcept { return m_kind; }
    // The cell being edited; (-1, -1) once closed.
    CCellID Cell() const noexcept { return m_cell; }
    // Changes with every open and close, so that a caller who raised an
    // event can tell whether the editor it held is still the one open.
    unsigned Session() const noexcept { return m_session; }
    // True while windows are made or destroyed: focus messages they cause
    // are not the user's.
    bool Busy() const noexcept { return m_busy > 0; }
    // target is the editor window or a window inside it.
    bool Owns(HWND target) const noexcept;

    // The font every editor window gets; the object is kept alive with it.
    void UseFont(IFontDisp* font);
    // The height a text box on parent needs for one line in that font.
    int TextHeight(HWND parent) const;

    // Opens the plan's window and push button on parent for cell, showing
    // value; any open editor is destroyed first. client is the parent's
    // client size, which the month calendar stays inside. Returns the
    // editor window, null for none.
    HWND Open(HWND parent, const EditorPlan& plan, const CCellID& cell, const CCellRef& source, const VARIANT& value,
              SIZE client);
    // Destroys the editor window and the push button.
    void Close();

    // The content for EditorValue; source gives the choice list's values.
    void Read(const CCellRef& source, EditorReading& reading) const;

    // Lets a character act on the open editor and takes it back when the
    // text it makes is not acceptable for ctype.
    void FilterChar(WPARAM ch, LPARAM lp, int ctype);

private:
    fw::ContainedWindow* WindowOf(EditorKind kind) noexcept;
    void Fill(HWND hwnd, const CCellRef& source, const VARIANT& value);

    fw::ContainedWindow m_text;
    fw::ContainedWindow m_button;
    fw::ContainedWindow m_list;
    fw::ContainedWindow m_calendar;
    fw::ContainedWindow m_picker;
    EditorKind m_kind = EditorKind::None;
    CCellID m_cell;
    unsigned m_session = 0;
    int m_busy = 0;
    fw::ComPtr<IFont> m_font;
    HFONT m_hfont = nullptr;
};

} // namespace interaction
