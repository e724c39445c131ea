#include "interaction/InPlaceEditor.h"

#include <commctrl.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "model/ValueFormat.h"

namespace interaction {
namespace {

void AtLeastWide(RECT& r, int width)
{
    if (r.right - r.left < width) r.right = r.left + width;
}

void AtLeastHigh(RECT& r, int height)
{
    if (r.bottom - r.top < height) r.bottom = r.top + height;
}

// The platform's VARIANT functions take their sources as non-const.
VARIANT* Src(const VARIANT& v) noexcept { return const_cast<VARIANT*>(&v); }

// The whole text of a window, however long.
std::wstring WindowText(HWND hwnd)
{
    const int length = GetWindowTextLengthW(hwnd);
    if (length <= 0) return std::wstring();
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    const int got = GetWindowTextW(hwnd, buffer.data(), length + 1);
    return std::wstring(buffer.data(), static_cast<size_t>(got > 0 ? got : 0));
}

// The selection and text of the open editor, to put back.
struct EditState {
    DWORD start = 0;
    DWORD end = 0;
    std::wstring text;
};

// Holds the editor busy for a scope.
class BusyScope {
public:
    explicit BusyScope(int& count) noexcept : m_count(count) { ++m_count; }
    ~BusyScope() { --m_count; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    int& m_count;
};

model::CalendarFields FieldsOf(const SYSTEMTIME& st, bool time)
{
    model::CalendarFields f;
    f.year = st.wYear;
    f.month = st.wMonth;
    f.day = st.wDay;
    if (time) {
        f.hour = st.wHour;
        f.minute = st.wMinute;
        f.second = st.wSecond;
    }
    return f;
}

// The picker's and calendar's start: now, with the value's date and time.
SYSTEMTIME ShownTime(const VARIANT& value)
{
    SYSTEMTIME st;
    GetSystemTime(&st);
    fw::Variant date;
    model::CalendarFields f;
    if (SUCCEEDED(VariantChangeType(date.Ptr(), Src(value), 0, VT_DATE)) &&
        model::DateToCalendarFields(date.Ptr()->date, f)) {
        model::CalendarFieldsToSystemTime(f, st);
        st.wMilliseconds = 0;
    }
    return st;
}

} // namespace

EditorPlan PlanEditor(int ctype, int typeEx, int alignment, bool multiline, const RECT& cell,
                      const view::Metrics& sizes, int textHeight)
{
    EditorPlan p;
    p.rect = cell;
    RECT& r = p.rect;
    if (ctype < ctBoolean || ctype > ctDate) return p;
    // A cell whose only bit is Button has its own permanent push button.
    p.button = (typeEx & txButton) && typeEx != txButton;
    const int space = (typeEx & txButton) ? sizes.buttonSpace : 0;

    if (ctype == ctBoolean || (ctype == ctDate && (typeEx & txCalendar))) {
        p.buttonGap = sizes.wideButtonGap;
        p.buttonSize = sizes.wideButtonSize;
    } else {
        p.buttonGap = sizes.buttonGap;
        p.buttonSize = sizes.buttonSize;
    }

    if (ctype == ctBoolean) {
        if (typeEx & txComboBox) {
            p.kind = EditorKind::BooleanList;
            p.style = WS_CHILD | WS_VSCROLL | CBS_AUTOHSCROLL | CBS_DROPDOWNLIST | WS_BORDER;
            if (r.bottom - r.top < sizes.listMinHeight) r.bottom = r.top + sizes.listMinHeight;
            AtLeastHigh(r, textHeight);
            r.right -= space;
            AtLeastWide(r, sizes.editorMinWidth);
        } else {
            r.right -= sizes.buttonSpace;
        }
    } else if (ctype == ctDate && (typeEx & txCalendar)) {
        if (typeEx & txComboBox) {
            p.kind = EditorKind::DropDownDate;
            p.style = WS_CHILD | WS_VISIBLE | WS_BORDER;
            r.bottom = r.top + sizes.dropDownHeight;
            r.right -= space;
            AtLeastWide(r, sizes.dropDownMinWidth);
        } else {
            p.kind = EditorKind::MonthCalendar;
            p.style = WS_CHILD | WS_BORDER;
        }
    } else if (typeEx & txComboBox) {
        p.kind = EditorKind::ChoiceList;
        p.style = WS_CHILD | WS_VSCROLL | CBS_AUTOHSCROLL | WS_BORDER |
                  ((typeEx & txEdit) ? CBS_DROPDOWN : CBS_DROPDOWNLIST);
        if (r.bottom - r.top < sizes.listMinHeight) r.bottom = r.top + sizes.choiceListHeight;
        AtLeastHigh(r, textHeight);
        r.right -= space;
        AtLeastWide(r, sizes.editorMinWidth);
    } else if (typeEx & txEdit) {
        r.right -= space;
        AtLeastWide(r, sizes.editorMinWidth);
        if (ctype == ctDate) {
            p.kind = EditorKind::UpDownDate;
            p.style = WS_CHILD | WS_VISIBLE | WS_BORDER | DTS_UPDOWN;
        } else {
            // The text box covers exactly the cell, whatever the button takes.
            p.kind = EditorKind::Text;
            r = cell;
            AtLeastHigh(r, textHeight);
            const DWORD align = alignment == 1 ? ES_RIGHT : alignment == 2 ? ES_CENTER : ES_LEFT;
            p.style = align | WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL |
                      (multiline ? ES_MULTILINE | ES_AUTOVSCROLL : 0);
        }
    } else {
        r.right -= sizes.buttonSpace;
    }
    return p;
}

RECT EditorButtonRect(const EditorPlan& plan, const RECT& editor)
{
    const LONG left = editor.right + plan.buttonGap;
    return RECT{left, editor.top, left + plan.buttonSize, editor.top + plan.buttonSize};
}

RECT PlaceCalendar(const RECT& cell, SIZE size, SIZE client)
{
    const LONG centre = std::labs(static_cast<long>(cell.left) + cell.right) / 2;
    const LONG halfWidth = std::labs(size.cx) / 2;
    RECT r = {centre - halfWidth, cell.bottom, centre + halfWidth, cell.bottom + std::labs(size.cy)};
    auto shift = [&r](LONG dx, LONG dy) { OffsetRect(&r, dx, dy); };
    if (r.right > client.cx) shift(client.cx - r.right, 0);
    if (r.bottom > client.cy) shift(0, client.cy - r.bottom);
    if (r.left < 0) shift(-r.left, 0);
    if (r.top < 0) shift(0, -r.top);
    return r;
}

bool AcceptableEditText(const wchar_t* text, int ctype)
{
    if (!text || !*text || ctype == ctString) return true;
    VARTYPE vt = VT_R8;
    switch (ctype) {
    case ctInteger:
    case ctLong: vt = VT_I4; break;
    case ctSingle: vt = VT_R4; break;
    case ctCurrency: vt = VT_CY; break;
    case ctDate: vt = VT_DATE; break;
    default: break;
    }
    fw::Variant source;
    source.Ref().vt = VT_BSTR;
    source.Ref().bstrVal = SysAllocString(text);
    if (!source.Ref().bstrVal) return false;
    fw::Variant converted;
    return SUCCEEDED(VariantChangeType(converted.Ptr(), source.Ptr(), 0, vt));
}

bool EditorValue(EditorKind kind, const EditorReading& reading, VARIANT& out)
{
    VariantClear(&out);
    auto text = [&]() {
        out.vt = VT_BSTR;
        out.bstrVal = SysAllocStringLen(reading.text.data(), static_cast<UINT>(reading.text.size()));
        return true;
    };
    auto date = [&](const model::CalendarFields& fields) {
        double d = 0;
        const bool ok = model::CalendarFieldsToDate(fields, d);
        out.vt = VT_DATE;
        out.date = ok ? d : 0;
        return ok;
    };
    switch (kind) {
    case EditorKind::Text: return text();
    case EditorKind::BooleanList:
        out.vt = VT_BOOL;
        out.boolVal = reading.selection == 0 ? VARIANT_TRUE : VARIANT_FALSE;
        return true;
    case EditorKind::ChoiceList:
        if (reading.selection != -1 && reading.choice.Ptr()->vt != VT_EMPTY &&
            SUCCEEDED(VariantCopy(&out, Src(*reading.choice.Ptr()))))
            return true;
        return text();
    case EditorKind::UpDownDate: return date(FieldsOf(reading.time, true));
    case EditorKind::DropDownDate: return date(FieldsOf(reading.time, false));
    case EditorKind::MonthCalendar: {
        model::CalendarFields f = FieldsOf(reading.time, false);
        if (reading.time.wHour < 24) f.hour = reading.time.wHour;
        return date(f);
    }
    case EditorKind::None: break;
    }
    return true;
}

// --- the windows -------------------------------------------------------------

CInPlaceEditor::CInPlaceEditor(fw::MessageMap& owner) noexcept
    : m_text(L"EDIT", owner, kTextMap),
      m_button(L"BUTTON", owner, kButtonMap),
      m_list(L"COMBOBOX", owner, kListMap),
      m_calendar(L"SysMonthCal32", owner, kCalendarMap),
      m_picker(L"SysDateTimePick32", owner, kPickerMap)
{
}

fw::ContainedWindow* CInPlaceEditor::WindowOf(EditorKind kind) noexcept
{
    switch (kind) {
    case EditorKind::Text: return &m_text;
    case EditorKind::BooleanList:
    case EditorKind::ChoiceList: return &m_list;
    case EditorKind::UpDownDate:
    case EditorKind::DropDownDate: return &m_picker;
    case EditorKind::MonthCalendar: return &m_calendar;
    case EditorKind::None: break;
    }
    return nullptr;
}

HWND CInPlaceEditor::Window() const noexcept
{
    switch (m_kind) {
    case EditorKind::Text: return m_text.Handle();
    case EditorKind::BooleanList:
    case EditorKind::ChoiceList: return m_list.Handle();
    case EditorKind::UpDownDate:
    case EditorKind::DropDownDate: return m_picker.Handle();
    case EditorKind::MonthCalendar: return m_calendar.Handle();
    case EditorKind::None: break;
    }
    return nullptr;
}

bool CInPlaceEditor::Owns(HWND target) const noexcept
{
    HWND editor = Window();
    return editor && target && (target == editor || IsChild(editor, target));
}

void CInPlaceEditor::UseFont(IFontDisp* font)
{
    fw::ComPtr<IFont> object;
    HFONT hfont = nullptr;
    if (font && SUCCEEDED(font->QueryInterface(IID_IFont, object.PutVoid())) && SUCCEEDED(object->get_hFont(&hfont)) &&
        hfont) {
        m_font = std::move(object);
        m_hfont = hfont;
    }
}

int CInPlaceEditor::TextHeight(HWND parent) const
{
    HDC dc = GetDC(parent);
    if (!dc) return 0;
    // A window given no font shows the system font.
    HGDIOBJ old = SelectObject(dc, m_hfont ? static_cast<HGDIOBJ>(m_hfont) : GetStockObject(SYSTEM_FONT));
    TEXTMETRICW tm = {};
    const bool measured = GetTextMetricsW(dc, &tm) != FALSE;
    SelectObject(dc, old);
    ReleaseDC(parent, dc);
    // The line, the border and a pixel of room on either side.
    return measured ? tm.tmHeight + 4 * GetSystemMetrics(SM_CYBORDER) : 0;
}

HWND CInPlaceEditor::Open(HWND parent, const EditorPlan& plan, const CCellID& cell, const CCellRef& source,
                          const VARIANT& value, SIZE client)
{
    BusyScope busy(m_busy);
    Close();
    ++m_session;
    m_kind = plan.kind;
    m_cell = cell;

    RECT r = plan.rect;
    HWND hwnd = nullptr;
    if (fw::ContainedWindow* window = WindowOf(plan.kind)) {
        if (plan.kind == EditorKind::MonthCalendar) {
            // Made at zero width first: its size depends on its font and locale.
            const LONG centre = std::labs(static_cast<long>(r.left) + r.right) / 2;
            hwnd = window->Create(parent, RECT{centre, r.bottom, centre, r.bottom}, nullptr, plan.style);
            RECT minimum = {0, 0, 0, 0};
            if (hwnd) SendMessageW(hwnd, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&minimum));
            r = PlaceCalendar(plan.rect, SIZE{minimum.right - minimum.left, minimum.bottom - minimum.top}, client);
        } else {
            hwnd = window->Create(parent, r, nullptr, plan.style);
        }
        if (!hwnd) m_kind = EditorKind::None;
    }
    if (hwnd) {
        SetWindowPos(hwnd, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_SHOWWINDOW);
        Fill(hwnd, source, value);
        SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) | WS_VISIBLE);
        SetFocus(hwnd);
        if (m_kind == EditorKind::ChoiceList) SendMessageW(hwnd, CB_SHOWDROPDOWN, TRUE, 0);
    }
    if (plan.button) {
        const RECT b = EditorButtonRect(plan, r);
        if (HWND button = m_button.Create(parent, b, L"", WS_CHILD | WS_BORDER)) {
            SetWindowPos(button, HWND_TOP, b.left, b.top, b.right - b.left, b.bottom - b.top, SWP_SHOWWINDOW);
            SetWindowLongPtrW(button, GWL_STYLE, GetWindowLongPtrW(button, GWL_STYLE) | WS_VISIBLE);
        }
    }
    return hwnd;
}

