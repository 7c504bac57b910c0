#include "audio/tag_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#endif

#include "audio/audio_texts.h"
#include "fixtures/audio_fixtures.h"
#include "support/temp_dir.h"
#include "text/code_page.h"
#include "text/file_access.h"
#include "text/unicode.h"

namespace vemo {
namespace {

using namespace std::string_literals;
using test::Frame;
using test::ID3v1Tag;
using test::ListFolder;
using test::ReadAll;
using test::Tag;
using test::TextFrame;
using test::WriteAll;

const std::string kTitle31 = "A Title Of Thirty-One Characters";  // 32, one over either way
const std::string kTitle30 = kTitle31.substr(0, 30);
const std::string kLong = "Some Artist - " + kTitle31;

// Bytes no tag reader takes for a tag; more than one move block of them where it counts.
std::string Audio(size_t size) {
    std::mt19937 random(static_cast<unsigned>(size));
    std::string audio = "\xFF\xFB\x90\x64";
    while (audio.size() < size) audio += static_cast<char>(random());
    return audio.substr(0, size);
}

// The frames a name gives, in the form of a major version.
std::string NameFrames(const std::string& artist, const std::string& title, int major = 3) {
    return TextFrame("TPE1", artist, major) + TextFrame("TIT2", title, major);
}

// A tag of the given total size: the frames, then zero padding.
std::string Padded(int major, const std::string& frames, size_t total) { return Tag(major, frames, total - 10 - frames.size()); }

std::string NewV1(const std::string& title, const std::string& artist) { return ID3v1Tag(title, artist, "", "", "", 255); }

// Frames a tag of any tagger may hold, pictures and user texts among them, and those
// whose identifiers begin like TPE1's and TIT2's: a rebuild that told frames apart by
// their first letters would drop them.
std::string OtherFrames(int major) {
    std::string picture = "\0image/png\0\x03\0"s + std::string(300, '\0') + "\x89PNG\xFF\xFB";
    return TextFrame("TALB", "Album", major) + TextFrame("TYER", "1999", major) +
           Frame("COMM", "\0eng\0A comment"s, major) + Frame("APIC", picture, major) +
           Frame("TXXX", "\0key\0value"s, major) + TextFrame("TPE2", "Band", major) +
           TextFrame("TPE3", "Conductor", major) + TextFrame("TIT1", "Group", major) +
           TextFrame("TIT3", "Subtitle", major);
}

class TagWriter : public ::testing::Test {
protected:
    void TearDown() override {
        FailFileOperationAt(0);
        UseCodePageForTests(0);
    }

    // Writes before into a file of the given name, tags it, and checks it became after.
    void Expect(const std::string& name, const std::string& before, const std::string& after,
                TagWriteStatus status = TagWriteStatus::Created, const char* text = texts::kTagCreated) {
        const std::string path = dir.File(name);
        WriteAll(path, before);
        TagWriteResult result = WriteTagFromFileName(path);
        EXPECT_EQ(result.Status, status) << name;
        EXPECT_EQ(result.Text, text) << name;
        EXPECT_TRUE(ReadAll(path) == after) << name;
        EXPECT_EQ(ListFolder(dir.Path()), name);
        std::filesystem::remove(path);
    }

