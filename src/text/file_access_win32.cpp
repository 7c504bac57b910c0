// Win32 implementation of the file-access module: the ANSI calls, since every path the
// player hands over is an 8-bit string in the system code page.
#include <windows.h>

#include "text/file_access.h"

namespace vemo {

namespace {

DWORD gLastError = 0;

bool Fail() {
    gLastError = GetLastError();
    return false;
}

bool Injected() {
    if (!file_access_detail::InjectFailure()) return false;
    gLastError = ERROR_GEN_FAILURE;
    return true;
}

DWORD ShareFlags(Share share) {
    switch (share) {
    case Share::None: return 0;
    case Share::Read: return FILE_SHARE_READ;
    case Share::ReadWrite: return FILE_SHARE_READ | FILE_SHARE_WRITE;
    }
    return 0;
}

HANDLE AsHandle(intptr_t h) { return reinterpret_cast<HANDLE>(h); }

bool IsFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

intptr_t Open(const std::string& path, DWORD access, Share share, DWORD disposition) {
    if (Injected()) return -1;
    HANDLE h = CreateFileA(path.c_str(), access, ShareFlags(share), nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        gLastError = GetLastError();
        // A folder is refused as access denied, which would read as a want of rights.
        if (gLastError == ERROR_ACCESS_DENIED && IsFolder(path)) gLastError = ERROR_DIRECTORY;
    }
    return reinterpret_cast<intptr_t>(h);
}

std::optional<std::string> ExactFullPath(const std::string& path) {
    char buffer[MAX_PATH * 2];
    DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    if (n == 0 || n >= sizeof buffer) {
        gLastError = n == 0 ? GetLastError() : ERROR_FILENAME_EXCED_RANGE;
        return std::nullopt;
    }
    return std::string(buffer, n);
}

std::string FullPath(const std::string& path) { return ExactFullPath(path).value_or(path); }

}  // namespace

// INVALID_HANDLE_VALUE is -1, the same as kInvalid, so an open that fails yields a closed File.
static_assert(sizeof(intptr_t) == sizeof(HANDLE));

File::~File() { Close(); }

File::File(File&& other) noexcept : handle_(other.handle_) { other.handle_ = kInvalid; }

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        other.handle_ = kInvalid;
    }
    return *this;
}

File File::OpenRead(const std::string& path, Share share, int64_t* size) {
    File file(Open(path, GENERIC_READ, share, OPEN_EXISTING));
    if (size) {
        LARGE_INTEGER found{};
        *size = file && GetFileSizeEx(AsHandle(file.handle_), &found) ? found.QuadPart : -1;
    }
    return file;
}
File File::OpenReadWrite(const std::string& path, Share share) {
    return File(Open(path, GENERIC_READ | GENERIC_WRITE, share, OPEN_EXISTING));
}
// CREATE_NEW fails on anything already at the path, a link included, and never follows it.
File File::CreateNew(const std::string& path, Share share) {
    return File(Open(path, GENERIC_READ | GENERIC_WRITE, share, CREATE_NEW));
}
File File::CreateAlways(const std::string& path, Share share) {
    return File(Open(path, GENERIC_READ | GENERIC_WRITE, share, CREATE_ALWAYS));
}

int64_t File::Read(void* data, size_t size) {
    if (!IsOpen() || Injected()) return -1;
    size_t done = 0;
    while (done < size) {
        DWORD chunk = size - done > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size - done);
        DWORD got = 0;
        if (!ReadFile(AsHandle(handle_), static_cast<char*>(data) + done, chunk, &got, nullptr)) {
            gLastError = GetLastError();
            return -1;
        }
        if (got == 0) break;
        done += got;
    }
    return static_cast<int64_t>(done);
}

int64_t File::ReadAt(int64_t position, void* data, size_t size) {
    if (!IsOpen() || position < 0 || Injected()) return -1;
    size_t done = 0;
    while (done < size) {
        DWORD chunk = size - done > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size - done);
        uint64_t at = static_cast<uint64_t>(position) + done;
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        DWORD got = 0;
        // On a handle opened for synchronous use the offset only says where to read.
        if (!ReadFile(AsHandle(handle_), static_cast<char*>(data) + done, chunk, &got, &where)) {
            if (GetLastError() == ERROR_HANDLE_EOF) break;
            gLastError = GetLastError();
            return -1;
        }
        if (got == 0) break;
        done += got;
    }
    return static_cast<int64_t>(done);
}

