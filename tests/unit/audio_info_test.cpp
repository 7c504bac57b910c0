#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "audio/info_text.h"
#include "fixtures/audio_fixtures.h"
#include "support/temp_dir.h"
#include "text/file_access.h"

namespace vemo {
namespace {

using test::MpegFrame;

std::string Frames(int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += MpegFrame(0xFB, 0x90, 0x64);
    return out;
}

class InfoTexts : public ::testing::Test {
protected:
    void TearDown() override { FailFileOperationAt(0); }
    std::string Write(const std::string& name, const std::string& bytes) {
        std::string path = dir.File(name);
        test::WriteAll(path, bytes);
        return path;
    }
    ErrorReporter Collect() {
        return [this](const std::string& m) { messages.push_back(m); };
    }
    test::TempDir dir;
    std::vector<std::string> messages;
};

TEST_F(InfoTexts, FileInformationOfAnMP3File) {
    std::string tag = test::Tag(3, test::TextFrame("TIT2", "x"), 395);  // 417 bytes
    std::string path = Write("a.mp3", tag + Frames(100));
    TMPEG mpeg;
    std::optional<InfoText> info = FileInformation(path, 999, Collect(), &mpeg);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->kind, InfoKind::FileInfo);
    EXPECT_EQ(info->caption, "File info:");
    EXPECT_EQ(info->body, "\rPath: " + dir.Path() +
                              "\rFilename: a.mp3"
                              "\rSize: 42217 bytes"
                              "\rHeader found at: 417 bytes"
                              "\rLength: 2.61 sec.  (00:00:02.61)"
                              "\rMPEG 1.0 (ISO/IEC 11172-3) layer III"
                              "\rBitrate: 128 kbps, 100 frames"
                              "\rSamplerate: 44100 Hz"
                              "\rChannels: Joint Stereo (MS Stereo)"
                              "\rCRCs: No"
                              "\rCopyrighted: No"
                              "\rOriginal: Yes"
                              "\rEmphasis: None");
    EXPECT_EQ(mpeg.HeaderPos, "417");
    EXPECT_TRUE(messages.empty());
}

TEST_F(InfoTexts, FileInformationOfOtherFilesShowsThePlayersLength) {
    std::string path = Write("song.MP3.txt", Frames(3));
    std::optional<InfoText> info = FileInformation(path, 250);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->body, "\rPath: " + dir.Path() + "\rFilename: song.MP3.txt\rSize: 1254 bytes\rLength: 250 seconds");
    EXPECT_FALSE(FileInformation(dir.File("missing.mp3"), 0));
    EXPECT_FALSE(FileInformation(dir.Path(), 0));  // a folder is no file
}

// As the plug-in shows it: the directory entry gives the size, the analysis nothing.
TEST_F(InfoTexts, FileInformationOfAFileThatCannotBeOpened) {
    std::string path = Write("locked.mp3", Frames(3));
    TMPEG mpeg;
    FailFileOperationAt(2);  // the directory entry is read, the analysis's open fails
    std::optional<InfoText> info = FileInformation(path, 0, Collect(), &mpeg);
    FailFileOperationAt(0);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->body, "\rPath: " + dir.Path() +
                              "\rFilename: locked.mp3"
                              "\rSize: 1254 bytes"
                              "\rHeader found at:  bytes"
                              "\rLength: undefined"
                              "\rMPEG  layer "
                              "\rBitrate: undefined, undefined number of frames"
                              "\rChannels: \rCRCs: \rCopyrighted: \rOriginal: \rEmphasis: ");
    EXPECT_EQ(messages, std::vector<std::string>{"Cannot open file for reading"});
    EXPECT_EQ(mpeg.FileSize, 1254);
    EXPECT_EQ(mpeg.HeaderPos, "");
}

TEST_F(InfoTexts, UndefinedLengthAndBitrate) {
    std::string path = Write("free.mp3", MpegFrame(0xFB, 0x0C, 0x00));  // free format, reserved rate
    std::optional<InfoText> info = FileInformation(path, 0);
    ASSERT_TRUE(info);
    EXPECT_NE(info->body.find("\rLength: undefined\r"), std::string::npos);
    EXPECT_NE(info->body.find("\rBitrate: undefined, undefined number of frames\r"), std::string::npos);
    EXPECT_EQ(info->body.find("Samplerate"), std::string::npos);
}

