// vemo-tag FILE...
//
// Writes, for each MP3 file, the artist and title of its name ("Artist - Title.mp3")
// into its tag, as the plug-in's tag action does with the current playlist entry, and
// prints one line per file: the path, ": ", and what the plug-in would show. A file
// that is not written stays byte for byte as it was (unless the line says it may be
// damaged). Names and results are printed in UTF-8 (wide to a Windows console).
// Exit status: 0 when every file got its tag; 1 otherwise; 2 for bad usage.
#include <cstdio>
#include <string>
#include <vector>

#include "audio/audio_texts.h"
#include "audio/id3v1.h"
#include "audio/tag_writer.h"
#include "console_io.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitNotAllTagged = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "usage: vemo-tag FILE...\n"
    "Writes the artist and title of each MP3 file's name (\"Artist - Title.mp3\") into\n"
    "its tag: ID3v1 when both fit its 30-byte fields in the system's code page, else\n"
    "ID3v2 at the start of the file, in an encoding that holds every letter.\n"
    "Prints \"FILE: result\" for each file.\n";

int Usage(FILE* to, int status) {
    vemo::cli::Write(to, kUsage);
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
    vemo::cli::Write(stdout, path + ": " + result.Text + "\n");
    return result.Status == vemo::TagWriteStatus::Created;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args = vemo::cli::Arguments(argc, argv);
    std::vector<std::string> files;
    bool optionsDone = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
            if (arg == "--") {
                optionsDone = true;
                continue;
            }
            if (arg == "--help" || arg == "-h") return Usage(stdout, kExitOk);
            vemo::cli::Write(stderr, "vemo-tag: unknown option " + arg + "\n");
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
