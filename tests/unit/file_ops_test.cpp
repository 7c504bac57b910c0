#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "support/temp_dir.h"
#include "text/file_access.h"
#include "text/file_ops.h"

namespace vemo {
namespace {

namespace fs = std::filesystem;
using test::ListFolder;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;

// Larger than one copy block, so that the copy takes several reads and writes.
std::string Song(char seed) {
    std::string bytes((size_t{5} << 20) / 2 + 7, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(seed + i * 31 + (i >> 12));
    return bytes;
}

std::string Join(const std::string& folder, const std::string& name) { return folder + PathSeparator() + name; }

std::string MakeFolder(const std::string& path) {
    fs::create_directories(path);
    return path;
}

// A folder under base, removed with its contents afterwards.
class FolderIn {
public:
    explicit FolderIn(const std::string& base)
        : path_(Join(base, "vemo-ops-" + std::to_string(std::random_device{}()))) {
        std::error_code ec;
        if (!fs::create_directory(path_, ec)) path_.clear();
    }
    ~FolderIn() {
        std::error_code ec;
        if (!path_.empty()) fs::remove_all(path_, ec);
    }
    FolderIn(const FolderIn&) = delete;
    FolderIn& operator=(const FolderIn&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// A folder on another drive or file system than near, found by trying to rename a file
// into it; nothing when there is none.
std::unique_ptr<FolderIn> FolderOnOtherDrive(const std::string& near) {
#ifdef _WIN32
    const char* candidates[] = {"Z:\\dev\\shm", "Z:\\tmp", "Z:\\var\\tmp"};  // Wine's view of the Linux folders
#else
    const char* candidates[] = {"/dev/shm", "/tmp", "/var/tmp", "/run"};
#endif
    const std::string probe = Join(near, "probe");
    for (const char* base : candidates) {
        if (!DirectoryExists(base)) continue;
        auto other = std::make_unique<FolderIn>(base);
        if (other->Path().empty()) continue;
        WriteAll(probe, "p");
        if (!RenameFile(probe, Join(other->Path(), "probe")) && IsOtherDriveError(LastFileError())) {
            RemoveFile(probe);
            return other;
        }
    }
    RemoveFile(probe);
    return nullptr;
}

// What the copy carries besides the bytes: the time, and the attributes (Windows) or
// permission bits (POSIX).
struct Stamp {
    fs::file_time_type time;
    uint32_t bits;
    bool operator==(const Stamp& o) const { return time == o.time && bits == o.bits; }
};

Stamp StampOf(const std::string& path) {
#ifdef _WIN32
    uint32_t bits = FileAttributes(path).value_or(0);
#else
    uint32_t bits = static_cast<uint32_t>(fs::status(path).permissions());
#endif
    return {fs::last_write_time(path), bits};
}

// Gives path a stamp unlike a fresh file's, told apart by variant.
void SetUnusualStamp(const std::string& path, int variant) {
    auto day = std::chrono::hours(24);
    fs::last_write_time(path, fs::file_time_type::clock::now() - day * (10 + variant) + std::chrono::milliseconds(123));
#ifdef _WIN32
    ASSERT_TRUE(SetAttributes(path, variant == 0 ? kAttrHidden | kAttrArchive : kAttrSystem));
#else
    fs::permissions(path, variant == 0 ? fs::perms(0640) : fs::perms(0604));
#endif
}

class FileOps : public ::testing::Test {
protected:
    void TearDown() override { FailFileOperationAt(0); }
    TempDir dir;
    std::string from = Join(MakeFolder(dir.File("src")), "song.mp3");
    std::string to = Join(MakeFolder(dir.File("dst")), "song.mp3");
};

TEST_F(FileOps, CopyToNewAndOverExistingTargetCarriesTimeAndAttributes) {
    for (bool targetExists : {false, true}) {
        SCOPED_TRACE(targetExists ? "over a target" : "new target");
        const std::string bytes = Song('a');
        WriteAll(from, bytes);
        SetUnusualStamp(from, 0);
        if (targetExists) {
            WriteAll(to, "old target");
            SetUnusualStamp(to, 1);
        }
        const Stamp before = StampOf(from);

        EXPECT_EQ(CopyFileReplacing(from, to), FileOpStatus::Done);
        EXPECT_TRUE(ReadAll(to) == bytes);
        EXPECT_TRUE(ReadAll(from) == bytes);
        EXPECT_TRUE(StampOf(to) == before);
        EXPECT_TRUE(StampOf(from) == before);
        EXPECT_EQ(ListFolder(dir.File("dst")), "song.mp3");
        RemoveFile(to);
    }
}

TEST_F(FileOps, OneFileUnderTwoNamesIsRefusedAndLeftAlone) {
    WriteAll(from, "only copy");
    std::vector<std::string> spellings = {from, Join(Join(dir.File("src"), "."), "song.mp3"),
                                          Join(Join(dir.File("dst"), ".."), Join("src", "song.mp3"))};
#ifdef _WIN32
    spellings.push_back(Join(dir.File("SRC"), "Song.MP3"));
#else
    const std::string link = Join(dir.File("dst"), "link.mp3");
    fs::create_hard_link(from, link);
    spellings.push_back(link);
#endif
    const std::string listing = ListFolder(dir.File("src")) + "|" + ListFolder(dir.File("dst"));
    for (const std::string& other : spellings) {
        SCOPED_TRACE(other);
        EXPECT_EQ(CopyFileReplacing(from, other), FileOpStatus::SameFile);
        EXPECT_EQ(MoveFileReplacing(from, other), FileOpStatus::SameFile);
        EXPECT_EQ(ReadAll(from), "only copy");
        EXPECT_EQ(ListFolder(dir.File("src")) + "|" + ListFolder(dir.File("dst")), listing);
    }
}

TEST_F(FileOps, MissingSourceFailsAndLeavesTheTarget) {
    WriteAll(to, "keep");
    EXPECT_EQ(CopyFileReplacing(from, to), FileOpStatus::Failed);
    EXPECT_EQ(MoveFileReplacing(from, to), FileOpStatus::Failed);
    EXPECT_EQ(ReadAll(to), "keep");
    EXPECT_EQ(ListFolder(dir.File("dst")), "song.mp3");
}

TEST_F(FileOps, MoveOnOneDriveReplacesTheTarget) {
    WriteAll(from, "new");
    WriteAll(to, "old");
    // A rename that fails for any reason but another drive is not made up for by a copy.
    FailFileOperationAt(2);  // the rename, after the same-file check
    EXPECT_EQ(MoveFileReplacing(from, to), FileOpStatus::Failed);
    EXPECT_EQ(ReadAll(from), "new");
    EXPECT_EQ(ReadAll(to), "old");

    EXPECT_EQ(MoveFileReplacing(from, to), FileOpStatus::Done);
    EXPECT_EQ(ReadAll(to), "new");
    EXPECT_FALSE(FileExists(from));
    EXPECT_EQ(ListFolder(dir.File("dst")), "song.mp3");
}

TEST_F(FileOps, MoveAcrossDrivesCopiesThenDeletesTheSource) {
    auto other = FolderOnOtherDrive(dir.Path());
    if (!other) GTEST_SKIP() << "no folder on another file system to move to";
    const std::string far = Join(other->Path(), "song.mp3");
    const std::string bytes = Song('m');
    WriteAll(from, bytes);
    SetUnusualStamp(from, 0);
    WriteAll(far, "old");
    const Stamp before = StampOf(from);

    EXPECT_EQ(MoveFileReplacing(from, far), FileOpStatus::Done);
    EXPECT_TRUE(ReadAll(far) == bytes);
    EXPECT_TRUE(StampOf(far) == before);
    EXPECT_FALSE(FileExists(from));
    EXPECT_EQ(ListFolder(other->Path()), "song.mp3");

    // And back, where no file is in the way.
    EXPECT_EQ(MoveFileReplacing(far, from), FileOpStatus::Done);
    EXPECT_TRUE(ReadAll(from) == bytes);
    EXPECT_EQ(ListFolder(other->Path()), "");
}

#ifndef _WIN32
TEST_F(FileOps, MoveAcrossDrivesKeepsASourceItCannotDelete) {
    if (::geteuid() == 0) GTEST_SKIP() << "running as root: a read-only folder does not stop a deletion";
    auto other = FolderOnOtherDrive(dir.Path());
    if (!other) GTEST_SKIP() << "no folder on another file system to move to";
    const std::string far = Join(other->Path(), "song.mp3");
    WriteAll(from, "moved");
    ASSERT_EQ(::chmod(dir.File("src").c_str(), 0555), 0);

    EXPECT_EQ(MoveFileReplacing(from, far), FileOpStatus::SourceKept);
    ::chmod(dir.File("src").c_str(), 0755);
    EXPECT_EQ(ReadAll(from), "moved");
    EXPECT_EQ(ReadAll(far), "moved");
}
#endif

TEST_F(FileOps, EmptiedFoldersAreRemovedUpToTheFirstThatHoldsAnything) {
    const std::string c = dir.File("C");
    const std::string b = MakeFolder(Join(Join(c, "A"), "B"));
    const std::string song = Join(b, "song.mp3");
    WriteAll(Join(c, "other.mp3"), "x");
    WriteAll(song, "x");

    EXPECT_EQ(RemoveEmptiedFolders(song), 0);  // B still holds the song
    EXPECT_TRUE(DirectoryExists(b));

    ASSERT_TRUE(RemoveFile(song));
    EXPECT_EQ(RemoveEmptiedFolders(song), 2);
    EXPECT_FALSE(DirectoryExists(Join(c, "A")));
    EXPECT_EQ(ListFolder(c), "other.mp3");

    // A doubled separator does not make the walk stop early or count a folder twice.
    MakeFolder(Join(c, "D"));
    EXPECT_EQ(RemoveEmptiedFolders(Join(c, "D") + PathSeparator() + PathSeparator() + "song.mp3"), 1);
    EXPECT_EQ(RemoveEmptiedFolders("song.mp3"), 0);  // no folder in the path
    EXPECT_EQ(ListFolder(c), "other.mp3");
}

// After the n-th file operation fails, for n = 1, 2, ... until a run meets no failure:
// the source is as it was, the target is the old one (or absent) or wholly the new one,
// nothing is left beside it, and only a run that did its whole work says Done.
struct Sweep {
    std::string from, to;
    bool targetExists;
    bool moves;  // a finished move has no source left
    std::function<FileOpStatus(const std::string&, const std::string&)> op;
};

// True when the armed failure has not been used: the run went through without meeting it.
bool FailureStillArmed(int n, const std::string& existing) {
    bool armed = false;
    for (int i = 0; i < n && !armed; ++i) armed = !FileAttributes(existing).has_value();
    FailFileOperationAt(0);
    return armed;
}

// The number of runs that kept the source.
int RunSweep(const Sweep& s) {
    const std::string source = Song('s');
    const std::string oldTarget = "old target bytes";
    int failedRuns = 0, keptSources = 0;
    for (int n = 1; n < 200; ++n) {
        SCOPED_TRACE("failing operation " + std::to_string(n));
        WriteAll(s.from, source);
        if (s.targetExists) WriteAll(s.to, oldTarget);
        else RemoveFile(s.to);

        FailFileOperationAt(n);
        FileOpStatus status = s.op(s.from, s.to);
        bool finished = FailureStillArmed(n, FolderOf(s.to));

        const bool sourceThere = FileExists(s.from);
        const bool newTarget = FileExists(s.to) && ReadAll(s.to) == source;
        if (status == FileOpStatus::Failed) {
            ++failedRuns;
            EXPECT_TRUE(sourceThere && ReadAll(s.from) == source);
            EXPECT_TRUE(s.targetExists ? ReadAll(s.to) == oldTarget : !FileExists(s.to));
        } else if (status == FileOpStatus::SourceKept) {
            ++keptSources;
            EXPECT_TRUE(s.moves);
            EXPECT_TRUE(sourceThere && ReadAll(s.from) == source);
            EXPECT_TRUE(newTarget);
        } else {
            EXPECT_EQ(status, FileOpStatus::Done);
            EXPECT_TRUE(newTarget);
            EXPECT_EQ(sourceThere, !s.moves);
        }
        EXPECT_EQ(ListFolder(FolderOf(s.to)), FileExists(s.to) ? "song.mp3" : "");
        if (finished) {
            EXPECT_EQ(status, FileOpStatus::Done);
            EXPECT_GT(failedRuns, 0);
            return keptSources;
        }
    }
    ADD_FAILURE() << "the operation never got through";
    return keptSources;
}

TEST_F(FileOps, FailuresAnywhereLoseNothingAndLeaveNothingBehind) {
    for (bool targetExists : {false, true}) {
        SCOPED_TRACE(targetExists ? "copy over a target" : "copy to a new target");
        EXPECT_EQ(RunSweep({from, to, targetExists, false, CopyFileReplacing}), 0);
    }
    SCOPED_TRACE("move on one drive");
    EXPECT_EQ(RunSweep({from, to, true, true, MoveFileReplacing}), 0);
}

TEST_F(FileOps, FailuresAnywhereInAMoveAcrossDrives) {
    auto other = FolderOnOtherDrive(dir.Path());
    if (!other) GTEST_SKIP() << "no folder on another file system to move to";
    // Only the deletion of the source, the last step, leaves it kept.
    EXPECT_EQ(RunSweep({from, Join(other->Path(), "song.mp3"), true, true, MoveFileReplacing}), 1);
}

}  // namespace
}  // namespace vemo
