// The system's 8-bit code page (the one Windows calls "ANSI"), met where old data holds
// 8-bit text: ID3v1 tags and ISO-8859-1-labelled ID3v2 frames as the plug-in has always
// shown them, the answers of an older player, and the settings keys that older copies
// of the plug-in read. Windows builds convert with the system's own tables, so double-
// byte code pages work too; elsewhere the code page is Windows-1252.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vemo {

// Code-page bytes as UTF-8. Every byte sequence has a meaning, so nothing is lost.
std::string CodePageToUtf8(std::string_view bytes);
// The code-page bytes of a UTF-8 text; nothing when a character has no byte of its own
// there (no look-alike and no "?" is ever put in its place).
std::optional<std::string> Utf8ToCodePage(std::string_view utf8);
// The code-page bytes with "?" for each UTF-16 unit the code page lacks, as a program
// that knows only the code page sees the text. Never to be taken for the text itself.
std::string Utf8ToCodePageLossy(std::string_view utf8);
// Whether the text goes into the code page and back unchanged.
bool ConvertsLosslessly(std::string_view utf8);

// Tests: one of the built-in tables (1251 Cyrillic, 1252 Western) in place of the
// system's code page; 0 goes back to the system's. The number in use.
void UseCodePageForTests(unsigned codePage);
unsigned CurrentCodePage();

namespace code_page_detail {
// The system's own conversions (Windows), or nothing where the built-in table serves.
std::optional<std::string> SystemToUtf8(std::string_view bytes);
std::optional<std::optional<std::string>> SystemFromUtf8(std::string_view utf8);
unsigned SystemCodePage();
}  // namespace code_page_detail

}  // namespace vemo
