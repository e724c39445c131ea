#include "control/Trace.h"

#include <windows.h>
#include <cstring>

namespace trace {

const char* TracePath() noexcept
{
    return "c:\\tmp\\log";
}

void TraceLine(const char* text) noexcept
{
    HANDLE file = CreateFileA(TracePath(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
    WriteFile(file, "\n", 1, &written, nullptr);
    CloseHandle(file);
}

} // namespace trace
