// The settings reader on any bytes, with the writer's round trip as the property:
//   - the record read back from the composed file is the record read from the input
//     (options as on/off, the folder as the edit field can hold it, hotkeys 1..35);
//   - the composed file sets every key, whatever record it is read into;
//   - every byte outside our sections comes first, unchanged, then only line ends and
//     our one section; composing again gives the same file.
// One input in eight also goes through a real file on /dev/shm: ReadSettings must read
// what ApplySettingsText reads, and WriteSettings must leave exactly the composed bytes
// and no other file.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scratch_folder.h"
#include "settings/settings_file.h"
#include "text/text.h"
#include "text/unicode.h"

namespace {

constexpr std::string_view kHeader = "[Vemo Plugin]";

using vemo::fuzz::Check;

bool SameRecord(const vemo::Settings& a, const vemo::Settings& b) {
    for (int32_t id = 1; id <= vemo::kOptionCount; ++id) {
        if ((*a.OptionByte(id) != 0) != (*b.OptionByte(id) != 0)) return false;
    }
    for (int32_t id = vemo::kFirstHotkeyId; id <= vemo::kStoredHotkeyCount; ++id) {
        if (!(a.Hotkeys[id] == b.Hotkeys[id])) return false;
    }
    return a.DestinationFolder == b.DestinationFolder;
}

// What the folder's edit field can hold: 259 characters as Windows counts them (UTF-16
// units), one line, text only (a broken sequence as U+FFFD); the reader drops the blanks
// at its ends.
std::string Storable(const std::string& folder) {
    const std::string valid = vemo::ValidUtf8(folder);
    const std::string_view cut = vemo::Utf16Prefix(valid, vemo::kMaxDestinationFolder);
    return vemo::Trim(cut.substr(0, cut.find_first_of("\r\n")));
}

// The input without our sections, worked out on its own: a section runs from a line
// starting with "[" to the next one; a line ends at LF, and a CR just before the LF is
// not part of its text (an unfinished last line keeps a trailing CR).
std::string OutsideOurSections(std::string_view content) {
    std::string kept;
    bool inOurs = false;
    size_t start = 0;
    while (start < content.size()) {
        size_t lf = content.find('\n', start);
        size_t next = lf == std::string_view::npos ? content.size() : lf + 1;
        std::string_view text = content.substr(start, next - start);
        if (lf != std::string_view::npos) {
            text.remove_suffix(1);
            if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        }
        if (!text.empty() && text.front() == '[') inOurs = text == kHeader;
        if (!inOurs) kept.append(content.substr(start, next - start));
        start = next;
    }
    return kept;
}

// A record with every field away from the defaults, to show which keys a file sets.
vemo::Settings Odd() {
    vemo::Settings s;
    s.Options.fill(0x55);
    s.DestinationFolder = "odd";
    for (int32_t id = vemo::kFirstHotkeyId; id <= vemo::kHotkeyCount; ++id) s.Hotkeys[id] = {-7, 7};
    return s;
}

void CheckThroughFiles(std::string_view input, const vemo::Settings& fromText, const std::string& composed) {
    const std::string path = vemo::fuzz::ScratchFolder("settings") + "/Plugin.ini";
    vemo::fuzz::WriteWholeFile(path, input);
    vemo::Settings fromFile = vemo::DefaultSettings();
    const vemo::SettingsStatus read = vemo::ReadSettings(path, fromFile);
    Check(read == vemo::SettingsStatus::Ok || read == vemo::SettingsStatus::NoSection, "file read through");
    Check(fromFile.Options == fromText.Options && fromFile.DestinationFolder == fromText.DestinationFolder &&
              fromFile.Hotkeys == fromText.Hotkeys,
          "file reads as its bytes");
    Check(vemo::WriteSettings(path, fromFile) == vemo::SettingsStatus::Ok, "file written");
    Check(vemo::fuzz::ReadWholeFile(path) == composed, "written file is the composed one");
    const std::vector<std::string> left = vemo::fuzz::TakeScratchListing();
    Check(left.size() == 1 && left[0] == "Plugin.ini", "no other file left");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    vemo::Settings read = vemo::DefaultSettings();
    vemo::ApplySettingsText(input, read);
    const std::string composed = vemo::ComposeSettingsFile(input, read);

    vemo::Settings back = vemo::DefaultSettings();
    vemo::ApplySettingsText(composed, back);
    vemo::Settings expected = read;
    expected.DestinationFolder = Storable(read.DestinationFolder);
    Check(SameRecord(back, expected), "record survives the round trip");

    vemo::Settings backIntoOdd = Odd();
    vemo::ApplySettingsText(composed, backIntoOdd);
    Check(SameRecord(backIntoOdd, back), "composed file sets every key");

    const std::string kept = OutsideOurSections(input);
    Check(composed.starts_with(kept), "text outside our section kept byte for byte");
    std::string_view tail = std::string_view(composed).substr(kept.size());
    tail.remove_prefix(std::min(tail.find_first_not_of("\r\n"), tail.size()));
    const std::string_view before = std::string_view(composed).substr(0, composed.size() - tail.size());
    Check(kept.empty() ? before.empty() : before.ends_with("\n\n") || before.ends_with("\n\r\n"),
          "an empty line before our section, after other text");
    Check(tail.starts_with(std::string(kHeader) + "\r\n"), "our section follows the other text");
    Check(tail.find("\n[") == std::string_view::npos, "our section is the last");
    Check(vemo::ComposeSettingsFile(composed, back) == composed, "a second write changes nothing");

    if (size % 8 == 0) CheckThroughFiles(input, read, composed);
    return 0;
}
