#include "support/temp_dir.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "text/file_access.h"

namespace vemo::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    std::random_device::result_type seed = std::random_device{}();
    for (;;) {
        fs::path candidate = fs::temp_directory_path() /
                             ("vemo-test-" + std::to_string(seed) + "-" + std::to_string(counter++));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            path_ = candidate.string();
            return;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    // Read-only files left by a test would stop the removal on Windows.
    for (auto& entry : fs::recursive_directory_iterator(path_, ec)) {
        fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ec);
    }
    fs::remove_all(path_, ec);
}

std::string TempDir::File(std::string_view name) const { return path_ + PathSeparator() + std::string(name); }

namespace {
// UTF-8 names whole on Windows too, where a narrow name goes through the code page.
fs::path PathOf(const std::string& path) { return fs::path(std::u8string(path.begin(), path.end())); }
}  // namespace

std::string ReadAll(const std::string& path) {
    std::ifstream in(PathOf(path), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteAll(const std::string& path, std::string_view bytes) {
    std::ofstream out(PathOf(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ListFolder(const std::string& path) {
    std::vector<std::string> names;
    std::error_code ec;
    for (auto& entry : fs::directory_iterator(path, ec)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string joined;
    for (auto& n : names) joined += (joined.empty() ? "" : " ") + n;
    return joined;
}

size_t PathRoomIn(const std::string& folder) {
#ifdef _WIN32
    constexpr size_t kLongestPath = 259;  // MAX_PATH less the terminating zero
#else
    constexpr size_t kLongestPath = PATH_MAX - 1;
#endif
    return kLongestPath - folder.size() - 1;
}

size_t LongestNameIn(const std::string& folder) { return std::min<size_t>(255, PathRoomIn(folder)); }

}  // namespace vemo::test
