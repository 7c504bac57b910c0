#include <gtest/gtest.h>

#include "audio/id3_text.h"
#include "fixtures/audio_fixtures.h"
#include "text/code_page.h"
#include "text/unicode.h"

namespace vemo {
namespace {

using test::Bytes;

// The code page a case picks is the system's again afterwards.
class ID3Text : public ::testing::Test {
protected:
    void TearDown() override { UseCodePageForTests(0); }
};

struct DecodeCase {
    const char* name;
    unsigned codePage;
    uint8_t encoding;
    std::string bytes;
    std::string expected;  // UTF-8
};

TEST_F(ID3Text, EveryEncodingDecodesToUtf8) {
    const std::string kFFFD = "\xEF\xBF\xBD";
    const DecodeCase cases[] = {
        // Encoding 0 and unknown ones: the code page's reading, as the popups always had it.
        {"latin1 label under 1252", 1252, kLatin1, "Caf\xE9 \x80", "Caf\xC3\xA9 \xE2\x82\xAC"},
        {"latin1 label, cyrillic bytes, under 1251", 1251, kLatin1, "\xCA\xE8\xED\xEE", "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE"},
        {"the same bytes under 1252", 1252, kLatin1, "\xCA\xE8\xED\xEE", "\xC3\x8A\xC3\xA8\xC3\xAD\xC3\xAE"},
        {"unknown encoding under 1251", 1251, 7, "\xC6!", "\xD0\x96!"},
        // UTF-16: both byte orders, pairs kept, broken units visible.
        {"utf16 little-endian bom", 1252, kUtf16Bom, std::string("\xFF\xFE" "C\0" "\xE9\0", 6), "C\xC3\xA9"},
        {"utf16 big-endian bom", 1252, kUtf16Bom, std::string("\xFE\xFF" "\0C" "\0\xE9", 6), "C\xC3\xA9"},
        {"utf16 without bom reads little-endian", 1252, kUtf16Bom, std::string("A\0B\0", 4), "AB"},
        {"utf16be cyrillic", 1252, kUtf16Be, std::string("\x04\x16\x04\x10", 4), "\xD0\x96\xD0\x90"},
        {"utf16 japanese", 1251, kUtf16Bom, std::string("\xFF\xFE" "\xE5\x65" "\x2C\x67", 6), "\xE6\x97\xA5\xE6\x9C\xAC"},
        {"utf16be surrogate pair", 1252, kUtf16Be, std::string("\xD8\x3C\xDF\xB5\0!", 6), "\xF0\x9F\x8E\xB5!"},
        {"utf16le surrogate pair", 1252, kUtf16Bom, std::string("\xFF\xFE" "\x3C\xD8\xB5\xDF", 6), "\xF0\x9F\x8E\xB5"},
        {"utf16 lone low surrogate", 1252, kUtf16Be, std::string("\xDC\x00\0!", 4), kFFFD + "!"},
        {"utf16 high surrogate before a letter", 1252, kUtf16Be, std::string("\xD8\x3C\0!", 4), kFFFD + "!"},
        {"utf16 high surrogate at the end", 1252, kUtf16Be, std::string("\0a\xD8\x3C", 4), "a" + kFFFD},
        {"utf16 C1 control kept", 1252, kUtf16Be, std::string("\x00\x85", 2), "\xC2\x85"},
        {"utf16 odd trailing byte", 1252, kUtf16Be, std::string("\0A\x41", 3), "A" + kFFFD},
        {"utf16 one-byte terminator", 1252, kUtf16Be, std::string("\0A\0", 3), "A"},
        // UTF-8: whole, whatever the code page; broken sequences visible, never swallowing.
        {"utf8 under 1251", 1251, kUtf8, "Caf\xC3\xA9 \xD0\x96", "Caf\xC3\xA9 \xD0\x96"},
        {"utf8 emoji", 1252, kUtf8, "\xF0\x9F\x8E\xB5!", "\xF0\x9F\x8E\xB5!"},
        {"utf8 bom skipped", 1252, kUtf8, "\xEF\xBB\xBFok", "ok"},
        {"utf8 cut sequence", 1252, kUtf8, "a\xC3", "a" + kFFFD},
        {"utf8 stray continuation", 1252, kUtf8, "\x80z", kFFFD + "z"},
        {"utf8 overlong slash", 1252, kUtf8, "\xC0\xAFz", kFFFD + kFFFD + "z"},
        {"utf8 encoded surrogate", 1252, kUtf8, "\xED\xA0\xBCz", kFFFD + kFFFD + kFFFD + "z"},
    };
    for (const DecodeCase& c : cases) {
        UseCodePageForTests(c.codePage);
        EXPECT_EQ(DecodeID3String(c.encoding, Bytes(c.bytes)), c.expected) << c.name;
    }
}

TEST_F(ID3Text, FirstStringEndsAtTerminatorOfItsEncoding) {
    EXPECT_EQ(DecodeID3String(kLatin1, Bytes(std::string("Song\0junk", 9))), "Song");
    EXPECT_EQ(DecodeID3String(kUtf8, Bytes(std::string("Song\0", 5))), "Song");
    // A zero byte inside a UTF-16 character is not a terminator; only an aligned pair is.
    std::string utf16("\0A\x01\0\0\0\0B", 8);
    EXPECT_EQ(ID3TerminatorIndex(kUtf16Be, Bytes(utf16)), 4u);
    EXPECT_EQ(DecodeID3String(kUtf16Be, Bytes(utf16)), "A\xC4\x80");
    EXPECT_EQ(ID3TerminatorIndex(kLatin1, Bytes("none")), 4u);
}

TEST_F(ID3Text, SeveralValuesJoinWithSlashAndSkipEmptyOnes) {
    EXPECT_EQ(DecodeID3Strings(kLatin1, Bytes(std::string("A\0B\0", 4))), "A / B");
    EXPECT_EQ(DecodeID3Strings(kLatin1, Bytes(std::string("A\0\0B", 4))), "A / B");
    EXPECT_EQ(DecodeID3Strings(kLatin1, Bytes(std::string("\0", 1))), "");
    // Every UTF-16 value carries its own byte-order mark.
    std::string twoValues("\xFF\xFE" "A\0" "\0\0" "\xFE\xFF" "\0B", 10);
    EXPECT_EQ(DecodeID3Strings(kUtf16Bom, Bytes(twoValues)), "A / B");
    // A pair is never taken apart by the split into values.
    std::string pairs("\xD8\x3C\xDF\xB5" "\0\0" "\x04\x16", 8);
    EXPECT_EQ(DecodeID3Strings(kUtf16Be, Bytes(pairs)), "\xF0\x9F\x8E\xB5 / \xD0\x96");
}

struct EncodeCase {
    const char* name;
    std::string text;  // UTF-8
    uint8_t major;
    std::string data;  // encoding byte and text
};

TEST_F(ID3Text, WrittenTextTakesTheNarrowestEncodingThatHoldsIt) {
    const EncodeCase cases[] = {
        {"ascii", "Song", 3, std::string("\0Song", 5)},
        {"empty", "", 4, std::string("\0", 1)},
        // Latin-1 bytes, not code-page ones: U+00E9 is E9 whatever the system.
        {"latin-1", "Beyonc\xC3\xA9", 3, std::string("\0Beyonc\xE9", 8)},
        {"last latin-1 letter", "\xC3\xBF", 4, std::string("\0\xFF", 2)},
        {"euro sign is not latin-1", "\xE2\x82\xAC", 3, std::string("\x01\xFF\xFE\xAC\x20", 5)},
        {"first letter past latin-1", "\xC4\x80", 3, std::string("\x01\xFF\xFE\x00\x01", 5)},
        {"cyrillic in 2.3", "\xD0\x96", 3, std::string("\x01\xFF\xFE\x16\x04", 5)},
        {"cyrillic in 2.4", "\xD0\x96", 4, std::string("\x03\xD0\x96", 3)},
        {"japanese in 2.4", "\xE6\x97\xA5", 4, std::string("\x03\xE6\x97\xA5", 4)},
        {"emoji as a surrogate pair", "a\xF0\x9F\x8E\xB5", 3, std::string("\x01\xFF\xFE" "a\0" "\x3C\xD8\xB5\xDF", 9)},
        {"invalid utf-8 in 2.3", "\xE9", 3, std::string("\x01\xFF\xFE\xFD\xFF", 5)},
        {"invalid utf-8 in 2.4", "a\xE9", 4, std::string("\x03" "a\xEF\xBF\xBD", 5)},
    };
    for (const EncodeCase& c : cases) {
        const std::vector<uint8_t> data = EncodeID3Text(c.text, c.major);
        EXPECT_EQ(std::string(data.begin(), data.end()), c.data) << c.name;
        // Unicode frames read back exactly, whatever the code page.
        UseCodePageForTests(1251);
        if (data[0] != kLatin1 && IsValidUtf8(c.text)) {
            EXPECT_EQ(DecodeID3String(data[0], std::span<const uint8_t>(data).subspan(1)), c.text) << c.name;
        }
    }
}

}  // namespace
}  // namespace vemo
