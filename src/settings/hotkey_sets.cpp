#include "settings/hotkey_sets.h"

#include "settings/key_names.h"

namespace vemo {

namespace {

using enum HotkeyId;

struct SetEntry {
    HotkeyId Id;
    HotkeyEntry Combination;
};

constexpr int32_t kCtrlAlt = kModCtrl | kModAlt;
constexpr int32_t kCtrlAltShift = kModCtrl | kModAlt | kModShift;
constexpr int32_t kCtrlShift = kModCtrl | kModShift;
constexpr int32_t F(int32_t n) { return kVkF1 + n - 1; }

// Ctrl+Alt is AltGr on many European layouts (AltGr+E types the euro sign, AltGr+Q an
// "@", AltGr+Z a "ż"), and AltGr+Shift types capitals of those, so Ctrl+Alt, with or
// without Shift, goes only on keys that type nothing with any modifier: the function
// keys and the paging keys. Ctrl+Shift types no character on common layouts, but
// programs use Ctrl+Shift+letter for their own commands (paste as text, redo), so it
// too goes only on function keys. Left out: Ctrl+Alt+Delete (the system's own) and
// Ctrl+Alt+arrows (screen rotation of some graphics drivers).
// The keys follow the defaults' groups: transport on F1 to F4 (Shift for the variants
// of each), seeking on F5 and F6, the switches on F7 and F8, information on F9 to F11,
// file actions on Ctrl+Shift with the defaults' function keys (F2 rename, F5 copy...).
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
    {ShflOn, {kCtrlAltShift, F(7)}},
    {RptOn, {kCtrlAltShift, F(8)}},
    {TAG, {kCtrlAltShift, F(11)}},
    {ID3v1, {kCtrlAltShift, F(5)}},
    {Preferences, {kCtrlAlt, kVkHome}},
    {VisPlug, {kCtrlAlt, kVkEnd}},
    {StopWFadeout, {kCtrlAltShift, F(3)}},
    {ID3v2, {kCtrlAltShift, F(6)}},
    {ID3Any, {kCtrlAltShift, F(9)}},
    {StopAfterCurr, {kCtrlAltShift, F(2)}},
    {ReadOnlyToggle, {kCtrlShift, F(7)}},
    {PhysDelete, {kCtrlShift, F(8)}},
    {EQ, {kCtrlAlt, kVkInsert}},
    {CopyFile, {kCtrlShift, F(5)}},
    {MoveFile, {kCtrlShift, F(6)}},
    {JumpTo, {kCtrlAlt, F(11)}},
    {RenameFile, {kCtrlShift, F(2)}},
    {ModifyID3, {kCtrlShift, F(3)}},
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

HotkeyTable HotkeySetTable(HotkeySet set) {
    HotkeyTable table = DefaultHotkeys();
    if (set == HotkeySet::Defaults) return table;
    Apply(table, kNoWinKey);
    if (set == HotkeySet::MediaKeys) Apply(table, kMediaKeys);
    return table;
}

}  // namespace vemo
