// The 36 hotkey slots: id, the key name under which the settings file stores the
// combination, and the default combination. The id is also the action's number and the
// id the operating system reports with each hotkey message. Registration lives in the
// Win32 layer; this is only the data, because the settings file needs it too.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vemo {

// Modifier bits as the operating system's hotkey registration takes them.
constexpr int32_t kModAlt = 1;
constexpr int32_t kModCtrl = 2;
constexpr int32_t kModShift = 4;
constexpr int32_t kModWin = 8;

struct HotkeyEntry {
    int32_t Modifiers = 0;
    int32_t VirtualKey = 0;
    friend bool operator==(const HotkeyEntry&, const HotkeyEntry&) = default;
};

enum class HotkeyId : int32_t {
    Prev = 1,
    PlayPause,
    StopTrack,
    Next,
    IncVol,
    DecVol,
    MinMax,
    SeekFwd,  // rewinds: the stored key names are kept as they are
    SeekBkw,  // fast-forwards
    MPEGInfo,
    Quit,
    Shuffle,
    Repeat,
    Config,
    PrvWOShuffle,
    NxtWOShuffle,
    TrackInfo,
    ShflOn,
    RptOn,
    TAG,
    ID3v1,
    Preferences,
    VisPlug,
    StopWFadeout,
    ID3v2,
    ID3Any,
    StopAfterCurr,
    ReadOnlyToggle,
    PhysDelete,
    EQ,
    CopyFile,
    MoveFile,
    JumpTo,
    RenameFile,
    ModifyID3,
    Unused,  // registered and released with the others; no key name, no action
};

constexpr int32_t kFirstHotkeyId = 1;
constexpr int32_t kHotkeyCount = 36;
// Ids 1 to 35 are stored in the settings file; 36 is not.
constexpr int32_t kStoredHotkeyCount = 35;

constexpr bool IsHotkeyId(int32_t id) { return id >= kFirstHotkeyId && id <= kHotkeyCount; }

struct HotkeySlot {
    HotkeyId Id;
    std::string_view KeyName;  // empty for the unused slot
    HotkeyEntry Default;
};

// Virtual-key codes of the default combinations that are not letters or digits.
constexpr int32_t kVkSpace = 0x20;
constexpr int32_t kVkLeft = 0x25;
constexpr int32_t kVkUp = 0x26;
constexpr int32_t kVkRight = 0x27;
constexpr int32_t kVkDown = 0x28;
constexpr int32_t kVkDelete = 0x2E;
constexpr int32_t kVkF2 = 0x71;
constexpr int32_t kVkF3 = 0x72;
constexpr int32_t kVkF5 = 0x74;
constexpr int32_t kVkF6 = 0x75;
constexpr int32_t kVkBackQuote = 0xC0;  // the ` key

