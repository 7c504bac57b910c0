// The platform-independent half of the file-access module.
#include "text/file_access.h"

namespace vemo {

namespace {
int gFailCountdown = 0;  // 0 = no failure armed
int gOperations = 0;     // since the last FailFileOperationAt
}  // namespace

void FailFileOperationAt(int n) {
    gFailCountdown = n > 0 ? n : 0;
    gOperations = 0;
}

namespace file_access_detail {
bool InjectFailure() {
    ++gOperations;
    if (gFailCountdown == 0) return false;
    return --gFailCountdown == 0;
}
}  // namespace file_access_detail

bool IsEndOfFile(File& file) {
    unsigned char byte = 0;
    int64_t got = file.Read(&byte, 1);
    if (got == 1) {
        file.Seek(file.Position() - 1);
        return false;
    }
    return got == 0;
}

namespace {
// Where the last part of a path begins: after its last separator, or at 0.
size_t NameStart(const std::string& path) {
    size_t cut = path.find_last_of(PathSeparator() == '\\' ? "\\/" : "/");
    return cut == std::string::npos ? 0 : cut + 1;
}
}  // namespace

std::string FolderOf(const std::string& path) {
    const size_t nameAt = NameStart(path);
    return nameAt == 0 ? std::string() : path.substr(0, nameAt - 1);
}

std::string TemporaryPathBeside(const std::string& target, int attempt) {
    const std::string number = std::to_string(attempt);
    const std::string suffix = ".vemo" + number + ".tmp";
    if (PathFits(target + suffix)) return target + suffix;
    const size_t nameAt = NameStart(target);
    const std::string folder = target.substr(0, nameAt);
    const std::string name = target.substr(nameAt);
    if (name.size() >= suffix.size()) {
        // Cut after a single-byte character: in UTF-8 and in the double-byte code pages
        // alike, a byte below 0x80 ends a character.
        size_t keep = name.size() - suffix.size();
        while (keep > 0 && static_cast<unsigned char>(name[keep - 1]) >= 0x80) --keep;
        return folder + name.substr(0, keep) + suffix;
    }
    if (name.size() <= number.size()) return folder + number;
    return folder + "~" + number + std::string(name.size() - 1 - number.size(), '~');
}

File CreateTemporaryBeside(const std::string& target, std::string& tempPath) {
    File temp;
    for (int attempt = 0; attempt < kTemporaryAttempts && !temp; ++attempt) {
        tempPath = TemporaryPathBeside(target, attempt);
        temp = File::CreateNew(tempPath, Share::None);
    }
    return temp;
}

bool FileExists(const std::string& path) {
    auto attributes = FileAttributes(path);
    return attributes && !(*attributes & kAttrDirectory);
}

bool DirectoryExists(const std::string& path) {
    auto attributes = FileAttributes(path);
    return attributes && (*attributes & kAttrDirectory);
}

bool FileFailureArmed() { return gFailCountdown > 0; }

int FileOperationsCounted() { return gOperations; }

}  // namespace vemo