bool File::Write(const void* data, size_t size) {
    if (!IsOpen() || Injected()) return false;
    size_t done = 0;
    while (done < size) {
        DWORD chunk = size - done > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size - done);
        DWORD put = 0;
        if (!WriteFile(AsHandle(handle_), static_cast<const char*>(data) + done, chunk, &put, nullptr)) return Fail();
        done += put;
    }
    return true;
}

bool File::Seek(int64_t position) {
    if (!IsOpen() || position < 0 || Injected()) return false;
    LARGE_INTEGER to;
    to.QuadPart = position;
    return SetFilePointerEx(AsHandle(handle_), to, nullptr, FILE_BEGIN) || Fail();
}

int64_t File::Position() {
    if (!IsOpen() || Injected()) return -1;
    LARGE_INTEGER zero{}, at{};
    if (!SetFilePointerEx(AsHandle(handle_), zero, &at, FILE_CURRENT)) return Fail(), -1;
    return at.QuadPart;
}

int64_t File::Size() {
    if (!IsOpen() || Injected()) return -1;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(AsHandle(handle_), &size)) return Fail(), -1;
    return size.QuadPart;
}

bool File::Truncate() {
    if (!IsOpen() || Injected()) return false;
    return SetEndOfFile(AsHandle(handle_)) || Fail();
}

bool File::Flush() {
    if (!IsOpen() || Injected()) return false;
    return FlushFileBuffers(AsHandle(handle_)) || Fail();
}

int64_t File::LinkCount() {
    if (!IsOpen() || Injected()) return -1;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(AsHandle(handle_), &info)) return Fail(), -1;
    return info.nNumberOfLinks;
}

void File::Close() {
    if (IsOpen()) CloseHandle(AsHandle(handle_));
    handle_ = kInvalid;
}

int LastFileError() { return static_cast<int>(gLastError); }

std::string FileErrorText(int code) {
    char buffer[512];
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, static_cast<DWORD>(code), 0,
                             buffer, sizeof buffer, nullptr);
    while (n > 0 && (buffer[n - 1] == '\r' || buffer[n - 1] == '\n' || buffer[n - 1] == ' ')) --n;
    return n > 0 ? std::string(buffer, n) : "error " + std::to_string(code);
}

std::optional<uint32_t> FileAttributes(const std::string& path) {
    if (Injected()) return std::nullopt;
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        gLastError = GetLastError();
        return std::nullopt;
    }
    return attributes;
}

std::optional<int64_t> ListedFileSize(const std::string& path) {
    if (Injected()) return std::nullopt;
    // A wildcard would make the search report some other file; no file name holds one.
    if (path.empty() || path.find_first_of("*?") != std::string::npos) {
        gLastError = ERROR_INVALID_NAME;
        return std::nullopt;
    }
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return Fail(), std::nullopt;
    FindClose(search);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        gLastError = ERROR_DIRECTORY;
        return std::nullopt;
    }
    return static_cast<int64_t>((uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow);
}

bool SetAttributes(const std::string& path, uint32_t attributes) {
    if (Injected()) return false;
    return SetFileAttributesA(path.c_str(), attributes) || Fail();
}

bool RemoveFile(const std::string& path) {
    if (Injected()) return false;
    return DeleteFileA(path.c_str()) || Fail();
}

bool RenameFile(const std::string& from, const std::string& to) {
    if (Injected()) return false;
    return MoveFileA(from.c_str(), to.c_str()) || Fail();
}

