#include <gtest/gtest.h>

#include "audio/id3_text.h"
#include "fixtures/audio_fixtures.h"

namespace vemo {
namespace {

using test::Bytes;

struct DecodeCase {
    const char* name;
    uint8_t encoding;
    std::string bytes;
    std::string expected;
};

TEST(ID3Text, EachEncodingDecodesToWindows1252) {
    const DecodeCase cases[] = {
        {"latin1 as it stands", kLatin1, "Caf\xE9", "Caf\xE9"},
        {"utf16 little-endian bom", kUtf16Bom, std::string("\xFF\xFE" "C\0" "\xE9\0", 6), "C\xE9"},
        {"utf16 big-endian bom", kUtf16Bom, std::string("\xFE\xFF" "\0C" "\0\xE9", 6), "C\xE9"},
        {"utf16 without bom reads little-endian", kUtf16Bom, std::string("A\0B\0", 4), "AB"},
        {"utf16be", kUtf16Be, std::string("\0A\0B", 4), "AB"},
        {"utf8 two-byte", kUtf8, "Caf\xC3\xA9", "Caf\xE9"},
        {"utf8 bom skipped", kUtf8, "\xEF\xBB\xBFok", "ok"},
        // The euro sign and the curly quote live in 0x80..0x9F of the code page.
        {"utf8 euro and quote", kUtf8, "\xE2\x82\xAC \xE2\x80\x99", "\x80 \x92"},
        {"utf16 euro", kUtf16Be, std::string("\x20\xAC", 2), "\x80"},
        // Characters the code page cannot hold: one "?" each, a surrogate pair included.
        {"utf8 cyrillic", kUtf8, "\xD0\x96x", "?x"},
        {"utf8 emoji", kUtf8, "\xF0\x9F\x8E\xB5!", "?!"},
        {"utf16 surrogate pair", kUtf16Be, std::string("\xD8\x3C\xDF\xB5\0!", 6), "?!"},
        {"utf16 lone surrogate", kUtf16Be, std::string("\xDC\x00\0!", 4), "?!"},
        {"utf16 C1 control", kUtf16Be, std::string("\x00\x85", 2), "?"},
        // Broken UTF-8 never swallows the characters after it.
        {"utf8 cut sequence", kUtf8, "a\xC3", "a?"},
        {"utf8 stray continuation", kUtf8, "\x80z", "?z"},
        {"utf8 overlong slash", kUtf8, "\xC0\xAFz", "?z"},
        {"utf16 odd trailing byte dropped", kUtf16Be, std::string("\0A\0", 3), "A"},
    };
    for (const DecodeCase& c : cases) {
        EXPECT_EQ(DecodeID3String(c.encoding, Bytes(c.bytes)), c.expected) << c.name;
    }
}

TEST(ID3Text, FirstStringEndsAtTerminatorOfItsEncoding) {
    EXPECT_EQ(DecodeID3String(kLatin1, Bytes(std::string("Song\0junk", 9))), "Song");
    EXPECT_EQ(DecodeID3String(kUtf8, Bytes(std::string("Song\0", 5))), "Song");
    // A zero byte inside a UTF-16 character is not a terminator; only an aligned pair is.
    std::string utf16("\0A\x01\0\0\0\0B", 8);
    EXPECT_EQ(ID3TerminatorIndex(kUtf16Be, Bytes(utf16)), 4u);
    EXPECT_EQ(DecodeID3String(kUtf16Be, Bytes(utf16)), "A?");
    EXPECT_EQ(ID3TerminatorIndex(kLatin1, Bytes("none")), 4u);
}

TEST(ID3Text, SeveralValuesJoinWithSlashAndSkipEmptyOnes) {
    EXPECT_EQ(DecodeID3Strings(kLatin1, Bytes(std::string("A\0B\0", 4))), "A / B");
    EXPECT_EQ(DecodeID3Strings(kLatin1, Bytes(std::string("A\0\0B", 4))), "A / B");
    EXPECT_EQ(DecodeID3Strings(kLatin1, Bytes(std::string("\0", 1))), "");
    // Every UTF-16 value carries its own byte-order mark.
    std::string twoValues("\xFF\xFE" "A\0" "\0\0" "\xFE\xFF" "\0B", 10);
    EXPECT_EQ(DecodeID3Strings(kUtf16Bom, Bytes(twoValues)), "A / B");
}

}  // namespace
}  // namespace vemo
