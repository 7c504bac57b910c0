// The system's own code-page tables, double-byte ones included.
#include <windows.h>

#include "text/code_page.h"
#include "text/unicode.h"

namespace vemo::code_page_detail {

std::optional<std::string> SystemToUtf8(std::string_view bytes) {
    if (bytes.empty()) return std::string();
    const int size = static_cast<int>(bytes.size());
    const int units = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    if (units <= 0) return std::nullopt;
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, wide.data(), units);
    return FromWide(wide);
}

// A character without a byte of its own would come out as a look-alike ("Lodz" for
// "Łódź") or as "?": the round trip tells, which also covers the code pages in which
// Windows refuses the flag that reports a default character.
std::optional<std::optional<std::string>> SystemFromUtf8(std::string_view utf8) {
    if (utf8.empty()) return std::optional<std::string>(std::string());
    const std::wstring wide = ToWide(utf8);
    const int units = static_cast<int>(wide.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::optional<std::string>();
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), units, bytes.data(), size, nullptr, nullptr);
    const std::optional<std::string> back = SystemToUtf8(bytes);
    if (!back || *back != utf8) return std::optional<std::string>();
    return std::optional<std::string>(std::move(bytes));
}

unsigned SystemCodePage() { return GetACP(); }

}  // namespace vemo::code_page_detail
