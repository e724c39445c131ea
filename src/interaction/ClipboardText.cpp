#include "interaction/ClipboardText.h"

#include <windows.h>

#include <climits>

namespace clip {

std::vector<Field> SplitText(std::wstring_view text)
{
    std::vector<Field> fields;
    int row = 0;
    int col = 0;
    size_t start = 0;
    bool endedByBreak = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\t') {
            fields.push_back(Field{row, col, text.substr(start, i - start)});
            if (col < INT_MAX) ++col;
            start = i + 1;
        } else if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
            endedByBreak = i + 2 == text.size();
            fields.push_back(Field{row, col, text.substr(start, i - start)});
            if (row < INT_MAX) ++row;
            col = 0;
            ++i;
            start = i + 1;
        }
    }
    if (!endedByBreak) fields.push_back(Field{row, col, text.substr(start)});
    return fields;
}

std::string ToAnsi(std::wstring_view text)
{
    std::string out;
    if (text.empty() || text.size() > INT_MAX) return out;
    const int length = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return out;
    out.resize(static_cast<size_t>(n));
    WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), length, out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring FromAnsi(std::string_view text)
{
    std::wstring out;
    if (text.empty() || text.size() > INT_MAX) return out;
    const int length = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), length, nullptr, 0);
    if (n <= 0) return out;
    out.resize(static_cast<size_t>(n));
    MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), length, out.data(), n);
    return out;
}

} // namespace clip
