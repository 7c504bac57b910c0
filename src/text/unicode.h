// Text inside the plug-in is UTF-8; it becomes UTF-16 only where it meets Windows. This
// is the one pair of conversions between them. Both are strict: a surrogate pair is one
// character, and whatever is not a character (a lone surrogate, a stray, cut-off or
// overlong UTF-8 byte sequence, a code point above U+10FFFF) becomes U+FFFD, so that a
// broken name shows where it is broken instead of losing letters without a trace.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vemo {

constexpr char32_t kReplacementCharacter = 0xFFFD;

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// The text with every invalid sequence replaced by U+FFFD (valid text stays as it is).
std::string ValidUtf8(std::string_view text);
bool IsValidUtf8(std::string_view text);

// UTF-16 units of a UTF-8 text: what Windows counts in its name and path limits.
size_t Utf16Length(std::string_view utf8);

// The longest start of a UTF-8 text that is at most maxBytes long and ends at a
// character's end, so that a cut never splits one.
std::string_view Utf8Prefix(std::string_view utf8, size_t maxBytes);

// The same within maxUnits UTF-16 units, the measure of Windows' name and path limits.
std::string_view Utf16Prefix(std::string_view utf8, size_t maxUnits);

// The code points of a UTF-8 text, one at a time (invalid sequences as U+FFFD).
// Returns false at the end.
bool NextCodePoint(std::string_view utf8, size_t& at, char32_t& codePoint);
void AppendUtf8(std::string& out, char32_t codePoint);

#if defined(_WIN32)
// The forms the wide Windows calls take and give (wchar_t is a UTF-16 unit there).
std::wstring ToWide(std::string_view utf8);
std::string FromWide(std::wstring_view wide);
// Null gives "".
std::string FromWide(const wchar_t* wide);
#endif

}  // namespace vemo
