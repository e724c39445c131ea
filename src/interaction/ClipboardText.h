// The text side of the clipboard: a rectangle of cells as tab-separated
// lines, and pasted text back into fields with their offsets from the
// first cell. Plain functions over UTF-16 text; the clipboard itself and
// the cells are Clipboard.cpp's.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace clip {

// Fields TAB-separated, rows CR LF-separated, nothing after the last field
// or row. appendField(row, col, text) appends one cell's text; one buffer
// grows for the whole rectangle. Maxima before their minima count as the
// minima: a rectangle of one.
template <class AppendField>
std::wstring BuildText(int minRow, int minCol, int maxRow, int maxCol, AppendField appendField)
{
    std::wstring text;
    if (maxRow < minRow) maxRow = minRow;
    if (maxCol < minCol) maxCol = minCol;
    for (int row = minRow;; ++row) {
        for (int col = minCol;; ++col) {
            appendField(row, col, text);
            if (col == maxCol) break;
            text += L'\t';
        }
        if (row == maxRow) break;
        text += L"\r\n";
    }
    return text;
}

struct Field {
    int row;  // offset from the first cell
    int col;
    std::wstring_view text;
};

// TAB ends a field, CR LF a row; a lone CR or LF stays inside its field.
// A final CR LF ends the text without one more (empty) field, a final TAB
// leaves an empty field after it, and an empty text is one empty field.
std::vector<Field> SplitText(std::wstring_view text);

// Conversions between UTF-16 and the thread's ANSI code page.
std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view text);

} // namespace clip
