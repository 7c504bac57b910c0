#include "settings/hotkey_table.h"

namespace vemo {

void FillDefaultHotkeys(HotkeyTable& table) {
    for (const HotkeySlot& slot : kHotkeySlots) table[slot.Id] = slot.Default;
}

HotkeyTable DefaultHotkeys() {
    HotkeyTable table;
    FillDefaultHotkeys(table);
    return table;
}

namespace {

struct HelpLine {
    std::string_view Left;
    size_t LeftPadding;  // blanks after the left column
    std::string_view Right;  // empty: the line has one column
};

constexpr size_t kRightColumnIndent = 9;

// Line 6 names the real default of next in list order, Win+Alt+V.
constexpr HelpLine kHelpLines[] = {
    {" Win+Z - Previous track", 24, "Win+N - Repeat toggle"},
    {" Win+X - Play/Pause toggle", 12, "Win+S - Shuffle toggle"},
    {" Win+C - Stop track", 24, "Win+Up - Volume up"},
    {" Win+V - Next track", 24, "Win+Down - Volume down"},
    {" Win+Alt+Z - Previous track w/o Shuffle", 0, "Win+Ctrl+N - EQ on/off toggle"},
    {" Win+Alt+V - Next track w/o Shuffle", 0, "Win+Alt+N - Repeat on"},
    {" Win+Shift+C - Stop track with fadeout", 0, "Win+Alt+S - Shuffle on"},
    {" Win+Ctrl+C - Stop after current track", 0, ""},
    {" Win+Left - Rewind 5 sec.", 0, ""},
    {" Win+Right - Fast forward 5 sec.", 0, ""},
    {" Win+J - Open jump to file dialog", 0, ""},
    {"", 0, ""},
    {"", 0, ""},
    {" Win+A - Minimize/Restore toggle", 0, ""},
    {" Win+1 - ID3v1 Tag", 0, ""},
    {" Win+2 - ID3v2 Tag", 0, ""},
    {" Win+3 - MPEG file info+ID3 tag editor box", 0, ""},
    {" Win+Space - Track info", 0, ""},
    {" Win+Alt+Space - ID3 Tag", 0, ""},
    {" Win+Ctrl+Space - File info", 0, ""},
    {" Win+F2 - Rename track according to ID3 tag", 0, ""},
    {" Win+F3 - Make ID3v1 tag from filename", 0, ""},
    {" Win+F5 - Copy file to a specified folder", 0, ""},
    {" Win+F6 - Move file to a specified folder", 0, ""},
    {" Win+Delete - Physically delete current file", 0, ""},
    {" Win+Alt+R - Toggle file 'Read only' attribute", 0, ""},
    {" Win+P - Toggle preferences screen", 0, ""},
    {" Win+K - Toggle visualization plug-in", 0, ""},
    {" Win+` - Toggle this window", 0, ""},
    {" Win+Q - Exit Quavix", 0, ""},
};

std::string BuildHelpText() {
    std::string text;
    for (const HelpLine& line : kHelpLines) {
        text += '\r';
        text += line.Left;
        if (line.Right.empty()) continue;
        text.append(line.LeftPadding, ' ');
        text += '\t';
        text.append(kRightColumnIndent, ' ');
        text += line.Right;
    }
    return text;
}

}  // namespace

const std::string& HotkeyHelpText() {
    static const std::string text = BuildHelpText();
    return text;
}

}  // namespace vemo
