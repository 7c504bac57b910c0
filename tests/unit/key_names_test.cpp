#include "settings/key_names.h"

#include <gtest/gtest.h>

#include <set>

#include "settings/hotkey_sets.h"

namespace vemo {
namespace {

// Every name the pick list offers reads back as its key, and no two keys share a name.
TEST(KeyNames, PickableKeysReadBackAndAreDistinct) {
    std::set<int32_t> keys;
    std::set<std::string> names;
    for (const NamedKey& key : PickableKeys()) {
        EXPECT_TRUE(keys.insert(key.VirtualKey).second) << key.Name;
        EXPECT_TRUE(names.insert(std::string(key.Name)).second) << key.Name;
        EXPECT_EQ(KeyName(key.VirtualKey), key.Name);
        EXPECT_EQ(KeyFromName(key.Name), key.VirtualKey) << key.Name;
        EXPECT_NE(key.Name.find_first_not_of(' '), std::string_view::npos);
    }
    // Letters, digits, F1-F24, 4 arrows, 6 editing and paging keys, Space, Pause, the 15
    // keys of the pad, 13 punctuation keys and 7 media keys.
    EXPECT_EQ(PickableKeys().size(), 26u + 10 + 24 + 4 + 6 + 1 + 1 + 15 + 13 + 7);
    for (int32_t offered : std::initializer_list<int32_t>{'A', '0', 0x70, 0x87, 0x21, 0x22, 0x60, 0x6F, 0xBA, 0xE2, 0xB3, 0xAD}) {
        EXPECT_TRUE(keys.count(offered)) << offered;
    }
    // Keys that move through windows are named but not offered.
    for (int32_t withheld : {0x09, 0x0D, 0x1B, 0x08}) EXPECT_FALSE(keys.count(withheld)) << withheld;
}

TEST(KeyNames, NamesBothWays) {
    const struct {
        int32_t Key;
        const char* Name;
    } cases[] = {
        {'Q', "Q"},           {'7', "7"},           {0x70, "F1"},           {0x87, "F24"},
        {0x79, "F10"},        {0x25, "Left"},       {0x28, "Down"},         {0x2D, "Insert"},
        {0x2E, "Delete"},     {0x24, "Home"},       {0x23, "End"},          {0x21, "Page Up"},
        {0x22, "Page Down"},  {0x20, "Space"},      {0x60, "Num 0"},        {0x69, "Num 9"},
        {0x6B, "Num +"},      {0x6E, "Num ."},      {0xC0, "`"},            {0xDC, "\\"},
        {0xB3, "Play/Pause"}, {0xB2, "Stop"},       {0xB0, "Next"},         {0xB1, "Previous"},
        {0xAF, "Volume Up"},  {0xAE, "Volume Down"}, {0xAD, "Mute"},        {0x1B, "Esc"},
        {0x92, "Key 0x92"},   {0x07, "Key 0x07"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KeyName(c.Key), c.Name) << c.Key;
        EXPECT_EQ(KeyFromName(c.Name), c.Key) << c.Name;
    }
    // What a user may type besides the printed names.
    const struct {
        const char* Name;
        std::optional<int32_t> Key;
    } typed[] = {
        {"q", 'Q'},         {"f5", 0x74},      {"PAGE UP", 0x21}, {"PgUp", 0x21},   {"pgdn", 0x22},
        {"Escape", 0x1B},   {"num 5", 0x65},   {"key 0xb3", 0xB3}, {"volume up", 0xAF},
        {"", std::nullopt}, {"F0", std::nullopt}, {"F25", std::nullopt}, {"F05", std::nullopt},
        {"F1x", std::nullopt}, {"Num 10", std::nullopt}, {"Key 0x", std::nullopt}, {"Key 0xG1", std::nullopt},
        {"Key 0x123456789", std::nullopt}, {"QQ", std::nullopt}, {"Page", std::nullopt}, {" Q", std::nullopt},
    };
    for (const auto& t : typed) EXPECT_EQ(KeyFromName(t.Name), t.Key) << '"' << t.Name << '"';
}

TEST(KeyNames, CombinationsPrintedAndParsed) {
    const struct {
        const char* Text;
        std::optional<HotkeyEntry> Entry;
    } cases[] = {
        {"Win+V", HotkeyEntry{kModWin, 'V'}},
        {"Ctrl+Alt+F4", HotkeyEntry{kModCtrl | kModAlt, 0x73}},
        {"Win+Ctrl+Alt+Shift+Page Down", HotkeyEntry{15, 0x22}},
        {"Ctrl+Num +", HotkeyEntry{kModCtrl, 0x6B}},
        {"Alt+Num -", HotkeyEntry{kModAlt, 0x6D}},
        {"Play/Pause", HotkeyEntry{0, 0xB3}},
        {"Shift+Volume Down", HotkeyEntry{kModShift, 0xAE}},
        {"Win+Key 0x92", HotkeyEntry{kModWin, 0x92}},
        {"none", HotkeyEntry{}},
        // Typed by hand: any order, any case.
        {"shift+ctrl+f2", HotkeyEntry{kModCtrl | kModShift, 0x71}},
        {"Alt+Win+Space", HotkeyEntry{kModWin | kModAlt, 0x20}},
        {"NONE", HotkeyEntry{}},
        {"", std::nullopt},
        {"Win+", std::nullopt},
        {"Win", std::nullopt},
        {"Ctrl+Ctrl+A", std::nullopt},
        {"Win+Win", std::nullopt},
        {"Win+Nothing", std::nullopt},
        {"Win+Key 0x00", std::nullopt},
        {"Hyper+A", std::nullopt},
        {"Win V", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseCombination(c.Text), c.Entry) << '"' << c.Text << '"';
    EXPECT_EQ(CombinationText({}), "none");

    // Every modifier sum with a sample of keys comes back as it was printed.
    for (int32_t mods = 0; mods <= 15; ++mods) {
        for (int32_t key : std::initializer_list<int32_t>{'A', '0', 0x20, 0x21, 0x6B, 0x6F, 0x70, 0x87, 0xB3, 0xBD, 0xC0, 0xE2, 0x92}) {
            const HotkeyEntry entry{mods, key};
            EXPECT_EQ(ParseCombination(CombinationText(entry)), entry) << CombinationText(entry);
        }
    }
}

TEST(KeyNames, CombinationsThatMayTypeACharacter) {
    const struct {
        HotkeyEntry Combination;
        bool Types;
    } cases[] = {
        {{0, 'E'}, true},
        {{kModShift, '2'}, true},
        {{kModCtrl | kModAlt, 'E'}, true},               // AltGr+E: the euro sign
        {{kModCtrl | kModAlt | kModShift, 'Z'}, true},   // AltGr+Shift+Z: a capital
        {{kModCtrl | kModAlt, 0xBB}, true},
        {{kModCtrl | kModAlt, 0x73}, false},             // function keys type nothing
        {{kModCtrl | kModAlt, 0x21}, false},
        {{kModWin | kModCtrl | kModAlt, 'E'}, false},
        {{kModCtrl | kModShift, 'E'}, false},
        {{kModAlt, 'E'}, false},
        {{kModCtrl, 'E'}, false},
        {{0, 0xB3}, false},
        {{0, 0x74}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(MayTypeCharacter(c.Combination), c.Types) << CombinationText(c.Combination);
}

// Combinations a ready set must never hand out: the system's own, those that remote-
// desktop and virtual-machine consoles take (Ctrl+Alt+End, Home, Insert) and the screen
// rotation of some graphics drivers (Ctrl+Alt+arrows), with or without Shift.
bool ReservedElsewhere(const HotkeyEntry& c) {
    if ((c.Modifiers & (kModCtrl | kModAlt | kModWin)) != (kModCtrl | kModAlt)) return false;
    switch (c.VirtualKey) {
        case kVkDelete: case kVkEnd: case kVkHome: case kVkInsert:
        case kVkLeft: case kVkUp: case kVkRight: case kVkDown: return true;
        default: return false;
    }
}

// The file actions: a keystroke meant for another program must not reach them.
bool IsFileAction(int32_t id) {
    switch (static_cast<HotkeyId>(id)) {
        case HotkeyId::ReadOnlyToggle: case HotkeyId::PhysDelete: case HotkeyId::CopyFile:
        case HotkeyId::MoveFile: case HotkeyId::RenameFile: case HotkeyId::ModifyID3: return true;
        default: return false;
    }
}

// Where a file action may go: a Windows-key combination, Ctrl+Alt+Shift with a function
// key (which editors and development tools leave alone), or none.
bool SafeForFileAction(const HotkeyEntry& c) {
    if (c == HotkeyEntry{}) return true;
    if (c.Modifiers & kModWin) return true;
    return c.Modifiers == (kModCtrl | kModAlt | kModShift) && c.VirtualKey >= kVkF1 && c.VirtualKey < kVkF1 + 24;
}

// A ready set must work as a whole: each action its own combination (or none), none that
// types a character on any common layout, none that another part of the system takes,
// and the file actions only where no other program's keystroke lands.
TEST(HotkeySets, EverySetIsUsableAsAWhole) {
    for (HotkeySet set : kHotkeySets) {
        const HotkeyTable table = HotkeySetTable(set);
        EXPECT_FALSE(HotkeySetName(set).empty());
        EXPECT_EQ(table[HotkeyId::Unused], (HotkeyEntry{0, 0}));
        for (int32_t a = kFirstHotkeyId; a <= kStoredHotkeyCount; ++a) {
            const std::string text = CombinationText(table[a]);
            SCOPED_TRACE(std::string(HotkeySetName(set)) + " " + std::to_string(a) + " " + text);
            if (IsFileAction(a)) {
                EXPECT_TRUE(SafeForFileAction(table[a]));
            }
            if (table[a] == HotkeyEntry{}) continue;
            EXPECT_FALSE(NeedsCommandModifier(table[a]));
            EXPECT_FALSE(MayTypeCharacter(table[a]));
            EXPECT_FALSE(ReservedElsewhere(table[a]));
            for (int32_t b = a + 1; b <= kStoredHotkeyCount; ++b) {
                EXPECT_FALSE(SameCombination(table[a], table[b])) << b;
            }
        }
    }
    EXPECT_EQ(HotkeySetTable(HotkeySet::Defaults), DefaultHotkeys());
}

TEST(HotkeySets, WindowsKeyAndMediaKeysWhereAsked) {
    const HotkeyTable noWin = HotkeySetTable(HotkeySet::NoWinKey);
    const HotkeyTable media = HotkeySetTable(HotkeySet::MediaKeys);
    const struct {
        HotkeyId Id;
        int32_t MediaKey;  // 0: as in the set without the Windows key
    } expected[] = {
        {HotkeyId::Prev, 0xB1},      {HotkeyId::PlayPause, 0xB3}, {HotkeyId::StopTrack, 0xB2},
        {HotkeyId::Next, 0xB0},      {HotkeyId::IncVol, 0xAF},    {HotkeyId::DecVol, 0xAE},
        {HotkeyId::SeekFwd, 0},      {HotkeyId::Config, 0},       {HotkeyId::NxtWOShuffle, 0},
        {HotkeyId::ModifyID3, 0},
    };
    for (const auto& e : expected) {
        if (e.MediaKey) {
            EXPECT_EQ(media[e.Id], (HotkeyEntry{0, e.MediaKey})) << static_cast<int>(e.Id);
        } else {
            EXPECT_EQ(media[e.Id], noWin[e.Id]) << static_cast<int>(e.Id);
        }
    }
    // Each where the guide says: volume on the paging keys, transport on F1 to F4, the
    // file actions on Ctrl+Alt+Shift with the defaults' function keys.
    const int32_t ctrlAlt = kModCtrl | kModAlt;
    const int32_t ctrlAltShift = ctrlAlt | kModShift;
    const struct {
        HotkeyId Id;
        HotkeyEntry Combination;
    } places[] = {
        {HotkeyId::IncVol, {ctrlAlt, 0x21}},          {HotkeyId::DecVol, {ctrlAlt, 0x22}},
        {HotkeyId::Next, {ctrlAlt, kVkF1 + 3}},       {HotkeyId::PhysDelete, {ctrlAltShift, kVkF1 + 7}},
        {HotkeyId::CopyFile, {ctrlAltShift, kVkF5}},  {HotkeyId::MoveFile, {ctrlAltShift, kVkF6}},
        {HotkeyId::RenameFile, {ctrlAltShift, kVkF2}}, {HotkeyId::ModifyID3, {ctrlAltShift, kVkF3}},
    };
    for (const auto& p : places) EXPECT_EQ(noWin[p.Id], p.Combination) << static_cast<int>(p.Id);
    int differing = 0;
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
        EXPECT_EQ(noWin[id].Modifiers & kModWin, 0) << id;
        EXPECT_EQ(media[id].Modifiers & kModWin, 0) << id;
        differing += media[id] != noWin[id];
    }
    EXPECT_EQ(differing, 6);
}

}  // namespace
}  // namespace vemo
