// The portable core's only door to the file system. Paths are UTF-8; Windows gets them
// as UTF-16 through its wide calls, so a name in any script reaches the disk whole, and
// POSIX takes the bytes as they are. Windows enforces the sharing modes named here;
// POSIX has none and ignores them. Every operation counts towards the test seam
// FailFileOperationAt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vemo {

// Who else may use a file while this handle is open.
enum class Share : uint8_t { None, Read, ReadWrite };

// File attribute bits, with the values Windows gives them.
constexpr uint32_t kAttrReadOnly = 0x01;
constexpr uint32_t kAttrHidden = 0x02;
constexpr uint32_t kAttrSystem = 0x04;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrArchive = 0x20;
constexpr uint32_t kAttrNormal = 0x80;

// An open file; closed when it goes out of scope. Moves, never copies.
class File {
public:
    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Existing file, read only. size, when given, receives the file's size (-1 when it
    // cannot be told): on POSIX the open learns it anyway, so no further call is made.
    static File OpenRead(const std::string& path, Share share = Share::Read, int64_t* size = nullptr);
    // Existing file, read and write; others may only read.
    static File OpenReadWrite(const std::string& path, Share share = Share::Read);
    // A new file; fails when anything (a file, a folder, a link) is already there.
    static File CreateNew(const std::string& path, Share share = Share::None);
    // A new or emptied file, replacing what was there.
    static File CreateAlways(const std::string& path, Share share = Share::None);

    bool IsOpen() const { return handle_ != kInvalid; }
    explicit operator bool() const { return IsOpen(); }

    // Up to size bytes; the count read (0 at the end), or -1 on failure.
    int64_t Read(void* data, size_t size);
    // Up to size bytes at position, in one call where the system allows it (the file
    // pointer is not to be relied on afterwards); the count read, or -1 on failure.
    int64_t ReadAt(int64_t position, void* data, size_t size);
    // All size bytes, or false.
    bool Write(const void* data, size_t size);
    bool Seek(int64_t position);
    // -1 on failure.
    int64_t Position();
    int64_t Size();
    // Cuts the file at the current position.
    bool Truncate();
    // Forces written data to the disk.
    bool Flush();
    // How many names (hard links) the file has; -1 on failure.
    int64_t LinkCount();
    void Close();

private:
    static constexpr intptr_t kInvalid = -1;
    explicit File(intptr_t handle) : handle_(handle) {}
    intptr_t handle_ = kInvalid;
};

// The system's code of the last failed operation of this module (GetLastError or errno)
// and a short text for it.
int LastFileError();
std::string FileErrorText(int code);

// Attributes of whatever is at path, or nothing when they cannot be read.
std::optional<uint32_t> FileAttributes(const std::string& path);
bool SetAttributes(const std::string& path, uint32_t attributes);
bool FileExists(const std::string& path);       // anything but a folder
// The size the file's directory entry gives, all 64 bits; it needs no read access, so a
// file that cannot be opened still has one. Nothing for a folder or a missing file.
std::optional<int64_t> ListedFileSize(const std::string& path);
bool DirectoryExists(const std::string& path);  // attributes readable and carry the folder bit

// (Names differ from the Win32 calls, which windows.h turns into macros.)
bool RemoveFile(const std::string& path);
// Fails when something already exists at to.
bool RenameFile(const std::string& from, const std::string& to);
// Puts replacement in place of target in one step (target may be missing); replacement is gone afterwards.
bool ReplaceFileAtomic(const std::string& replacement, const std::string& target);
// Used by the file operations
// Removes a folder; the system refuses one that still holds anything.
bool RemoveFolder(const std::string& path);
// Makes one folder in an existing one.
bool CreateFolder(const std::string& path);
// Whether a and b name one file: on Windows the same full path in any letter case (of
// any script, as the file system compares names), on
// POSIX the same device and inode (false when nothing is at b). Nothing when it cannot
// be told, e.g. a cannot be looked up.
std::optional<bool> IsSameFile(const std::string& a, const std::string& b);
// Gives to the modification time and the attributes (the permission bits on POSIX) of from.
bool CopyFileStamp(const std::string& from, const std::string& to);
// Whether a LastFileError code says a rename cannot reach another drive or file system.
bool IsOtherDriveError(int code);
// Whether a LastFileError code says an open was refused because a folder is at the path;
// every open of a folder is, on every system, also of one that may not be read.
bool IsFolderError(int code);

