#include "control/Trace.h"

#include <windows.h>
#include <cstring>
#include <memory>
#include <type_traits>

namespace trace {

namespace {

struct FileCloser {
    void operator()(HANDLE file) const noexcept { CloseHandle(file); }
};
using UniqueFile = std::unique_ptr<std::remove_pointer_t<HANDLE>, FileCloser>;

} // namespace

const char* TracePath() noexcept
{
    return "c:\\tmp\\log";
}

void TraceLine(const char* text) noexcept
{
    // The file ends up holding exactly this line. Writing over the old line
    // and cutting the file after it leaves the same file as truncating on
    // open, but is cheaper: a file emptied on open makes its first write
    // allocate afresh, and every paint writes a line.
    HANDLE raw = CreateFileA(TracePath(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (raw == INVALID_HANDLE_VALUE) return;
    UniqueFile file(raw);
    DWORD written = 0;
    WriteFile(file.get(), text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
    WriteFile(file.get(), "\n", 1, &written, nullptr);
    SetEndOfFile(file.get());
}

} // namespace trace
