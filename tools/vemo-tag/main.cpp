// vemo-tag FILE...
//
// Writes, for each MP3 file, the artist and title of its name ("Artist - Title.mp3")
// into its tag, as the plug-in's tag action does with the current playlist entry, and
// prints one line per file: the path, ": ", and what the plug-in would show. A file
// that is not written stays byte for byte as it was (unless the line says it may be
// damaged). Exit status: 0 when every file got its tag; 1 otherwise; 2 for bad usage.
#include <cstdio>
#include <string>
#include <vector>

#include "audio/audio_texts.h"
#include "audio/id3v1.h"
#include "audio/tag_writer.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitNotAllTagged = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "usage: vemo-tag FILE...\n"
    "Writes the artist and title of each MP3 file's name (\"Artist - Title.mp3\") into\n"
    "its tag: ID3v1 when both fit its 30-byte fields, else ID3v2 at the start of the file.\n"
    "Prints \"FILE: result\" for each file.\n";

int Usage(FILE* to, int status) {
    std::fputs(kUsage, to);
    return status;
}

// True when the file got its tag.
bool Tag(const std::string& path) {
    vemo::TagWriteResult result;
    if (vemo::IsMP3Name(path)) {
        result = vemo::WriteTagFromFileName(path);
    } else {
        result.Text = vemo::texts::kNotMP3;
    }
    std::printf("%s: %s\n", path.c_str(), result.Text.c_str());
    return result.Status == vemo::TagWriteStatus::Created;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> files;
    bool optionsDone = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
            if (arg == "--") {
                optionsDone = true;
                continue;
            }
            if (arg == "--help" || arg == "-h") return Usage(stdout, kExitOk);
            std::fprintf(stderr, "vemo-tag: unknown option %s\n", arg.c_str());
            return Usage(stderr, kExitUsage);
        }
        files.push_back(arg);
    }
    if (files.empty()) return Usage(stderr, kExitUsage);

    int status = kExitOk;
    for (const std::string& path : files) {
        if (!Tag(path)) status = kExitNotAllTagged;
    }
    return status;
}