TEST(InfoBody, LengthDigitsAndVBRMark) {
    TMPEG m;
    m.Bitrate = 128.0125;
    m.IsVBR = true;
    m.Frames = 1000;
    m.Duration = 5;
    std::string body = FileInfoBody("x.mp3", 1, &m, 0);
    EXPECT_NE(body.find("\rLength: 0.05 sec.  (00:00:00.05)\r"), std::string::npos);
    EXPECT_NE(body.find("\rBitrate: 128 kbps (VBR), 1000 frames\r"), std::string::npos);
    m.Duration = 1234567;  // 3:25:45.67
    EXPECT_NE(FileInfoBody("x.mp3", 1, &m, 0).find("Length: 12345.67 sec.  (03:25:45.67)"), std::string::npos);
    // A path without a folder.
    EXPECT_EQ(FileInfoBody("x.ogg", 7, nullptr, 3), "\rPath: \rFilename: x.ogg\rSize: 7 bytes\rLength: 3 seconds");
}

// What the popup shows after a file without frame sync must not be the previous file's.
TEST_F(InfoTexts, NoStaleStreamFactsAfterAFileWithoutSync) {
    TMPEG mpeg;
    ASSERT_TRUE(FileInformation(Write("good.mp3", Frames(10)), 0, {}, &mpeg));
    EXPECT_EQ(mpeg.Bitrate, 128);
    std::optional<InfoText> info = FileInformation(Write("silent.mp3", std::string(2000, '\0')), 0, {}, &mpeg);
    ASSERT_TRUE(info);
    EXPECT_EQ(mpeg.Bitrate, 0);
    EXPECT_EQ(mpeg.HeaderPos, "");
    EXPECT_NE(info->body.find("\rHeader found at:  bytes\rLength: undefined\rMPEG  layer \r"), std::string::npos);
}

TEST_F(InfoTexts, ID3v1Texts) {
    std::string comment11 = std::string("c") + std::string(27, '\0') + std::string("\0\x05", 2);
    std::string v11 = Write("v11.mp3", Frames(2) + test::ID3v1Tag("Song", "", "", "", comment11, 17));
    TID3v1Tag current;
    InfoText info = ID3v1Information(v11, {}, &current);
    EXPECT_EQ(info.kind, InfoKind::ID3v1);
    EXPECT_EQ(info.caption, "ID3v1.1 tag");
    EXPECT_EQ(info.body, "\rTrack: 5\rTitle: Song\rGenre: Rock\rComment: c");
    EXPECT_EQ(current.Title, "Song");

    std::string v10 = Write("v10.mp3", Frames(2) + test::ID3v1Tag("Song", "", "", "", "", 255));
    EXPECT_EQ(ID3v1Information(v10).caption, "ID3v1 tag");

    InfoText none = ID3v1Information(Write("none.mp3", Frames(2)), {}, &current);
    EXPECT_EQ(none.caption, "");
    EXPECT_EQ(none.body, "No ID3v1 tag available");
    EXPECT_EQ(none.kind, InfoKind::ID3v1);
    EXPECT_EQ(current.Title, "Song");  // only a tag that is read replaces the record

    InfoText other = ID3v1Information(Write("a.wav", Frames(2)));
    EXPECT_TRUE(other.notMP3);
    EXPECT_EQ(other.body, "Not an MP3 file");
}

TEST_F(InfoTexts, ID3v2Texts) {
    std::string v23 = Write("v23.mp3", test::Tag(3, test::TextFrame("TIT2", "T")) + Frames(2));
    InfoText info = ID3v2Information(v23);
    EXPECT_EQ(info.kind, InfoKind::ID3v2);
    EXPECT_EQ(info.caption, "ID3v2.3.0 tag");
    EXPECT_EQ(info.body, "\rTitle: T");

    std::string v24 = Write("v24.mp3", test::Tag(4, "", 10) + Frames(2));
    EXPECT_EQ(ID3v2Information(v24).caption, "ID3v2.4.0 tag");
    EXPECT_EQ(ID3v2Information(v24).body, "\rBlank ID3v2 tag present");

    std::string v22 = Write("v22.mp3", test::Tag(2, "", 10) + Frames(2));
    EXPECT_EQ(ID3v2Information(v22).caption, "ID3v2.2.0 tag");
    EXPECT_EQ(ID3v2Information(v22).body, "\rID3v2.2.0 not supported");

    InfoText none = ID3v2Information(Write("none.mp3", Frames(2)));
    EXPECT_EQ(none.caption, "");
    EXPECT_EQ(none.body, "No ID3v2 tag available");
}

