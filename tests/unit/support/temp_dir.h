// A fresh folder per test, removed with everything in it afterwards.
#pragma once

#include <string>
#include <string_view>

namespace vemo::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // Path of a name inside the folder, with the platform's separator.
    std::string File(std::string_view name) const;

private:
    std::string path_;
};

// Whole-file helpers for test fixtures (std::string holds the bytes).
std::string ReadAll(const std::string& path);
void WriteAll(const std::string& path, std::string_view bytes);
// Names of the entries of a folder, sorted.
std::string ListFolder(const std::string& path);
// How long a name in folder may be as far as the path limit goes (Windows: 259
// characters in all; POSIX: PATH_MAX less one); names themselves stop at 255 bytes.
size_t PathRoomIn(const std::string& folder);
size_t LongestNameIn(const std::string& folder);

}  // namespace vemo::test
