// Turning cell values into display text: number patterns, currency, dates,
// and the date <-> calendar field conversions the date editors use.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <string>
#include <string_view>

class CCellRef;

namespace model {

// A date split into its calendar parts; the order matches the editors' use.
struct CalendarFields {
    int second = 0;  // 0-59
    int minute = 0;  // 0-59
    int hour = 0;    // 0-23
    int day = 1;     // 1-31
    int month = 1;   // 1-12
    int year = 100;  // 100-9999
};

// Splits an automation date into calendar fields, rounded to the nearest
// second. False (fields untouched) outside 1 January 100 .. 31 December 9999.
bool DateToCalendarFields(double date, CalendarFields& fields);
// Puts the fields into a SYSTEMTIME's date and time, leaving the rest.
void CalendarFieldsToSystemTime(const CalendarFields& fields, SYSTEMTIME& st) noexcept;

// The reverse. Bad fields show the message box "1" (year or month) or "2"
// (day or time of day), caption "error", and give false.
bool CalendarFieldsToDate(const CalendarFields& fields, double& date);

// Minus sign, group separator and decimal separator of the user's locale.
struct NumberSymbols {
    wchar_t minus = L'-';
    wchar_t group = L',';
    wchar_t decimal = L'.';
};

// Reads the three symbols from the locale's rendering of "-6123.32"
// (characters 0, 2 and 6). Runs on every call so a locale change shows at once.
NumberSymbols ProbeNumberSymbols();

// Applies the grid's number pattern language ('#', '0', ',', '.', literals)
// to a value. The pattern must not be empty.
std::wstring FormatNumberPattern(double value, const std::wstring& pattern, const NumberSymbols& symbols);

// Whether a date-time picker may be handed this format. Wine's picker
// keeps a fixed number of parts (fields and the literal runs between them)
// and a fixed text buffer, and overruns both on a longer format; a format
// that fails here is not shown at all. Parts are counted as generously as
// any picker counts them.
constexpr size_t kMaxPickerFormatParts = 64;
constexpr size_t kMaxPickerFormatChars = 128;
size_t DateFormatParts(std::wstring_view format) noexcept;
// A null format is the picker's default; the picker reads up to the first NUL.
bool PickerCanTakeFormat(const wchar_t* format) noexcept;

// A hidden date-time picker, used only for its format language. Created on
// first use on the calling thread, destroyed with its owner.
class CFormatPicker {
public:
    CFormatPicker() = default;
    ~CFormatPicker();
    CFormatPicker(const CFormatPicker&) = delete;
    CFormatPicker& operator=(const CFormatPicker&) = delete;

    // Null when the window cannot be made (no window station, say).
    HWND Window();

private:
    HWND m_hwndParent = nullptr;
    HWND m_hwndPicker = nullptr;
};

// The display text of a value for a cell type code (0 Boolean .. 7 Date;
// any other code shows the value as a string), in UTF-16: every character
// of a string, a format or the locale's symbols comes through as it is.
// A value that cannot take the type shows as empty text. Dates are formatted through `picker` when it is a live window,
// otherwise through a picker made for this call.
std::wstring FormatCellText(const VARIANT& value, int ctype, BSTR numFormat, BSTR dtFormat,
                            HWND picker = nullptr);

// Keeps one picker across calls, which painting a screen of dates needs.
// The control hands in its own picker while its window exists; without one
// the formatter makes and keeps a private picker.
class CValueFormatter {
public:
    void UsePicker(HWND picker) noexcept { m_hwndExternal = picker; }

    std::wstring FormatCellText(const VARIANT& value, int ctype, BSTR numFormat, BSTR dtFormat);
    // The display text of a cell: its value through its type and formats.
    std::wstring FormatCellText(const CCellRef& cell);

private:
    HWND m_hwndExternal = nullptr;
    CFormatPicker m_ownPicker;
};

} // namespace model
