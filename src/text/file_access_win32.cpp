// Win32 implementation of the file-access module: the wide calls, each UTF-8 path made
// UTF-16 at the call, so that no name depends on the system's code page.
#include <windows.h>

#include <iterator>
#include <string_view>

#include "text/file_access.h"
#include "text/unicode.h"

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
    DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

intptr_t Open(const std::string& path, DWORD access, Share share, DWORD disposition) {
    if (Injected()) return -1;
    HANDLE h = CreateFileW(ToWide(path).c_str(), access, ShareFlags(share), nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        gLastError = GetLastError();
        // A folder is refused as access denied, which would read as a want of rights.
        if (gLastError == ERROR_ACCESS_DENIED && IsFolder(path)) gLastError = ERROR_DIRECTORY;
    }
    return reinterpret_cast<intptr_t>(h);
}

// The answer of a call that fills a wide buffer and, when it is too small, returns the
// size it needs: asked again with that much room. Nothing when the call fails.
template <typename Call>
std::optional<std::wstring> WideAnswer(Call call) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (int tries = 0; tries < 3; ++tries) {
        const DWORD n = call(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            gLastError = GetLastError();
            return std::nullopt;
        }
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        buffer.assign(n + 1, L'\0');
    }
    gLastError = ERROR_FILENAME_EXCED_RANGE;
    return std::nullopt;
}

std::optional<std::wstring> WideFullPath(const std::string& path) {
    const std::wstring wide = ToWide(path);
    return WideAnswer([&](wchar_t* buffer, DWORD size) { return GetFullPathNameW(wide.c_str(), size, buffer, nullptr); });
}

std::optional<std::string> ExactFullPath(const std::string& path) {
    std::optional<std::wstring> full = WideFullPath(path);
    if (!full) return std::nullopt;
    return FromWide(*full);
}

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

// The system's text in its own language, whatever the code page can show.
std::string FileErrorText(int code) {
    wchar_t buffer[512];
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, static_cast<DWORD>(code), 0,
                             buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    while (n > 0 && (buffer[n - 1] == L'\r' || buffer[n - 1] == L'\n' || buffer[n - 1] == L' ')) --n;
    return n > 0 ? FromWide(std::wstring_view(buffer, n)) : "error " + std::to_string(code);
}

std::optional<uint32_t> FileAttributes(const std::string& path) {
    if (Injected()) return std::nullopt;
    DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
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
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(ToWide(path).c_str(), &found);
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
    return SetFileAttributesW(ToWide(path).c_str(), attributes) || Fail();
}

bool RemoveFile(const std::string& path) {
    if (Injected()) return false;
    return DeleteFileW(ToWide(path).c_str()) || Fail();
}

bool RenameFile(const std::string& from, const std::string& to) {
    if (Injected()) return false;
    return MoveFileW(ToWide(from).c_str(), ToWide(to).c_str()) || Fail();
}

bool ReplaceFileAtomic(const std::string& replacement, const std::string& target) {
    if (Injected()) return false;
    // ReplaceFile keeps the target's attributes and fails on relative paths under some systems.
    const std::wstring from = WideFullPath(replacement).value_or(ToWide(replacement));
    const std::wstring to = WideFullPath(target).value_or(ToWide(target));
    if (GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES) {
        // A target held open by someone else makes ReplaceFile fail after it has made a
        // backup file of its own beside it, which it then leaves there; find that out first.
        HANDLE probe = CreateFileW(to.c_str(), DELETE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (probe == INVALID_HANDLE_VALUE) return Fail();
        CloseHandle(probe);
        if (ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) return true;
    }
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) || Fail();
}

bool RemoveFolder(const std::string& path) {
    if (Injected()) return false;
    return RemoveDirectoryW(ToWide(path).c_str()) || Fail();
}

bool CreateFolder(const std::string& path) {
    if (Injected()) return false;
    return CreateDirectoryW(ToWide(path).c_str(), nullptr) || Fail();
}