TEST_F(InfoTexts, AnyTagPrefersID3v2) {
    std::string both = Write("both.mp3", test::Tag(3, test::TextFrame("TIT2", "Two")) + Frames(2) +
                                             test::ID3v1Tag("One", "", "", "", "", 1));
    InfoText info = ID3AnyInformation(both);
    EXPECT_EQ(info.kind, InfoKind::ID3v2);
    EXPECT_EQ(info.body, "\rTitle: Two");

    std::string v1 = Write("v1.mp3", Frames(2) + test::ID3v1Tag("One", "", "", "", "", 1));
    EXPECT_EQ(ID3AnyInformation(v1).kind, InfoKind::ID3v1);
    EXPECT_EQ(ID3AnyInformation(v1).body, "\rTitle: One\rGenre: Classic Rock");

    InfoText none = ID3AnyInformation(Write("none.mp3", Frames(2)));
    EXPECT_EQ(none.kind, InfoKind::None);
    EXPECT_EQ(none.body, "No any ID3 tag available");
    EXPECT_TRUE(ID3AnyInformation(dir.File("x.flac")).notMP3);
}

TEST_F(InfoTexts, UnreadableFileIsReportedOnceAndShowsNoTag) {
    std::string missing = dir.File("gone.mp3");
    EXPECT_EQ(ID3v2Information(missing, Collect()).body, "No ID3v2 tag available");
    EXPECT_EQ(messages, std::vector<std::string>{"Cannot open file for reading"});
    messages.clear();
    EXPECT_EQ(ID3AnyInformation(missing, Collect()).body, "No any ID3 tag available");
    EXPECT_EQ(messages.size(), 1u);
    messages.clear();
    EXPECT_EQ(ID3v1Information(missing, Collect()).body, "No ID3v1 tag available");
    EXPECT_TRUE(messages.empty());
}

// A file that cannot be opened any more between the tag test and the read: the text
// says no tag (after the message the ID3v2 test would have given), never "ID3v2.0.0
// tag" or "Blank ID3v1 tag present", and the current tag record keeps what it held.
TEST_F(InfoTexts, FileLostBetweenTagTestAndRead) {
    // A tag test takes three file operations (open, size, read); the read's open is the
    // next one.
    constexpr int kReadOpen = 4;
    std::string both = Write("both.mp3", test::Tag(3, test::TextFrame("TIT2", "Two")) + Frames(2) +
                                             test::ID3v1Tag("One", "", "", "", "", 1));
    FailFileOperationAt(kReadOpen);
    EXPECT_TRUE(HasTag(both, kTagID3v2));
    EXPECT_FALSE(File::OpenRead(both)) << "the tag test no longer takes three operations";

    const struct {
        const char* name;
        std::function<InfoText(const std::string&, const ErrorReporter&, TID3v1Tag*, TID3v2Tag*)> action;
        InfoKind kind;
        std::string caption, body;
        size_t messages;
        const char* id3v1Record;  // the current record's title afterwards
    } cases[] = {
        {"ID3v2", [](auto& p, auto& e, auto*, auto* t2) { return ID3v2Information(p, e, t2); }, InfoKind::ID3v2, "",
         "No ID3v2 tag available", 1, "kept"},
        {"ID3v1", [](auto& p, auto& e, auto* t1, auto*) { return ID3v1Information(p, e, t1); }, InfoKind::ID3v1, "",
         "No ID3v1 tag available", 0, "kept"},
        // The ID3v1 test follows, as after a failed ID3v2 test.
        {"any", ID3AnyInformation, InfoKind::ID3v1, "ID3v1 tag", "\rTitle: One\rGenre: Classic Rock", 1, "One"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        messages.clear();
        TID3v1Tag current1;
        current1.Title = "kept";
        TID3v2Tag current2;
        current2.Title = "kept";
        FailFileOperationAt(kReadOpen);
        InfoText info = c.action(both, Collect(), &current1, &current2);
        FailFileOperationAt(0);
        EXPECT_EQ(info.kind, c.kind);
        EXPECT_EQ(info.caption, c.caption);
        EXPECT_EQ(info.body, c.body);
        EXPECT_EQ(messages, std::vector<std::string>(c.messages, "Cannot open file for reading"));
        EXPECT_EQ(current1.Title, c.id3v1Record);
        EXPECT_EQ(current2.Title, "kept");
    }
}

// The texts of one open are the texts of the calls one by one, over files that take
// every path through the readers: tags before and after, pictures beyond the first
// chunk, padding, other versions, files cut short, files of other kinds.
TEST_F(InfoTexts, OneOpenGivesTheTextsOfTheCallsOneByOne) {
    const std::string picture = test::Frame("APIC", std::string(20000, '\xFF') + std::string(5000, 'p'));
    const std::string v1 = test::ID3v1Tag("One", "Artist", "", "1999", "", 2);
    const struct {
        const char* name;
        std::string bytes;
    } files[] = {
        {"both.mp3", test::Tag(3, test::TextFrame("TIT2", "Two") + test::TextFrame("TPE1", "B")) + Frames(5) + v1},
        {"v1.mp3", Frames(3) + v1},
        {"picture.mp3", test::Tag(4, test::TextFrame("TIT2", "Big", 4) + picture + test::TextFrame("TALB", "Al", 4), 3000) +
                            Frames(4)},
        {"v22.mp3", "ID3\x02" + test::Tag(3, "", 100).substr(4) + Frames(2)},
        {"cut.mp3", test::Tag(3, test::TextFrame("TIT2", "Cut") + picture).substr(0, 9000)},
        {"silent.mp3", std::string(3000, '\0')},
        {"tiny.mp3", "ID"},
        {"song.ogg", Frames(2) + v1},
    };
    std::vector<std::string> paths{dir.File("missing.mp3"), dir.Path()};
    for (const auto& f : files) paths.push_back(Write(f.name, f.bytes));
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        messages.clear();
        InformationTexts all = AllInformation(path, 42, Collect());
        std::vector<std::string> oneOpen = messages;
        messages.clear();
        std::optional<InfoText> fileInfo = FileInformation(path, 42);
        ASSERT_EQ(all.fileInfo.has_value(), fileInfo.has_value());
        if (fileInfo) {
            EXPECT_EQ(all.fileInfo->body, fileInfo->body);
        }
        for (auto [mine, theirs] : {std::pair{all.id3v1, ID3v1Information(path)}, std::pair{all.id3v2, ID3v2Information(path)},
                                    std::pair{all.id3Any, ID3AnyInformation(path)}}) {
            EXPECT_EQ(mine.kind, theirs.kind);
            EXPECT_EQ(mine.notMP3, theirs.notMP3);
            EXPECT_EQ(mine.caption, theirs.caption);
            EXPECT_EQ(mine.body, theirs.body);
        }
        EXPECT_TRUE(oneOpen.empty());
    }
    // A file that cannot be opened: its directory entry, the empty analysis, no tag, one message.
    const std::string locked = dir.File("both.mp3");
    FailFileOperationAt(1);
    InformationTexts all = AllInformation(locked, 0, Collect());
    FailFileOperationAt(0);
    ASSERT_TRUE(all.fileInfo);
    EXPECT_NE(all.fileInfo->body.find("\rHeader found at:  bytes\rLength: undefined\r"), std::string::npos);
    EXPECT_EQ(all.id3Any.body, "No any ID3 tag available");
    EXPECT_EQ(messages, std::vector<std::string>{"Cannot open file for reading"});
}

