#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
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

// What the copy carries besides the bytes: the time, and the attributes (Windows) or
// permission bits (POSIX).
std::pair<fs::file_time_type, uint32_t> StampOf(const std::string& path) {
#ifdef _WIN32
    uint32_t bits = FileAttributes(path).value_or(0);
#else
    uint32_t bits = static_cast<uint32_t>(fs::status(path).permissions());
#endif
    return {fs::last_write_time(path), bits};
}

// A stamp unlike a fresh file's, told apart by variant.
void SetUnusualStamp(const std::string& path, int variant) {
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(24 * (10 + variant)));
#ifdef _WIN32
    ASSERT_TRUE(SetAttributes(path, variant == 0 ? kAttrHidden | kAttrArchive : kAttrSystem));
#else
    fs::permissions(path, variant == 0 ? fs::perms(0640) : fs::perms(0604));
#endif
}

class FileOps : public ::testing::Test {
protected:
    void TearDown() override {
        FailFileOperationAt(0);
        std::error_code ec;
        if (!far.empty()) fs::remove_all(far, ec);
    }

    // Makes far a new folder on another drive or file system, found by trying to rename
    // a file into it; false when there is none.
    bool MakeFarFolder() {
#ifdef _WIN32
        const char* candidates[] = {"Z:\\dev\\shm", "Z:\\tmp"};  // Wine's view of the Linux folders
#else
        const char* candidates[] = {"/dev/shm", "/tmp", "/var/tmp", "/run"};
#endif
        const std::string probe = dir.File("probe");
        for (const char* base : candidates) {
            far = Join(base, "vemo-ops-" + std::to_string(std::random_device{}()));
            std::error_code ec;
            if (!fs::create_directory(far, ec)) continue;
            WriteAll(probe, "p");
            if (!RenameFile(probe, Join(far, "probe")) && IsOtherDriveError(LastFileError())) return true;
            fs::remove_all(far, ec);
        }
        far.clear();
        return false;
    }

    TempDir dir;
    std::string from = Join(MakeFolder(dir.File("src")), "song.mp3");
    std::string to = Join(MakeFolder(dir.File("dst")), "song.mp3");
    std::string far;
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
        const auto stamp = StampOf(from);

        EXPECT_EQ(CopyFileReplacing(from, to), FileOpStatus::Done);
        EXPECT_TRUE(ReadAll(to) == bytes && ReadAll(from) == bytes);
        EXPECT_TRUE(StampOf(to) == stamp);
        EXPECT_TRUE(StampOf(from) == stamp);
        EXPECT_EQ(ListFolder(dir.File("dst")), "song.mp3");
        RemoveFile(to);
    }
}

