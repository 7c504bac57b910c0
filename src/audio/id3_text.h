// Text of ID3v2 frames. A frame names one of four encodings in its first data byte:
// 0 ISO-8859-1, 1 UTF-16 with a byte-order mark, 2 UTF-16 big-endian, 3 UTF-8. Strings
// end at a terminator of their encoding (one zero byte, or two at an even offset for
// UTF-16). The plug-in shows 8-bit text in Windows-1252, so every string is converted
// to it, and a character that code page cannot hold becomes "?".
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace vemo {

enum ID3Encoding : uint8_t { kLatin1 = 0, kUtf16Bom = 1, kUtf16Be = 2, kUtf8 = 3 };

// Index of the terminator of the first string in data, or data.size() when it has none.
size_t ID3TerminatorIndex(uint8_t encoding, std::span<const uint8_t> data);
// Bytes of one terminator: 2 for the UTF-16 encodings, else 1.
size_t ID3TerminatorLength(uint8_t encoding);

// The first string of data, up to its terminator, in Windows-1252. An encoding above 3
// is taken as 8-bit text, as it stands.
std::string DecodeID3String(uint8_t encoding, std::span<const uint8_t> data);
// Every non-empty string of data, joined with " / " (several values of one frame).
std::string DecodeID3Strings(uint8_t encoding, std::span<const uint8_t> data);

// The Windows-1252 byte of a Unicode code point, or '?' when it has none.
char CodePointToWindows1252(uint32_t codePoint);

}  // namespace vemo
