// Number and text helpers shared by the whole plug-in. Texts are UTF-8 (text/unicode.h);
// an empty string means "no text".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vemo {

// Decimal digits of Value, no blanks or separators; "0" for zero. With TwoDigits a
// single digit gets a leading "0" ("05"). A negative value gets a leading "-".
std::string NumToStr(bool twoDigits, int64_t value);

// The characters up to the terminator; null gives an empty string.
std::string PCharToStr(const char* text);

// First / last occurrence of c; the terminator counts, so c == 0 finds the end.
// Null when c does not occur or text is null.
const char* StrScan(const char* text, char c);
const char* StrRScan(const char* text, char c);
char* StrScan(char* text, char c);
char* StrRScan(char* text, char c);

// a..z to A..Z in place; every other byte stays. Returns text.
char* StrUpper(char* text);

// Removes leading and trailing bytes 0..32.
std::string Trim(std::string_view text);

int32_t Max(int32_t a, int32_t b);
int32_t Min(int32_t a, int32_t b);

// Leading blanks skipped, then an optional sign and decimal digits, or hexadecimal
// digits after "$", "x", "X" or "0x". At the first bad character the value of the
// digits before it is returned without its sign. Overflow wraps as 32-bit two's
// complement rather than being undefined.
int32_t StrToIntVal(std::string_view text);

// \ / : * ? " < > | and the control characters 1 to 31, all refused in Windows file
// names, become "_"; everything else stays. All of them are ASCII, so UTF-8 letters of
// any script stay whole.
std::string MakeValidFileName(std::string_view name);

// The file name a track's tag gives: the artist, or "artist - title" when both are
// given, made valid, with ".mp3". Windows would drop trailing blanks and dots and
// refuses device names (CON, NUL, COM1, ...), so those are mended with "_". "" when
// nothing usable is left.
std::string TrackFileName(std::string_view artist, std::string_view title);

// The longest path Windows takes (MAX_PATH less the terminator), in UTF-16 units.
constexpr size_t kMaxPathLength = 259;
bool FitsPathLimit(std::string_view path);

// ID3v2 size encodings: the low 28 bits spread over four 7-bit groups, and a byte-order swap.
uint32_t SyncSafe(uint32_t value);
uint32_t SwapBytes(uint32_t value);

// The value of four sync-safe bytes, most significant group first: b0*2^21 + b1*2^14 + b2*2^7 + b3.
uint32_t SyncSafeDecode(const uint8_t bytes[4]);

}  // namespace vemo
