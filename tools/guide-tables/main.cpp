// Prints the parts of the user's guide that are made from the plug-in's own data, so
// that the guide cannot drift from it:
//
//   vemo-guide-tables hotkeys   the hotkey table (Markdown): id, action, its name in the
//                               windows, default combination, settings key and its line
//                               in Plugin.ini
//   vemo-guide-tables section   the "[Vemo Plugin]" section as the plug-in writes it
//                               with the default settings, as a Markdown code block
#include <array>
#include <cstdio>
#include <string>
#include <string_view>

#include "settings/hotkey_table.h"
#include "settings/settings_file.h"

namespace vemo {
namespace {

// What each hotkey does, in the guide's words, by id (1 to 35). The windows' shorter
// names stand beside them, so that a reader can find a line of either window.
constexpr std::array<std::string_view, kStoredHotkeyCount> kActions = {
    "Previous track",
    "Play; pause while playing",
    "Stop",
    "Next track",
    "Volume up",
    "Volume down",
    "Minimize the player; restore it when minimized",
    "Rewind 5 seconds",
    "Fast forward 5 seconds",
    "File information: folder, name, size, length, bit rate",
    "Exit the player",
    "Shuffle on/off",
    "Repeat on/off",
    "Show or hide the configuration window",
    "Previous track in list order, also with shuffle on",
    "Next track in list order, also with shuffle on",
    "Track information: title, position and length",
    "Shuffle on",
    "Repeat on",
    "The player's file information box (tag editor)",
    "ID3v1 tag of the playing file",
    "The player's preferences",
    "Visualization plug-in on/off",
    "Stop with fade-out",
    "ID3v2 tag of the playing file",
    "ID3 tag of the playing file, whichever there is",
    "Stop after the current track",
    "Make the playing file read-only, or writable again",
    "Delete the playing file",
    "Equalizer on/off",
    "Copy the playing file to the destination folder",
    "Move the playing file to the destination folder",
    "The player's jump-to-file dialog",
    "Rename the playing file after its ID3 tag",
    "Make a tag from the file name (Artist - Title.mp3)",
};

// Markdown shows a back quote inside a code span only between double back quotes.
std::string Code(const std::string& text) {
    return text.find('`') == std::string::npos ? "`" + text + "`" : "`` " + text + " ``";
}

void PrintHotkeys() {
    std::puts("| id | action | in the windows | default | settings key | default line in Plugin.ini |");
    std::puts("|---:|---|---|---|---|---|");
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
        const HotkeySlot& slot = HotkeySlotOf(id);
        const std::string key(slot.KeyName);
        const std::string line = key + "=" + std::to_string(slot.Default.Modifiers) + " " +
                                 std::to_string(slot.Default.VirtualKey);
        std::printf("| %d | %s | %s | %s | %s | %s |\n", id, std::string(kActions[static_cast<size_t>(id - 1)]).c_str(),
                    std::string(HotkeyActionName(static_cast<HotkeyId>(id))).c_str(),
                    Code(CombinationText(slot.Default)).c_str(), Code(key).c_str(), Code(line).c_str());
    }
}

void PrintSection() {
    std::string text = ComposeSettingsFile("", DefaultSettings());
    std::string lines = "```ini\n";
    for (char c : text) {
        if (c != '\r') lines += c;
    }
    std::puts((lines + "\n```").c_str());
}

}  // namespace
}  // namespace vemo

int main(int argc, char** argv) {
    const std::string_view what = argc == 2 ? argv[1] : "";
    if (what == "hotkeys") {
        vemo::PrintHotkeys();
    } else if (what == "section") {
        vemo::PrintSection();
    } else {
        std::fputs("usage: vemo-guide-tables hotkeys|section\n", stderr);
        return 2;
    }
    return 0;
}