bool ReplaceFileAtomic(const std::string& replacement, const std::string& target) {
    if (Injected()) return false;
    // ReplaceFile keeps the target's attributes and fails on relative paths under some systems.
    std::string from = FullPath(replacement);
    std::string to = FullPath(target);
    if (GetFileAttributesA(to.c_str()) != INVALID_FILE_ATTRIBUTES) {
        // A target held open by someone else makes ReplaceFile fail after it has made a
        // backup file of its own beside it, which it then leaves there; find that out first.
        HANDLE probe = CreateFileA(to.c_str(), DELETE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (probe == INVALID_HANDLE_VALUE) return Fail();
        CloseHandle(probe);
        if (ReplaceFileA(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) return true;
    }
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) || Fail();
}

bool RemoveFolder(const std::string& path) {
    if (Injected()) return false;
    return RemoveDirectoryA(path.c_str()) || Fail();
}

std::optional<bool> IsSameFile(const std::string& a, const std::string& b) {
    if (Injected()) return std::nullopt;
    auto first = ExactFullPath(a);
    auto second = ExactFullPath(b);
    if (!first || !second) return std::nullopt;
    // The file system ignores letter case; the full paths also settle "." and "..".
    CharUpperBuffA(first->data(), static_cast<DWORD>(first->size()));
    CharUpperBuffA(second->data(), static_cast<DWORD>(second->size()));
    return *first == *second;
}

bool CopyFileStamp(const std::string& from, const std::string& to) {
    if (Injected()) return false;
    WIN32_FILE_ATTRIBUTE_DATA source{};
    if (!GetFileAttributesExA(from.c_str(), GetFileExInfoStandard, &source)) return Fail();
    HANDLE h = CreateFileA(to.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return Fail();
    bool timed = SetFileTime(h, nullptr, nullptr, &source.ftLastWriteTime) || Fail();
    CloseHandle(h);
    if (!timed) return false;
    // Bits such as compressed or encrypted cannot be set this way; 0 would be refused.
    constexpr DWORD kSettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    DWORD attributes = source.dwFileAttributes & kSettable;
    return SetFileAttributesA(to.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL) || Fail();
}

bool IsOtherDriveError(int code) { return code == ERROR_NOT_SAME_DEVICE; }

bool IsFolderError(int code) { return code == ERROR_DIRECTORY; }

bool IsNotFoundError(int code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

std::optional<std::string> FinalPathOf(const std::string& path) {
    if (Injected()) return std::nullopt;
    // Asking for the attributes only: no sharing mode of another handle stands in the way.
    HANDLE h = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return Fail(), std::nullopt;
    char buffer[MAX_PATH * 2];
    DWORD n = GetFinalPathNameByHandleA(h, buffer, sizeof buffer, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    CloseHandle(h);
    if (n == 0) return ExactFullPath(path);  // a file system that cannot say
    if (n >= sizeof buffer) {
        gLastError = ERROR_FILENAME_EXCED_RANGE;
        return std::nullopt;
    }
    // The answer comes in the long form, "\\?\C:\..." or "\\?\UNC\server\...", where the
    // rest of the plug-in works with ordinary paths.
    std::string resolved(buffer, n);
    constexpr char kLong[] = "\\\\?\\";
    constexpr char kLongUnc[] = "\\\\?\\UNC\\";
    if (resolved.rfind(kLongUnc, 0) == 0) return "\\\\" + resolved.substr(sizeof kLongUnc - 1);
    if (resolved.rfind(kLong, 0) == 0) return resolved.substr(sizeof kLong - 1);
    return resolved;
}

// ReplaceFile keeps the security settings and the streams of the file it replaces.
bool CopyOwnerAndExtendedAttributes(const std::string&, const std::string&) { return !Injected(); }

bool PathFits(const std::string& path) {
    constexpr size_t kMaxName = 255;
    const size_t cut = path.find_last_of("\\/");
    const size_t nameSize = cut == std::string::npos ? path.size() : path.size() - cut - 1;
    if (nameSize > kMaxName) return false;
    // The limit is on the full path, the folder of a relative one included.
    char buffer[MAX_PATH * 2];
    DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return n > 0 && n < MAX_PATH;
}

char PathSeparator() { return '\\'; }

std::string ProgramPath() {
    char buffer[MAX_PATH * 2];
    DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    return (n > 0 && n < sizeof buffer) ? std::string(buffer, n) : std::string();
}

}  // namespace vemo
