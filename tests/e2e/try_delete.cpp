// Deletes one file from a process of its own, as another program on the desktop
// would; the exit code is 0 or the system's error code (32: the file is in use).
#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 2) return 87;  // ERROR_INVALID_PARAMETER
    if (DeleteFileA(argv[1])) return 0;
    return static_cast<int>(GetLastError());
}
