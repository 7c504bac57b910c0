// vemo-sample-library [--world] FOLDER: writes the sample MP3 files and library.m3u into
// FOLDER, creating it when needed; with --world, the library named in four scripts and
// world.m3u.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "sample_library.h"

int main(int argc, char** argv) {
    const bool world = argc == 3 && std::strcmp(argv[1], "--world") == 0;
    if (argc != 2 && !world) {
        std::fprintf(stderr, "usage: vemo-sample-library [--world] FOLDER\n");
        return 2;
    }
    const char* folder = argv[argc - 1];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        std::fprintf(stderr, "vemo-sample-library: cannot create %s: %s\n", folder, ec.message().c_str());
        return 1;
    }
    std::string error;
    if (!(world ? vemo::samples::WriteWorldLibrary(folder, error) : vemo::samples::WriteSampleLibrary(folder, error))) {
        std::fprintf(stderr, "vemo-sample-library: %s\n", error.c_str());
        return 1;
    }
    std::printf("%zu files and %s written to %s\n",
                (world ? vemo::samples::WorldLibrary() : vemo::samples::SampleLibrary()).size(),
                world ? vemo::samples::kWorldPlaylist : "library.m3u", folder);
    return 0;
}
