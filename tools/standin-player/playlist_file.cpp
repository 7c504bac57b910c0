#include "playlist_file.h"

#include "text/file_access.h"
#include "text/text.h"

namespace vemo::standin {

namespace {
constexpr int64_t kMaxPlaylistBytes = 4 * 1024 * 1024;
}

bool IsPlaylistName(std::string_view path) {
    size_t dot = path.rfind('.');
    if (dot == std::string_view::npos) return false;
    std::string ext(path.substr(dot + 1));
    StrUpper(ext.data());
    return ext == "M3U";
}

bool IsAbsolutePath(std::string_view path) {
    if (path.empty()) return false;
    if (path[0] == '/' || path[0] == '\\') return true;
    return path.size() >= 2 && path[1] == ':';
}

std::vector<std::string> ParseM3U(std::string_view text, const std::string& folder, char separator) {
    std::vector<std::string> paths;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.empty() || line[0] == '#') continue;
        if (IsAbsolutePath(line) || folder.empty()) paths.push_back(line);
        else paths.push_back(folder + separator + line);
    }
    return paths;
}

std::vector<std::string> ReadM3U(const std::string& path) {
    File file = File::OpenRead(path, Share::Read);
    int64_t size = file.Size();
    if (!file || size < 0 || size > kMaxPlaylistBytes) return {};
    std::string text(static_cast<size_t>(size), '\0');
    if (file.Read(text.data(), text.size()) != size) return {};
    return ParseM3U(text, FolderOf(path), PathSeparator());
}

}  // namespace vemo::standin
