// vemo-info [--file-info | --id3v1 | --id3v2 | --id3] FILE...
//
// Prints, for each file, what the plug-in's information popup would show with the file
// as the current playlist entry: the caption on a line of its own, then the body line
// by line. Without a mode: the file information, then the text of any ID3 tag. The
// player's track length of a file that is not an MP3 file is taken as 0.
//
// A file that cannot be opened shows only its file information, as far as its directory
// entry gives it. Tag text is printed whole, in UTF-8 (wide to a Windows console).
// Exit status: 0; 1 when a file cannot be opened; 2 for bad usage.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "audio/info_text.h"
#include "console_io.h"
#include "text/file_access.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitCannotOpen = 1;
constexpr int kExitUsage = 2;
constexpr int64_t kPlayerLength = 0;

constexpr const char* kUsage =
    "usage: vemo-info [--file-info | --id3v1 | --id3v2 | --id3] FILE...\n"
    "Prints what the information popups would show for each file.\n"
    "  --file-info  path, size and MPEG stream facts\n"
    "  --id3v1      the ID3v1 tag\n"
    "  --id3v2      the ID3v2 tag\n"
    "  --id3        the ID3v2 tag, else the ID3v1 tag\n"
    "Without a mode: the file information, then --id3.\n";

enum class Mode { Default, FileInfo, ID3v1, ID3v2, ID3Any };

// Caption, then the body with its carriage returns as line ends; the empty first line
// that sets a body off from its caption is not printed.
void Print(const vemo::InfoText& info) {
    std::string out;
    std::string_view body = info.body;
    if (!info.caption.empty()) {
        out = info.caption + "\n";
        if (!body.empty() && body.front() == '\r') body.remove_prefix(1);
    }
    for (char c : body) out += c == '\r' ? '\n' : c;
    out += '\n';
    vemo::cli::Write(stdout, out);
}

// Why a file could not be opened, from the code its one open gave.
std::string OpenProblem(int code) { return vemo::IsFolderError(code) ? "is a folder" : vemo::FileErrorText(code); }

// Prints the texts of one file, read through one open of it; false when it could not
// be read.
bool Show(const std::string& path, Mode mode) {
    vemo::InformationTexts all = vemo::AllInformation(path, kPlayerLength);
    // As in the plug-in, a file that is listed but cannot be opened still shows its path,
    // name and size, and for an MP3 name the lines of an empty analysis.
    if ((mode == Mode::Default || mode == Mode::FileInfo) && all.fileInfo) Print(*all.fileInfo);
    if (all.openError) {
        vemo::cli::Write(stderr, "vemo-info: " + path + ": " + OpenProblem(*all.openError) + "\n");
        return false;
    }
    if (mode == Mode::Default || mode == Mode::ID3Any) Print(all.id3Any);
    if (mode == Mode::ID3v1) Print(all.id3v1);
    if (mode == Mode::ID3v2) Print(all.id3v2);
    return true;
}

int Usage(FILE* to, int status) {
    vemo::cli::Write(to, kUsage);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args = vemo::cli::Arguments(argc, argv);
    Mode mode = Mode::Default;
    std::vector<std::string> files;
    bool optionsDone = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
            Mode chosen;
            if (arg == "--") {
                optionsDone = true;
                continue;
            } else if (arg == "--help" || arg == "-h") {
                return Usage(stdout, kExitOk);
            } else if (arg == "--file-info") {
                chosen = Mode::FileInfo;
            } else if (arg == "--id3v1") {
                chosen = Mode::ID3v1;
            } else if (arg == "--id3v2") {
                chosen = Mode::ID3v2;
            } else if (arg == "--id3") {
                chosen = Mode::ID3Any;
            } else {
                vemo::cli::Write(stderr, "vemo-info: unknown option " + arg + "\n");
                return Usage(stderr, kExitUsage);
            }
            if (mode != Mode::Default && mode != chosen) {
                vemo::cli::Write(stderr, "vemo-info: give one mode only\n");
                return Usage(stderr, kExitUsage);
            }
            mode = chosen;
            continue;
        }
        files.push_back(arg);
    }
    if (files.empty()) return Usage(stderr, kExitUsage);

    int status = kExitOk;
    for (const std::string& path : files) {
        if (!Show(path, mode)) status = kExitCannotOpen;
    }
    return status;
}
