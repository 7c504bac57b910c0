#include <gtest/gtest.h>

#include "audio/id3v1.h"
#include "fixtures/audio_fixtures.h"
#include "support/temp_dir.h"
#include "text/code_page.h"

namespace vemo {
namespace {

using test::Bytes;
using test::ID3v1Tag;

TID3v1Tag Read(const std::string& bytes) {
    ByteReader reader(Bytes(bytes));
    return ReadID3v1(reader);
}

const std::string kAudio(1000, '\x55');

TEST(ID3v1, FieldsAreCutAtZeroAndTrimmed) {
    std::string tag = std::string("TAG") +
                      "Hello" + std::string(25, '\0') +                // title
                      "  Hello  " + std::string(21, ' ') +              // artist: blanks around
                      std::string("Al\0bum", 6) + std::string(24, ' ') +  // album: cut at the zero
                      "1999" +                                          // year
                      " Nice " + std::string(24, '\0') +                // comment: kept untrimmed
                      '\x11';                                            // genre 17
    ASSERT_EQ(tag.size(), 128u);
    TID3v1Tag v1 = Read(kAudio + tag);
    EXPECT_EQ(v1.Title, "Hello");
    EXPECT_EQ(v1.Artist, "Hello");
    EXPECT_EQ(v1.Album, "Al");
    EXPECT_EQ(v1.Year, "1999");
    EXPECT_EQ(v1.Comment, " Nice ");
    EXPECT_EQ(v1.Genre, "Rock");
    EXPECT_EQ(v1.Track, "");
}

TEST(ID3v1, TrackByteOfVersion11) {
    std::string comment = std::string("Nice") + std::string(24, '\0') + std::string("\0\x07", 2);
    TID3v1Tag v11 = Read(kAudio + ID3v1Tag("", "", "", "", comment, 255));
    EXPECT_EQ(v11.Comment, "Nice");
    EXPECT_EQ(v11.Track, "7");
    EXPECT_EQ(Read(kAudio + ID3v1Tag("", "", "", "", std::string(30, '\0'), 255)).Track, "");
    // Byte 125 not zero: a full 30-character comment and no track.
    std::string full(30, 'c');
    TID3v1Tag v10 = Read(kAudio + ID3v1Tag("", "", "", "", full, 255));
    EXPECT_EQ(v10.Comment, full);
    EXPECT_EQ(v10.Track, "");
    std::string track255 = std::string(28, 'c') + std::string("\0\xFF", 2);
    EXPECT_EQ(Read(kAudio + ID3v1Tag("", "", "", "", track255, 255)).Track, "255");
}

// 8-bit fields are the code page's text; every field comes out whole in UTF-8, a full
// 30-byte one too.
TEST(ID3v1, FieldsAreReadInTheCodePage) {
    const std::string kino = "\xCA\xE8\xED\xEE";  // "Кино" in 1251
    const std::string fullField(30, '\xDE');        // thirty "Ю" in 1251, thirty "Þ" in 1252
    std::string thirtyYu;
    std::string thirtyThorn;
    for (int i = 0; i < 30; ++i) {
        thirtyYu += "\xD0\xAE";
        thirtyThorn += "\xC3\x9E";
    }
    const struct {
        unsigned codePage;
        std::string tag;
        std::string title, artist, comment;
    } cases[] = {
        {1251, ID3v1Tag(kino, "  " + kino, "", "", kino + " ", 255), "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE",
         "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE", "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE "},
        {1252, ID3v1Tag(kino, "Caf\xE9", "", "", "\x80", 255), "\xC3\x8A\xC3\xA8\xC3\xAD\xC3\xAE",
         "Caf\xC3\xA9", "\xE2\x82\xAC"},
        {1251, ID3v1Tag(fullField, "", "", "", fullField, 255), thirtyYu, "", thirtyYu},
        {1252, ID3v1Tag(fullField, "", "", "", "", 255), thirtyThorn, "", ""},
    };
    for (const auto& c : cases) {
        UseCodePageForTests(c.codePage);
        const TID3v1Tag tag = Read(kAudio + c.tag);
        EXPECT_EQ(tag.Title, c.title) << c.codePage;
        EXPECT_EQ(tag.Artist, c.artist) << c.codePage;
        EXPECT_EQ(tag.Comment, c.comment) << c.codePage;
    }
    UseCodePageForTests(0);
}

TEST(ID3v1, Genres) {
    EXPECT_EQ(Read(ID3v1Tag("", "", "", "", "", 0)).Genre, "Blues");
    EXPECT_EQ(Read(ID3v1Tag("", "", "", "", "", 17)).Genre, "Rock");
    EXPECT_EQ(Read(ID3v1Tag("", "", "", "", "", 79)).Genre, "Hard Rock");
    EXPECT_EQ(Read(ID3v1Tag("", "", "", "", "", 147)).Genre, "Synthpop");
    EXPECT_EQ(Read(ID3v1Tag("", "", "", "", "", 148)).Genre, "");
    EXPECT_EQ(Read(ID3v1Tag("", "", "", "", "", 255)).Genre, "");
    EXPECT_EQ(GenreNames.size(), 148u);
}

TEST(ID3v1, Format) {
    TID3v1Tag tag;
    tag.Title = "A";
    tag.Genre = "Rock";
    EXPECT_EQ(FormatID3v1(tag), "\rTitle: A\rGenre: Rock");
    TID3v1Tag all{"T", "Ar", "Al", "1999", "C", "Pop", "3"};
    EXPECT_EQ(FormatID3v1(all), "\rTrack: 3\rTitle: T\rArtist: Ar\rAlbum: Al\rYear: 1999\rGenre: Pop\rComment: C");
    EXPECT_EQ(FormatID3v1(TID3v1Tag{}), "\rBlank ID3v1 tag present");
    // A tag of blanks and zeros with no genre reads as blank.
    EXPECT_EQ(FormatID3v1(Read(ID3v1Tag("   ", " ", "", "    ", "", 200))), "\rBlank ID3v1 tag present");
}

TEST(ID3v1, TagTestOnBytes) {
    std::string bytes = kAudio + ID3v1Tag("t", "", "", "", "", 1);
    ByteReader reader(Bytes(bytes));
    EXPECT_TRUE(HasTag(reader, kTagID3v1));
    EXPECT_FALSE(HasTag(reader, kTagID3v2));
    EXPECT_FALSE(HasTag(reader, 3));
    // Shorter than a tag: no tag, and no read before the start.
    std::string tiny = "TAG";
    ByteReader tinyReader(Bytes(tiny));
    EXPECT_FALSE(HasTag(tinyReader, kTagID3v1));
    EXPECT_EQ(Read(tiny).Title, "");
}

TEST(ID3v1, MP3Names) {
    EXPECT_TRUE(IsMP3Name("C:\\Music\\a.mp3"));
    EXPECT_TRUE(IsMP3Name("SONG.Mp3"));
    EXPECT_FALSE(IsMP3Name("song.mp3.wav"));
    EXPECT_FALSE(IsMP3Name("song.MP3.txt"));
    EXPECT_FALSE(IsMP3Name("song"));
    EXPECT_FALSE(IsMP3Name("song.mp"));
    EXPECT_FALSE(IsMP3Name(""));
}

class ID3v1Files : public ::testing::Test {
protected:
    test::TempDir dir;
};

TEST_F(ID3v1Files, TagTestOpensOnlyMP3NamesAndReportsOnlyKind2) {
    std::string path = dir.File("a.mp3");
    test::WriteAll(path, "ID3" + kAudio + ID3v1Tag("Title", "", "", "", "", 17));
    std::vector<std::string> messages;
    ErrorReporter onError = [&](const std::string& m) { messages.push_back(m); };
    EXPECT_TRUE(HasTag(path, kTagID3v1, onError));
    EXPECT_TRUE(HasTag(path, kTagID3v2, onError));
    ASSERT_TRUE(ReadID3v1(path));
    EXPECT_EQ(ReadID3v1(path)->Title, "Title");

    std::string other = dir.File("a.wav");
    test::WriteAll(other, test::ReadAll(path));
    EXPECT_FALSE(HasTag(other, kTagID3v1, onError));
    EXPECT_FALSE(HasTag(other, kTagID3v2, onError));
    EXPECT_TRUE(messages.empty());

    std::string missing = dir.File("missing.mp3");
    EXPECT_FALSE(HasTag(missing, kTagID3v1, onError));
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(HasTag(missing, kTagID3v2, onError));
    EXPECT_EQ(messages, std::vector<std::string>{"Cannot open file for reading"});
    EXPECT_FALSE(ReadID3v1(missing));  // not a blank tag
}

}  // namespace
}  // namespace vemo
