// Whole-file operations of the file actions: copy, move, and the removal of folders a
// deletion or move leaves empty. Every step is checked and goes through the file-access
// module (and so through its failure seam); none may lose a byte of the user's files.
#pragma once

#include <cstdint>
#include <string>

namespace vemo {

enum class FileOpStatus : uint8_t {
    Done,
    SameFile,      // source and target are one file: nothing was changed
    SourceKept,    // moved across drives: the copy is in place but the source could not be deleted
    Failed,        // nothing changed: the target (if any) and the source are as they were
    TargetGone,    // the file at the target was made way for, the new one could not follow; the source is whole
};

// Takes the file at target out of the way before it is replaced (into the Recycle Bin,
// say); true only when it is gone. Null: the file is replaced for good.
using MakeWay = bool (*)(const std::string& target);

// Copies from to to, replacing a file at to. The new contents go into a temporary file
// beside to and are swapped in, so a failure half way leaves an existing target whole
// and nothing beside it. The copy takes from's modification time and attributes (the
// permission bits on POSIX); the file actions clear a read-only source first.
// SameFile when both name one file (on Windows also in another letter case). With
// makeWay, a file at to goes through it once the new contents are ready, just before
// the swap; Failed when it refuses.
FileOpStatus CopyFileReplacing(const std::string& from, const std::string& to, MakeWay makeWay = nullptr);

// Moves from to to, replacing a file at to: renamed in one step on the same drive;
// across drives copied as above, then the source deleted (SourceKept when that fails).
// SameFile and makeWay as for the copy.
FileOpStatus MoveFileReplacing(const std::string& from, const std::string& to, MakeWay makeWay = nullptr);

// Removes the folder of path, then its parent, and so on while each removal succeeds
// (only an empty folder can be removed); never goes past a drive root or "/".
// The number of folders removed.
int RemoveEmptiedFolders(const std::string& path);
// The same walk with another way of removing one folder, such as into the Recycle Bin;
// remove must succeed only for an empty folder, or the walk would take a full one.
using FolderRemover = bool (*)(const std::string& folder);
int RemoveEmptiedFolders(const std::string& path, FolderRemover remove);

// Renames from to to; fails when another file is at to (it is never replaced), or when
// it cannot be told whether to names the same file. A new name that only changes the
// letter case of the same file goes through a temporary name, since some file systems
// report such a rename done without doing it.
bool RenameWithoutReplacing(const std::string& from, const std::string& to);

}  // namespace vemo