    test::TempDir dir;
};

TEST(SplitTrackName, FirstSeparatorOfTheBaseNameOnly) {
    const std::string sep(1, PathSeparator());
    const struct {
        std::string path, artist, title;
    } cases[] = {
        {"Artist - Title.mp3", "Artist", "Title"},
        {"A - B - C.mp3", "A", "B - C"},
        {"NoSeparator.mp3", "", "NoSeparator"},
        {"Artist-Title.mp3", "", "Artist-Title"},
        {"- Title.mp3", "", "- Title"},
        {" - Title.mp3", "", "Title"},
        {"Artist  -  Title.mp3", "Artist ", " Title"},  // nothing trimmed
        {"Band - Live" + sep + "a.b - c.d.mp3", "a.b", "c.d"},
        {"no extension", "", "no extension"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        NameSplit split = SplitTrackName(c.path);
        EXPECT_EQ(split.Artist, c.artist) << c.path;
        EXPECT_EQ(split.Title, c.title) << c.path;
    }
}

TEST_F(TagWriter, NamesGiveTheTagTheyFit) {
    const std::string audio = Audio(5000);
    const std::string oldV1 = ID3v1Tag("Old", "Old", "Album", "1999", "Comment"s + std::string(22, '\0') + '\x07', 17);
    const struct {
        std::string name, before, after;
    } cases[] = {
        {"Artist - Title.mp3", audio, audio + NewV1("Title", "Artist")},
        {"NoSeparator.mp3", audio, audio + NewV1("NoSeparator", "")},
        {"A - B - C.mp3", audio, audio + NewV1("B - C", "A")},
        {"Band - " + kTitle30 + ".mp3", audio, audio + NewV1(kTitle30, "Band")},
        {"New - Name.mp3", audio + oldV1,
         audio + ID3v1Tag("Name", "New", "Album", "1999", oldV1.substr(97, 30), 17)},  // album, year, comment, track, genre kept
        {"Short - Name.mp3", "", NewV1("Name", "Short")},
        // Either longer than 30: a new 2.3 tag in front, an ID3v1 tag left alone.
        {kLong + ".mp3", audio + oldV1, Tag(3, NameFrames("Some Artist", kTitle31)) + '\0' + audio + oldV1},
        {kTitle31 + " - T.mp3", audio, Tag(3, NameFrames(kTitle31, "T")) + '\0' + audio},
        {" - " + kTitle31 + ".mp3", "", Tag(3, NameFrames("", kTitle31)) + '\0'},
    };
    for (const auto& c : cases) Expect(c.name, c.before, c.after);
}

// Frame data in each encoding the writer picks, with the text in UTF-8.
std::string Latin1Data(const std::string& latin1Bytes) { return '\0' + latin1Bytes; }
std::string Utf8Data(const std::string& utf8) { return '\x03' + utf8; }
std::string Utf16Data(const std::string& utf8) {
    std::string data = "\x01\xFF\xFE";
    for (char16_t unit : Utf8ToUtf16(utf8)) {
        data += static_cast<char>(unit & 0xFF);
        data += static_cast<char>(unit >> 8);
    }
    return data;
}

// ID3v1 only when both texts go into the code page whole and fit its fields there, with
// the code page's bytes; else ID3v2 frames that hold the name whole: ISO-8859-1 (Latin-1
// bytes, not the code page's) for Latin-1 text, else UTF-16 in 2.3 and UTF-8 in 2.4.
TEST_F(TagWriter, NamesInAnyScriptGetATagThatHoldsThemWhole) {
    const std::string audio = Audio(40);
    const std::string kino = "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE";
    const std::string kino1251 = "\xCA\xE8\xED\xEE";
    // 22 letters: 41 bytes of UTF-8, 22 of the code page.
    const std::string zvezda = "\xD0\x97\xD0\xB2\xD0\xB5\xD0\xB7\xD0\xB4\xD0\xB0 \xD0\xBF\xD0\xBE \xD0\xB8\xD0\xBC\xD0\xB5"
                               "\xD0\xBD\xD0\xB8 \xD0\xA1\xD0\xBE\xD0\xBB\xD0\xBD\xD1\x86\xD0\xB5";
    const std::string zvezda1251 = "\xC7\xE2\xE5\xE7\xE4\xE0 \xEF\xEE \xE8\xEC\xE5\xED\xE8 \xD1\xEE\xEB\xED\xF6\xE5";
    std::string noch32;  // 32 letters: 64 bytes of UTF-8, 32 of the code page
    for (int i = 0; i < 8; ++i) noch32 += "\xD0\x9D\xD0\xBE\xD1\x87\xD1\x8C";
    const std::string nihongo = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";
    const std::string uta = "\xE6\xAD\x8C";
    const std::string note = "\xF0\x9F\x8E\xB5";
    const std::string crazy = "Crazy In Love (Featuring Jay-Z) Remastered";
    const std::string oldAlbum4 = TextFrame("TALB", "Album", 4);
    auto v2 = [&](int major, const std::string& artistData, const std::string& titleData) {
        return Frame("TPE1", artistData, major) + Frame("TIT2", titleData, major);
    };
    const struct {
        const char* what;
        unsigned codePage;
        std::string name, before, after;
    } cases[] = {
        {"ascii", 1251, "Artist - Title.mp3", audio, audio + NewV1("Title", "Artist")},
        {"cyrillic that fits 1251", 1251, kino + " - " + zvezda + ".mp3", audio, audio + NewV1(zvezda1251, kino1251)},
        {"cyrillic under 1252", 1252, kino + " - " + zvezda + ".mp3", audio,
         Tag(3, v2(3, Utf16Data(kino), Utf16Data(zvezda))) + '\0' + audio},
        {"cyrillic too long for ID3v1 is never cut", 1251, kino + " - " + noch32 + ".mp3", audio,
         Tag(3, v2(3, Utf16Data(kino), Utf16Data(noch32))) + '\0' + audio},
        {"latin-1 too long for ID3v1", 1252, "Beyonc\xC3\xA9 - " + crazy + ".mp3", audio,
         Tag(3, v2(3, Latin1Data("Beyonc\xE9"), Latin1Data(crazy))) + '\0' + audio},
        {"latin-1 outside 1251", 1251, "Mot\xC3\xB6rhead - Ace.mp3", audio,
         Tag(3, v2(3, Latin1Data("Mot\xF6rhead"), Latin1Data("Ace"))) + '\0' + audio},
        {"japanese into an old 2.4 tag", 1252, nihongo + " - " + uta + ".mp3", Tag(4, oldAlbum4, 100) + audio,
         Padded(4, v2(4, Utf8Data(nihongo), Utf8Data(uta)) + oldAlbum4, 10 + oldAlbum4.size() + 100) + audio},
        {"japanese into an old 2.3 tag", 1252, nihongo + " - " + uta + ".mp3", Tag(3, TextFrame("TALB", "Album")) + audio,
         Tag(3, v2(3, Utf16Data(nihongo), Utf16Data(uta)) + TextFrame("TALB", "Album")) + audio},
        {"emoji as a surrogate pair", 1251, note + " - Song.mp3", audio,
         Tag(3, v2(3, "\x01\xFF\xFE\x3C\xD8\xB5\xDF"s, Latin1Data("Song"))) + '\0' + audio},
    };
    for (const auto& c : cases) {
        UseCodePageForTests(c.codePage);
        // Made and read back under a plain name, so that only the writer sees the other one.
        const std::string plain = dir.File("plain.mp3");
        const std::string named = dir.File(c.name);
        WriteAll(plain, c.before);
        ASSERT_TRUE(RenameFile(plain, named)) << c.what;
        const TagWriteResult result = WriteTagFromFileName(named);
        EXPECT_EQ(result.Status, TagWriteStatus::Created) << c.what << ": " << result.Text;
        ASSERT_TRUE(RenameFile(named, plain)) << c.what;
        EXPECT_EQ(ReadAll(plain), c.after) << c.what;
        RemoveFile(plain);
    }
}

// An old 2.3 or 2.4 tag keeps every frame but TPE1 and TIT2 byte for byte, in its
// version; the audio after it is moved whole, or stays where it is when the tag fits.
TEST_F(TagWriter, OldTagKeepsItsFrames) {
    const std::string audio = Audio((size_t{3} << 20) + 12345);
    const std::string name = kLong + ".mp3";
    const std::string mine3 = NameFrames("Some Artist", kTitle31);
    const std::string mine4 = NameFrames("Some Artist", kTitle31, 4);
    const std::string old3 = TextFrame("TIT2", "Old") + OtherFrames(3) + TextFrame("TPE1", "Old");
    const std::string old4 = TextFrame("TPE1", "Old", 4) + OtherFrames(4);
    const std::string old4Long = TextFrame("TIT2", std::string(80, 't'), 4) + OtherFrames(4);
    auto footer = [](size_t size) { return "3DI\x04\x00\x10"s + test::SyncSafe32(static_cast<uint32_t>(size)); };
    const std::string picture = Frame("APIC", std::string(4096 - 10 - 12 - 10, 'p'));
    const struct {
        std::string oldTag, newTag;
    } cases[] = {
        {Tag(3, old3), Tag(3, mine3 + OtherFrames(3))},
        {Tag(4, old4), Tag(4, mine4 + OtherFrames(4))},
        {Tag(3, old3, 200), Padded(3, mine3 + OtherFrames(3), 10 + old3.size() + 200)},
        // The footer goes with the old tag: into the padding when the new one fits, else away.
        {Tag(4, old4Long, 0, 0x10) + footer(old4Long.size()), Padded(4, mine4 + OtherFrames(4), 10 + old4Long.size() + 10)},
        {Tag(4, TextFrame("TIT2", "x", 4), 0, 0x10) + footer(12), Tag(4, mine4)},
        // 4,096 bytes of old tag before audio whose length is no multiple of it.
        {Tag(3, TextFrame("TPE1", "x") + picture), Tag(3, mine3 + picture)},
    };
    for (const auto& c : cases) Expect(name, c.oldTag + audio, c.newTag + audio);
}

// A 2.4 tag with a footer whose size is within 10 of the largest a tag can declare:
// the new tag cannot take its place, padded and without the footer, so the head gets
// shorter. In place the audio then moves down and the file is cut; a move made for a
// growing head left the audio twice, 256 MiB of zeros between, and said "created".
// Each of the last steps failing (the last block's write, the tag, the cut) puts
// the old file back; the whole sweep would read the 256 MiB head too many times.
TEST_F(TagWriter, ShorterHeadInPlaceMovesTheAudioDownAndCutsTheFile) {
    constexpr uint32_t kSize = 0x0FFFFFFF - 9;
    constexpr int kLastSteps = 7;  // from the last block's write on
    const std::string audio = Audio((size_t{1} << 20) + 4321);
    const std::string name = kLong + ".mp3";
    const std::string path = dir.File(name);
    const std::string album = TextFrame("TALB", "Album", 4);
    const std::string head = Tag(4, album, 0, 0x10).substr(0, 6) + test::SyncSafe32(kSize) + album;
    const std::string footer = "3DI\x04\x00\x10"s + test::SyncSafe32(kSize);
    const std::string after = Tag(4, NameFrames("Some Artist", kTitle31, 4) + album) + audio;
    auto writeOld = [&] {
        File file = File::CreateAlways(path);  // the padding is left as a hole
        return file.Write(head.data(), head.size()) && file.Seek(10 + int64_t{kSize}) &&
               file.Write(footer.data(), footer.size()) && file.Write(audio.data(), audio.size());
    };
    auto isOld = [&] {
        File file = File::OpenRead(path);
        std::string bytes(head.size(), '\0'), tail(footer.size() + audio.size(), '\0');
        return file.Size() == 10 + int64_t{kSize} + static_cast<int64_t>(tail.size()) &&
               file.ReadAt(0, bytes.data(), bytes.size()) == static_cast<int64_t>(bytes.size()) && bytes == head &&
               file.ReadAt(10 + int64_t{kSize}, tail.data(), tail.size()) == static_cast<int64_t>(tail.size()) &&
               tail == footer + audio;
    };
    // With every temporary name taken, the audio can only move in place.
    std::string listing = name;
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        WriteAll(TemporaryPathBeside(path, attempt), "foreign");
        listing += " " + name + ".vemo" + std::to_string(attempt) + ".tmp";
    }

    ASSERT_TRUE(writeOld());
    FailFileOperationAt(0);
    TagWriteResult result = WriteTagFromFileName(path);
    const int steps = FileOperationsCounted();
    EXPECT_EQ(result.Status, TagWriteStatus::Created) << result.Text;
    EXPECT_TRUE(ReadAll(path) == after);

    for (int n = steps; n > steps - kLastSteps; --n) {
        SCOPED_TRACE("failing operation " + std::to_string(n) + " of " + std::to_string(steps));
        ASSERT_TRUE(writeOld());
        FailFileOperationAt(n);
        result = WriteTagFromFileName(path);
        FailFileOperationAt(0);
        EXPECT_EQ(result.Text, texts::kTagNotWritten);
        EXPECT_TRUE(isOld());
        EXPECT_EQ(ListFolder(dir.Path()), listing);
    }
}

TEST_F(TagWriter, TagsThatCannotBeKeptFaithfullyLeaveTheFileAlone) {
    const std::string audio = Audio(3000);
    const std::string frames = TextFrame("TALB", "Album");
    const std::string name = kLong + ".mp3";
    const struct {
        std::string before;
        TagWriteStatus status;
        const char* text;
    } cases[] = {
        {"ID3\x02"s + Tag(3, frames).substr(4) + audio, TagWriteStatus::UnknownVersion, texts::kUnknownTagVersion},
        {"ID3\x05"s + Tag(3, frames).substr(4) + audio, TagWriteStatus::UnknownVersion, texts::kUnknownTagVersion},
        {Tag(3, frames, audio.size()), TagWriteStatus::Refused, texts::kTagSizeCorrupt},  // nothing after the tag
        {Tag(3, frames, audio.size() + 1).substr(0, 10) + frames + audio, TagWriteStatus::Refused, texts::kTagSizeCorrupt},
        {Tag(4, frames, 0, 0x10) + audio, TagWriteStatus::Refused, texts::kTagSizeCorrupt},  // no footer where flagged
        {"ID3\x03\x00\x00\x00\x00\x80\x10"s + frames + audio, TagWriteStatus::Refused, texts::kTagSizeCorrupt},
        {"ID3\x03\x00"s, TagWriteStatus::Refused, texts::kTagSizeCorrupt},
        {Tag(3, frames, 0, 0x80) + audio, TagWriteStatus::Refused, texts::kTagUnsynchronised},
        {Tag(3, "\0\0\0\x06\0\0\0\0\0\0"s + frames, 0, 0x40) + audio, TagWriteStatus::Refused, texts::kTagExtendedHeader},
        {Tag(3, frames, 0, 0x01) + audio, TagWriteStatus::Refused, texts::kTagUnknownFlags},
        {Tag(3, frames.substr(0, frames.size() - 1)) + audio, TagWriteStatus::Refused, texts::kTagFramesDamaged},
        {Tag(3, "talb" + frames.substr(4)) + audio, TagWriteStatus::Refused, texts::kTagFramesDamaged},
        {Tag(3, frames + std::string(5, '\0') + "\xFF\xFB") + audio, TagWriteStatus::Refused, texts::kTagFramesDamaged},
        {Tag(4, Frame("TALB", std::string(200, 'a'), 3)) + audio, TagWriteStatus::Refused, texts::kTagFramesDamaged},
        {Tag(3, frames.substr(0, 9) + "\x80" + frames.substr(10)) + audio, TagWriteStatus::Refused, texts::kTagFramesPacked},
    };
    for (const auto& c : cases) Expect(name, c.before, c.before, c.status, c.text);

    TagWriteResult missing = WriteTagFromFileName(dir.File(name));
    EXPECT_EQ(missing.Status, TagWriteStatus::CannotOpen);
    EXPECT_EQ(missing.Text, texts::kCannotOpenForWriting);
    std::filesystem::create_directory(dir.File("Folder - X.mp3"));
    EXPECT_EQ(WriteTagFromFileName(dir.File("Folder - X.mp3")).Status, TagWriteStatus::CannotOpen);
}

// The file swapped in for the old one keeps its permissions and times; when another
// program holds the file (Windows refuses the swap then) the audio is moved in place.
TEST_F(TagWriter, ReplacedFileKeepsItsStampAndHeldFileIsWrittenInPlace) {
    namespace fs = std::filesystem;
    const std::string path = dir.File(kLong + ".mp3");
    const std::string audio = Audio(70000);
    for (bool held : {false, true}) {
        WriteAll(path, audio);
        fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(240));
        const auto when = fs::last_write_time(path);  // as finely as the file system keeps it
#ifndef _WIN32
        fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
#endif
        const fs::perms perms = fs::status(path).permissions();
        {
            File holder = held ? File::OpenRead(path, Share::ReadWrite) : File();
            EXPECT_EQ(WriteTagFromFileName(path).Status, TagWriteStatus::Created);
        }
        EXPECT_TRUE(ReadAll(path) == Tag(3, NameFrames("Some Artist", kTitle31)) + '\0' + audio);
        EXPECT_EQ(ListFolder(dir.Path()), kLong + ".mp3");
        EXPECT_EQ(fs::status(path).permissions(), perms);
        EXPECT_TRUE(held || fs::last_write_time(path) == when);
    }
}

// A name as long as the folder takes (253 bytes on Linux) left no room for the
// temporary name behind it, and the audio was moved in place, where a crash damages
// the file. The swap still happens: the file keeps its time, as only a swapped-in file
// does.
TEST_F(TagWriter, LongestNameStillGoesThroughATemporaryFile) {
    namespace fs = std::filesystem;
    const std::string name = "Some Artist - " + std::string(test::LongestNameIn(dir.Path()) - 2 - 18, 't') + ".mp3";
    const std::string path = dir.File(name);
    const std::string audio = Audio(70000);
    WriteAll(path, audio);
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(240));
    const auto when = fs::last_write_time(path);
    EXPECT_EQ(WriteTagFromFileName(path).Status, TagWriteStatus::Created);
    EXPECT_TRUE(ReadAll(path) == Tag(3, NameFrames("Some Artist", name.substr(14, name.size() - 18))) + '\0' + audio);
    EXPECT_TRUE(fs::last_write_time(path) == when) << "moved in place";
    EXPECT_EQ(ListFolder(dir.Path()), name);
}

