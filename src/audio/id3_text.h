// Text of ID3v2 frames. A frame names one of four encodings in its first data byte:
// 0 ISO-8859-1, 1 UTF-16 with a byte-order mark, 2 UTF-16 big-endian, 3 UTF-8. Strings
// end at a terminator of their encoding (one zero byte, or two at an even offset for
// UTF-16). Every string comes out as UTF-8. The Unicode encodings are decoded whole,
// with U+FFFD where the bytes hold no character. Frames labelled ISO-8859-1 are read in
// the system's code page, as the plug-in has always shown them: many old files hold
// Cyrillic and other code-page text under that label.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vemo {

enum ID3Encoding : uint8_t { kLatin1 = 0, kUtf16Bom = 1, kUtf16Be = 2, kUtf8 = 3 };

// Index of the terminator of the first string in data, or data.size() when it has none.
size_t ID3TerminatorIndex(uint8_t encoding, std::span<const uint8_t> data);
// Bytes of one terminator: 2 for the UTF-16 encodings, else 1.
size_t ID3TerminatorLength(uint8_t encoding);

// The first string of data, up to its terminator, in UTF-8. An encoding above 3 is
// taken as code-page text, as encoding 0 is.
std::string DecodeID3String(uint8_t encoding, std::span<const uint8_t> data);
// Every non-empty string of data, joined with " / " (several values of one frame).
std::string DecodeID3Strings(uint8_t encoding, std::span<const uint8_t> data);

// The data of a text frame the plug-in writes: the encoding byte, then the text without
// a terminator. ISO-8859-1 when every character is in U+0000..U+00FF (any reader shows
// that alike), else UTF-8 in a 2.4 tag, and UTF-16 with the byte-order mark FF FE in a
// 2.3 tag, which knows no UTF-8. Invalid UTF-8 is written as U+FFFD.
std::vector<uint8_t> EncodeID3Text(std::string_view utf8, uint8_t majorVersion);

}  // namespace vemo
