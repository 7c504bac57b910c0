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
    HotkeyId LeftId;  // Unused: a line of its own, about no hotkey (Text)
    std::string_view Left;  // the action, or the text of a line about no hotkey
    size_t LeftPadding = 0;  // blanks after the left column, with the default combination
    HotkeyId RightId = Unused;  // Unused: the line has one column
    std::string_view Right = {};
};

constexpr size_t kRightColumnIndent = 9;
constexpr std::string_view kActionSeparator = " - ";

constexpr HelpLine kHelpLines[] = {
    {Prev, "Previous track", 24, Repeat, "Repeat toggle"},
    {PlayPause, "Play/Pause toggle", 12, Shuffle, "Shuffle toggle"},
    {StopTrack, "Stop track", 24, IncVol, "Volume up"},
    {Next, "Next track", 24, DecVol, "Volume down"},
    {PrvWOShuffle, "Previous track w/o Shuffle", 0, EQ, "EQ on/off toggle"},
    {NxtWOShuffle, "Next track w/o Shuffle", 0, RptOn, "Repeat on"},
    {StopWFadeout, "Stop track with fadeout", 0, ShflOn, "Shuffle on"},
    {StopAfterCurr, "Stop after current track"},
    {SeekFwd, "Rewind 5 sec."},
    {SeekBkw, "Fast forward 5 sec."},
    {JumpTo, "Open jump to file dialog"},
    {Unused, ""},
    {Unused, ""},
    {MinMax, "Minimize/Restore toggle"},
    {ID3v1, "ID3v1 Tag"},
    {ID3v2, "ID3v2 Tag"},
    {TAG, "MPEG file info+ID3 tag editor box"},
    {TrackInfo, "Track info"},
    {ID3Any, "ID3 Tag"},
    {MPEGInfo, "File info"},
    {RenameFile, "Rename track according to ID3 tag"},
    {ModifyID3, "Make ID3v1 tag from filename"},
    {CopyFile, "Copy file to a specified folder"},
    {MoveFile, "Move file to a specified folder"},
    {PhysDelete, "Send file to Recycle Bin"},
    {ReadOnlyToggle, "Toggle file 'Read only' attribute"},
    {Preferences, "Toggle preferences screen"},
    {VisPlug, "Toggle visualization plug-in"},
    {Config, "Toggle this window"},
    {Quit, "Exit Quavix"},
    // Below the service controls, narrow enough to stay clear of the options beside them.
    {Unused, " Double-click a line, or press Hotkeys"},
    {Unused, " below, to change a combination or to"},
    {Unused, " pick a set that works on this computer."},
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

// " Win+V - Next track" with the combination in effect.
std::string HelpColumn(const HotkeyTable& table, HotkeyId id, std::string_view action) {
    return CombinationText(table[id]).append(kActionSeparator).append(action);
}

std::string BuildHelpText(const HotkeyTable& table, const HotkeyStates& states) {
    static const HotkeyTable kDefaults = DefaultHotkeys();
    std::string text;
    for (const HelpLine& line : kHelpLines) {
        text += '\r';
        if (line.LeftId == Unused) {
            text += line.Left;
            continue;
        }
        const std::string left = " " + HelpColumn(table, line.LeftId, line.Left) + Mark(states, line.LeftId);
        text += left;
        if (line.RightId == Unused) continue;
        // The padding keeps the right column where the defaults put it, as far as it can.
        const size_t width = 1 + HelpColumn(kDefaults, line.LeftId, line.Left).size() + line.LeftPadding;
        text.append(width > left.size() ? width - left.size() : 0, ' ');
        text += '\t';
        text.append(kRightColumnIndent, ' ');
        text += HelpColumn(table, line.RightId, line.Right);
        text += Mark(states, line.RightId);
    }
    return text;
}

constexpr int32_t kVkTab = 0x09;
constexpr int32_t kVkEnter = 0x0D;
constexpr int32_t kVkNumpad0 = 0x60;
constexpr int32_t kVkNumpadDivide = 0x6F;  // the last key of the number pad
// The punctuation keys, whatever the layout puts on them: ; = , - . / ` then [ \ ] ' and
// the extra key of European keyboards.
constexpr int32_t kVkFirstPunctuation = 0xBA;
constexpr int32_t kVkLastPunctuation = 0xC0;
constexpr int32_t kVkFirstBracket = 0xDB;
constexpr int32_t kVkLastBracket = 0xDF;
constexpr int32_t kVkExtraPunctuation = 0xE2;
// The bits by which the system tells combinations apart.
constexpr int32_t kCombinationModifiers = kModAlt | kModCtrl | kModShift | kModWin;

// The texts of the popup about hotkeys that do nothing.
constexpr std::string_view kOneTaken = "1 hotkey is taken by another program:";
constexpr std::string_view kSomeTaken = " hotkeys are taken by another program:";
constexpr std::string_view kOneProblem = "1 hotkey does nothing:";
constexpr std::string_view kSomeProblems = " hotkeys do nothing:";
constexpr std::string_view kReasonSeparator = ": ";
constexpr std::string_view kWhereToChange = "Change them in the configuration window: Hotkeys";

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
    static const std::string text = BuildHelpText(DefaultHotkeys(), HotkeyStates{});
    return text;
}

std::string HotkeyHelpText(const HotkeyStates& states) { return BuildHelpText(DefaultHotkeys(), states); }

std::string HotkeyHelpText(const HotkeyTable& table, const HotkeyStates& states) { return BuildHelpText(table, states); }

HotkeyId HelpLineHotkey(size_t line, bool rightColumn) {
    if (line == 0 || line > std::size(kHelpLines)) return Unused;
    const HelpLine& help = kHelpLines[line - 1];
    return rightColumn && help.RightId != Unused ? help.RightId : help.LeftId;
}

std::string_view HotkeyActionName(HotkeyId id) {
    if (id == Unused) return {};
    for (const HelpLine& line : kHelpLines) {
        if (line.LeftId == id) return line.Left;
        if (line.RightId == id) return line.Right;
    }
    return {};
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