// vemo-info says why a file cannot be read from the one open its texts are read
// through: a wrong reason here is a wrong message there.
TEST_F(InfoTexts, OneOpenKeepsWhyAFileCannotBeRead) {
    const std::string song = Write("song.mp3", Frames(2));
    const std::string other = Write("song.ogg", Frames(2));
    const std::string folderNamedMP3 = dir.File("album.mp3");
    std::filesystem::create_directory(folderNamedMP3);
    constexpr int kOpenFails = 1;  // the open is the first operation
    const struct {
        const char* name;
        std::string path;
        int failAt;
        bool folder;
        bool fileInfo;    // listed, so shown even when it cannot be read
        size_t messages;  // as the texts one by one report a failed open
    } cases[] = {
        {"MP3 name", song, 0, false, true, 0},
        {"other name", other, 0, false, true, 0},
        {"MP3 name, open refused", song, kOpenFails, false, true, 1},
        {"other name, open refused", other, kOpenFails, false, true, 0},
        {"missing MP3 name", dir.File("gone.mp3"), 0, false, false, 0},
        {"missing other name", dir.File("gone.ogg"), 0, false, false, 0},
        {"folder", dir.Path(), 0, true, false, 0},
        {"folder with an MP3 name", folderNamedMP3, 0, true, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        messages.clear();
        FailFileOperationAt(c.failAt);
        InformationTexts all = AllInformation(c.path, 0, Collect());
        EXPECT_EQ(all.fileInfo.has_value(), c.fileInfo);
        EXPECT_EQ(messages.size(), c.messages);
        FailFileOperationAt(c.failAt);
        const bool opens = static_cast<bool>(File::OpenRead(c.path));
        const int code = LastFileError();
        FailFileOperationAt(0);
        ASSERT_EQ(all.openError.has_value(), !opens);
        if (opens) continue;
        // The open's own reason, not that of a later look at the path.
        EXPECT_EQ(*all.openError, code);
        EXPECT_EQ(IsFolderError(*all.openError), c.folder);
    }
}

}  // namespace
}  // namespace vemo