// Whether a LastFileError code says nothing is at the path (the file or a folder of it).
bool IsNotFoundError(int code);
// The absolute path of the file that path leads to, every symbolic link followed. Where
// a Windows file system cannot tell, the full path as given. Nothing when the file
// cannot be looked up.
std::optional<std::string> FinalPathOf(const std::string& path);
// Gives to the owner and the group of from, as far as the system lets this process
// (only a privileged one may give a file away), and every extended attribute of from.
// False when an extended attribute cannot be set. Windows keeps these through its
// replace; there it does nothing.
bool CopyOwnerAndExtendedAttributes(const std::string& from, const std::string& to);
// Whether the system takes a path this long: its last part within the limit for a name
// (255), the whole within the limit for a path (MAX_PATH on Windows, PATH_MAX on POSIX).
// Windows counts both in UTF-16 units, POSIX in bytes.
bool PathFits(const std::string& path);
// The short (8.3) form Windows keeps of an existing path, every part of it short, for
// readers that only take the code page; nothing where there is none (POSIX, a missing
// path, a volume that makes no short names).
std::optional<std::string> ShortPathOf(const std::string& path);

// Whole new contents are written beside the file they replace and swapped in with
// ReplaceFileAtomic, so a crash or a full disk half way leaves the old file whole.
// The temporary file is "<target>.vemoN.tmp" for the first N (0 to 7) under which one
// can be created exclusively: a file or link already at that name is never followed
// nor removed. Where that name would be too long, the target's own name gives up its
// end to ".vemoN.tmp", whole characters only (a shorter name becomes "~N", filled up with
// "~" to its length in UTF-16 units), so the temporary path is no longer than the
// target's, in bytes and in UTF-16 units, and fits wherever the target does. Not open
// when none can be made; tempPath then holds the last name tried.
constexpr int kTemporaryAttempts = 8;
std::string TemporaryPathBeside(const std::string& target, int attempt);
File CreateTemporaryBeside(const std::string& target, std::string& tempPath);
// The folder part of a path (up to, not including, its last separator), "" if none.
std::string FolderOf(const std::string& path);
// The path separator of the platform: '\\' on Windows, '/' on POSIX.
char PathSeparator();
// The full path of the running program.
std::string ProgramPath();

// Reads one byte; if one came, moves back by one. True only when the read succeeded
// and delivered nothing; a failed read gives false.
bool IsEndOfFile(File& file);

// Test seam: the file system keeps no extended attributes at all (as many network file
// systems): listing them fails as it does there. Windows, which has none to copy here,
// ignores it.
void SimulateNoExtendedAttributes(bool on);

// Test seam: the n-th next operation of this module fails (1 = the very next one);
// 0 switches it off. Lets tests reach the paths where a disk or share fails mid-way.
void FailFileOperationAt(int n);

namespace file_access_detail {
// True when the armed failure is due now; counts the operation.
bool InjectFailure();
}  // namespace file_access_detail

// Used by the tag writer
// Test seam: true while a failure armed by FailFileOperationAt has not yet come due,
// so that a sweep over n can tell when it has passed the last operation.
bool FileFailureArmed();
// Test seam: the operations of this module since the last FailFileOperationAt, so that a
// test can aim failures at the last steps of a run too long to sweep whole.
int FileOperationsCounted();

}  // namespace vemo
