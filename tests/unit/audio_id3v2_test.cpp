#include <gtest/gtest.h>

#include "audio/id3v1.h"
#include "audio/id3v2.h"
#include "fixtures/audio_fixtures.h"
#include "text/text.h"

namespace vemo {
namespace {

using test::Bytes;
using test::Frame;
using test::Tag;
using test::TextFrame;

TID3v2Tag Read(const std::string& bytes, size_t chunk = ByteReader::kDefaultChunk) {
    ByteReader reader(Bytes(bytes), chunk);
    return ReadID3v2(reader);
}

ID3v2Fields ParseOne(const std::string& frame, uint8_t major = 3) {
    ID3v2Fields fields;
    ParseID3v2Frame(fields, Bytes(frame), major);
    return fields;
}

TEST(ID3v2Read, Version23TextFrames) {
    const std::string bytes = std::string(
        "ID3" "\x03\x00"            // version 2.3.0
        "\x00"                      // flags
        "\x00\x00\x00\x20"          // tag size 32
        "TIT2" "\x00\x00\x00\x05"   // size 5
        "\x00\x00"                  // flags
        "\x00" "Song"               // ISO-8859-1
        "TPE1" "\x00\x00\x00\x07" "\x00\x00" "\x00" "Band A", 42);
    TID3v2Tag tag = Read(bytes);
    EXPECT_EQ(tag.Version[0], 3);
    EXPECT_EQ(tag.Version[1], 0);
    EXPECT_EQ(tag.Title, "Song");
    EXPECT_EQ(tag.Artist, "Band A");
    EXPECT_EQ(FormatID3v2(tag), "\rTitle: Song\rArtist: Band A");
}

// Many writers store a terminating zero; it used to end up inside the field and cut the
// popup's text (and a renamed file's name) at that point.
TEST(ID3v2Read, TerminatingZeroEndsTheValue) {
    TID3v2Tag tag = Read(Tag(3, TextFrame("TIT2", std::string("Song\0", 5)) + TextFrame("TALB", std::string("LP\0junk", 7))));
    EXPECT_EQ(tag.Title, "Song");
    EXPECT_EQ(tag.Album, "LP");
    EXPECT_EQ(FormatID3v2(tag).find('\0'), std::string::npos);
}

TEST(ID3v2Read, Version24JoinsSeveralValues) {
    TID3v2Tag v4 = Read(Tag(4, TextFrame("TPE1", std::string("A\0B\0", 4), 4)));
    EXPECT_EQ(v4.Artist, "A / B");
    // Under 2.3 the first value is the value.
    TID3v2Tag v3 = Read(Tag(3, TextFrame("TPE1", std::string("A\0B", 3))));
    EXPECT_EQ(v3.Artist, "A");
}

TEST(ID3v2Read, UnicodeTextFramesAreDecoded) {
    std::string utf16 = Frame("TIT2", std::string("\x01" "\xFF\xFE" "S\0" "\xF6\0" "\0\0", 9));  // "Sö" + terminator
    std::string utf16be = Frame("TPE1", std::string("\x02" "\0B" "\x20\xAC", 5));                  // "B€"
    std::string utf8 = Frame("TALB", "\x03" "Caf\xC3\xA9 \xD0\x96");                              // "Café Ж"
    TID3v2Tag tag = Read(Tag(3, utf16 + utf16be + utf8));
    EXPECT_EQ(tag.Title, "S\xC3\xB6");
    EXPECT_EQ(tag.Artist, "B\xE2\x82\xAC");
    EXPECT_EQ(tag.Album, "Caf\xC3\xA9 \xD0\x96");
}

// Non-Latin tags name the renamed file whole: a Cyrillic UTF-16 artist and a Japanese
// UTF-8 title were "?" each, and so "_" each in the name.
TEST(ID3v2Read, UnicodeTagNamesTheFileWhole) {
    const std::string artist = Frame("TPE1", std::string("\x01\xFF\xFE\x1A\x04\x38\x04\x3D\x04\x3E\x04", 11), 4);
    const std::string title = Frame("TIT2", "\x03\xE6\x97\xA5\xE6\x9C\xAC?", 4);
    const TID3v2Tag tag = Read(Tag(4, artist + title));
    EXPECT_EQ(TrackFileName(tag.Artist, tag.Title), "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE - \xE6\x97\xA5\xE6\x9C\xAC_.mp3");
}

TEST(ID3v2Read, FirstNonEmptyFrameOfAKindWins) {
    TID3v2Tag tag = Read(Tag(3, TextFrame("TIT2", "") + TextFrame("TIT2", "Second") + TextFrame("TIT2", "Third")));
    EXPECT_EQ(tag.Title, "Second");
}

TEST(ID3v2Read, GenreNumbersAreStripped) {
    EXPECT_EQ(ParseOne(TextFrame("TCON", "(17)Rock"))[kFieldGenre], "Rock");
    EXPECT_EQ(ParseOne(TextFrame("TCON", "(17)"))[kFieldGenre], "");
    EXPECT_EQ(ParseOne(TextFrame("TCON", "(1a)Rock"))[kFieldGenre], "(1a)Rock");
    EXPECT_EQ(ParseOne(TextFrame("TCON", "Rock"))[kFieldGenre], "Rock");
    // "(17)" alone leaves the field free for a later genre frame.
    TID3v2Tag tag = Read(Tag(3, TextFrame("TCON", "(17)") + TextFrame("TCON", "Jazz")));
    EXPECT_EQ(tag.Genre, "Jazz");
}

TEST(ID3v2Read, StripGenreNumberEdges) {
    EXPECT_EQ(StripGenreNumber("()Pop"), "Pop");
    EXPECT_EQ(StripGenreNumber("(17"), "(17");
    EXPECT_EQ(StripGenreNumber(""), "");
    EXPECT_EQ(StripGenreNumber("x(17)"), "x(17)");
    EXPECT_EQ(StripGenreNumber("(17)(18)Pop"), "(18)Pop");
}

TEST(ID3v2Read, CommentWithEmptyDescription) {
    std::string comm = std::string(
        "COMM" "\x00\x00\x00\x10" "\x00\x00"
        "\x00"                     // ISO-8859-1
        "eng"                      // language
        "\x00"                     // empty description
        "Line1\nLine2", 26);
    EXPECT_EQ(ParseOne(comm)[kFieldComment], "Line1Line2");
}

// Encoders keep machine data in described comments; the user's comment is the one
// without a description, wherever it stands.
TEST(ID3v2Read, DescribedCommentsArePassedOver) {
    std::string normalisation = Frame("COMM", std::string("\x00" "eng" "iTunNORM\0" " 0000021A", 22));
    std::string user = Frame("COMM", std::string("\x00" "eng" "\0" "Nice", 9));
    TID3v2Tag tag = Read(Tag(3, normalisation + user));
    EXPECT_EQ(tag.Comment, "Nice");
}

TEST(ID3v2Read, UnicodeCommentIsDecodedNotRefused) {
    // Description "" (BOM and terminator), text "Hé" with its own BOM, terminator.
    std::string comm = Frame("COMM", std::string("\x01" "eng" "\xFF\xFE" "\0\0" "\xFF\xFE" "H\0" "\xE9\0" "\0\0", 16));
    EXPECT_EQ(Read(Tag(3, comm)).Comment, "H\xC3\xA9");
    std::string utf8 = Frame("COMM", std::string("\x03" "eng" "\0" "caf\xC3\xA9\0", 11));
    EXPECT_EQ(Read(Tag(3, utf8)).Comment, "caf\xC3\xA9");
    EXPECT_EQ(FormatID3v2(Read(Tag(3, comm))).find("unicode"), std::string::npos);
}

TEST(ID3v2Read, MalformedCommentsGiveNothing) {
    EXPECT_EQ(ParseOne(Frame("COMM", ""))[kFieldComment], "");
    EXPECT_EQ(ParseOne(Frame("COMM", std::string("\x00" "en", 3)))[kFieldComment], "");
    EXPECT_EQ(ParseOne(Frame("COMM", std::string("\x00" "eng" "no terminator", 17)))[kFieldComment], "");
    EXPECT_EQ(ParseOne(Frame("COMM", std::string("\x01" "eng" "\xFF\xFE" "\0", 7)))[kFieldComment], "");
}

TEST(ID3v2Read, UserURL) {
    std::string plain = Frame("WXXX", std::string("\x00" "\x00" "http://a.example", 18));
    EXPECT_EQ(ParseOne(plain)[kFieldURL], "http://a.example");
    // The URL comes after a description of any length, in the description's encoding.
    std::string described = Frame("WXXX", std::string("\x01" "\xFF\xFE" "h\0" "p\0" "\0\0" "http://b.example\0", 26));
    EXPECT_EQ(ParseOne(described)[kFieldURL], "http://b.example");
    std::string utf16Url = Frame("WXXX", std::string("\x01" "\0\0" "\xFF\xFE" "w\0" "w\0", 9));
    EXPECT_EQ(ParseOne(utf16Url)[kFieldURL], "ww");
}

TEST(ID3v2Read, EveryFieldAndItsLabel) {
    const char* ids[] = {"TRCK", "TIT1", "TIT2", "TPE1", "TALB", "TYER", "TEXT", "TOLY", "TCOM", "TPE4", "TOPE",
                         "TOAL", "TCOP", "TENC", "TIT3", "TPE2", "TPE3", "TPUB", "TOWN", "TRSN", "TRSO", "TBPM"};
    auto value = [](size_t i) { return std::string(1, 'v') += NumToStr(false, static_cast<int64_t>(i)); };
    std::string body;
    for (size_t i = 0; i < 22; ++i) body += TextFrame(ids[i], value(i));
    body += TextFrame("TCON", "(13)Pop");
    body += Frame("COMM", std::string("\0eng\0c", 6));
    body += Frame("WXXX", std::string("\0\0u", 3));
    body += TextFrame("TXXX", "ignored");
    TID3v2Tag tag = Read(Tag(3, body, 100));
    for (size_t i = 0; i < 22; ++i) EXPECT_EQ(FieldOf(tag, i), value(i)) << ids[i];
    EXPECT_EQ(tag.Genre, "Pop");
    EXPECT_EQ(tag.Comment, "c");
    EXPECT_EQ(tag.URL, "u");
    EXPECT_EQ(FormatID3v2(tag),
              "\rTrack: v0\rGroup: v1\rTitle: v2\rArtist: v3\rAlbum: v4\rYear: v5\rGenre: Pop\rComment: c"
              "\rLyricist: v6\rOrig. lyricist: v7\rComposer: v8\rOrig. artist: v10\rCopyright: v12\rURL: u"
              "\rEncoded by: v13\rRemixed by: v9\rOpus/Subtitle: v14\rOrig. album: v11\rOrchestra: v15"
              "\rConductor: v16\rPublisher: v17\rOwner: v18\rInternet radio station: v19"
              "\rInternet radio station owner: v20\rBPM: v21");
}

TEST(ID3v2Read, Version24SyncSafeFrameSize) {
    std::string txxx = std::string("TXXX" "\x00\x00\x01\x48" "\x00\x00", 10) + std::string(200, 'x');  // sync-safe 200
    TID3v2Tag tag = Read(Tag(4, txxx + TextFrame("TIT2", "After", 4)));
    EXPECT_EQ(tag.Title, "After");
}

TEST(ID3v2Read, ExtendedHeaders) {
    // 2.3: a size of 6 that does not count its own 4 bytes.
    std::string ext3 = std::string("\x00\x00\x00\x06" "\x00\x00" "\x00\x00\x00\x00", 10);
    EXPECT_EQ(Read(Tag(3, ext3 + TextFrame("TIT2", "Three"), 0, 0x40)).Title, "Three");
    // 2.4: a sync-safe size of 6 that counts all of it.
    std::string ext4 = std::string("\x00\x00\x00\x06" "\x01\x00", 6);
    EXPECT_EQ(Read(Tag(4, ext4 + TextFrame("TIT2", "Four", 4), 0, 0x40)).Title, "Four");
}

TEST(ID3v2Read, PaddingEndsTheWalkAndGivesTheAudioStart) {
    std::string bytes = Tag(3, TextFrame("TIT2", "x"), 50) + "\xFF\xFB\x90\x64";
    ByteReader reader(Bytes(bytes));
    EXPECT_EQ(ID3v2AudioStart(reader), 10 + 12);
    EXPECT_EQ(Read(bytes).Title, "x");
    // Frames that fill the tag to its end: the audio starts right after it.
    std::string full = Tag(3, TextFrame("TIT2", "x")) + "\xFF\xFB\x90\x64";
    ByteReader fullReader(Bytes(full));
    EXPECT_EQ(ID3v2AudioStart(fullReader), 22);
}

TEST(ID3v2Read, BlankAndUnsupportedTags) {
    TID3v2Tag blank = Read(Tag(3, "", 64));
    EXPECT_EQ(FormatID3v2(blank), "\rBlank ID3v2 tag present");

    TID3v2Tag old = Read(Tag(2, std::string("TT2" "\0\0\x05" "\0Song", 11)));
    EXPECT_EQ(old.Version[0], 2);
    EXPECT_EQ(old.Version[1], 0);
    EXPECT_EQ(old.Title, "");
    EXPECT_EQ(FormatID3v2(old), "\rID3v2.2.0 not supported");
}

// Sizes come from the file and are not trusted: nothing is read past the tag or the file.
TEST(ID3v2Read, UntrustedSizes) {
    // A frame claiming more than the tag holds ends the walk; the earlier frame stays.
    std::string overlong = TextFrame("TIT2", "ok") + std::string("TPE1" "\x7F\xFF\xFF\xFF" "\0\0" "\0x", 12);
    EXPECT_EQ(Read(Tag(3, overlong)).Title, "ok");
    EXPECT_EQ(Read(Tag(3, overlong)).Artist, "");
    // A tag size far beyond the file's end.
    std::string cut = std::string("ID3\x03\0\0\x7F\x7F\x7F\x7F", 10) + TextFrame("TIT2", "cut") + "TPE1\0\0";
    EXPECT_EQ(Read(cut).Title, "cut");
    // Extended header sizes that point past everything.
    EXPECT_EQ(Read(Tag(3, std::string("\xFF\xFF\xFF\xFF", 4) + TextFrame("TIT2", "x"), 0, 0x40)).Title, "");
    EXPECT_EQ(Read(Tag(4, std::string("\x7F\x7F\x7F\x7F", 4) + TextFrame("TIT2", "x", 4), 0, 0x40)).Title, "");
    // Headers cut short.
    EXPECT_EQ(Read("ID3").Version[0], 0);
    EXPECT_EQ(Read(std::string("ID3\x03\x01\0", 6)).Version[1], 1);
    EXPECT_EQ(FormatID3v2(Read(std::string("ID3\x04\0\0\0\0", 8))), "\rBlank ID3v2 tag present");
    // Frames too short for their own layout.
    EXPECT_EQ(ParseOne("TIT2")[kFieldTitle], "");
    EXPECT_EQ(ParseOne(std::string("TIT2\0\0\0\0\0\0", 10))[kFieldTitle], "");
}

TEST(ID3v2Read, SmallChunksGiveTheSameResult) {
    std::string body = TextFrame("TIT2", "Title") + Frame("APIC", std::string(5000, '\xFF')) + TextFrame("TPE1", "Artist");
    std::string bytes = Tag(3, body, 300) + "\xFF\xFB\x90\x64";
    for (size_t chunk : {1u, 3u, 7u, 64u, 4096u}) {
        TID3v2Tag tag = Read(bytes, chunk);
        EXPECT_EQ(tag.Title, "Title") << chunk;
        EXPECT_EQ(tag.Artist, "Artist") << chunk;
    }
}

TEST(ID3v2Frame, AppendBuildsAVersion23TextFrame) {
    std::vector<uint8_t> buffer;
    ASSERT_TRUE(AppendID3v2Frame(buffer, "TIT2", "Test"));
    const std::string expected("TIT2" "\x00\x00\x00\x05" "\x00\x00" "\x00" "Test", 15);
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), expected);

