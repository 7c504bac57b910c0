// A folder of its own on /dev/shm (memory, so fast) for a fuzz target that works on
// real files, and the checks of such targets. The folder is made at first use and goes
// at exit or when a property breaks; the fuzzer keeps the input that broke it.
#pragma once

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace vemo::fuzz {

inline std::string gScratchFolder;

// Names of the folder's entries; removes them all.
inline std::vector<std::string> TakeScratchListing() {
    std::vector<std::string> names;
    if (DIR* dir = opendir(gScratchFolder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(dir);
    }
    for (const std::string& name : names) unlink((gScratchFolder + "/" + name).c_str());
    return names;
}

inline void RemoveScratchFolder() {
    if (gScratchFolder.empty()) return;
    TakeScratchListing();
    rmdir(gScratchFolder.c_str());
}

inline void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "property broken: %s\n", what);
    RemoveScratchFolder();
    std::abort();
}

// "/dev/shm/vemo_fuzz_<name>_<pid>", made on the first call.
inline const std::string& ScratchFolder(const char* name) {
    if (gScratchFolder.empty()) {
        gScratchFolder = std::string("/dev/shm/vemo_fuzz_") + name + "_" + std::to_string(getpid());
        Check(mkdir(gScratchFolder.c_str(), 0700) == 0, "scratch folder made");
        std::atexit(RemoveScratchFolder);
    }
    return gScratchFolder;
}

inline std::string ReadWholeFile(const std::string& path) {
    std::string content;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[16384];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) content.append(buffer, n);
        std::fclose(f);
    }
    return content;
}

inline void WriteWholeFile(const std::string& path, std::string_view bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    const bool written = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (f) std::fclose(f);
    Check(written, "input written to a file");
}

}  // namespace vemo::fuzz