TEST_F(FileOps, OneFileUnderTwoNamesOrAMissingSourceChangesNothing) {
    WriteAll(to, "keep");
    EXPECT_EQ(CopyFileReplacing(from, to), FileOpStatus::Failed);
    EXPECT_EQ(MoveFileReplacing(from, to), FileOpStatus::Failed);
    EXPECT_EQ(ReadAll(to), "keep");

    WriteAll(from, "only copy");
    std::vector<std::string> spellings = {from, Join(Join(dir.File("src"), "."), "song.mp3"),
                                          Join(Join(dir.File("dst"), ".."), Join("src", "song.mp3"))};
#ifdef _WIN32
    spellings.push_back(Join(dir.File("SRC"), "Song.MP3"));
#else
    spellings.push_back(Join(dir.File("dst"), "link.mp3"));
    fs::create_hard_link(from, spellings.back());
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

#ifndef _WIN32
TEST_F(FileOps, MoveAcrossDrivesKeepsASourceItCannotDelete) {
    if (::geteuid() == 0) GTEST_SKIP() << "running as root: a read-only folder does not stop a deletion";
    if (!MakeFarFolder()) GTEST_SKIP() << "no folder on another file system to move to";
    WriteAll(from, "moved");
    ASSERT_EQ(::chmod(dir.File("src").c_str(), 0555), 0);
    EXPECT_EQ(MoveFileReplacing(from, Join(far, "song.mp3")), FileOpStatus::SourceKept);
    ::chmod(dir.File("src").c_str(), 0755);
    EXPECT_EQ(ReadAll(from), "moved");
    EXPECT_EQ(ReadAll(Join(far, "song.mp3")), "moved");
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
    EXPECT_EQ(ListFolder(c), "other.mp3");

    // A doubled separator does not make the walk stop early or count a folder twice.
    MakeFolder(Join(c, "D"));
    EXPECT_EQ(RemoveEmptiedFolders(Join(c, "D") + PathSeparator() + PathSeparator() + "song.mp3"), 1);
    EXPECT_EQ(RemoveEmptiedFolders("song.mp3"), 0);  // no folder in the path
    EXPECT_EQ(ListFolder(c), "other.mp3");
}

// Fails the n-th file operation for n = 1, 2, ... until a run meets no failure. After
// each run the source is as it was (or gone after a finished move), the target is the
// old one (or absent) or wholly the new one, nothing is left beside it, and only a run
// that did all its work says Done. Returns how many runs kept the source.
int RunSweep(const std::string& from, const std::string& to, bool targetExists, bool moves) {
    const std::string source = Song('s');
    const std::string oldTarget = "old target bytes";
    int failedRuns = 0, keptSources = 0;
    for (int n = 1; n < 200; ++n) {
        SCOPED_TRACE("failing operation " + std::to_string(n));
        WriteAll(from, source);
        if (targetExists) WriteAll(to, oldTarget);
        else RemoveFile(to);

        FailFileOperationAt(n);
        FileOpStatus status = moves ? MoveFileReplacing(from, to) : CopyFileReplacing(from, to);
        // Still armed: the run went through without meeting the failure.
        bool armed = false;
        for (int i = 0; i < n && !armed; ++i) armed = !FileAttributes(FolderOf(to)).has_value();
        FailFileOperationAt(0);

        const bool sourceKept = FileExists(from) && ReadAll(from) == source;
        const bool targetNew = FileExists(to) && ReadAll(to) == source;
        EXPECT_EQ(ListFolder(FolderOf(to)), FileExists(to) ? "song.mp3" : "");
        switch (status) {
        case FileOpStatus::Failed:
            ++failedRuns;
            EXPECT_TRUE(sourceKept);
            EXPECT_TRUE(targetExists ? ReadAll(to) == oldTarget : !FileExists(to));
            break;
        case FileOpStatus::SourceKept:
            ++keptSources;
            EXPECT_TRUE(moves && sourceKept && targetNew);
            break;
        default:
            EXPECT_EQ(status, FileOpStatus::Done);
            EXPECT_TRUE(targetNew);
            EXPECT_EQ(FileExists(from), !moves);
        }
        if (armed) {
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
        EXPECT_EQ(RunSweep(from, to, targetExists, false), 0);
    }
    SCOPED_TRACE("move on one drive");
    EXPECT_EQ(RunSweep(from, to, true, true), 0);
}

TEST_F(FileOps, MoveAcrossDrivesCopiesThenDeletesTheSourceAndSurvivesFailures) {
    if (!MakeFarFolder()) GTEST_SKIP() << "no folder on another file system to move to";
    for (bool targetExists : {false, true}) {
        SCOPED_TRACE(targetExists ? "over a target" : "new target");
        // Only a failed deletion of the source, the last step, keeps it.
        EXPECT_EQ(RunSweep(from, Join(far, "song.mp3"), targetExists, true), 1);
    }
}

// The file a copy or move replaces goes through makeWay (here into a folder of its own,
// as into the Recycle Bin) once, and only when the new contents are ready: whichever
// step fails, the old file is in its place or in the bin, never lost, and the status
// says which. A way refused changes nothing; a target known absent is not offered.
std::string gBinFile;
int gWaysMade = 0;
bool IntoBin(const std::string& target) {
    ++gWaysMade;
    return RenameFile(target, gBinFile);
}
bool RefuseWay(const std::string&) {
    ++gWaysMade;
    return false;
}

TEST_F(FileOps, ReplacedFileGoesThroughMakeWayAndIsNeverLost) {
    gBinFile = Join(MakeFolder(dir.File("bin")), "old.mp3");
    for (const bool moves : {false, true}) {
        bool fired = true;
        int gone = 0;
        for (int n = 1; fired; ++n) {
            SCOPED_TRACE((moves ? "move, failing operation " : "copy, failing operation ") + std::to_string(n));
            WriteAll(from, "new");
            WriteAll(to, "old");
            RemoveFile(gBinFile);
            gWaysMade = 0;
            FailFileOperationAt(n);
            const FileOpStatus status = moves ? MoveFileReplacing(from, to, IntoBin) : CopyFileReplacing(from, to, IntoBin);
            fired = !FileFailureArmed();
            FailFileOperationAt(0);
            const bool inBin = FileExists(gBinFile) && ReadAll(gBinFile) == "old";
            EXPECT_LE(gWaysMade, 1);
            EXPECT_EQ(ListFolder(dir.File("dst")), FileExists(to) ? "song.mp3" : "");
            switch (status) {
            case FileOpStatus::Done:
                EXPECT_EQ(ReadAll(to), "new");
                EXPECT_TRUE(inBin);
                EXPECT_EQ(FileExists(from), !moves);
                break;
            case FileOpStatus::TargetGone:
                ++gone;
                EXPECT_FALSE(FileExists(to));
                EXPECT_TRUE(inBin);
                EXPECT_EQ(ReadAll(from), "new");
                break;
            default:
                EXPECT_EQ(status, FileOpStatus::Failed);
                EXPECT_EQ(ReadAll(to), "old");
                EXPECT_FALSE(FileExists(gBinFile));
                EXPECT_EQ(ReadAll(from), "new");
            }
            EXPECT_TRUE(fired || status == FileOpStatus::Done);
        }
        EXPECT_GT(gone, 0) << "a failure after the way was made is told apart";
    }
    for (const bool moves : {false, true}) {
        WriteAll(from, "new");
        WriteAll(to, "old");
        EXPECT_EQ(moves ? MoveFileReplacing(from, to, RefuseWay) : CopyFileReplacing(from, to, RefuseWay),
                  FileOpStatus::Failed);
        EXPECT_EQ(ReadAll(to), "old");
        EXPECT_EQ(ReadAll(from), "new");
        EXPECT_EQ(ListFolder(dir.File("dst")), "song.mp3");
    }
    RemoveFile(to);
    gWaysMade = 0;
    EXPECT_EQ(CopyFileReplacing(from, to, RefuseWay), FileOpStatus::Done);
    EXPECT_EQ(gWaysMade, 0);
}

// A rename onto another spelling of the same file goes through a temporary name (some
// file systems report a rename that only changes the letter case done without doing
// it). Whichever step fails, the file ends under its old name or its new one, never
// under the temporary one.
TEST_F(FileOps, RenameOntoAnotherSpellingNeverLeavesTheFileUnderATemporaryName) {
    const std::string folder = FolderOf(from);
#ifdef _WIN32
    const std::string onto = Join(folder, "Song.mp3");
#else
    const std::string onto = Join(Join(folder, "."), "song.mp3");
#endif
    const std::string newName = onto.substr(onto.find_last_of(PathSeparator()) + 1);
    bool fired = true;
    for (int n = 1; fired; ++n) {
        SCOPED_TRACE("failing operation " + std::to_string(n));
        fs::remove_all(folder);
        MakeFolder(folder);
        WriteAll(from, "only copy");
        FailFileOperationAt(n);
        const bool renamed = RenameWithoutReplacing(from, onto);
        fired = !FileFailureArmed();
        FailFileOperationAt(0);
        EXPECT_EQ(ListFolder(folder), renamed ? newName : "song.mp3");
        EXPECT_EQ(ReadAll(renamed ? onto : from), "only copy");
        EXPECT_TRUE(fired || renamed);
    }
}

}  // namespace
}  // namespace vemo
