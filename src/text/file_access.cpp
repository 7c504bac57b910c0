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

std::string FolderOf(const std::string& path) {
    size_t cut = path.find_last_of(PathSeparator() == '\\' ? "\\/" : "/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

std::string TemporaryPathBeside(const std::string& target, int attempt) {
    return target + ".vemo" + std::to_string(attempt) + ".tmp";
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
