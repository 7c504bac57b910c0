#include "settings/hotkey_table.h"

#include <span>

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

// A line of a help box: an action with its combination, or a note about no hotkey.
struct HelpLine {
    HotkeyId Id;  // Unused: a note (Text as it stands)
    std::string_view Text;  // the action's name, or the note
};

constexpr std::string_view kActionSeparator = " - ";

// Each box's lines, top to bottom. The boxes hold at most 12, 12 and 18 lines, so
// that each fits inside its frame at a 13-pixel line height as well.
constexpr HelpLine kPlaybackLines[] = {
    {Prev, "Previous track"},
    {PlayPause, "Play/Pause toggle"},
    {StopTrack, "Stop track"},
    {Next, "Next track"},
    {PrvWOShuffle, "Previous track w/o Shuffle"},
    {NxtWOShuffle, "Next track w/o Shuffle"},
    {StopWFadeout, "Stop track with fadeout"},
    {StopAfterCurr, "Stop after current track"},
    {SeekFwd, "Rewind 5 sec."},
    {SeekBkw, "Fast forward 5 sec."},
    {JumpTo, "Open jump to file dialog"},
    {MinMax, "Minimize/Restore toggle"},
};
constexpr HelpLine kAdditionalLines[] = {
    {Repeat, "Repeat toggle"}, {Shuffle, "Shuffle toggle"}, {IncVol, "Volume up"},   {DecVol, "Volume down"},
    {EQ, "EQ on/off toggle"},  {RptOn, "Repeat on"},        {ShflOn, "Shuffle on"},
};
constexpr HelpLine kServiceLines[] = {
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
    {Unused, "Double-click a line or press Hotkeys to"},
    {Unused, "change a combination or pick a set."},
};

constexpr std::span<const HelpLine> kHelpBoxLines[kHelpBoxCount] = {kPlaybackLines, kAdditionalLines, kServiceLines};

constexpr std::span<const HelpLine> LinesOf(HelpBox box) { return kHelpBoxLines[static_cast<size_t>(box)]; }

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

constexpr std::string_view kShortened = "...";

// "Win+V - Next track" with the combination in effect, and its mark, which says why
// the key does nothing: where the line is too wide, the action's name gives way, so that
// neither the mark nor a letter is cut at the box's edge (the hotkeys window, which a
// double click on the line opens, shows the name whole).
std::string HelpLineText(const HotkeyTable& table, const HotkeyStates& states, const HelpLine& line,
                         const HelpLineFit& fit) {
    if (line.Id == Unused) return std::string(line.Text);
    const std::string combination = CombinationText(table[line.Id]);
    const std::string mark = Mark(states, line.Id);
    const std::string lead = combination + std::string(kActionSeparator);
    std::string text = lead + std::string(line.Text) + mark;
    auto fits = [&](const std::string& candidate) { return fit.Width(candidate) <= fit.MaxWidth; };
    if (!fit.Width || fits(text)) return text;
    for (size_t keep = line.Text.size(); keep-- > 0;) {
        if (keep > 0 && line.Text[keep - 1] == ' ') continue;  // no "Next ..." with a gap
        text = lead + std::string(line.Text.substr(0, keep)) + std::string(kShortened) + mark;
        if (fits(text)) return text;
    }
    return mark.empty() ? combination : mark.substr(1) + " " + combination;
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

std::string HotkeyHelpText(HelpBox box, const HotkeyTable& table, const HotkeyStates& states, const HelpLineFit& fit) {
    std::string text;
    for (const HelpLine& line : LinesOf(box)) {
        if (!text.empty()) text += '\r';
        text += HelpLineText(table, states, line, fit);
    }
    return text;
}

std::string HotkeyHelpText(HelpBox box, const HotkeyTable& table, const HotkeyStates& states) {
    return HotkeyHelpText(box, table, states, HelpLineFit{});
}

bool HelpBoxHasDefaults(HelpBox box, const HotkeyTable& table) {
    for (const HelpLine& line : LinesOf(box)) {
        if (line.Id != Unused && table[line.Id] != HotkeySlotOf(static_cast<int32_t>(line.Id)).Default) return false;
    }
    return true;
}

std::string HotkeyHelpText(const HotkeyTable& table, const HotkeyStates& states) {
    std::string text;
    for (size_t box = 0; box < kHelpBoxCount; ++box) {
        text += '\r';
        text += HotkeyHelpText(static_cast<HelpBox>(box), table, states);
    }
    return text;
}

std::string HotkeyHelpText(const HotkeyStates& states) { return HotkeyHelpText(DefaultHotkeys(), states); }

const std::string& HotkeyHelpText() {
    static const std::string text = HotkeyHelpText(HotkeyStates{});
    return text;
}

HotkeyId HelpLineHotkey(HelpBox box, size_t line) {
    const std::span<const HelpLine> lines = LinesOf(box);
    return line < lines.size() ? lines[line].Id : Unused;
}

std::string_view HotkeyActionName(HotkeyId id) {
    if (id == Unused) return {};
    for (const std::span<const HelpLine> lines : kHelpBoxLines) {
        for (const HelpLine& line : lines) {
            if (line.Id == id) return line.Text;
        }
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
