// POSIX implementation of the file-access module, for the native build and its tests.
// Paths are bytes to the system, so the UTF-8 ones go to it as they are. POSIX has no
// sharing modes; they are accepted and ignored.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

#include "text/file_access.h"

namespace vemo {

namespace {

int gLastError = 0;

bool Fail(int code) {
    gLastError = code;
    return false;
}

// Counts the operation; true (with EIO recorded) when the test seam says it fails.
bool Injected() {
    if (!file_access_detail::InjectFailure()) return false;
    gLastError = EIO;
    return true;
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// size, when given, receives the size the folder check learns anyway (-1 if unknown).
intptr_t OpenFd(const std::string& path, int flags, int64_t* size = nullptr) {
    if (size) *size = -1;
    if (Injected()) return -1;
    int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0) {
        gLastError = errno;
        // A folder that may not be listed is refused for want of rights; the folder is
        // the reason worth telling, as on Windows.
        if (gLastError == EACCES && IsFolder(path)) gLastError = EISDIR;
        return -1;
    }
    // A folder opens here but not on Windows, where it is no file to read or write.
    struct stat st {};
    bool known = ::fstat(fd, &st) == 0;
    if (known && S_ISDIR(st.st_mode)) {
        ::close(fd);
        gLastError = EISDIR;
        return -1;
    }
    if (size && known) *size = st.st_size;
    return fd;
}

// Calls readOnce(bytes done so far) until size bytes came or the end was reached; an
// interrupted call is made again. The count read, or -1 on failure.
template <typename ReadOnce>
int64_t ReadFully(size_t size, ReadOnce readOnce) {
    size_t done = 0;
    while (done < size) {
        ssize_t got = readOnce(done);
        if (got < 0) {
            if (errno == EINTR) continue;
            gLastError = errno;
            return -1;
        }
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    return static_cast<int64_t>(done);
}

}  // namespace

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

File File::OpenRead(const std::string& path, Share, int64_t* size) { return File(OpenFd(path, O_RDONLY, size)); }
File File::OpenReadWrite(const std::string& path, Share) { return File(OpenFd(path, O_RDWR)); }
// O_EXCL with O_CREAT never follows a link at the final component.
File File::CreateNew(const std::string& path, Share) { return File(OpenFd(path, O_RDWR | O_CREAT | O_EXCL)); }
File File::CreateAlways(const std::string& path, Share) { return File(OpenFd(path, O_RDWR | O_CREAT | O_TRUNC)); }

int64_t File::Read(void* data, size_t size) {
    if (!IsOpen() || Injected()) return -1;
    const int fd = static_cast<int>(handle_);
    return ReadFully(size, [&](size_t done) { return ::read(fd, static_cast<char*>(data) + done, size - done); });
}

int64_t File::ReadAt(int64_t position, void* data, size_t size) {
    if (!IsOpen() || position < 0 || Injected()) return -1;
    const int fd = static_cast<int>(handle_);
    return ReadFully(size, [&](size_t done) {
        return ::pread(fd, static_cast<char*>(data) + done, size - done, static_cast<off_t>(position + static_cast<int64_t>(done)));
    });
}

bool File::Write(const void* data, size_t size) {
    if (!IsOpen()) return Fail(EBADF);
    if (Injected()) return false;
    size_t done = 0;
    while (done < size) {
        ssize_t put = ::write(static_cast<int>(handle_), static_cast<const char*>(data) + done, size - done);
        if (put < 0) {
            if (errno == EINTR) continue;
            return Fail(errno);
        }
        done += static_cast<size_t>(put);
    }
    return true;
}

bool File::Seek(int64_t position) {
    if (!IsOpen() || position < 0) return Fail(EINVAL);
    if (Injected()) return false;
    return ::lseek(static_cast<int>(handle_), static_cast<off_t>(position), SEEK_SET) >= 0 || Fail(errno);
}

int64_t File::Position() {
    if (!IsOpen() || Injected()) return -1;
    off_t at = ::lseek(static_cast<int>(handle_), 0, SEEK_CUR);
    if (at < 0) gLastError = errno;
    return at;
}

int64_t File::Size() {
    struct stat st {};
    if (!IsOpen() || Injected()) return -1;
    if (::fstat(static_cast<int>(handle_), &st) != 0) {
        gLastError = errno;
        return -1;
    }
    return st.st_size;
}

bool File::Truncate() {
    int64_t at = Position();
    if (at < 0 || Injected()) return false;
    return ::ftruncate(static_cast<int>(handle_), static_cast<off_t>(at)) == 0 || Fail(errno);
}

bool File::Flush() {
    if (!IsOpen() || Injected()) return false;
    return ::fsync(static_cast<int>(handle_)) == 0 || Fail(errno);
}

int64_t File::LinkCount() {
    struct stat st {};
    if (!IsOpen() || Injected()) return -1;
    if (::fstat(static_cast<int>(handle_), &st) != 0) {
        gLastError = errno;
        return -1;
    }
    return static_cast<int64_t>(st.st_nlink);
}

void File::Close() {
    if (IsOpen()) ::close(static_cast<int>(handle_));
    handle_ = kInvalid;
}

int LastFileError() { return gLastError; }

std::string FileErrorText(int code) { return std::strerror(code); }

std::optional<uint32_t> FileAttributes(const std::string& path) {
    struct stat st {};
    if (Injected()) return std::nullopt;
    if (::stat(path.c_str(), &st) != 0) {
        gLastError = errno;
        return std::nullopt;
    }
    uint32_t attributes = S_ISDIR(st.st_mode) ? kAttrDirectory : kAttrArchive;
    if (!(st.st_mode & S_IWUSR)) attributes |= kAttrReadOnly;
    return attributes;
}

std::optional<int64_t> ListedFileSize(const std::string& path) {
    struct stat st {};
    if (Injected()) return std::nullopt;
    if (::stat(path.c_str(), &st) != 0) {
        gLastError = errno;
        return std::nullopt;
    }
    if (S_ISDIR(st.st_mode)) {
        gLastError = EISDIR;
        return std::nullopt;
    }
    return st.st_size;
}

bool SetAttributes(const std::string& path, uint32_t attributes) {
    struct stat st {};
    if (Injected()) return false;
    if (::stat(path.c_str(), &st) != 0) return Fail(errno);
    mode_t mode = st.st_mode & 07777;
    mode = (attributes & kAttrReadOnly) ? (mode & ~mode_t{0222}) : (mode | S_IWUSR);
    return ::chmod(path.c_str(), mode) == 0 || Fail(errno);
}

bool RemoveFile(const std::string& path) {
    if (Injected()) return false;
    return ::unlink(path.c_str()) == 0 || Fail(errno);
}

bool RenameFile(const std::string& from, const std::string& to) {
    if (Injected()) return false;
    // Refuses an existing target, as the Windows move does.
    return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0 || Fail(errno);
}

bool ReplaceFileAtomic(const std::string& replacement, const std::string& target) {
    if (Injected()) return false;
    return ::rename(replacement.c_str(), target.c_str()) == 0 || Fail(errno);
}

bool RemoveFolder(const std::string& path) {
    if (Injected()) return false;
    return ::rmdir(path.c_str()) == 0 || Fail(errno);
}

bool CreateFolder(const std::string& path) {
    if (Injected()) return false;
    return ::mkdir(path.c_str(), 0777) == 0 || Fail(errno);
}

std::optional<bool> IsSameFile(const std::string& a, const std::string& b) {
    struct stat first {}, second {};
    if (Injected()) return std::nullopt;
    if (::stat(a.c_str(), &first) != 0) {
        gLastError = errno;
        return std::nullopt;
    }
    if (::stat(b.c_str(), &second) != 0) {
        gLastError = errno;
        if (errno == ENOENT) return false;
        return std::nullopt;
    }
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool CopyFileStamp(const std::string& from, const std::string& to) {
    struct stat st {};
    if (Injected()) return false;
    if (::stat(from.c_str(), &st) != 0) return Fail(errno);
    const struct timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
    if (::utimensat(AT_FDCWD, to.c_str(), times, 0) != 0) return Fail(errno);
    // Set-id bits are not carried: a copy should not gain powers.
    return ::chmod(to.c_str(), st.st_mode & 0777) == 0 || Fail(errno);
}

bool IsOtherDriveError(int code) { return code == EXDEV; }

bool IsFolderError(int code) { return code == EISDIR; }

bool IsNotFoundError(int code) { return code == ENOENT || code == ENOTDIR; }

std::optional<std::string> FinalPathOf(const std::string& path) {
    if (Injected()) return std::nullopt;
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    if (!resolved) {
        gLastError = errno;
        return std::nullopt;
    }
    return std::string(resolved.get());
}

namespace {

// The value of one extended attribute, or nothing (errno says why).
std::optional<std::vector<char>> ExtendedAttribute(const std::string& path, const char* name) {
    for (;;) {
        ssize_t size = ::getxattr(path.c_str(), name, nullptr, 0);
        if (size < 0) return std::nullopt;
        std::vector<char> value(static_cast<size_t>(size));
        ssize_t got = ::getxattr(path.c_str(), name, value.data(), value.size());
        if (got >= 0) {
            value.resize(static_cast<size_t>(got));
            return value;
        }
        if (errno != ERANGE) return std::nullopt;  // else it grew meanwhile: again
    }
}

bool gNoExtendedAttributes = false;

ssize_t ListExtendedAttributes(const std::string& path, char* names, size_t size) {
    if (gNoExtendedAttributes) {
        errno = ENOTSUP;
        return -1;
    }
    return ::listxattr(path.c_str(), names, size);
}

// The names of path's extended attributes, each ending in a zero byte.
std::optional<std::vector<char>> ExtendedAttributeNames(const std::string& path) {
    for (;;) {
        ssize_t size = ListExtendedAttributes(path, nullptr, 0);
        if (size < 0) {
            // A file system without them has none to keep.
            if (errno == ENOTSUP) return std::vector<char>();
            return std::nullopt;
        }
        std::vector<char> names(static_cast<size_t>(size));
        ssize_t got = ListExtendedAttributes(path, names.data(), names.size());
        if (got >= 0) {
            names.resize(static_cast<size_t>(got));
            return names;
        }
        if (errno != ERANGE) return std::nullopt;
    }
}

}  // namespace

void SimulateNoExtendedAttributes(bool on) { gNoExtendedAttributes = on; }

bool CopyOwnerAndExtendedAttributes(const std::string& from, const std::string& to) {
    struct stat st {};
    if (Injected()) return false;
    if (::stat(from.c_str(), &st) != 0) return Fail(errno);
    // Only a privileged process may give a file away; the group alone may still be had.
    if (::chown(to.c_str(), st.st_uid, st.st_gid) != 0) ::chown(to.c_str(), static_cast<uid_t>(-1), st.st_gid);

    std::optional<std::vector<char>> names = ExtendedAttributeNames(from);
    if (!names) return Fail(errno);
    for (size_t at = 0; at < names->size(); at += std::strlen(names->data() + at) + 1) {
        const char* name = names->data() + at;
        std::optional<std::vector<char>> value = ExtendedAttribute(from, name);
        if (!value) {
            if (errno == ENODATA) continue;  // removed meanwhile
            return Fail(errno);
        }
        // The new file may have it already (a security label given by the folder); setting
        // it again could need rights this process lacks.
        if (ExtendedAttribute(to, name) == value) continue;
        if (::setxattr(to.c_str(), name, value->data(), value->size(), 0) != 0) return Fail(errno);
    }
    return true;
}

// Both limits count bytes here.
bool PathFits(const std::string& path) {
    const size_t cut = path.rfind('/');
    const size_t nameSize = cut == std::string::npos ? path.size() : path.size() - cut - 1;
    return nameSize <= NAME_MAX && path.size() < PATH_MAX;
}

// There are no short names here.
std::optional<std::string> ShortPathOf(const std::string&) {
    Injected();
    return std::nullopt;
}

char PathSeparator() { return '/'; }

std::string ProgramPath() {
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

}  // namespace vemo
