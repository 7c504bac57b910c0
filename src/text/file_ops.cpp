// Copy and move write the new file beside the target and swap it in, so that whatever
// fails, the source and any file already at the target stay whole.
#include "text/file_ops.h"

#include <optional>
#include <vector>

#include "text/file_access.h"

namespace vemo {

namespace {

constexpr size_t kCopyBlockSize = size_t{1} << 20;

bool CopyContents(File& source, File& target) {
    std::vector<char> block(kCopyBlockSize);
    for (;;) {
        int64_t got = source.Read(block.data(), block.size());
        if (got < 0) return false;
        if (got == 0) return true;
        if (!target.Write(block.data(), static_cast<size_t>(got))) return false;
    }
}

// Only a look-up that says nothing is there lets a file at to be replaced without
// making way for it first.
bool NothingAt(const std::string& path) { return !FileAttributes(path) && IsNotFoundError(LastFileError()); }

// Makes way for the file at to when there is one; false when makeWay refuses.
bool MadeWay(const std::string& to, MakeWay makeWay, bool& madeWay) {
    if (!makeWay || NothingAt(to)) return true;
    madeWay = makeWay(to);
    return madeWay;
}

// from and to are known to be different files. madeWay tells whether makeWay took
// the old file away.
bool CopyThroughTemporary(const std::string& from, const std::string& to, MakeWay makeWay, bool& madeWay) {
    std::optional<uint32_t> attributes = FileAttributes(from);
    if (!attributes) return false;
    File source = File::OpenRead(from, Share::Read);
    if (!source) return false;
    std::string tempPath;
    File temp = CreateTemporaryBeside(to, tempPath);
    if (!temp) return false;

    bool copied = CopyContents(source, temp) && temp.Flush();
    temp.Close();
    source.Close();
    // The stamp is set after the last write, which would otherwise change the time again.
    if (!copied || !CopyFileStamp(from, tempPath) || !MadeWay(to, makeWay, madeWay) ||
        !ReplaceFileAtomic(tempPath, to)) {
        RemoveFile(tempPath);
        return false;
    }
    // Windows' replace gives the result the replaced file's attributes. The contents are
    // in place by now, so a failure here leaves only those bits behind and is not reported.
    std::optional<uint32_t> now = FileAttributes(to);
    if (now && *now != *attributes) SetAttributes(to, *attributes);
    return true;
}

bool IsSeparator(char c) { return c == '/' || c == PathSeparator(); }

}  // namespace

FileOpStatus CopyFileReplacing(const std::string& from, const std::string& to, MakeWay makeWay) {
    std::optional<bool> same = IsSameFile(from, to);
    if (!same) return FileOpStatus::Failed;
    if (*same) return FileOpStatus::SameFile;
    bool madeWay = false;
    if (CopyThroughTemporary(from, to, makeWay, madeWay)) return FileOpStatus::Done;
    return madeWay ? FileOpStatus::TargetGone : FileOpStatus::Failed;
}

FileOpStatus MoveFileReplacing(const std::string& from, const std::string& to, MakeWay makeWay) {
    std::optional<bool> same = IsSameFile(from, to);
    if (!same) return FileOpStatus::Failed;
    if (*same) return FileOpStatus::SameFile;
    bool madeWay = false;
    if (!MadeWay(to, makeWay, madeWay)) return FileOpStatus::Failed;
    const FileOpStatus failed = madeWay ? FileOpStatus::TargetGone : FileOpStatus::Failed;
    if (ReplaceFileAtomic(from, to)) return FileOpStatus::Done;
    if (!IsOtherDriveError(LastFileError())) return failed;
    if (!CopyThroughTemporary(from, to, nullptr, madeWay)) return failed;
    return RemoveFile(from) ? FileOpStatus::Done : FileOpStatus::SourceKept;
}

int RemoveEmptiedFolders(const std::string& path) { return RemoveEmptiedFolders(path, RemoveFolder); }

int RemoveEmptiedFolders(const std::string& path, FolderRemover remove) {
    int removed = 0;
    std::string folder = path;
    for (;;) {
        folder = FolderOf(folder);
        while (!folder.empty() && IsSeparator(folder.back())) folder.pop_back();
        // "C:" alone names the current folder of drive C, not its root: never remove it.
        if (folder.empty() || (PathSeparator() == '\\' && folder.back() == ':')) break;
        if (!remove(folder)) break;
        ++removed;
    }
    return removed;
}

bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
    if (from == to) return RenameFile(from, to);
    // Not knowing whether to is the same file, a plain rename might report a change of
    // letter case done without doing it.
    const std::optional<bool> same = IsSameFile(from, to);
    if (!same) return false;
    if (!*same) return RenameFile(from, to);
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        const std::string step = TemporaryPathBeside(from, attempt);
        if (!RenameFile(from, step)) continue;
        if (RenameFile(step, to)) return true;
        // The old name is put back; should even that fail, the file keeps the step's name
        // rather than being lost.
        RenameFile(step, from);
        return false;
    }
    return false;
}

}  // namespace vemo
