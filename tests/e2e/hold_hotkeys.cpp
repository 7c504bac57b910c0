// Holds hotkeys from a process of its own, as another program on the desktop does:
//   e2e_hold_hotkeys MILLISECONDS MODIFIERS KEY [MODIFIERS KEY ...]
// registers each combination, prints "held" once all are held, keeps them for the
// time given and lets them go by ending. Exit code 0, or the system's error code of the
// first combination it could not have.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 4 || argc % 2 != 0) return 87;  // ERROR_INVALID_PARAMETER
    for (int i = 2; i + 1 < argc; i += 2) {
        const UINT modifiers = static_cast<UINT>(std::strtoul(argv[i], nullptr, 0));
        const UINT key = static_cast<UINT>(std::strtoul(argv[i + 1], nullptr, 0));
        if (!RegisterHotKey(nullptr, i, modifiers, key)) return static_cast<int>(GetLastError());
    }
    std::puts("held");
    std::fflush(stdout);
    const DWORD until = GetTickCount() + static_cast<DWORD>(std::strtoul(argv[1], nullptr, 0));
    while (static_cast<LONG>(until - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(20);
    }
    return 0;
}
