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
    {" Win+Delete - Send file to Recycle Bin", 0, "", PhysDelete},
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

// Why an id does nothing, as its help line's mark says it ("also Next track").
constexpr std::string_view kTakenShort = "taken";
constexpr std::string_view kTakenLong = "taken by another program";
constexpr std::string_view kAlso = "also ";
constexpr std::string_view kAlsoUnnamed = "also another of the plug-in's hotkeys";
constexpr std::string_view kNeedsModifier = "needs Win, Ctrl or Alt";
constexpr std::string_view kRefused = "refused by Windows";

std::string ShortReason(const HotkeyState& state) {
    switch (state.Hold) {
        case HotkeyHold::TakenByOther: return std::string(kTakenShort);
        case HotkeyHold::Duplicate: {
            const std::string_view owner =
                IsHotkeyId(state.Owner) ? HotkeyActionName(static_cast<HotkeyId>(state.Owner)) : std::string_view();
            return owner.empty() ? std::string(kAlsoUnnamed) : std::string(kAlso).append(owner);
        }
        case HotkeyHold::NeedsModifier: return std::string(kNeedsModifier);
        case HotkeyHold::Refused: return std::string(kRefused);
        default: return {};
    }
}

// The notice has room to say more than the help line.
std::string LongReason(const HotkeyState& state) {
    switch (state.Hold) {
        case HotkeyHold::TakenByOther: return std::string(kTakenLong);
        case HotkeyHold::Refused:
            return std::string(kRefused).append(" (error ").append(std::to_string(state.Error)).append(")");
        default: return ShortReason(state);
    }
}

// " (taken)" after the help line of an id with a problem; nothing otherwise.
std::string Mark(const HotkeyStates& states, HotkeyId id) {
    if (id == Unused || !IsHotkeyProblem(id, states[id])) return {};
    return std::string(" (").append(ShortReason(states[id])).append(")");
}

std::string BuildHelpText(const HotkeyStates& states) {
    std::string text;
    for (const HelpLine& line : kHelpLines) {
        text += '\r';
        text += line.Left;
        size_t padding = line.LeftPadding;
        const std::string leftMark = Mark(states, line.LeftId);
        text += leftMark;
        padding = padding > leftMark.size() ? padding - leftMark.size() : 0;
        if (line.Right.empty()) continue;
        text.append(padding, ' ');
        text += '\t';
        text.append(kRightColumnIndent, ' ');
        text += line.Right;
        text += Mark(states, line.RightId);
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
constexpr int32_t kVkTab = 0x09;
constexpr int32_t kVkEnter = 0x0D;
constexpr int32_t kVkNumpad0 = 0x60;
constexpr int32_t kVkNumpadDivide = 0x6F;  // the last key of the number pad
constexpr int32_t kVkF1 = 0x70;
constexpr int32_t kFunctionKeyCount = 24;
// The punctuation keys, whatever the layout puts on them: ; = , - . / ` then [ \ ] ' and
// the extra key of European keyboards.
constexpr int32_t kVkFirstPunctuation = 0xBA;
constexpr int32_t kVkLastPunctuation = 0xC0;
constexpr int32_t kVkFirstBracket = 0xDB;
constexpr int32_t kVkLastBracket = 0xDF;
constexpr int32_t kVkExtraPunctuation = 0xE2;
// The bits by which the system tells combinations apart.
constexpr int32_t kCombinationModifiers = kModAlt | kModCtrl | kModShift | kModWin;

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

// The texts of the popup about hotkeys that do nothing.
constexpr std::string_view kOneTaken = "1 hotkey is taken by another program:";
constexpr std::string_view kSomeTaken = " hotkeys are taken by another program:";
constexpr std::string_view kOneProblem = "1 hotkey does nothing:";
constexpr std::string_view kSomeProblems = " hotkeys do nothing:";
constexpr std::string_view kReasonSeparator = ": ";
constexpr std::string_view kWhereToChange = "Change them in Plugin.ini, section [Vemo Plugin]";

}  // namespace

bool TypesCharacter(int32_t vk) {
    if (vk == kVkSpace || vk == kVkTab || vk == kVkEnter) return true;
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return true;
    if (vk >= kVkNumpad0 && vk <= kVkNumpadDivide) return true;
    return (vk >= kVkFirstPunctuation && vk <= kVkLastPunctuation) || (vk >= kVkFirstBracket && vk <= kVkLastBracket) ||
           vk == kVkExtraPunctuation;
}

bool NeedsCommandModifier(const HotkeyEntry& combination) {
    return (combination.Modifiers & (kModWin | kModCtrl | kModAlt)) == 0 && TypesCharacter(combination.VirtualKey);
}

bool SameCombination(const HotkeyEntry& a, const HotkeyEntry& b) {
    return a.VirtualKey == b.VirtualKey &&
           (a.Modifiers & kCombinationModifiers) == (b.Modifiers & kCombinationModifiers);
}

bool IsHotkeyProblem(HotkeyId id, const HotkeyState& state) {
    return id != Unused && state.Hold != HotkeyHold::None && state.Hold != HotkeyHold::Held;
}

const std::string& HotkeyHelpText() {
    static const std::string text = BuildHelpText(HotkeyStates{});
    return text;
}

std::string HotkeyHelpText(const HotkeyStates& states) { return BuildHelpText(states); }

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

std::optional<HotkeyNotice> HotkeyProblemNotice(const HotkeyTable& table, const HotkeyStates& states) {
    int count = 0;
    bool allTaken = true;
    for (const HotkeySlot& slot : kHotkeySlots) {
        if (!IsHotkeyProblem(slot.Id, states[slot.Id])) continue;
        ++count;
        allTaken = allTaken && states[slot.Id].Hold == HotkeyHold::TakenByOther;
    }
    if (count == 0) return std::nullopt;
    HotkeyNotice notice;
    for (const HotkeySlot& slot : kHotkeySlots) {
        if (!IsHotkeyProblem(slot.Id, states[slot.Id])) continue;
        notice.Body += '\r';
        notice.Body += CombinationText(table[slot.Id]);
        notice.Body += " (";
        notice.Body += HotkeyActionName(slot.Id);
        notice.Body += ')';
        if (!allTaken) notice.Body.append(kReasonSeparator).append(LongReason(states[slot.Id]));
    }
    if (allTaken) {
        notice.Caption = count == 1 ? std::string(kOneTaken) : std::to_string(count) + std::string(kSomeTaken);
    } else {
        notice.Caption = count == 1 ? std::string(kOneProblem) : std::to_string(count) + std::string(kSomeProblems);
    }
    notice.Body += '\r';
    notice.Body += kWhereToChange;
    return notice;
}

}  // namespace vemo