inline constexpr std::array<HotkeySlot, kHotkeyCount> kHotkeySlots = {{
    {HotkeyId::Prev, "Prev", {kModWin, 'Z'}},
    {HotkeyId::PlayPause, "PlayPause", {kModWin, 'X'}},
    {HotkeyId::StopTrack, "StopTrack", {kModWin, 'C'}},
    {HotkeyId::Next, "Next", {kModWin, 'V'}},
    {HotkeyId::IncVol, "IncVol", {kModWin, kVkUp}},
    {HotkeyId::DecVol, "DecVol", {kModWin, kVkDown}},
    {HotkeyId::MinMax, "MinMax", {kModWin, 'A'}},
    {HotkeyId::SeekFwd, "SeekFwd", {kModWin, kVkLeft}},
    {HotkeyId::SeekBkw, "SeekBkw", {kModWin, kVkRight}},
    {HotkeyId::MPEGInfo, "MPEGInfo", {kModWin | kModCtrl, kVkSpace}},
    {HotkeyId::Quit, "Quit", {kModWin, 'Q'}},
    {HotkeyId::Shuffle, "Shuffle", {kModWin, 'S'}},
    {HotkeyId::Repeat, "Repeat", {kModWin, 'N'}},
    {HotkeyId::Config, "Config", {kModWin, kVkBackQuote}},
    {HotkeyId::PrvWOShuffle, "PrvWOShuffle", {kModWin | kModAlt, 'Z'}},
    {HotkeyId::NxtWOShuffle, "NxtWOShuffle", {kModWin | kModAlt, 'V'}},
    {HotkeyId::TrackInfo, "TrackInfo", {kModWin, kVkSpace}},
    {HotkeyId::ShflOn, "ShflOn", {kModWin | kModAlt, 'S'}},
    {HotkeyId::RptOn, "RptOn", {kModWin | kModAlt, 'N'}},
    {HotkeyId::TAG, "TAG", {kModWin, '3'}},
    {HotkeyId::ID3v1, "ID3v1", {kModWin, '1'}},
    {HotkeyId::Preferences, "Preferences", {kModWin, 'P'}},
    {HotkeyId::VisPlug, "VisPlug", {kModWin, 'K'}},
    {HotkeyId::StopWFadeout, "StopWFadeout", {kModWin | kModShift, 'C'}},
    {HotkeyId::ID3v2, "ID3v2", {kModWin, '2'}},
    {HotkeyId::ID3Any, "ID3Any", {kModWin | kModAlt, kVkSpace}},
    {HotkeyId::StopAfterCurr, "StopAfterCurr", {kModWin | kModCtrl, 'C'}},
    {HotkeyId::ReadOnlyToggle, "ReadOnlyToggle", {kModWin | kModAlt, 'R'}},
    {HotkeyId::PhysDelete, "PhysDelete", {kModWin, kVkDelete}},
    {HotkeyId::EQ, "EQ", {kModWin | kModCtrl, 'N'}},
    {HotkeyId::CopyFile, "CopyFile", {kModWin, kVkF5}},
    {HotkeyId::MoveFile, "MoveFile", {kModWin, kVkF6}},
    {HotkeyId::JumpTo, "JumpTo", {kModWin, 'J'}},
    {HotkeyId::RenameFile, "RenameFile", {kModWin, kVkF2}},
    {HotkeyId::ModifyID3, "ModifyID3", {kModWin, kVkF3}},
    {HotkeyId::Unused, "", {0, 0}},
}};

// The slot of an id 1..36; the caller checks IsHotkeyId.
constexpr const HotkeySlot& HotkeySlotOf(int32_t id) { return kHotkeySlots[static_cast<size_t>(id - kFirstHotkeyId)]; }

// The combinations in use, indexed by hotkey id 1 to 36.
struct HotkeyTable {
    std::array<HotkeyEntry, kHotkeyCount> Entries{};

    // id in 1..36 (IsHotkeyId); anything else is a programming error.
    HotkeyEntry& operator[](int32_t id) { return Entries[static_cast<size_t>(id - kFirstHotkeyId)]; }
    const HotkeyEntry& operator[](int32_t id) const { return Entries[static_cast<size_t>(id - kFirstHotkeyId)]; }
    HotkeyEntry& operator[](HotkeyId id) { return (*this)[static_cast<int32_t>(id)]; }
    const HotkeyEntry& operator[](HotkeyId id) const { return (*this)[static_cast<int32_t>(id)]; }

    friend bool operator==(const HotkeyTable&, const HotkeyTable&) = default;
};

// Every entry gets its default combination; entry 36 gets 0, 0.
void FillDefaultHotkeys(HotkeyTable& table);
HotkeyTable DefaultHotkeys();

// Keys that type a character in a text field: letters, digits, Space, Enter, Tab, the
// punctuation keys and the number pad. Keys that type nothing (F1 to F24, arrows, the
// media keys, Pause...) are not among them.
bool TypesCharacter(int32_t virtualKey);
// A combination the plug-in never registers: without Win, Ctrl or Alt, a key that types
// a character would no longer type it in any program.
bool NeedsCommandModifier(const HotkeyEntry& combination);
// Whether the system takes two combinations for one: the same key with the same Win,
// Ctrl, Alt and Shift; other bits of Modifiers do not tell them apart.
bool SameCombination(const HotkeyEntry& a, const HotkeyEntry& b);

// What became of an id's combination when the plug-in last asked for it.
enum class HotkeyHold : uint8_t {
    None,           // not asked for: not registered yet, released, or the plug-in is disabled
    Held,           // the plug-in has it
    TakenByOther,   // another program holds it
    Duplicate,      // another id of the plug-in has the same combination (HotkeyState::Owner)
    NeedsModifier,  // not asked for: no Win, Ctrl or Alt on a key that types a character
    Refused,        // the system refused it for another reason (HotkeyState::Error)
};

