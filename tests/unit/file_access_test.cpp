#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "audio/tag_writer.h"
#include "support/temp_dir.h"
#include "text/file_access.h"

namespace vemo {
namespace {

using test::ReadAll;
using test::TempDir;
using test::WriteAll;

class FileAccess : public ::testing::Test {
protected:
    void TearDown() override {
        FailFileOperationAt(0);
        SimulateNoExtendedAttributes(false);
    }
    TempDir dir;
};

TEST_F(FileAccess, ReadWriteSeekSizeTruncate) {
    std::string path = dir.File("a.bin");
    {
        File f = File::CreateNew(path);
        ASSERT_TRUE(f);
        ASSERT_TRUE(f.Write("hello world", 11));
        EXPECT_EQ(f.Size(), 11);
        EXPECT_EQ(f.Position(), 11);
        ASSERT_TRUE(f.Seek(5));
        ASSERT_TRUE(f.Truncate());
        EXPECT_EQ(f.Size(), 5);
        ASSERT_TRUE(f.Flush());
    }
    EXPECT_EQ(ReadAll(path), "hello");

    File f = File::OpenRead(path);
    ASSERT_TRUE(f);
    char buf[16] = {};
    EXPECT_EQ(f.Read(buf, sizeof buf), 5);  // short read at the end, not an error
    EXPECT_EQ(f.Read(buf, sizeof buf), 0);
    ASSERT_TRUE(f.Seek(1));
    EXPECT_EQ(f.Read(buf, 2), 2);
    EXPECT_EQ(std::string(buf, 2), "el");
    EXPECT_FALSE(f.Write("x", 1));  // opened for reading only
    EXPECT_FALSE(f.Seek(-1));
    // Reads at a position: short at the end, nothing past it, a negative one refused.
    EXPECT_EQ(f.ReadAt(3, buf, sizeof buf), 2);
    EXPECT_EQ(std::string(buf, 2), "lo");
    EXPECT_EQ(f.ReadAt(5, buf, 1), 0);
    EXPECT_EQ(f.ReadAt(1 << 20, buf, 1), 0);
    EXPECT_EQ(f.ReadAt(-1, buf, 1), -1);
    // A folder is no file, on every system.
    EXPECT_FALSE(File::OpenRead(dir.Path()));
}

TEST_F(FileAccess, OpenOfMissingFileFailsAndClosedFileRefusesEverything) {
    File f = File::OpenRead(dir.File("missing"));
    EXPECT_FALSE(f);
    EXPECT_NE(LastFileError(), 0);
    EXPECT_FALSE(FileErrorText(LastFileError()).empty());
    char c;
    EXPECT_EQ(f.Read(&c, 1), -1);
    EXPECT_FALSE(f.Write(&c, 1));
    EXPECT_EQ(f.Size(), -1);
    EXPECT_FALSE(File::OpenReadWrite(dir.File("missing")));
}

// The open alone tells a folder from other refusals and gives the size, so a reader
// needs no second look at the path to say why it cannot read a file.
TEST_F(FileAccess, OpenReadTellsAFolderAndGivesTheSize) {
    std::string five = dir.File("five");
    WriteAll(five, "12345");
    int64_t size = 0;
    ASSERT_TRUE(File::OpenRead(five, Share::Read, &size));
    EXPECT_EQ(size, 5);

    std::string locked = dir.File("locked");
    std::filesystem::create_directory(locked);
#ifndef _WIN32
    // Without rights the system refuses the open before it could see a folder.
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
#endif
    const struct {
        const char* name;
        std::string path;
        bool folder;
    } refused[] = {
        {"folder", dir.Path(), true},
        {"folder that may not be read", locked, true},
        {"missing", dir.File("missing"), false},
        {"below a file", five + PathSeparator() + "x", false},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.name);
        size = 0;
        EXPECT_FALSE(File::OpenRead(c.path, Share::Read, &size));
        EXPECT_EQ(size, -1);
        EXPECT_NE(LastFileError(), 0);
        EXPECT_EQ(IsFolderError(LastFileError()), c.folder);
    }
#ifndef _WIN32
    ::chmod(locked.c_str(), 0700);
#endif
}

TEST_F(FileAccess, CreateNewNeverTouchesWhatIsThere) {
    std::string path = dir.File("taken");
    WriteAll(path, "keep");
    EXPECT_FALSE(File::CreateNew(path));
    EXPECT_EQ(ReadAll(path), "keep");
    File again = File::CreateAlways(path);
    ASSERT_TRUE(again);
    EXPECT_EQ(again.Size(), 0);
}

TEST_F(FileAccess, MovedHandleOwnsTheFile) {
    File a = File::CreateNew(dir.File("m"));
    ASSERT_TRUE(a);
    File b = std::move(a);
    EXPECT_FALSE(a);  // NOLINT(bugprone-use-after-move): checking the moved-from state
    EXPECT_TRUE(b.Write("z", 1));
    b = File();
    EXPECT_FALSE(b);
    EXPECT_EQ(ReadAll(dir.File("m")), "z");
}

TEST_F(FileAccess, IsEndOfFileKeepsThePosition) {
    std::string path = dir.File("e");
    WriteAll(path, "ab");
    File f = File::OpenRead(path);
    ASSERT_TRUE(f.Seek(1));
    EXPECT_FALSE(IsEndOfFile(f));
    EXPECT_EQ(f.Position(), 1);
    ASSERT_TRUE(f.Seek(2));
    EXPECT_TRUE(IsEndOfFile(f));
    EXPECT_EQ(f.Position(), 2);
    // A failed read is not the end.
    FailFileOperationAt(1);
    EXPECT_FALSE(IsEndOfFile(f));
    File closed;
    EXPECT_FALSE(IsEndOfFile(closed));
}

TEST_F(FileAccess, AttributesFoldersAndReadOnly) {
    std::string path = dir.File("ro");
    WriteAll(path, "x");
    EXPECT_TRUE(FileExists(path));
    EXPECT_FALSE(DirectoryExists(path));
    EXPECT_TRUE(DirectoryExists(dir.Path()));
    EXPECT_FALSE(FileExists(dir.Path()));
    EXPECT_FALSE(FileAttributes(dir.File("none")).has_value());
    EXPECT_FALSE(DirectoryExists(dir.File("none")));

    auto attributes = FileAttributes(path);
    ASSERT_TRUE(attributes);
    EXPECT_EQ(*attributes & kAttrReadOnly, 0u);
    ASSERT_TRUE(SetAttributes(path, *attributes | kAttrReadOnly));
    EXPECT_NE(*FileAttributes(path) & kAttrReadOnly, 0u);
    ASSERT_TRUE(SetAttributes(path, *FileAttributes(path) & ~kAttrReadOnly));
    EXPECT_EQ(*FileAttributes(path) & kAttrReadOnly, 0u);
}

TEST_F(FileAccess, ListedFileSizeOfFilesOnly) {
    WriteAll(dir.File("three"), "abc");
    WriteAll(dir.File("empty"), "");
    constexpr int64_t kBig = (int64_t{5} << 30) + 3;  // needs the high 32 bits
    {
        File big = File::CreateAlways(dir.File("big"));  // sparse: no disk space taken
        ASSERT_TRUE(big.Seek(kBig));
        ASSERT_TRUE(big.Truncate());
    }
    EXPECT_EQ(ListedFileSize(dir.File("three")), 3);
    EXPECT_EQ(ListedFileSize(dir.File("empty")), 0);
    EXPECT_EQ(ListedFileSize(dir.File("big")), kBig);
    EXPECT_EQ(ListedFileSize(dir.File("missing")), std::nullopt);
    EXPECT_EQ(ListedFileSize(dir.File("thre?")), std::nullopt);  // no search pattern
    EXPECT_EQ(ListedFileSize(dir.Path()), std::nullopt);
    EXPECT_EQ(ListedFileSize(""), std::nullopt);
}

// The player lists files it cannot open; their size comes from the directory entry.
TEST_F(FileAccess, ListedFileSizeNeedsNoReadAccess) {
    std::string path = dir.File("locked");
    WriteAll(path, "12345");
#ifdef _WIN32
    File holder = File::OpenReadWrite(path, Share::None);
    ASSERT_TRUE(holder);
    EXPECT_FALSE(File::OpenRead(path, Share::ReadWrite));
#else
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);  // root may still read it; the size is what counts
#endif
    EXPECT_EQ(ListedFileSize(path), 5);
}

