// e2e_short_name PATH: prints the short 8.3 form of PATH, the form in which an older copy
// of the plug-in keeps a folder named outside the code page. Exit code 1 when there is none.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>

int main() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || argc != 2) return 2;
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetShortPathNameW(argv[1], buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    for (DWORD i = 0; i < length; ++i) {
        if (buffer[i] > 0x7F) return 1;  // not a short name an 8-bit reader can take
        std::putchar(static_cast<char>(buffer[i]));
    }
    return 0;
}
