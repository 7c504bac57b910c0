// Away from Windows there is no system code page: the built-in Windows-1252 serves.
#include "text/code_page.h"

namespace vemo::code_page_detail {

std::optional<std::string> SystemToUtf8(std::string_view) { return std::nullopt; }
std::optional<std::optional<std::string>> SystemFromUtf8(std::string_view) { return std::nullopt; }
unsigned SystemCodePage() { return 0; }

}  // namespace vemo::code_page_detail