std::optional<bool> IsSameFile(const std::string& a, const std::string& b) {
    if (Injected()) return std::nullopt;
    auto first = WideFullPath(a);
    auto second = WideFullPath(b);
    if (!first || !second) return std::nullopt;
    // The file system ignores letter case in every script ("Кино" and "КИНО" are one
    // name) and compares without regard to the language; the full paths also settle
    // "." and "..".
    const int order = CompareStringOrdinal(first->c_str(), static_cast<int>(first->size()), second->c_str(),
                                           static_cast<int>(second->size()), TRUE);
    if (order == 0) return Fail(), std::nullopt;
    return order == CSTR_EQUAL;
}

bool CopyFileStamp(const std::string& from, const std::string& to) {
    if (Injected()) return false;
    WIN32_FILE_ATTRIBUTE_DATA source{};
    if (!GetFileAttributesExW(ToWide(from).c_str(), GetFileExInfoStandard, &source)) return Fail();
    const std::wstring target = ToWide(to);
    HANDLE h = CreateFileW(target.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
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
    return SetFileAttributesW(target.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL) || Fail();
}

bool IsOtherDriveError(int code) { return code == ERROR_NOT_SAME_DEVICE; }

bool IsFolderError(int code) { return code == ERROR_DIRECTORY; }

bool IsNotFoundError(int code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

std::optional<std::string> FinalPathOf(const std::string& path) {
    if (Injected()) return std::nullopt;
    // Asking for the attributes only: no sharing mode of another handle stands in the way.
    HANDLE h = CreateFileW(ToWide(path).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return Fail(), std::nullopt;
    bool saidNothing = false;
    std::optional<std::wstring> final = WideAnswer([&](wchar_t* buffer, DWORD size) {
        const DWORD n = GetFinalPathNameByHandleW(h, buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        saidNothing = n == 0;
        return n;
    });
    CloseHandle(h);
    if (saidNothing) return ExactFullPath(path);  // a file system that cannot say
    if (!final) return std::nullopt;
    // The answer comes in the long form, "\\?\C:\..." or "\\?\UNC\server\...", where the
    // rest of the plug-in works with ordinary paths.
    std::string resolved = FromWide(*final);
    constexpr char kLong[] = "\\\\?\\";
    constexpr char kLongUnc[] = "\\\\?\\UNC\\";
    if (resolved.rfind(kLongUnc, 0) == 0) return "\\\\" + resolved.substr(sizeof kLongUnc - 1);
    if (resolved.rfind(kLong, 0) == 0) return resolved.substr(sizeof kLong - 1);
    return resolved;
}

// ReplaceFile keeps the security settings and the streams of the file it replaces.
bool CopyOwnerAndExtendedAttributes(const std::string&, const std::string&) { return !Injected(); }

void SimulateNoExtendedAttributes(bool) {}

// Both limits count UTF-16 units: 255 Cyrillic letters make a name that fits, although
// they take 510 bytes here.
bool PathFits(const std::string& path) {
    constexpr size_t kMaxName = 255;
    const size_t cut = path.find_last_of("\\/");
    const std::string_view name = std::string_view(path).substr(cut == std::string::npos ? 0 : cut + 1);
    if (Utf16Length(name) > kMaxName) return false;
    // The limit is on the full path, the folder of a relative one included.
    std::optional<std::wstring> full = WideFullPath(path);
    return full && full->size() < MAX_PATH;
}

std::optional<std::string> ShortPathOf(const std::string& path) {
    if (Injected()) return std::nullopt;
    const std::wstring wide = ToWide(path);
    std::optional<std::wstring> found =
        WideAnswer([&](wchar_t* buffer, DWORD size) { return GetShortPathNameW(wide.c_str(), buffer, size); });
    if (!found) return std::nullopt;
    return FromWide(*found);
}

char PathSeparator() { return '\\'; }

std::string ProgramPath() {
    // The call cuts a path that does not fit and returns the buffer's size instead of
    // what it needs: a buffer filled to the last unit is tried again larger.
    std::wstring buffer(MAX_PATH, L'\0');
    for (int tries = 0; tries < 4; ++tries, buffer.resize(buffer.size() * 4)) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::string();
        if (n < buffer.size()) return FromWide(std::wstring_view(buffer.data(), n));
    }
    return std::string();
}

}  // namespace vemo
