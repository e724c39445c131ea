#include "model/ValueFormat.h"

#include "model/GridTable.h"

#include <commctrl.h>

#include <cmath>
#include <cstdio>
#include <cwchar>
#include <optional>

#include "framework/com_ptr.h"

namespace model {
namespace {

// Automation dates of 1 January 100 and 31 December 9999.
constexpr double kFirstDate = -657434.0;
constexpr double kLastDate = 2958465.0;
constexpr double kHalfSecond = 1.0 / 172800.0;
// Day number of 30 December 1899 counted from 1 January of year 0.
constexpr long long kEpochOffset = 693959;

constexpr int kDaysBefore[13] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};

bool IsLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month)
{
    return kDaysBefore[month] - kDaysBefore[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

// Automation day number of a valid calendar day.
long long DayNumber(int year, int month, int day)
{
    const long long y = year;
    long long n = y * 365 + y / 4 - y / 100 + y / 400 + kDaysBefore[month - 1] + day;
    // y / 4 above already counts this year's leap day.
    if (month <= 2 && IsLeapYear(year)) --n;
    return n - kEpochOffset;
}

// A BSTR's whole text; a null BSTR is empty.
std::wstring Text(BSTR text)
{
    return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

template <class... Args>
std::string Printf(const char* format, Args... args)
{
    const int n = std::snprintf(nullptr, 0, format, args...);
    if (n <= 0) return {};
    std::string out(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(out.data(), out.size(), format, args...);
    out.resize(static_cast<size_t>(n));
    return out;
}

// printf's digits, signs and points are ASCII.
std::wstring Widen(const std::string& ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

// |v| in fixed notation to six decimals, trailing zeros dropped but the
// point kept: 100 -> "100.", 2.5 -> "2.5", 0 -> "0.".
std::string FixedDigits(double magnitude)
{
    std::string s = Printf("%f", magnitude);
    while (!s.empty() && s.back() == '0') s.pop_back();
    return s;
}

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

// The second half of a character outside the basic plane: with its first
// half it is one character of the pattern.
bool ContinuesCharacter(const std::wstring& text, size_t i)
{
    return i > 0 && IS_LOW_SURROGATE(text[i]) && IS_HIGH_SURROGATE(text[i - 1]);
}

// Text of a number cell without a pattern: the platform's own conversion.
std::wstring PlainNumberText(VARIANT& r8, int ctype)
{
    fw::Variant text;
    // A Single shows with its own precision, not with the double's noise.
    if (ctype == 3) {
        fw::Variant single;
        if (SUCCEEDED(VariantChangeType(single.Ptr(), &r8, 0, VT_R4)) &&
            SUCCEEDED(VariantChangeType(text.Ptr(), single.Ptr(), 0, VT_BSTR)))
            return Text(V_BSTR(text.Ptr()));
    }
    if (FAILED(VariantChangeType(text.Ptr(), &r8, 0, VT_BSTR))) return {};
    return Text(V_BSTR(text.Ptr()));
}

// Calls an NLS formatter with a buffer that grows until the text fits.
// The size query (no buffer) cannot be trusted on every system.
template <class Fn>
std::wstring GrowingCall(Fn call)
{
    for (size_t size = 64; size <= (size_t{1} << 24); size *= 2) {
        std::wstring out(size, L'\0');
        const int n = call(out.data(), static_cast<int>(size));
        if (n > 0) {
            out.resize(out.find(L'\0'));
            return out;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
    }
    return {};
}

std::wstring CurrencyText(double value)
{
    if (!std::isfinite(value)) return {};
    const std::wstring number = Widen(Printf("%.2f", value));
    return GrowingCall([&](wchar_t* buffer, int size) {
        return GetCurrencyFormatW(LOCALE_USER_DEFAULT, LOCALE_NOUSEROVERRIDE, number.c_str(), nullptr, buffer,
                                  size);
    });
}

std::wstring DateText(double date, BSTR dtFormat, HWND picker)
{
    CalendarFields f;
    if (!picker || !DateToCalendarFields(date, f)) return {};

    SYSTEMTIME st = {};
    CalendarFieldsToSystemTime(f, st);
    // Day 0 (30 December 1899) was a Saturday; day names must match the date.
    const long long day = DayNumber(f.year, f.month, f.day);
    st.wDayOfWeek = static_cast<WORD>(((day % 7) + 7 + 6) % 7);

    // An empty format, like a missing one, means the picker's default
    // short date: new cells have an empty format and must not show blank.
    const wchar_t* format = dtFormat && *dtFormat ? dtFormat : nullptr;
    if (!PickerCanTakeFormat(format)) return {};
    SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(format));
    // A refused date would leave the previous cell's date in the picker; the
    // picker may refuse without saying so (Wine's takes nothing before 1753).
    SYSTEMTIME shown = {};
    if (!SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st)) ||
        SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown)) != GDT_VALID ||
        shown.wYear != st.wYear || shown.wMonth != st.wMonth || shown.wDay != st.wDay ||
        shown.wHour != st.wHour || shown.wMinute != st.wMinute || shown.wSecond != st.wSecond)
        return {};

    const LRESULT length = SendMessageW(picker, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got = SendMessageW(picker, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

std::wstring FormatValue(const VARIANT& value, int ctype, BSTR numFormat, BSTR dtFormat, HWND external,
                         CFormatPicker* own)
{
    // Text shown as text needs no conversion, and no copy of the string; a
    // cleared cell shown as text is empty.
    if (ctype < 0 || ctype == 6 || ctype > 7) {
        if (V_VT(&value) == VT_BSTR) return Text(V_BSTR(&value));
        if (V_VT(&value) == VT_EMPTY) return {};
    }

    // Work on a copy: the cell's own value is never converted.
    fw::Variant copy;
    if (FAILED(VariantCopy(copy.Ptr(), const_cast<VARIANT*>(&value)))) return {};
    VARIANT* v = copy.Ptr();

    switch (ctype) {
    case 0:
        if (FAILED(VariantChangeType(v, v, 0, VT_BOOL))) return {};
        return V_BOOL(v) ? L"True" : L"False";
    case 1:
    case 2:
    case 3:
    case 4:
        if (FAILED(VariantChangeType(v, v, 0, VT_R8)) || !std::isfinite(V_R8(v))) return {};
        if (SysStringLen(numFormat) == 0) return PlainNumberText(*v, ctype);
        return FormatNumberPattern(V_R8(v), Text(numFormat), ProbeNumberSymbols());
    case 5:
        if (FAILED(VariantChangeType(v, v, 0, VT_R8))) return {};
        return CurrencyText(V_R8(v));
    case 7: {
        if (FAILED(VariantChangeType(v, v, 0, VT_DATE))) return {};
        std::optional<CFormatPicker> temporary;
        HWND picker = external && IsWindow(external) ? external : nullptr;
        if (!picker && own) picker = own->Window();
        if (!picker) picker = temporary.emplace().Window();
        return DateText(V_DATE(v), dtFormat, picker);
    }
    default:
        if (FAILED(VariantChangeType(v, v, 0, VT_BSTR))) return {};
        return Text(V_BSTR(v));
    }
}

} // namespace

size_t DateFormatParts(std::wstring_view format) noexcept
{
    // Field letters with the longest run a picker reads as one field; a
    // longer run starts another field. Every other character, quotes
    // included, belongs to a literal run.
    auto longestRun = [](wchar_t c) -> size_t {
        switch (c) {
        case L'd': case L'M': case L'y': return 4;
        case L'h': case L'H': case L'm': case L's': case L't': case L'g': return 2;
        case L'X': return static_cast<size_t>(-1);
        default: return 0;
        }
    };
    size_t parts = 0, run = 0;
    wchar_t kind = 0;     // the field letter of the current part, or 0 for a literal run
    bool quoted = false;
    bool started = false;
    for (wchar_t c : format) {
        wchar_t next = 0;
        if (c == L'\'') quoted = !quoted;
        else if (!quoted && longestRun(c)) next = c;
        if (!started || next != kind || (next && run == longestRun(next))) {
            ++parts;
            run = 0;
        }
        started = true;
        kind = next;
        ++run;
    }
    return parts;
}

void CalendarFieldsToSystemTime(const CalendarFields& f, SYSTEMTIME& st) noexcept
{
    st.wYear = static_cast<WORD>(f.year);
    st.wMonth = static_cast<WORD>(f.month);
    st.wDay = static_cast<WORD>(f.day);
    st.wHour = static_cast<WORD>(f.hour);
    st.wMinute = static_cast<WORD>(f.minute);
    st.wSecond = static_cast<WORD>(f.second);
}

bool PickerCanTakeFormat(const wchar_t* format) noexcept
{
    if (!format) return true;
    const std::wstring_view text(format, wcsnlen(format, kMaxPickerFormatChars + 1));
    return text.size() <= kMaxPickerFormatChars && DateFormatParts(text) <= kMaxPickerFormatParts;
}

bool DateToCalendarFields(double date, CalendarFields& fields)
{
    // Any time of day on the first and last day counts (NaN fails too).
    if (!(date > kFirstDate - 1 && date < kLastDate + 1)) return false;

    // Round to the nearest second; the time of day is the fraction's size.
    const double rounded = date > 0 ? date + kHalfSecond : date - kHalfSecond;
    const double whole = std::trunc(rounded);
    if (whole < kFirstDate || whole > kLastDate) return false;  // rounded past an end
    const long long day = static_cast<long long>(whole);
    long seconds = static_cast<long>(std::fabs(rounded - whole) * 86400.0);
    if (seconds > 86399) seconds = 86399;

    // Guess the year from the mean year length, then settle it exactly.
    int year = static_cast<int>((day + kEpochOffset) * 400 / 146097);
    while (DayNumber(year + 1, 1, 1) <= day) ++year;
    while (DayNumber(year, 1, 1) > day) --year;

    int dayOfYear = static_cast<int>(day - DayNumber(year, 1, 1));
    int month = 2;
    int dayOfMonth = 29;
    const bool leap = IsLeapYear(year);
    if (!(leap && dayOfYear == 59)) {
        if (leap && dayOfYear > 59) --dayOfYear;
        month = 1;
        while (dayOfYear >= kDaysBefore[month]) ++month;
        dayOfMonth = dayOfYear - kDaysBefore[month - 1] + 1;
    }

    fields.year = year;
    fields.month = month;
    fields.day = dayOfMonth;
    fields.hour = static_cast<int>(seconds / 3600);
    fields.minute = static_cast<int>(seconds / 60 % 60);
    fields.second = static_cast<int>(seconds % 60);
    return true;
}

bool CalendarFieldsToDate(const CalendarFields& f, double& date)
{
    // Years below 100 would give dates the formatter cannot show.
    if (f.year < 100 || f.year > 9999 || f.month < 1 || f.month > 12) {
        MessageBoxA(nullptr, "1", "error", MB_OK);
        return false;
    }
    if (f.day < 1 || f.day > DaysInMonth(f.year, f.month) || f.hour < 0 || f.hour > 23 || f.minute < 0 ||
        f.minute > 59 || f.second < 0 || f.second > 59) {
        MessageBoxA(nullptr, "2", "error", MB_OK);
        return false;
    }
    const long long day = DayNumber(f.year, f.month, f.day);
    const double time = (f.hour * 3600 + f.minute * 60 + f.second) / 86400.0;
    date = static_cast<double>(day) + (day < 0 ? -time : time);
    return true;
}

NumberSymbols ProbeNumberSymbols()
{
    NumberSymbols symbols;
    const std::wstring text = GrowingCall([](wchar_t* buffer, int size) {
        return GetNumberFormatW(LOCALE_USER_DEFAULT, LOCALE_NOUSEROVERRIDE, L"-6123.32", nullptr, buffer, size);
    });
    if (text.size() > 0) symbols.minus = text[0];
    if (text.size() > 2) symbols.group = text[2];
    if (text.size() > 6) symbols.decimal = text[6];
    return symbols;
}

std::wstring FormatNumberPattern(double value, const std::wstring& pattern, const NumberSymbols& symbols)
{
    if (!std::isfinite(value)) return {};
    const std::wstring digits = Widen(FixedDigits(std::fabs(value)));
    const size_t digitsPoint = digits.find(L'.');
    if (digitsPoint == std::wstring::npos) return {};

    // Placeholders are replaced by digits in place; 'd' marks one to drop.
    std::wstring work = (value < 0 ? L"-" : L"") + pattern;
    const size_t point = work.find(L'.');

    // Fraction: every pattern character, literals included, passes over one
    // digit; digits beyond the last placeholder are cut, not rounded.
    if (point != std::wstring::npos) {
        size_t cursor = digitsPoint;
        for (size_t i = point; i < work.size(); ++i) {
            wchar_t& p = work[i];
            const bool usedUp = cursor >= digits.size();
            if (p == L'#')
                p = usedUp ? L'd' : digits[cursor];
            else if (p == L'0' && !usedUp)
                p = digits[cursor];
            if (!usedUp && !ContinuesCharacter(work, i)) ++cursor;
        }
    }

    // Integer part, right to left. Only placeholders take digits, so no
    // integer digit is ever lost to a literal or the sign.
    const size_t end = point == std::wstring::npos ? work.size() : point;
    size_t left = digitsPoint;  // integer digits not yet placed
    size_t leftmost = std::wstring::npos;
    int groupCount = 0;
    int leftmostGroupCount = 0;
    bool groups = false;
    for (size_t i = end; i-- > 0;) {
        wchar_t& p = work[i];
        if (p == L'#' || p == L'0') {
            if (left > 0) {
                p = digits[--left];
                ++groupCount;
            } else if (p == L'#') {
                p = L'd';
            }
            leftmost = i;
            leftmostGroupCount = groupCount;
        } else if (p == L',') {
            groups = true;
            groupCount = 0;
        }
    }

    // Digits without a placeholder go in front of the leftmost one, grouped
    // in threes when the pattern groups. A bare zero integer part is no digit.
    std::wstring extra = digits.substr(0, left);
    if (extra == L"0") extra.clear();
    if (!extra.empty()) {
        std::wstring grouped;
        int inGroup = leftmost == std::wstring::npos ? 0 : leftmostGroupCount;
        for (size_t i = extra.size(); i-- > 0;) {
            if (groups && inGroup == 3) {
                grouped.insert(grouped.begin(), L',');
                inGroup = 0;
            }
            grouped.insert(grouped.begin(), extra[i]);
            ++inGroup;
        }
        work.insert(leftmost == std::wstring::npos ? end : leftmost, grouped);
    }

    std::wstring out;
    out.reserve(work.size());
    bool digitSeen = false;
    for (wchar_t c : work) {
        switch (c) {
        case L'd':
            break;
        case L'.':
            out += symbols.decimal;
            break;
        case L',':
            // A separator with no digit before it would dangle: ",5.00".
            if (digitSeen) out += symbols.group;
            break;
        case L'-':
            out += symbols.minus;
            break;
        default:
            digitSeen = digitSeen || IsDigit(c);
            out += c;
            break;
        }
    }
    return out;
}

CFormatPicker::~CFormatPicker()
{
    // The picker is the parent's child and goes with it.
    if (m_hwndParent && IsWindow(m_hwndParent)) DestroyWindow(m_hwndParent);
}

HWND CFormatPicker::Window()
{
    if (m_hwndPicker && IsWindow(m_hwndPicker)) return m_hwndPicker;
    m_hwndPicker = nullptr;

    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_DATE_CLASSES};
    InitCommonControlsEx(&icc);
    // A message-only parent keeps the picker off every desktop and out of
    // any host's window tree.
    if (!m_hwndParent || !IsWindow(m_hwndParent))
        m_hwndParent = CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                       nullptr);
    if (!m_hwndParent) return nullptr;
    m_hwndPicker = CreateWindowExW(0, DATETIMEPICK_CLASSW, nullptr, WS_CHILD | WS_BORDER, 0, 0, 0, 0,
                                   m_hwndParent, nullptr, nullptr, nullptr);
    return m_hwndPicker;
}

std::wstring FormatCellText(const VARIANT& value, int ctype, BSTR numFormat, BSTR dtFormat, HWND picker)
{
    return FormatValue(value, ctype, numFormat, dtFormat, picker, nullptr);
}

std::wstring CValueFormatter::FormatCellText(const CCellRef& cell)
{
    // A new cell's empty text shows empty whatever its type.
    if (!cell.ValueMade()) return {};
    const VARIANT& value = cell.Value();
    if (V_VT(&value) != VT_DISPATCH && V_VT(&value) != VT_UNKNOWN)
        return FormatCellText(value, cell.CType(), cell.NumFormat().Raw(), cell.DtFormat().Raw());
    // Converting an object runs the host's code, which may change or drop
    // the cell: the formats are read from copies. The value is copied before
    // any conversion.
    fw::Bstr numFormat;
    fw::Bstr dtFormat;
    if (BSTR s = cell.NumFormat().Raw()) *numFormat.Put() = SysAllocStringLen(s, SysStringLen(s));
    if (BSTR s = cell.DtFormat().Raw()) *dtFormat.Put() = SysAllocStringLen(s, SysStringLen(s));
    return FormatCellText(value, cell.CType(), numFormat.Get(), dtFormat.Get());
}

std::wstring CValueFormatter::FormatCellText(const VARIANT& value, int ctype, BSTR numFormat, BSTR dtFormat)
{
    return FormatValue(value, ctype, numFormat, dtFormat, m_hwndExternal, &m_ownPicker);
}

} // namespace model
