#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "text/text.h"

namespace vemo {
namespace {

TEST(NumToStr, PlainAndTwoDigitForms) {
    struct Case { bool two; int64_t value; const char* want; };
    const Case cases[] = {
        {false, 0, "0"}, {true, 0, "00"}, {true, 7, "07"}, {true, 42, "42"}, {false, 7, "7"},
        {false, 100, "100"}, {true, 100, "100"},
        {false, 1234567890, "1234567890"}, {false, 9999999999, "9999999999"},
        // Beyond ten digits every digit is still written.
        {false, 12345678901, "12345678901"}, {false, INT64_MAX, "9223372036854775807"},
        // Negative values carry a leading minus, also with the two-digit form.
        {false, -5, "-5"}, {true, -5, "-05"}, {false, INT64_MIN, "-9223372036854775808"},
    };
    for (const Case& c : cases) EXPECT_EQ(NumToStr(c.two, c.value), c.want) << c.value;
}

TEST(PCharToStr, NullIsEmpty) {
    EXPECT_EQ(PCharToStr(nullptr), "");
    EXPECT_EQ(PCharToStr(""), "");
    EXPECT_EQ(PCharToStr("abc"), "abc");
}

TEST(StrScan, FindsFirstAndLastAndTheTerminator) {
    const char* path = "C:\\Music\\a.b.mp3";
    EXPECT_EQ(StrRScan(path, '.'), path + 12);  // the dot before mp3
    EXPECT_EQ(StrRScan(path, '\\'), path + 8);  // before a.b.mp3
    EXPECT_EQ(StrScan(path, '.'), path + 10);
    EXPECT_EQ(StrScan(path, '\\'), path + 2);
    EXPECT_EQ(StrRScan("noext", '.'), nullptr);
    EXPECT_EQ(StrScan("noext", '.'), nullptr);
    EXPECT_EQ(StrScan(path, '\0'), path + std::strlen(path));
    EXPECT_EQ(StrRScan(path, '\0'), path + std::strlen(path));
    EXPECT_EQ(StrScan(static_cast<const char*>(nullptr), 'a'), nullptr);
    EXPECT_EQ(StrRScan(static_cast<const char*>(nullptr), 'a'), nullptr);
    EXPECT_EQ(StrScan("", '\0'), StrRScan("", '\0'));
}

TEST(StrUpper, OnlyAsciiLettersChange) {
    char text[] = "abz AZ 09 \xE9\xE0 {}";
    EXPECT_EQ(StrUpper(text), text);
    EXPECT_STREQ(text, "ABZ AZ 09 \xE9\xE0 {}");
    char empty[] = "";
    EXPECT_STREQ(StrUpper(empty), "");
}

TEST(Trim, RemovesControlAndBlankAtBothEnds) {
    EXPECT_EQ(Trim("\t  "), "");
    EXPECT_EQ(Trim(" x\r"), "x");
    EXPECT_EQ(Trim(""), "");
    EXPECT_EQ(Trim(std::string("\0a b\x1f", 5)), "a b");
    // Bytes above 127 are not blanks.
    EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");
}

TEST(MinMax, Signed) {
    EXPECT_EQ(Max(-1, 1), 1);
    EXPECT_EQ(Min(-1, 1), -1);
    EXPECT_EQ(Max(INT32_MIN, INT32_MAX), INT32_MAX);
    EXPECT_EQ(Min(5, 5), 5);
}

TEST(StrToIntVal, DecimalHexSignsAndBadCharacters) {
    struct Case { const char* text; int32_t want; };
    const Case cases[] = {
        {"12a", 12}, {"-5", -5}, {"-5x", 5}, {"$1F", 31}, {"", 0}, {"+7", 7}, {"  42", 42},
        {"x1f", 31}, {"X1F", 31}, {"0x1F", 31}, {"0", 0}, {"abc", 0}, {"-", 0}, {"$", 0},
        {"8 90", 8}, {"1\r\n", 1}, {"\t5", 0}, {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN},
        // Overflow wraps as 32-bit two's complement.
        {"2147483648", INT32_MIN}, {"4294967296", 0}, {"4294967297", 1}, {"$FFFFFFFF", -1},
        {"99999999999999999999", static_cast<int32_t>(0x630FFFFFu)},
    };
    for (const Case& c : cases) EXPECT_EQ(StrToIntVal(c.text), c.want) << '"' << c.text << '"';
}

TEST(MakeValidFileName, ReplacesEveryReservedCharacter) {
    EXPECT_EQ(MakeValidFileName("AC/DC: Live?"), "AC_DC_ Live_");
    EXPECT_EQ(MakeValidFileName("\\/:*?\"<>|"), "_________");
    EXPECT_EQ(MakeValidFileName(""), "");
    // Windows refuses control characters in names too; bytes from 127 up are fine.
    EXPECT_EQ(MakeValidFileName("a\tb\x01\x1f\r\n.\x7f\xE9 "), "a_b____.\x7f\xE9 ");
    EXPECT_EQ(MakeValidFileName(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(TrackFileName, FromArtistAndTitle) {
    struct Case { const char* artist; const char* title; const char* want; };
    const Case cases[] = {
        {"Foo/Bar", "Baz", "Foo_Bar - Baz.mp3"},
        {"Artist", "", "Artist.mp3"},
        {"", "Title", ""},  // without an artist there is no name
        {"", "", ""},
        {"A\tB", "C\r\n", "A_B - C__.mp3"},
        {"...", "", ""},
        {" . ", "", ""},
        {"Mr.", "", "Mr_.mp3"},  // Windows would silently drop trailing dots and blanks
        {"Band", "Vol. 2. ", "Band - Vol. 2__.mp3"},
        {"con", "", "con_.mp3"},
        {"Nul ", "", "Nul_.mp3"},
        {"CON.", "", "CON_.mp3"},
        {"aux", "x", "aux - x.mp3"},  // only the whole stem is a device
        {"com1", "", "com1_.mp3"},
        {"LPT9", "", "LPT9_.mp3"},
        {"COM0", "", "COM0.mp3"},
        {"COM10", "", "COM10.mp3"},
        {"prn.live", "", "prn_.live.mp3"},  // a device with any extension is the device
        {"Con .x", "", "Con_ .x.mp3"},
        {".hidden", "", ".hidden.mp3"},
        {"///", "", "___.mp3"},
    };
    for (const Case& c : cases) EXPECT_EQ(TrackFileName(c.artist, c.title), c.want) << c.artist << " / " << c.title;
}

// Letters of every script stay whole; only what Windows refuses is mended, next to them.
TEST(TrackFileName, LettersOfAnyScriptStay) {
    const std::string kino = "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE";
    const std::string krovi = "\xD0\x93\xD1\x80\xD1\x83\xD0\xBF\xD0\xBF\xD0\xB0 \xD0\xBA\xD1\x80\xD0\xBE\xD0\xB2\xD0\xB8";
    const std::string nihongo = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";
    const std::string so = "\xE3\x82\xBD";  // its second byte, 0x82, is no separator, nor is 0x5C in any UTF-8
    const std::string note = "\xF0\x9F\x8E\xB5";
    const std::string fffd = "\xEF\xBF\xBD";
    struct Case { std::string artist, title, want; };
    const Case cases[] = {
        {kino, krovi, kino + " - " + krovi + ".mp3"},
        {nihongo, so + "?", nihongo + " - " + so + "_.mp3"},
        {note + "/" + note, "", note + "_" + note + ".mp3"},
        {"Beyonc\xC3\xA9", "D\xC3\xA9j\xC3\xA0 vu.", "Beyonc\xC3\xA9 - D\xC3\xA9j\xC3\xA0 vu_.mp3"},
        {kino + " . ", "", kino + "___.mp3"},
        {fffd, "", fffd + ".mp3"},
        {"\xD0\xA1ON", "", "\xD0\xA1ON.mp3"},  // a Cyrillic "C": no device
    };
    for (const Case& c : cases) EXPECT_EQ(TrackFileName(c.artist, c.title), c.want) << c.artist << " / " << c.title;
}

// Windows counts a path in UTF-16 units: one for a letter of any script, two for a
// character above U+FFFF; bytes of UTF-8 are no measure.
TEST(FitsPathLimit, TwoHundredFiftyNineUtf16Units) {
    auto repeat = [](const std::string& piece, size_t times) {
        std::string text;
        for (size_t i = 0; i < times; ++i) text += piece;
        return text;
    };
    const struct {
        std::string path;
        bool fits;
    } cases[] = {
        {std::string(kMaxPathLength, 'a'), true},
        {std::string(kMaxPathLength + 1, 'a'), false},
        {"", true},
        {repeat("\xD0\x96", kMaxPathLength), true},        // 518 bytes
        {repeat("\xD0\x96", kMaxPathLength + 1), false},
        {repeat("\xE6\x97\xA5", kMaxPathLength), true},    // 777 bytes
        {repeat("\xF0\x9F\x8E\xB5", 129) + "a", true},     // 258 + 1 units
        {repeat("\xF0\x9F\x8E\xB5", 130), false},          // 260 units in 130 characters
    };
    for (const auto& c : cases) EXPECT_EQ(FitsPathLimit(c.path), c.fits) << c.path.size() << " bytes";
}

TEST(SyncSafe, EncodesSevenBitGroupsAndSwaps) {
    EXPECT_EQ(SyncSafe(200), 0x148u);
    EXPECT_EQ(SyncSafe(0x0FFFFFFFu), 0x7F7F7F7Fu);
    EXPECT_EQ(SyncSafe(0xF0000000u), 0u);  // bits above 27 are lost
    EXPECT_EQ(SwapBytes(0x148u), 0x48010000u);
    EXPECT_EQ(SwapBytes(0x11223344u), 0x44332211u);
    uint32_t stored = SwapBytes(SyncSafe(200));
    unsigned char bytes[4];
    std::memcpy(bytes, &stored, 4);  // little-endian memory, as on every target
    EXPECT_EQ(bytes[0], 0x00); EXPECT_EQ(bytes[1], 0x00); EXPECT_EQ(bytes[2], 0x01); EXPECT_EQ(bytes[3], 0x48);
    EXPECT_EQ(SyncSafeDecode(bytes), 200u);
    for (uint32_t n : {0u, 1u, 127u, 128u, 16383u, 16384u, 0x0FFFFFFFu}) {
        uint32_t be = SwapBytes(SyncSafe(n));
        uint8_t b[4];
        std::memcpy(b, &be, 4);
        EXPECT_EQ(SyncSafeDecode(b), n);
    }
}

}  // namespace
}  // namespace vemo