void CInPlaceEditor::Fill(HWND hwnd, const CCellRef& source, const VARIANT& value)
{
    auto asText = [&value]() {
        fw::Variant text;
        if (FAILED(VariantChangeType(text.Ptr(), Src(value), 0, VT_BSTR))) return std::wstring();
        BSTR s = text.Ptr()->bstrVal;
        return std::wstring(s ? s : L"", SysStringLen(s));
    };
    const WPARAM font = reinterpret_cast<WPARAM>(m_hfont);
    switch (m_kind) {
    case EditorKind::Text:
        // No length limit: a longer text would be cut on commit.
        SendMessageW(hwnd, EM_LIMITTEXT, 0, 0);
        SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(asText().c_str()));
        SendMessageW(hwnd, EM_SETSEL, 0, -1);
        if (m_hfont) SendMessageW(hwnd, WM_SETFONT, font, TRUE);
        break;
    case EditorKind::BooleanList: {
        SendMessageW(hwnd, CB_RESETCONTENT, 0, 0);
        SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"True"));
        SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"False"));
        fw::Variant flag;
        const bool isFalse = SUCCEEDED(VariantChangeType(flag.Ptr(), Src(value), 0, VT_BOOL)) && !flag.Ptr()->boolVal;
        SendMessageW(hwnd, CB_SETCURSEL, isFalse ? 1 : 0, 0);
        if (m_hfont) SendMessageW(hwnd, WM_SETFONT, font, TRUE);
        break;
    }
    case EditorKind::ChoiceList: {
        SendMessageW(hwnd, CB_RESETCONTENT, 0, 0);
        for (int i = 0; i < source.VariantCount(); ++i) {
            fw::Bstr entry;
            source.GetVariantText(i, entry.Put());
            SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.Get() ? entry.Get() : L""));
        }
        const std::wstring text = asText();
        SendMessageW(hwnd, CB_LIMITTEXT, 0, 0);
        SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        const LRESULT found = SendMessageW(hwnd, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(text.c_str()));
        if (found != CB_ERR) SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
        if (m_hfont) SendMessageW(hwnd, WM_SETFONT, font, TRUE);
        break;
    }
    case EditorKind::UpDownDate:
    case EditorKind::DropDownDate: {
        SYSTEMTIME st = ShownTime(value);
        // A format the picker cannot take (it would bring the process down)
        // gives the default short date instead.
        const wchar_t* format = source.DtFormat().Text();
        if (!*format || !model::PickerCanTakeFormat(format)) format = nullptr;
        SendMessageW(hwnd, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(format));
        SendMessageW(hwnd, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
        break;
    }
    case EditorKind::MonthCalendar: {
        SYSTEMTIME st = ShownTime(value);
        SendMessageW(hwnd, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&st));
        break;
    }
    case EditorKind::None: break;
    }
}

