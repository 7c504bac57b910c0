#include "settings/hotkey_sets.h"

#include "settings/key_names.h"

#include <string>

namespace vemo {

namespace {

using enum HotkeyId;

struct SetEntry {
    HotkeyId Id;
    HotkeyEntry Combination;
};

constexpr int32_t kCtrlAlt = kModCtrl | kModAlt;
constexpr int32_t kCtrlAltShift = kModCtrl | kModAlt | kModShift;
constexpr int32_t F(int32_t n) { return kVkF1 + n - 1; }

// Ctrl+Alt is AltGr on many European layouts (AltGr+E types the euro sign, AltGr+Q an
// "@", AltGr+Z a "ż"), and AltGr+Shift types capitals of those, so Ctrl+Alt, with or
// without Shift, goes only on keys that type nothing with any modifier: the function
// keys and the paging keys. Left out: Ctrl+Alt+Delete (the system's own), Ctrl+Alt+
// arrows (screen rotation of some graphics drivers), Ctrl+Alt+End, Home and Insert
// (remote-desktop and virtual-machine consoles take them), and Ctrl+Shift with any key:
// editors and development tools use Ctrl+Shift+F-keys, and a keystroke meant for them
// must not delete or move the playing file.
// The keys follow the defaults' groups: transport on F1 to F4 (Shift for the variants
// of each), seeking on F5 and F6, the switches on F7 and F8, information on F9 to F11;
// the file actions on Ctrl+Alt+Shift with the defaults' function keys (F2 rename, F5
// copy...). With all those taken, the player's windows go on Ctrl+Alt+Shift with the
// paging keys, and the rarer variants get none.
constexpr std::string_view kFirstStartCaption = "The hotkeys are the \"No Win key\" set";
constexpr std::string_view kFirstStartTaken = " Win+ keys are held by other programs.";
constexpr std::string_view kOpensConfiguration = " opens the configuration window: Hotkeys";
constexpr std::string_view kConfigurationFromPlayer =
    "The configuration window opens from the player's plug-in settings: Hotkeys";

constexpr HotkeyEntry kNone{};
constexpr SetEntry kNoWinKey[] = {
    {Prev, {kCtrlAlt, F(1)}},
    {PlayPause, {kCtrlAlt, F(2)}},
    {StopTrack, {kCtrlAlt, F(3)}},
    {Next, {kCtrlAlt, F(4)}},
    {IncVol, {kCtrlAlt, kVkPageUp}},
    {DecVol, {kCtrlAlt, kVkPageDown}},
    {MinMax, {kCtrlAlt, F(10)}},
    {SeekFwd, {kCtrlAlt, F(5)}},
    {SeekBkw, {kCtrlAlt, F(6)}},
    {MPEGInfo, {kCtrlAltShift, F(10)}},
    {Quit, {kCtrlAltShift, F(12)}},
    {Shuffle, {kCtrlAlt, F(7)}},
    {Repeat, {kCtrlAlt, F(8)}},
    {Config, {kCtrlAlt, F(12)}},
    {PrvWOShuffle, {kCtrlAltShift, F(1)}},
    {NxtWOShuffle, {kCtrlAltShift, F(4)}},
    {TrackInfo, {kCtrlAlt, F(9)}},
    {ShflOn, kNone},
    {RptOn, kNone},
    {TAG, {kCtrlAltShift, F(11)}},
    {ID3v1, kNone},
    {Preferences, {kCtrlAltShift, kVkPageUp}},
    {VisPlug, kNone},
    {StopWFadeout, kNone},
    {ID3v2, kNone},
    {ID3Any, {kCtrlAltShift, F(9)}},
    {StopAfterCurr, kNone},
    {ReadOnlyToggle, {kCtrlAltShift, F(7)}},
    {PhysDelete, {kCtrlAltShift, F(8)}},
    {EQ, {kCtrlAltShift, kVkPageDown}},
    {CopyFile, {kCtrlAltShift, F(5)}},
    {MoveFile, {kCtrlAltShift, F(6)}},
    {JumpTo, {kCtrlAlt, F(11)}},
    {RenameFile, {kCtrlAltShift, F(2)}},
    {ModifyID3, {kCtrlAltShift, F(3)}},
};
static_assert(std::size(kNoWinKey) == kStoredHotkeyCount);

// The media keys alone: they type nothing, and with a modifier few people would find them.
constexpr SetEntry kMediaKeys[] = {
    {Prev, {0, kVkMediaPrevious}}, {PlayPause, {0, kVkMediaPlayPause}}, {StopTrack, {0, kVkMediaStop}},
    {Next, {0, kVkMediaNext}},     {IncVol, {0, kVkVolumeUp}},          {DecVol, {0, kVkVolumeDown}},
};

void Apply(HotkeyTable& table, std::span<const SetEntry> entries) {
    for (const SetEntry& entry : entries) table[entry.Id] = entry.Combination;
}

}  // namespace

std::string_view HotkeySetName(HotkeySet set) {
    switch (set) {
        case HotkeySet::Defaults: return "Defaults";
        case HotkeySet::NoWinKey: return "No Win key";
        case HotkeySet::MediaKeys: return "Media keys";
    }
    return {};
}

DefaultsTaken CountTakenCombinations(const HotkeyTable& table, const HotkeyStates& states) {
    DefaultsTaken count;
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
        if (table[id].VirtualKey == 0) continue;
        ++count.Total;
        if (states[id].Hold == HotkeyHold::TakenByOther) ++count.Taken;
    }
    return count;
}

HotkeyNotice FirstStartNotice(const DefaultsTaken& taken, const HotkeyTable& table, const HotkeyStates& states) {
    HotkeyNotice notice;
    notice.Caption = kFirstStartCaption;
    notice.Body.append("\r").append(std::to_string(taken.Taken)).append(" of the ");
    notice.Body.append(std::to_string(taken.Total)).append(kFirstStartTaken);
    const HotkeyEntry& config = table[HotkeyId::Config];
    notice.Body += '\r';
    if (config.VirtualKey != 0 && !IsHotkeyProblem(HotkeyId::Config, states[HotkeyId::Config])) {
        notice.Body.append(CombinationText(config)).append(kOpensConfiguration);
    } else {
        notice.Body += kConfigurationFromPlayer;
    }
    if (const std::optional<HotkeyNotice> problems = HotkeyProblemNotice(table, states)) {
        notice.Body.append("\r").append(problems->Caption).append(problems->Body);
    }
    return notice;
}

HotkeyTable HotkeySetTable(HotkeySet set) {
    HotkeyTable table = DefaultHotkeys();
    if (set == HotkeySet::Defaults) return table;
    Apply(table, kNoWinKey);
    if (set == HotkeySet::MediaKeys) Apply(table, kMediaKeys);
    return table;
}

}  // namespace vemo
