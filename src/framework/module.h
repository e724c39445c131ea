// Process-wide state of the server module: its instance handle and its lock count.
#pragma once

#include <windows.h>
#include <string>

namespace fw {

class Module {
public:
    static void Init(HINSTANCE instance) noexcept { s_instance = instance; }
    static HINSTANCE Instance() noexcept { return s_instance; }

    // Live objects and LockServer locks both keep the module loaded.
    static LONG Lock() noexcept { return InterlockedIncrement(&s_locks); }
    static LONG Unlock() noexcept { return InterlockedDecrement(&s_locks); }
    static LONG LockCount() noexcept { return s_locks; }

    // Full path of the module file, as registration and type-library loading need it.
    static std::wstring FilePath();

private:
    static inline HINSTANCE s_instance = nullptr;
    static inline LONG s_locks = 0;
};

} // namespace fw
