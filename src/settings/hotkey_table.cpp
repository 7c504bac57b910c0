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

using enum HotkeyId;

struct HelpLine {
    std::string_view Left;
    size_t LeftPadding;  // blanks after the left column
    std::string_view Right;  // empty: the line has one column
    HotkeyId LeftId = Unused;  // Unused: a line of its own, about no hotkey
    HotkeyId RightId = Unused;
};

constexpr size_t kRightColumnIndent = 9;
constexpr std::string_view kActionSeparator = " - ";
constexpr std::string_view kTakenMark = " (taken)";

// Line 6 names the real default of next in list order, Win+Alt+V.
constexpr HelpLine kHelpLines[] = {
    {" Win+Z - Previous track", 24, "Win+N - Repeat toggle", Prev, Repeat},
    {" Win+X - Play/Pause toggle", 12, "Win+S - Shuffle toggle", PlayPause, Shuffle},
    {" Win+C - Stop track", 24, "Win+Up - Volume up", StopTrack, IncVol},
    {" Win+V - Next track", 24, "Win+Down - Volume down", Next, DecVol},
    {" Win+Alt+Z - Previous track w/o Shuffle", 0, "Win+Ctrl+N - EQ on/off toggle", PrvWOShuffle, EQ},
    {" Win+Alt+V - Next track w/o Shuffle", 0, "Win+Alt+N - Repeat on", NxtWOShuffle, RptOn},
    {" Win+Shift+C - Stop track with fadeout", 0, "Win+Alt+S - Shuffle on", StopWFadeout, ShflOn},
    {" Win+Ctrl+C - Stop after current track", 0, "", StopAfterCurr},
    {" Win+Left - Rewind 5 sec.", 0, "", SeekFwd},
    {" Win+Right - Fast forward 5 sec.", 0, "", SeekBkw},
    {" Win+J - Open jump to file dialog", 0, "", JumpTo},
    {"", 0, ""},
    {"", 0, ""},
    {" Win+A - Minimize/Restore toggle", 0, "", MinMax},
    {" Win+1 - ID3v1 Tag", 0, "", ID3v1},
    {" Win+2 - ID3v2 Tag", 0, "", ID3v2},
    {" Win+3 - MPEG file info+ID3 tag editor box", 0, "", TAG},
    {" Win+Space - Track info", 0, "", TrackInfo},
    {" Win+Alt+Space - ID3 Tag", 0, "", ID3Any},
    {" Win+Ctrl+Space - File info", 0, "", MPEGInfo},
    {" Win+F2 - Rename track according to ID3 tag", 0, "", RenameFile},
    {" Win+F3 - Make ID3v1 tag from filename", 0, "", ModifyID3},
    {" Win+F5 - Copy file to a specified folder", 0, "", CopyFile},
    {" Win+F6 - Move file to a specified folder", 0, "", MoveFile},
    {" Win+Delete - Physically delete current file", 0, "", PhysDelete},
    {" Win+Alt+R - Toggle file 'Read only' attribute", 0, "", ReadOnlyToggle},
    {" Win+P - Toggle preferences screen", 0, "", Preferences},
    {" Win+K - Toggle visualization plug-in", 0, "", VisPlug},
    {" Win+` - Toggle this window", 0, "", Config},
    {" Win+Q - Exit Quavix", 0, "", Quit},
    // Below the service controls, narrow enough to stay clear of the options beside them.
    {" Combinations are changed in Plugin.ini,", 0, ""},
    {" section [Vemo Plugin], under the key", 0, ""},
    {" names of the user's guide (Next=8 86).", 0, ""},
};

bool IsTaken(const HotkeyFlags& taken, HotkeyId id) {
    return id != Unused && taken[static_cast<size_t>(static_cast<int32_t>(id) - kFirstHotkeyId)];
}

std::string BuildHelpText(const HotkeyFlags& taken) {
    std::string text;
    for (const HelpLine& line : kHelpLines) {
        text += '\r';
        text += line.Left;
        size_t padding = line.LeftPadding;
        if (IsTaken(taken, line.LeftId)) {
            text += kTakenMark;
            padding = padding > kTakenMark.size() ? padding - kTakenMark.size() : 0;
        }
        if (line.Right.empty()) continue;
        text.append(padding, ' ');
        text += '\t';
        text.append(kRightColumnIndent, ' ');
        text += line.Right;
        if (IsTaken(taken, line.RightId)) text += kTakenMark;
    }
    return text;
}