TEST_F(FileAccess, RenameRefusesAnExistingTargetReplaceDoesNot) {
    std::string a = dir.File("a"), b = dir.File("b"), c = dir.File("c");
    WriteAll(a, "A");
    WriteAll(b, "B");
    EXPECT_FALSE(RenameFile(a, b));
    EXPECT_EQ(ReadAll(b), "B");
    EXPECT_TRUE(RenameFile(a, c));
    EXPECT_FALSE(FileExists(a));
    EXPECT_EQ(ReadAll(c), "A");

    EXPECT_TRUE(ReplaceFileAtomic(c, b));  // target exists
    EXPECT_EQ(ReadAll(b), "A");
    EXPECT_FALSE(FileExists(c));
    WriteAll(c, "C");
    std::string fresh = dir.File("fresh");
    EXPECT_TRUE(ReplaceFileAtomic(c, fresh));  // target missing
    EXPECT_EQ(ReadAll(fresh), "C");

    EXPECT_TRUE(RemoveFile(fresh));
    EXPECT_FALSE(RemoveFile(fresh));
}

TEST_F(FileAccess, InjectedFailureHitsTheNthOperationOnly) {
    std::string path = dir.File("f");
    WriteAll(path, "abc");
    FailFileOperationAt(2);
    File f = File::OpenRead(path);  // operation 1
    ASSERT_TRUE(f);
    char buf[3];
    EXPECT_EQ(f.Read(buf, 3), -1);  // operation 2 fails
    EXPECT_TRUE(f.Seek(0));
    EXPECT_EQ(f.Read(buf, 3), 3);  // and only that one
    FailFileOperationAt(1);
    EXPECT_FALSE(File::OpenRead(path));
    EXPECT_TRUE(File::OpenRead(path));
}