// Whatever name the file is reached by, the one file gets the tag: through a symbolic
// link the file it leads to (the link stays a link), and a file with a second name (a
// hard link) in place, so that both names see it. The swap made a link a file of its
// own beside an untagged one, and split hard links.
TEST_F(TagWriter, LinksLeadToTheOneFileThatIsTagged) {
    namespace fs = std::filesystem;
    const std::string audio = Audio(70000);
    const struct {
        std::string name, after;
    } cases[] = {
        {"A - B.mp3", audio + NewV1("B", "A")},
        {kLong + ".mp3", Tag(3, NameFrames("Some Artist", kTitle31)) + '\0' + audio},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File(c.name);
        const std::string second = dir.File("second name");
        WriteAll(path, audio);
        fs::create_hard_link(path, second);
        EXPECT_EQ(WriteTagFromFileName(path).Status, TagWriteStatus::Created);
        EXPECT_TRUE(ReadAll(path) == c.after);
        EXPECT_TRUE(ReadAll(second) == c.after);
        EXPECT_EQ(ListFolder(dir.Path()), c.name + " second name");
        fs::remove(path);
        fs::remove(second);
#ifndef _WIN32  // Wine makes no symbolic links
        const std::string stored = dir.File("stored") + PathSeparator() + "song.mp3";
        fs::create_directory(FolderOf(stored));
        WriteAll(stored, audio);
        fs::create_symlink(stored, path);
        EXPECT_EQ(WriteTagFromFileName(path).Status, TagWriteStatus::Created);
        EXPECT_TRUE(fs::is_symlink(path));
        EXPECT_TRUE(ReadAll(stored) == c.after);
        EXPECT_EQ(ListFolder(dir.Path()), c.name + " stored");
        EXPECT_EQ(ListFolder(FolderOf(stored)), "song.mp3");
        fs::remove(path);
        fs::remove_all(FolderOf(stored));
#endif
    }
}

