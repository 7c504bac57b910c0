#include "console_io.h"

#include <algorithm>

#if defined(_WIN32)
#include <windows.h>
#include <shellapi.h>

#include "text/unicode.h"
#endif

namespace vemo::cli {

#if defined(_WIN32)

namespace {

// WriteConsoleW takes a 32-bit count; pieces of this many units stay well under it.
constexpr size_t kConsolePiece = 16 * 1024;

// The console behind the stream, or null when the stream goes to a file or a pipe.
HANDLE ConsoleOf(std::FILE* stream) {
    HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) return nullptr;
    return handle;
}

}  // namespace

std::vector<std::string> Arguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    arguments.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) arguments.push_back(FromWide(wide[i]));
    LocalFree(wide);
    return arguments;
}

void Write(std::FILE* stream, std::string_view utf8) {
    HANDLE console = ConsoleOf(stream);
    if (!console) {
        std::fwrite(utf8.data(), 1, utf8.size(), stream);
        return;
    }
    std::fflush(stream);  // what went out through the stream comes first
    const std::wstring wide = ToWide(utf8);
    for (size_t at = 0; at < wide.size();) {
        const DWORD count = static_cast<DWORD>(std::min(kConsolePiece, wide.size() - at));
        DWORD written = 0;
        if (!WriteConsoleW(console, wide.data() + at, count, &written, nullptr) || written == 0) return;
        at += written;
    }
}

#else

std::vector<std::string> Arguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

void Write(std::FILE* stream, std::string_view utf8) { std::fwrite(utf8.data(), 1, utf8.size(), stream); }

#endif

}  // namespace vemo::cli