struct HotkeyState {
    HotkeyHold Hold = HotkeyHold::None;
    int32_t Owner = 0;   // Duplicate: the id that has the combination
    uint32_t Error = 0;  // Refused: the system's error code
    friend bool operator==(const HotkeyState&, const HotkeyState&) = default;
};

// The state of every id 1 to 36, indexed like HotkeyTable.
struct HotkeyStates {
    std::array<HotkeyState, kHotkeyCount> Entries{};

    HotkeyState& operator[](int32_t id) { return Entries[static_cast<size_t>(id - kFirstHotkeyId)]; }
    const HotkeyState& operator[](int32_t id) const { return Entries[static_cast<size_t>(id - kFirstHotkeyId)]; }
    HotkeyState& operator[](HotkeyId id) { return (*this)[static_cast<int32_t>(id)]; }
    const HotkeyState& operator[](HotkeyId id) const { return (*this)[static_cast<int32_t>(id)]; }

    friend bool operator==(const HotkeyStates&, const HotkeyStates&) = default;
};

// Whether an id does nothing when pressed for a reason the user can mend: held elsewhere,
// a duplicate, refused. None (not asked for) and the unused id 36 are not such a problem.
bool IsHotkeyProblem(HotkeyId id, const HotkeyState& state);

// The configuration window's help: one text for each of its three boxes, the
// combinations of table, each with what it does; the service box ends with where
// combinations are changed. The line of an id with a problem ends in its mark:
// " (taken)" when another program holds it, " (also Next track)" when another action of
// ours has the combination, " (needs Win, Ctrl or Alt)", " (refused by Windows)". Lines
// are separated by a carriage return alone, with no blank lines, padding or tabs, so
// that each box's text can sit inside its own frame.
enum class HelpBox : uint8_t { Playback, Additional, Service };
constexpr size_t kHelpBoxCount = 3;
std::string HotkeyHelpText(HelpBox box, const HotkeyTable& table, const HotkeyStates& states);
// The same for a box whose lines are cut at MaxWidth (Width measures a line, in any
// unit): a line too wide for it shortens the action's name ("Win+V - Next tr...
// (taken)"), and when even that does not fit, a marked line puts its mark first ("(also
// Next track) Win+Ctrl+Alt+Shift+Page Down"), so that the mark is never what is cut off.
struct HelpLineFit {
    std::function<int(std::string_view)> Width;
    int MaxWidth = 0;
};
std::string HotkeyHelpText(HelpBox box, const HotkeyTable& table, const HotkeyStates& states, const HelpLineFit& fit);
// Whether every action of a box has its default combination in table.
bool HelpBoxHasDefaults(HelpBox box, const HotkeyTable& table);
// All three boxes' texts, each led by a carriage return; the one-argument forms show
// the defaults.
const std::string& HotkeyHelpText();
std::string HotkeyHelpText(const HotkeyStates& states);
std::string HotkeyHelpText(const HotkeyTable& table, const HotkeyStates& states);

// The id a line of a box's help is about (line 0 is its first); Unused for a line
// about no hotkey.
HotkeyId HelpLineHotkey(HelpBox box, size_t line);

// What an id does, as its line of the help label says it ("Next track"); empty for 36.
std::string_view HotkeyActionName(HotkeyId id);
// A combination as the user types it: "Win+Ctrl+Alt+Shift+Key" ("Win+V", "Win+Alt+Space",
// "Win+F5"); a key without a name is given by its code ("Win+Key 0x92"), an entry without
// a key as "none". ParseCombination (key_names.h) reads it back.
std::string CombinationText(const HotkeyEntry& entry);

// The popup about the hotkeys that do nothing, in id order, with their combinations
// from table, and where to change them. When another program holds every one of them,
// the caption says so and each line is "Win+V (Next track)"; otherwise each line also
// says why ("Win+V (Stop track): also Next track"). Nothing when no id has a problem.
struct HotkeyNotice {
    std::string Caption;
    std::string Body;  // lines led by "\r"
};
std::optional<HotkeyNotice> HotkeyProblemNotice(const HotkeyTable& table, const HotkeyStates& states);

}  // namespace vemo