void CInPlaceEditor::Close()
{
    BusyScope busy(m_busy);
    if (fw::ContainedWindow* window = WindowOf(m_kind)) window->Destroy();
    m_button.Destroy();
    if (m_kind != EditorKind::None || m_cell != CCellID()) ++m_session;
    m_kind = EditorKind::None;
    m_cell = CCellID();
}

void CInPlaceEditor::Read(const CCellRef& source, EditorReading& reading) const
{
    HWND hwnd = Window();
    if (!hwnd) return;
    switch (m_kind) {
    case EditorKind::Text: reading.text = WindowText(hwnd); break;
    case EditorKind::BooleanList:
    case EditorKind::ChoiceList:
        reading.text = WindowText(hwnd);
        reading.selection = static_cast<int>(SendMessageW(hwnd, CB_GETCURSEL, 0, 0));
        if (reading.selection < 0) reading.selection = -1;
        reading.choice.Clear();
        if (reading.selection >= 0 && source &&
            FAILED(source.GetVariantValue(reading.selection, reading.choice.Ptr())))
            reading.choice.Clear();
        break;
    case EditorKind::UpDownDate:
    case EditorKind::DropDownDate:
        GetSystemTime(&reading.time);
        SendMessageW(hwnd, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&reading.time));
        break;
    case EditorKind::MonthCalendar:
        GetSystemTime(&reading.time);
        SendMessageW(hwnd, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&reading.time));
        break;
    case EditorKind::None: break;
    }
}

void CInPlaceEditor::FilterChar(WPARAM ch, LPARAM lp, int ctype)
{
    HWND hwnd = Window();
    if (!hwnd) return;
    const bool textBox = m_kind == EditorKind::Text;
    const unsigned session = m_session;
    EditState before;
    SendMessageW(hwnd, textBox ? EM_GETSEL : CB_GETEDITSEL, reinterpret_cast<WPARAM>(&before.start),
                 reinterpret_cast<LPARAM>(&before.end));
    before.text = WindowText(hwnd);

    if (textBox)
        m_text.CallOriginal(WM_CHAR, ch, lp);
    else
        SendMessageW(hwnd, WM_CHAR, ch, lp);
    // The character's own notifications must not have closed the editor.
    if (m_session != session || Window() != hwnd) return;

    if (AcceptableEditText(WindowText(hwnd).c_str(), ctype)) return;
    SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(before.text.c_str()));
    if (textBox)
        SendMessageW(hwnd, EM_SETSEL, before.start, static_cast<LPARAM>(before.end));
    else
        SendMessageW(hwnd, CB_SETEDITSEL, 0, MAKELPARAM(before.start, before.end));
}

} // namespace interaction