#ifndef _WIN32
// Tagging must not give the file away: tagged as root, a user's file became root's, and
// its extended attributes were dropped.
TEST_F(TagWriter, SwappedInFileKeepsOwnerGroupAndExtendedAttributes) {
    const std::string path = dir.File(kLong + ".mp3");
    WriteAll(path, Audio(70000));
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(path.c_str(), 1234, 5678), 0);
    }
    const bool extended = ::setxattr(path.c_str(), "user.vemo", "kept", 4, 0) == 0;
    EXPECT_EQ(WriteTagFromFileName(path).Status, TagWriteStatus::Created);
    EXPECT_EQ(ListFolder(dir.Path()), kLong + ".mp3");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    if (root) {
        EXPECT_TRUE(st.st_uid == 1234 && st.st_gid == 5678);
    }
    if (extended) {
        char value[8] = {};
        EXPECT_EQ(::getxattr(path.c_str(), "user.vemo", value, sizeof value), 4);
        EXPECT_STREQ(value, "kept");
    }
    if (!root || !extended) GTEST_SKIP() << "not root, or no extended attributes here: only partly checked";
}
#endif

// Every file operation fails in turn, n = 1, 2, ... until the run passes them all: the
// file is then the old one with a result that says so, or the new one, "created";
// nothing of ours is left beside it.
class TagWriterSweep : public TagWriter {
protected:
    void Sweep(const std::string& name, const std::string& before, const std::string& after, const std::string& others = "") {
        const std::string path = dir.File(name);
        const std::string listing = others.empty() ? name : name + " " + others;
        int n = 1;
        for (bool fired = true; fired; ++n) {
            WriteAll(path, before);
            FailFileOperationAt(n);
            TagWriteResult result = WriteTagFromFileName(path);
            fired = !FileFailureArmed();
            FailFileOperationAt(0);
            const bool created = result.Status == TagWriteStatus::Created;
            EXPECT_TRUE(ReadAll(path) == (created ? after : before)) << name << " n=" << n << ": " << result.Text;
            EXPECT_TRUE(created || result.Status == TagWriteStatus::CannotOpen || result.Text == texts::kTagNotWritten ||
                        result.Text == texts::kTagAttributesNotKept)
                << name << " n=" << n;
            EXPECT_EQ(ListFolder(dir.Path()), listing) << name << " n=" << n;
            EXPECT_TRUE(created || fired) << name << ": fails without a failure";
        }
        EXPECT_GT(n, 4) << name;
    }
};

