// Tab-separated text from a rectangle of cells, and pasted text back into
// fields with their offsets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interaction/ClipboardText.h"

namespace {

TEST(ClipboardText, BuildsRowsAndFields)
{
    auto name = [](int row, int col, std::wstring& out) {
        out += std::to_wstring(row) + L":" + std::to_wstring(col);
    };
    EXPECT_EQ(L"2:1\t2:2\r\n3:1\t3:2", clip::BuildText(2, 1, 3, 2, name));
    EXPECT_EQ(L"4:4", clip::BuildText(4, 4, 4, 4, name));
    EXPECT_EQ(L"1:1\r\n2:1", clip::BuildText(1, 1, 2, 1, name));
    // Fields are written as they are, separators inside included.
    auto raw = [](int, int col, std::wstring& out) { out += col ? L"x\ty" : L""; };
    EXPECT_EQ(L"\tx\ty", clip::BuildText(0, 0, 0, 1, raw));
}

std::wstring Show(const std::vector<clip::Field>& fields)
{
    std::wstring s;
    for (const clip::Field& f : fields)
        s += L"(" + std::to_wstring(f.row) + L"," + std::to_wstring(f.col) + L")" + std::wstring(f.text) + L";";
    return s;
}

TEST(ClipboardText, SplitsIntoFieldsWithOffsets)
{
    const struct {
        const wchar_t* text;
        const wchar_t* fields;
    } cases[] = {
        {L"1\t2\r\n3\t4", L"(0,0)1;(0,1)2;(1,0)3;(1,1)4;"},
        {L"a\r\n", L"(0,0)a;"},                        // a final line break adds nothing
        {L"a\t", L"(0,0)a;(0,1);"},                    // a final TAB leaves an empty field
        {L"", L"(0,0);"},
        {L"a\nb\rc", L"(0,0)a\nb\rc;"},                // lone LF and CR stay in the field
        {L"a\r\n\r\n", L"(0,0)a;(1,0);"},
        {L"\t\r\nx", L"(0,0);(0,1);(1,0)x;"},
        {L"a\r", L"(0,0)a\r;"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.fields, Show(clip::SplitText(c.text))) << c.text;
}

TEST(ClipboardText, AnsiRoundTripOfTheCodePage)
{
    EXPECT_EQ("a\tb\r\n", clip::ToAnsi(L"a\tb\r\n"));
    EXPECT_EQ(L"a\tb\r\n", clip::FromAnsi("a\tb\r\n"));
    EXPECT_EQ("", clip::ToAnsi(L""));
}

} // namespace
