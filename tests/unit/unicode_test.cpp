#include <gtest/gtest.h>

#include "text/code_page.h"
#include "text/unicode.h"

namespace vemo {
namespace {

const std::string kFFFD = "\xEF\xBF\xBD";

TEST(Unicode, Utf8ToUtf16AndBack) {
    struct Case { std::string utf8; std::u16string utf16; };
    const Case cases[] = {
        {"", u""},
        {"abc", u"abc"},
        {"Beyonc\xC3\xA9", u"Beyonc\u00E9"},
        {"\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE", u"\u041A\u0438\u043D\u043E"},       // Кино
        {"\xE3\x82\xBD\xE3\x83\xB3\xE3\x82\xB0", u"\u30BD\u30F3\u30B0"},         // ソング
        {"\xF0\x9F\x8E\xB5!", u"\xD83C\xDFB5!"},                                   // a note above U+FFFF
        {"\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},                                     // the last code point
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
        EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8) << c.utf8;
        EXPECT_TRUE(IsValidUtf8(c.utf8)) << c.utf8;
        EXPECT_EQ(Utf16Length(c.utf8), c.utf16.size()) << c.utf8;
    }
}

TEST(Unicode, WhatIsNoCharacterBecomesOneReplacementEach) {
    struct Case { std::string in; std::string valid; };
    const Case cases[] = {
        {"a\x80z", "a" + kFFFD + "z"},                          // a stray continuation byte
        {"a\xC3", "a" + kFFFD},                                 // cut off at the end
        {"\xC3(", kFFFD + "("},                                 // cut off before ASCII, which is kept
        {"\xC0\xAF", kFFFD + kFFFD},                            // overlong "/" never becomes "/"
        {"\xE0\x80\xAF", kFFFD + kFFFD + kFFFD},
        {"\xED\xA0\x80", kFFFD + kFFFD + kFFFD},                // an encoded surrogate
        {"\xF4\x90\x80\x80", kFFFD + kFFFD + kFFFD + kFFFD},    // above U+10FFFF
        {"\xE3\x82x", kFFFD + "x"},                             // one broken character, one mark
        {"\xFF", kFFFD},
        {kFFFD, kFFFD},                                         // U+FFFD itself is valid
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ValidUtf8(c.in), c.valid) << c.in;
        EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(c.in)), c.valid) << c.in;
        EXPECT_EQ(IsValidUtf8(c.in), c.in == c.valid) << c.in;
    }
}

TEST(Unicode, LoneSurrogatesAreMarkedNotDropped) {
    EXPECT_EQ(Utf16ToUtf8(u"a\xD800z"), "a" + kFFFD + "z");
    EXPECT_EQ(Utf16ToUtf8(u"a\xDC00"), "a" + kFFFD);
    EXPECT_EQ(Utf16ToUtf8(u"\xDC00\xD800"), kFFFD + kFFFD);  // the wrong order is no pair
    EXPECT_EQ(Utf16ToUtf8(u"\xD800"), kFFFD);
}

TEST(Unicode, PrefixNeverSplitsACharacter) {
    const std::string text = "ab\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB5";  // a b é € note
    const size_t wantEnd[] = {0, 1, 2, 2, 4, 4, 4, 7, 7, 7, 7, 11, 11};
    for (size_t max = 0; max < std::size(wantEnd); ++max) {
        EXPECT_EQ(Utf8Prefix(text, max).size(), wantEnd[max]) << max;
    }
}

TEST(Unicode, Utf16PrefixCountsAsWindowsCounts) {
    const std::string text = "a\xD0\x96\xF0\x9F\x8E\xB5z";  // a Ж note z: 1 + 1 + 2 + 1 units
    const size_t wantEnd[] = {0, 1, 3, 3, 7, 8, 8};
    for (size_t max = 0; max < std::size(wantEnd); ++max) {
        EXPECT_EQ(Utf16Prefix(text, max).size(), wantEnd[max]) << max;
    }
}

struct CodePageScope {
    explicit CodePageScope(unsigned codePage) { UseCodePageForTests(codePage); }
    ~CodePageScope() { UseCodePageForTests(0); }
};

TEST(CodePage, TablesConvertBothWaysAndRefuseWhatTheyLack) {
    struct Case { unsigned codePage; std::string bytes; std::string utf8; };
    const Case cases[] = {
        {1252, "Beyonc\xE9", "Beyonc\xC3\xA9"},
        {1252, "\x80\xBE", "\xE2\x82\xAC\xC2\xBE"},   // € ¾
        {1252, "\x81", "\xC2\x81"},                   // undefined: its own number, so it survives
        {1251, "\xCA\xE8\xED\xEE", "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE"},  // Кино
        {1251, "\xBE", "\xD1\x95"},                   // the byte that is ¾ in 1252 is ѕ here
        {1251, "Mot\xF6rhead", "Mot\xD1\x86rhead"},
    };
    for (const Case& c : cases) {
        CodePageScope scope(c.codePage);
        EXPECT_EQ(CurrentCodePage(), c.codePage);
        EXPECT_EQ(CodePageToUtf8(c.bytes), c.utf8) << c.bytes;
        EXPECT_EQ(Utf8ToCodePage(c.utf8), c.bytes) << c.utf8;
        EXPECT_TRUE(ConvertsLosslessly(c.utf8));
    }
    struct Lossy { unsigned codePage; std::string utf8; };
    const Lossy lossy[] = {
        {1252, "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE"},    // Кино has no Western bytes
        {1252, "\xC5\x81\xC3\xB3" "d\xC5\xBA"},         // Łódź: no look-alike "Lodz"
        {1251, "Beyonc\xC3\xA9"},
        {1252, "\xF0\x9F\x8E\xB5"},
        {1252, "a\x80"},                               // invalid UTF-8 is no text of the code page
    };
    for (const Lossy& c : lossy) {
        CodePageScope scope(c.codePage);
        EXPECT_FALSE(Utf8ToCodePage(c.utf8).has_value()) << c.utf8;
        EXPECT_FALSE(ConvertsLosslessly(c.utf8)) << c.utf8;
    }
    // What a program that knows only the code page sees: "?" for each unit it lacks.
    CodePageScope scope(1251);
    EXPECT_EQ(Utf8ToCodePageLossy("\xD0\x96 \xC3\xA9 \xF0\x9F\x8E\xB5"), "\xC6 ? ??");
    EXPECT_EQ(Utf8ToCodePageLossy("\xD0\x96"), "\xC6");
}

// The system's own conversion (Windows') must refuse a best fit just as the tables do:
// Windows would turn "Łódź" into "Lodz", the name of some other file.
TEST(CodePage, TheSystemsConversionGivesNoLookAlike) {
    ASSERT_NE(CurrentCodePage(), 1250u) << "Łódź is whole in the Central European code page";
    EXPECT_FALSE(Utf8ToCodePage("\xC5\x81\xC3\xB3" "d\xC5\xBA").has_value());
    EXPECT_FALSE(Utf8ToCodePage("\xF0\x9F\x8E\xB5").has_value());
    EXPECT_EQ(Utf8ToCodePage("abc"), "abc");
    EXPECT_EQ(CodePageToUtf8("abc"), "abc");
}

}  // namespace
}  // namespace vemo