// Names of the keys of the default combinations and of the other keys people bind.
struct KeyName {
    int32_t VirtualKey;
    std::string_view Name;
};
constexpr KeyName kKeyNames[] = {
    {0x08, "Backspace"}, {0x09, "Tab"},   {0x0D, "Enter"},     {0x13, "Pause"},  {0x1B, "Esc"},
    {kVkSpace, "Space"}, {0x21, "PgUp"},  {0x22, "PgDn"},      {0x23, "End"},    {0x24, "Home"},
    {kVkLeft, "Left"},   {kVkUp, "Up"},   {kVkRight, "Right"}, {kVkDown, "Down"}, {0x2D, "Insert"},
    {kVkDelete, "Delete"}, {0x6A, "Num *"}, {0x6B, "Num +"},   {0x6D, "Num -"},  {0x6E, "Num ."},
    {0x6F, "Num /"},     {0xBA, ";"},     {0xBB, "="},         {0xBC, ","},      {0xBD, "-"},
    {0xBE, "."},         {0xBF, "/"},     {kVkBackQuote, "`"}, {0xDB, "["},      {0xDC, "\\"},
    {0xDD, "]"},         {0xDE, "'"},
};
constexpr int32_t kVkNumpad0 = 0x60;
constexpr int32_t kVkF1 = 0x70;
constexpr int32_t kFunctionKeyCount = 24;

std::string KeyText(int32_t vk) {
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return std::string(1, static_cast<char>(vk));
    // (Appended rather than added to a literal: GCC 12 at -O3 warns wrongly about that.)
    if (vk >= kVkF1 && vk < kVkF1 + kFunctionKeyCount) return std::string("F").append(std::to_string(vk - kVkF1 + 1));
    if (vk >= kVkNumpad0 && vk <= kVkNumpad0 + 9) return std::string("Num ").append(std::to_string(vk - kVkNumpad0));
    for (const KeyName& key : kKeyNames) {
        if (key.VirtualKey == vk) return std::string(key.Name);
    }
    constexpr char kHex[] = "0123456789ABCDEF";
    const uint32_t code = static_cast<uint32_t>(vk);
    std::string text = "Key 0x";
    for (int shift = code > 0xFF ? 28 : 4; shift >= 0; shift -= 4) text += kHex[(code >> shift) & 0xF];
    return text;
}

// The texts of the popup about taken combinations.
constexpr std::string_view kOneTaken = "1 hotkey is taken by another program:";
constexpr std::string_view kSomeTaken = " hotkeys are taken by another program:";
constexpr std::string_view kWhereToChange = "Change them in Plugin.ini, section [Vemo Plugin]";

}  // namespace

const std::string& HotkeyHelpText() {
    static const std::string text = BuildHelpText(HotkeyFlags{});
    return text;
}

std::string HotkeyHelpText(const HotkeyFlags& taken) { return BuildHelpText(taken); }

std::string_view HotkeyActionName(HotkeyId id) {
    for (const HelpLine& line : kHelpLines) {
        const std::string_view column = line.LeftId == id ? line.Left : line.RightId == id ? line.Right : "";
        const size_t at = column.find(kActionSeparator);
        if (id != Unused && at != std::string_view::npos) return column.substr(at + kActionSeparator.size());
    }
    return {};
}

std::string CombinationText(const HotkeyEntry& entry) {
    std::string text;
    const struct {
        int32_t Bit;
        const char* Name;
    } modifiers[] = {{kModWin, "Win+"}, {kModCtrl, "Ctrl+"}, {kModAlt, "Alt+"}, {kModShift, "Shift+"}};
    for (const auto& modifier : modifiers) {
        if (entry.Modifiers & modifier.Bit) text += modifier.Name;
    }
    return text + KeyText(entry.VirtualKey);
}

std::optional<HotkeyNotice> TakenHotkeysNotice(const HotkeyTable& table, const HotkeyFlags& taken) {
    HotkeyNotice notice;
    int count = 0;
    for (const HotkeySlot& slot : kHotkeySlots) {
        if (!IsTaken(taken, slot.Id) || slot.KeyName.empty()) continue;
        ++count;
        notice.Body += '\r';
        notice.Body += CombinationText(table[slot.Id]);
        notice.Body += " (";
        notice.Body += HotkeyActionName(slot.Id);
        notice.Body += ')';
    }
    if (count == 0) return std::nullopt;
    notice.Caption = count == 1 ? std::string(kOneTaken) : std::to_string(count) + std::string(kSomeTaken);
    notice.Body += '\r';
    notice.Body += kWhereToChange;
    return notice;
}

}  // namespace vemo