    // An empty text still gives a whole frame; a bad identifier gives nothing.
    ASSERT_TRUE(AppendID3v2Frame(buffer, "TPE1", ""));
    EXPECT_EQ(buffer.size(), 26u);
    EXPECT_FALSE(AppendID3v2Frame(buffer, "TIT", "x"));
    EXPECT_EQ(buffer.size(), 26u);

    // 2.4 sizes are sync-safe: 201 bytes of data are 00 00 01 49 there, 00 00 00 C9 in 2.3.
    const std::string text(200, 'x');
    for (const auto& [major, size] : {std::pair{uint8_t{3}, "\x00\x00\x00\xC9"}, std::pair{uint8_t{4}, "\x00\x00\x01\x49"}}) {
        std::vector<uint8_t> frame;
        ASSERT_TRUE(AppendID3v2Frame(frame, "TIT2", text, major));
        EXPECT_EQ(std::string(frame.begin() + 4, frame.begin() + 8), std::string(size, 4)) << int{major};
    }
}

TEST(ID3v2Frame, AppendedFramesReadBack) {
    std::vector<uint8_t> frames;
    AppendID3v2Frame(frames, "TPE1", "Artist \xC3\xA9");
    AppendID3v2Frame(frames, "TIT2", "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE \xF0\x9F\x8E\xB5");
    TID3v2Tag tag = Read(Tag(3, std::string(frames.begin(), frames.end()), 20));
    EXPECT_EQ(tag.Artist, "Artist \xC3\xA9");
    EXPECT_EQ(tag.Title, "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE \xF0\x9F\x8E\xB5");
    frames.clear();
    AppendID3v2Frame(frames, "TIT2", "\xE6\x97\xA5\xE6\x9C\xAC", 4);
    EXPECT_EQ(Read(Tag(4, std::string(frames.begin(), frames.end()))).Title, "\xE6\x97\xA5\xE6\x9C\xAC");
}

}  // namespace
}  // namespace vemo