TEST_F(TagWriterSweep, ID3v1) {
    const std::string audio = Audio(3000);
    Sweep("A - B.mp3", audio, audio + NewV1("B", "A"));
    Sweep("A - B.mp3", audio + NewV1("Old", "Old"), audio + NewV1("B", "A"));
}

// Audio over two move blocks, so that reads and writes fail at the first, a middle and
// the last block; the tag is new, larger than the old, and fits the old one's place.
const std::string kSweepAudio = Audio((size_t{2} << 20) + 777);
const std::string kSweepName = kLong + ".mp3";
const struct {
    std::string before, after;
} kSweepCases[] = {
    {kSweepAudio, Tag(3, NameFrames("Some Artist", kTitle31)) + '\0' + kSweepAudio},
    {Tag(3, TextFrame("TALB", "Album")) + kSweepAudio, Tag(3, NameFrames("Some Artist", kTitle31) + TextFrame("TALB", "Album")) + kSweepAudio},
    {Tag(3, TextFrame("TALB", "Album"), 100) + kSweepAudio,
     Padded(3, NameFrames("Some Artist", kTitle31) + TextFrame("TALB", "Album"), 10 + 16 + 100) + kSweepAudio},
};

TEST_F(TagWriterSweep, ID3v2ThroughTemporaryFile) {
    for (const auto& c : kSweepCases) Sweep(kSweepName, c.before, c.after);
}

TEST_F(TagWriterSweep, ID3v2InPlace) {
    // With every temporary name taken, the audio can only be moved in place.
    std::string others;
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        WriteAll(TemporaryPathBeside(dir.File(kSweepName), attempt), "foreign");
        others += (others.empty() ? "" : " ") + kSweepName + ".vemo" + std::to_string(attempt) + ".tmp";
    }
    for (const auto& c : kSweepCases) Sweep(kSweepName, c.before, c.after, others);
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        EXPECT_EQ(ReadAll(TemporaryPathBeside(dir.File(kSweepName), attempt)), "foreign");
    }
}

}  // namespace
}  // namespace vemo
