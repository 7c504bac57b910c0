// Playlist files and entry titles.
#include <gtest/gtest.h>

#include "entry_facts.h"
#include "playlist_file.h"
#include "support/temp_dir.h"
#include "text/file_access.h"

namespace vemo::standin {
namespace {

TEST(ParseM3U, RelativePathsComeFromThePlaylistsFolder) {
    auto paths = ParseM3U("#EXTM3U\r\n#EXTINF:5,x\r\na.mp3\r\n\r\n  sub\\b.mp3  \r\nC:\\abs\\c.mp3\r\n/abs/d.mp3\n\\\\s\\e.mp3",
                          "D:\\music", '\\');
    EXPECT_EQ(paths, (std::vector<std::string>{"D:\\music\\a.mp3", "D:\\music\\sub\\b.mp3", "C:\\abs\\c.mp3",
                                               "/abs/d.mp3", "\\\\s\\e.mp3"}));
    EXPECT_TRUE(ParseM3U("", "x", '/').empty());
    EXPECT_EQ(ParseM3U("a.mp3", "", '/'), (std::vector<std::string>{"a.mp3"}));
}

TEST(ReadM3U, MissingFileGivesNothing) {
    test::TempDir dir;
    EXPECT_TRUE(ReadM3U(dir.File("none.m3u")).empty());
    test::WriteAll(dir.File("l.m3u"), "x.mp3\n");
    EXPECT_EQ(ReadM3U(dir.File("l.m3u")), (std::vector<std::string>{dir.File("x.mp3")}));
}

TEST(PlaylistNames, Extensions) {
    EXPECT_TRUE(IsPlaylistName("a.m3u"));
    EXPECT_TRUE(IsPlaylistName("C:\\x\\A.M3U"));
    EXPECT_FALSE(IsPlaylistName("a.m3u8"));
    EXPECT_FALSE(IsPlaylistName("m3u"));
}

TEST(EntryTitles, FileNameAndTagForms) {
    EXPECT_EQ(TitleFromFileName("C:\\Music\\05 - sketch.mp3"), "05 - sketch");
    EXPECT_EQ(TitleFromFileName("/m/a.b.mp3"), "a.b");
    EXPECT_EQ(TitleFromFileName("noext"), "noext");
    EXPECT_EQ(TitleFromFileName(".hidden"), ".hidden");
    EXPECT_EQ(ComposeTitle("Band", "Song"), "Band - Song");
    EXPECT_EQ(ComposeTitle("  ", "Song "), "Song");
    EXPECT_EQ(ComposeTitle("Band", ""), "");
}

TEST(EntryFacts, UnreadableFilesFallBackToTheName) {
    test::TempDir dir;
    Entry missing = ReadEntryFacts(dir.File("gone.mp3"));
    EXPECT_EQ(missing.title, "gone");
    EXPECT_EQ(missing.lengthMs, -1);
    test::WriteAll(dir.File("noise.mp3"), "not audio at all");
    EXPECT_EQ(ReadEntryFacts(dir.File("noise.mp3")).lengthMs, -1);
    test::WriteAll(dir.File("song.wav"), "RIFF");
    EXPECT_EQ(ReadEntryFacts(dir.File("song.wav")).title, "song");
}

}  // namespace
}  // namespace vemo::standin
