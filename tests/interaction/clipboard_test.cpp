// Copy, cut and paste through the window messages and the hook's
// shortcuts, read and written as another program sees the clipboard.
// The text itself first: tab-separated from a rectangle of cells, and pasted
// text back into fields with their offsets.
#include <thread>

#include "interaction/ClipboardText.h"
#include "interaction/keyed_grid.h"
#include "support/msgbox.h"

namespace {

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

using keys_test::ClipboardBytes;
using keys_test::ClipboardUnicode;
using keys_test::PutClipboard;

struct Clipboard : keys_test::KeyedGrid {
    void Send(UINT msg) const { SendMessageW(grid.Window(), msg, 0, 0); }
};

TEST_F(Clipboard, CopyAndCutLayOutRowsAndFieldsInBothFormats)
{
    Fill2x2();
    grid->SetFocusCell(2, 1);
    EXPECT_EQ(S_OK, Chord({VK_CONTROL}, 'C'));
    EXPECT_EQ("a\tb\r\nc\td", ClipboardBytes(CF_TEXT));
    EXPECT_EQ(L"a\tb\r\nc\td", ClipboardUnicode());

    grid->Selection().SetSelectedRange(3, 1, 3, 1);
    Chord({VK_CONTROL}, VK_INSERT);
    EXPECT_EQ("c", ClipboardBytes(CF_TEXT));

    // The value's own text, not its display pattern.
    CCellRef cell = grid->GetCell(4, 4);
    cell.SetType(4);
    VARIANT v;
    v.vt = VT_R8;
    v.dblVal = 1.25;
    cell.SetValue(v);
    cell.SetNumFormat(fw::Bstr(L"0.000").Get());
    grid->Selection().SetSelectedRange(4, 4, 4, 4);
    Send(WM_COPY);
    EXPECT_EQ("1.25", ClipboardBytes(CF_TEXT));

    // Nothing selected: an empty text.
    Itf()->ClearSelection();
    Events();
    Send(WM_COPY);
    EXPECT_EQ("", ClipboardBytes(CF_TEXT));
    EXPECT_EQ(L"", ClipboardUnicode());
    EXPECT_TRUE(Events().empty());  // copy raises nothing

    // Cut copies every cell and clears those whose edit is not cancelled.
    Fill2x2();
    grid->Selection().SetSelectedRange(2, 1, 2, 2);
    grid->SetFocusCell(2, 1);
    sink.onEvent = [](DISPID id, DISPPARAMS* p) {
        if (id == 1 && p->cArgs == 4 && p->rgvarg[2].iVal == 2) *p->rgvarg[0].pboolVal = VARIANT_TRUE;
    };
    Chord({VK_CONTROL}, 'X');
    EXPECT_EQ("a\tb", ClipboardBytes(CF_TEXT));
    EXPECT_EQ(VT_EMPTY, Type(2, 1));
    EXPECT_EQ(L"b", Text(2, 2));

    // Nothing selected: the current cell is cut, and so on the clipboard.
    Itf()->ClearSelection();
    grid->SetFocusCell(3, 1);
    Send(WM_CUT);
    EXPECT_EQ("c", ClipboardBytes(CF_TEXT));
    EXPECT_EQ(VT_EMPTY, Type(3, 1));

    // Text outside the code page round-trips.
    const std::wstring greeting = L"Gr\u00FC\u00DFe";
    const std::wstring russian = L"\u041F\u0440\u0438\u0432\u0435\u0442";
    grid.SetText(2, 1, greeting.c_str());
    grid.SetText(2, 2, russian.c_str());
    grid->Selection().SetSelectedRange(2, 1, 2, 2);
    Send(WM_COPY);
    EXPECT_EQ(greeting + L"\t" + russian, ClipboardUnicode());

    grid.SetText(2, 1, L"");
    grid.SetText(2, 2, L"");
    grid->SetFocusCell(2, 1);
    Send(WM_PASTE);
    EXPECT_EQ(greeting, Text(2, 1));
    EXPECT_EQ(russian, Text(2, 2));
}

TEST_F(Clipboard, PasteFillsFromTheCurrentCellWithinTheGrid)
{
    ASSERT_TRUE(PutClipboard(L"1\t2\r\n3\t4"));
    grid.SetText(0, 0, L"head");
    Send(WM_PASTE);  // no current cell: nothing, not even the header
    EXPECT_EQ(L"head", Text(0, 0));

    for (int row = 0; row < 10; ++row) grid->GetCell(row, 3).SetType(1);
    grid->GetCell(5, 4).Set(&CellAttrs::editable, 0);  // paste ignores it
    grid->SetFocusCell(5, 3);
    Events();
    EXPECT_EQ(S_OK, Chord({VK_CONTROL}, 'V'));
    EXPECT_TRUE(Events().empty());
    EXPECT_EQ(VT_I4, Type(5, 3));
    EXPECT_EQ(L"1", Text(5, 3));
    EXPECT_EQ(L"2", Text(5, 4));
    EXPECT_EQ(L"3", Text(6, 3));
    EXPECT_EQ(L"4", Text(6, 4));

    // Last column and last row: the rest falls off the grid.
    grid->SetFocusCell(9, 9);
    Chord({VK_SHIFT}, VK_INSERT);
    EXPECT_EQ(L"1", Text(9, 9));
    EXPECT_EQ(10, grid->Grid().Rows());
    EXPECT_EQ(10, grid->Grid().Cols());

    // A final line break writes no extra cell.
    grid.SetText(8, 1, L"below");
    grid->SetFocusCell(7, 1);
    ASSERT_TRUE(PutClipboard(L"x\r\n"));
    Send(WM_PASTE);
    EXPECT_EQ(L"x", Text(7, 1));
    EXPECT_EQ(L"below", Text(8, 1));

    // No text on the clipboard: nothing.
    ASSERT_TRUE(PutClipboard(nullptr));
    Send(WM_PASTE);
    EXPECT_EQ(L"x", Text(7, 1));
}


TEST_F(Clipboard, BusyClipboardShowsOneErrorAndKeepsEverything)
{
    ASSERT_TRUE(PutClipboard(L"old"));
    Fill2x2();
    grid->SetFocusCell(2, 1);

    HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        const BOOL open = OpenClipboard(nullptr);
        SetEvent(opened);
        WaitForSingleObject(done, 10000);
        if (open) CloseClipboard();
    });
    WaitForSingleObject(opened, 10000);
    {
        test::MessageBoxCatcher boxes;
        Send(WM_COPY);
        Send(WM_CUT);
        ASSERT_EQ(2u, boxes.Boxes().size());
        EXPECT_EQ(L"Error", boxes.Boxes()[0].caption);
        EXPECT_FALSE(boxes.Boxes()[0].text.empty());
    }
    SetEvent(done);
    holder.join();
    CloseHandle(opened);
    CloseHandle(done);

    EXPECT_EQ(L"old", ClipboardUnicode());
    EXPECT_EQ(L"a", Text(2, 1));  // a failed cut clears nothing
}

} // namespace
