// vemo-sample-library FOLDER: writes the sample MP3 files and library.m3u into FOLDER,
// creating it when needed.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "sample_library.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vemo-sample-library FOLDER\n");
        return 2;
    }
    std::error_code ec;
    std::filesystem::create_directories(argv[1], ec);
    if (ec) {
        std::fprintf(stderr, "vemo-sample-library: cannot create %s: %s\n", argv[1], ec.message().c_str());
        return 1;
    }
    std::string error;
    if (!vemo::samples::WriteSampleLibrary(argv[1], error)) {
        std::fprintf(stderr, "vemo-sample-library: %s\n", error.c_str());
        return 1;
    }
    std::printf("%zu files and library.m3u written to %s\n", vemo::samples::SampleLibrary().size(), argv[1]);
    return 0;
}
