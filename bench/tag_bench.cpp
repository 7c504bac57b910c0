// How long tagging a large MP3 file from its name takes when the audio has to move:
// through a temporary file swapped in, and moved in place (forced by taking every
// temporary name), beside a plain copy of the same file through the same file access
// with the same flush. Each pass starts from a fresh copy, written before the clock
// starts, so all three run on a file the system has just cached.
//
//   vemo_tag_bench [MEGABYTES] [PASSES] [FOLDER]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "audio/tag_writer.h"
#include "text/file_access.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr size_t kBlock = size_t{1} << 20;

// One file to another through the file-access module, flushed as the tag writer flushes.
bool CopyThrough(const std::string& from, const std::string& to) {
    vemo::File in = vemo::File::OpenRead(from);
    vemo::File out = vemo::File::CreateAlways(to);
    std::vector<char> block(kBlock);
    for (;;) {
        int64_t got = in.Read(block.data(), block.size());
        if (got < 0) return false;
        if (got == 0) return out.Flush();
        if (!out.Write(block.data(), static_cast<size_t>(got))) return false;
    }
}

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void Report(const char* name, std::vector<double> times, double megabytes) {
    std::sort(times.begin(), times.end());
    std::printf("%-34s best %7.3f s  median %7.3f s  %7.1f MB/s\n", name, times.front(), times[times.size() / 2],
                megabytes / times.front());
}

}  // namespace

int main(int argc, char** argv) {
    const int megabytes = argc > 1 ? std::atoi(argv[1]) : 100;
    const int passes = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const fs::path folder = fs::path(argc > 3 ? argv[3] : fs::temp_directory_path().string()) / "vemo-tag-bench";
    fs::create_directories(folder);
    const std::string source = (folder / "source.bin").string();
    const std::string copy = (folder / "copy.bin").string();
    const std::string target = (folder / "Some Artist - A Title Well Beyond Thirty Characters.mp3").string();

    {
        std::mt19937 random(1);
        std::vector<char> block(kBlock);
        vemo::File out = vemo::File::CreateAlways(source);
        for (int i = 0; i < megabytes; ++i) {
            for (char& c : block) c = static_cast<char>(random() & 0x7F);  // no "ID3" at the start, no sync words
            if (!out.Write(block.data(), block.size())) return std::fprintf(stderr, "cannot write %s\n", source.c_str()), 1;
        }
    }
    std::printf("file: %d MB, %d passes, folder %s\n", megabytes, passes, folder.string().c_str());

    std::vector<double> copies, swapped, inPlace;
    for (int pass = 0; pass < passes; ++pass) {
        fs::remove(copy);  // a new file each time, as the temporary file is
        Clock::time_point start = Clock::now();
        if (!CopyThrough(source, copy)) return std::fprintf(stderr, "copy failed\n"), 1;
        copies.push_back(Seconds(start));

        for (bool forceInPlace : {false, true}) {
            fs::copy_file(source, target, fs::copy_options::overwrite_existing);
            for (int attempt = 0; forceInPlace && attempt < vemo::kTemporaryAttempts; ++attempt) {
                vemo::File::CreateAlways(vemo::TemporaryPathBeside(target, attempt));
            }
            start = Clock::now();
            vemo::TagWriteResult result = vemo::WriteTagFromFileName(target);
            (forceInPlace ? inPlace : swapped).push_back(Seconds(start));
            if (result.Status != vemo::TagWriteStatus::Created) std::printf("not tagged: %s\n", result.Text.c_str());
            for (int attempt = 0; attempt < vemo::kTemporaryAttempts; ++attempt) {
                fs::remove(vemo::TemporaryPathBeside(target, attempt));
            }
        }
    }
    Report("plain copy (1 MiB blocks, flushed)", copies, megabytes);
    Report("tag, through a temporary file", swapped, megabytes);
    Report("tag, audio moved in place", inPlace, megabytes);
    fs::remove_all(folder);
    return 0;
}
