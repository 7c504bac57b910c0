// The text helpers that see names and numbers from files and tags:
//   - StrToIntVal against a plain reading of its documented rule;
//   - MakeValidFileName keeps the length and every allowed byte, and leaves no
//     character Windows refuses in a file name;
//   - TrackFileName is empty or a usable "<name>.mp3": nothing refused, no trailing
//     blank or dot, no device name;
//   - SplitTrackName cuts the base name at its first " - " and loses nothing.
// The first byte picks where the input is cut into artist and title.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "audio/tag_writer.h"
#include "text/text.h"

namespace {

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "text property broken: %s\n", what);
    std::abort();
}

bool IsRefused(char c) { return (c >= 1 && c <= 31) || (c != 0 && std::strchr("\\/:*?\"<>|", c)); }

int DigitValue(char c, unsigned base) {
    int v = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 99;
    return v < static_cast<int>(base) ? v : -1;
}

// Blanks, then a sign and decimal digits or a hexadecimal prefix and digits; the value
// kept modulo 2^32; a bad character ends the number and drops the sign.
int32_t ReferenceIntVal(std::string_view text) {
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    unsigned base = 10;
    bool minus = false;
    if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X')) {
        base = 16;
        text.remove_prefix(1);
    } else if (text.starts_with("0x")) {
        base = 16;
        text.remove_prefix(2);
    } else if (text.starts_with('+') || text.starts_with('-')) {
        minus = text[0] == '-';
        text.remove_prefix(1);
    }
    uint64_t value = 0;
    for (char c : text) {
        int digit = DigitValue(c, base);
        if (digit < 0) return static_cast<int32_t>(static_cast<uint32_t>(value));
        value = (value * base + static_cast<uint64_t>(digit)) % (uint64_t{1} << 32);
    }
    return static_cast<int32_t>(static_cast<uint32_t>(minus ? (uint64_t{1} << 32) - value : value));
}

bool IsDevice(std::string stem) {
    for (char& c : stem) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return true;
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '1' && stem[3] <= '9';
}

void CheckTrackFileName(std::string_view artist, std::string_view title) {
    const std::string name = vemo::TrackFileName(artist, title);
    if (name.empty()) return;
    Check(name.ends_with(".mp3"), "track file name ends in .mp3");
    for (char c : name) Check(!IsRefused(c), "no refused character in a track file name");
    const std::string_view base = std::string_view(name).substr(0, name.size() - 4);
    Check(!base.empty() && base.back() != ' ' && base.back() != '.', "no trailing blank or dot");
    std::string_view stem = base.substr(0, base.find('.'));
    stem = stem.substr(0, stem.find_last_not_of(' ') + 1);
    Check(!IsDevice(std::string(stem)), "no device name");
    // Nothing is dropped: the mended name is as long, one "_" more for a device.
    const size_t given = artist.size() + (artist.empty() || title.empty() ? 0 : 3 + title.size());
    Check(base.size() == given || base.size() == given + 1, "track file name keeps its length");
}

void CheckSplit(std::string_view path) {
    const vemo::NameSplit split = vemo::SplitTrackName(path);
    std::string_view base = path.substr(path.find_last_of('/') == std::string_view::npos ? 0 : path.find_last_of('/') + 1);
    base = base.substr(0, base.rfind('.'));
    if (base.find(" - ") == std::string_view::npos) {
        Check(split.Artist.empty() && split.Title == base, "no separator: the title is the base name");
    } else {
        Check(split.Artist + " - " + split.Title == base, "artist - title is the base name");
        Check(split.Artist.find(" - ") == std::string::npos, "cut at the first separator");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    Check(vemo::StrToIntVal(input) == ReferenceIntVal(input), "StrToIntVal follows its rule");

    const std::string valid = vemo::MakeValidFileName(input);
    Check(valid.size() == input.size(), "valid file name keeps its length");
    for (size_t i = 0; i < valid.size(); ++i) {
        Check(IsRefused(input[i]) ? valid[i] == '_' : valid[i] == input[i], "only refused characters change");
    }

    const std::string_view rest = input.empty() ? input : input.substr(1);
    const size_t cut = input.empty() ? 0 : static_cast<uint8_t>(input[0]) % (rest.size() + 1);
    CheckTrackFileName(rest.substr(0, cut), rest.substr(cut));
    CheckSplit(input);
    return 0;
}
