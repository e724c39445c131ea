// Date formats a picker is not handed. Measured through Wine's picker: 127
// parts work and 128 crash the process; one literal run of 256 characters
// works, 300 corrupt the text and 1000 crash. Formats over half of either
// limit show no text.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "framework/com_ptr.h"
#include "model/ValueFormat.h"

using namespace model;

namespace {

std::string Repeat(const std::string& unit, size_t length)
{
    std::string s;
    while (s.size() < length) s += unit;
    s.resize(length);
    return s;
}

std::string DateText(const std::string& format)
{
    fw::Variant v;
    V_VT(&v) = VT_DATE;
    V_DATE(&v) = 36526;  // 1 January 2000
    fw::Bstr dt(std::wstring(format.begin(), format.end()).c_str());
    return FormatCellText(*v.Ptr(), 7, nullptr, dt.Get());
}

TEST(PickerFormat, PartsAreFieldsAndTheLiteralRunsBetweenThem)
{
    const struct {
        const char* format;
        size_t parts;
    } cases[] = {
        {"", 0},
        {"dd.MM.yyyy", 5},
        {"hh:mm:ss tt", 7},
        {"ddddd", 2},          // a fifth d starts another field
        {"yyyyyyyyy", 3},
        {"'d M y' d", 2},      // quoted letters are literal
        {"abc", 1},
        {"dMy", 3},
    };
    for (const auto& c : cases) EXPECT_EQ(c.parts, DateFormatParts(c.format)) << c.format;
}

TEST(PickerFormat, FormatsBeyondTheLimitsShowNoTextAndNeverCrash)
{
    const std::string parts64 = Repeat("d ", 63);       // 32 fields, 31 spaces
    ASSERT_EQ(63u, DateFormatParts(parts64));
    EXPECT_EQ(Repeat("1 ", 63), DateText(parts64));
    EXPECT_NE("", DateText(Repeat("d ", 64)));         // 64 parts
    EXPECT_EQ("", DateText(Repeat("d ", 65)));          // 65 parts
    EXPECT_NE("", DateText(std::string(128, 'q')));
    EXPECT_EQ("", DateText(std::string(129, 'q')));
    // What crashed the process before.
    EXPECT_EQ("", DateText(Repeat("d ", 128)));
    EXPECT_EQ("", DateText(Repeat("dd.MM.yyyy ", 256)));
    EXPECT_EQ("", DateText(std::string(1000, 'q')));
    EXPECT_EQ("", DateText(Repeat("qqqqqqqqqd", 400)));
}

} // namespace