// The temporary name fits wherever the target does: a name with no room for ".vemoN.tmp"
// behind it gives up its end for it (never half a character), and a short name at the
// path limit becomes "~N~..." of its own length. A name that did not fit sent the tag
// writer down the in-place path, which a crash can damage.
TEST(TemporaryNames, FitWhereverTheTargetFits) {
    TempDir dir;
    const std::string sep(1, PathSeparator());
    const size_t room = test::LongestNameIn(dir.Path());
    // A folder (it need not exist) that leaves room for a name of nameSize bytes only.
    auto folderFor = [&](size_t nameSize) {
        std::string folder = dir.Path();
        while (test::PathRoomIn(folder) > 200 + nameSize) folder += sep + std::string(150, 'f');
        return folder + sep + std::string(test::PathRoomIn(folder) - nameSize - 1, 'f');
    };
    const std::string a(room - 11, 'a');
    // Letters of two bytes and one UTF-16 unit: as many as fit where the limit counts
    // units (Windows) or bytes (POSIX).
    const std::string ya = "\xD1\x8F";
    const size_t letters = PathSeparator() == '\\' ? room : room / 2;
    auto yas = [&](size_t n) {
        std::string text;
        for (size_t i = 0; i < n; ++i) text += ya;
        return text;
    };
    const struct {
        std::string target;
        int attempt;
        std::string expected;
    } cases[] = {
        {dir.File("song.mp3"), 3, dir.File("song.mp3.vemo3.tmp")},
        {dir.File(std::string(room - 10, 'n')), 0, dir.File(std::string(room - 10, 'n') + ".vemo0.tmp")},
        {dir.File(std::string(room - 9, 'n')), 1, dir.File(std::string(room - 19, 'n') + ".vemo1.tmp")},
        // Never inside a character: the cut falls after the lead byte of "é", then inside "€".
        {dir.File(a + "\xC3\xA9" + "xxxxxxxxx"), 2, dir.File(a + ".vemo2.tmp")},
        {dir.File(a.substr(1) + "\xE2\x82\xAC" + "xxxxxxxxx"), 4, dir.File(a.substr(1) + ".vemo4.tmp")},
        // A name in another script gives up whole characters, no more than it must.
        {dir.File(yas(letters)), 6, dir.File(yas(letters - 10) + ".vemo6.tmp")},
        // A surrogate pair (two units) that would straddle the cut goes whole.
        {dir.File(a.substr(2) + "\xF0\x9F\x8E\xB5" + "xxxxxxxxx"), 3, dir.File(a.substr(2) + ".vemo3.tmp")},
        {folderFor(6) + sep + "ab.mp3", 5, folderFor(6) + sep + "~5~~~~"},
        // Filled up to its length in UTF-16 units, which Windows counts.
        {folderFor(9) + sep + "\xE3\x82\xBD\xE3\x83\xB3\xE3\x82\xB0", 5, folderFor(9) + sep + "~5~"},
        {folderFor(1) + sep + "a", 7, folderFor(1) + sep + "7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target.size());
        ASSERT_TRUE(PathFits(c.target));
        const std::string temp = TemporaryPathBeside(c.target, c.attempt);
        EXPECT_EQ(temp, c.expected);
        EXPECT_TRUE(PathFits(temp));
    }
    EXPECT_TRUE(PathFits(dir.File(std::string(room, 'n'))));
    EXPECT_FALSE(PathFits(dir.File(std::string(room + 1, 'n'))));

    // And the system takes it: the name is no longer than the target's.
    const std::string target = dir.File(std::string(room - 2, 'n'));
    std::string tempPath;
    EXPECT_TRUE(CreateTemporaryBeside(target, tempPath));
    EXPECT_EQ(tempPath.size(), target.size());
}

TEST(PathParts, FolderOf) {
    const char sep = PathSeparator();
    EXPECT_EQ(FolderOf(std::string("a") + sep + "b" + sep + "c.mp3"), std::string("a") + sep + "b");
    EXPECT_EQ(FolderOf("name"), "");
    EXPECT_FALSE(ProgramPath().empty());
}

#ifdef _WIN32
// Windows enforces sharing modes; the file actions rely on them failing like this.
TEST_F(FileAccess, SharingModesAreEnforced) {
    std::string path = dir.File("shared");
    WriteAll(path, "x");
    File reader = File::OpenRead(path, Share::Read);
    ASSERT_TRUE(reader);
    EXPECT_TRUE(File::OpenRead(path, Share::Read));
    EXPECT_FALSE(File::OpenReadWrite(path, Share::ReadWrite));
    EXPECT_FALSE(RemoveFile(path));
    EXPECT_EQ(LastFileError(), 32);  // sharing violation
    reader.Close();
    EXPECT_TRUE(File::OpenReadWrite(path));
}
#endif

#ifndef _WIN32
// A file system that keeps no extended attributes (as many network ones) has none to
// lose: a tag that moves the audio, and so swaps in a new file, goes through there. Once
// every such tag was refused as if attributes were dropped.
TEST_F(FileAccess, FileSystemWithoutExtendedAttributesStillTakesTagsThatMoveTheAudio) {
    const std::string from = dir.File("a.mp3");
    const std::string to = dir.File("b.mp3");
    WriteAll(from, "a");
    WriteAll(to, "b");
    // A title too long for the ID3v1 tag: the new ID3v2 tag goes before the audio.
    const std::string song = dir.File("Some Artist - A Title Of Thirty-One Characters.mp3");
    const std::string audio = "\xFF\xFB\x90\x64" + std::string(70000, 'U');
    WriteAll(song, audio);
    SimulateNoExtendedAttributes(true);
    EXPECT_TRUE(CopyOwnerAndExtendedAttributes(from, to));
    const TagWriteResult result = WriteTagFromFileName(song);
    EXPECT_EQ(result.Status, TagWriteStatus::Created) << result.Text;
    const std::string written = ReadAll(song);
    EXPECT_EQ(written.substr(0, 3), "ID3");
    EXPECT_NE(written.find(audio), std::string::npos);
}
#endif

}  // namespace
}  // namespace vemo
