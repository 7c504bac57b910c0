#include "settings/hotkey_table.h"
#include "settings/hotkey_sets.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace vemo {
namespace {

TEST(HotkeyTable, SlotsAreInIdOrderWithDistinctNames) {
    std::set<std::string_view> names;
    for (int32_t id = kFirstHotkeyId; id <= kHotkeyCount; ++id) {
        EXPECT_EQ(static_cast<int32_t>(HotkeySlotOf(id).Id), id);
        if (id <= kStoredHotkeyCount) {
            EXPECT_TRUE(names.insert(HotkeySlotOf(id).KeyName).second) << id;
        }
    }
    EXPECT_EQ(names.size(), 35u);
    EXPECT_TRUE(HotkeySlotOf(36).KeyName.empty());
}

// The settings reader matches a line by the name at its start; a name that began
// another would take that other's value too.
TEST(HotkeyTable, NoKeyNameBeginsAnother) {
    for (int32_t a = 1; a <= kStoredHotkeyCount; ++a) {
        for (int32_t b = 1; b <= kStoredHotkeyCount; ++b) {
            if (a != b) {
                EXPECT_FALSE(HotkeySlotOf(b).KeyName.starts_with(HotkeySlotOf(a).KeyName)) << a << " " << b;
            }
        }
    }
}

TEST(HotkeyTable, DefaultsFillEveryEntryAndLeaveSlot36Empty) {
    HotkeyTable table;
    for (auto& entry : table.Entries) entry = {99, 99};
    FillDefaultHotkeys(table);
    EXPECT_EQ(table[HotkeyId::Prev], (HotkeyEntry{8, 0x5A}));
    EXPECT_EQ(table[HotkeyId::SeekFwd], (HotkeyEntry{8, 0x25}));  // rewind is on Left
    EXPECT_EQ(table[HotkeyId::SeekBkw], (HotkeyEntry{8, 0x27}));
    EXPECT_EQ(table[HotkeyId::MPEGInfo], (HotkeyEntry{10, 0x20}));
    EXPECT_EQ(table[HotkeyId::Config], (HotkeyEntry{8, 0xC0}));
    EXPECT_EQ(table[HotkeyId::NxtWOShuffle], (HotkeyEntry{9, 0x56}));
    EXPECT_EQ(table[HotkeyId::StopWFadeout], (HotkeyEntry{12, 0x43}));
    EXPECT_EQ(table[HotkeyId::ModifyID3], (HotkeyEntry{8, 0x72}));
    EXPECT_EQ(table[36], (HotkeyEntry{0, 0}));
    for (int32_t id = 1; id <= kStoredHotkeyCount; ++id) EXPECT_NE(table[id].Modifiers & kModWin, 0) << id;
    EXPECT_EQ(table, DefaultHotkeys());
}

std::vector<std::string> SplitAtCr(const std::string& text) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == '\r') parts.emplace_back();
        else parts.back() += c;
    }
    return parts;
}

std::vector<std::string> BoxLines(HelpBox box, const HotkeyTable& table = DefaultHotkeys(),
                                  const HotkeyStates& states = HotkeyStates{}) {
    return SplitAtCr(HotkeyHelpText(box, table, states));
}

// Each box's lines in order, no blank line, padding or tab anywhere (they put lines on
// the frames before), and few enough lines to fit their boxes.
TEST(HotkeyTable, HelpBoxesHoldTheirLinesInOrder) {
    const struct {
        HelpBox Box;
        size_t Count;
        std::vector<HotkeyId> Ids;  // the first lines' ids
        const char* First;
        const char* Last;
    } boxes[] = {
        {HelpBox::Playback, 12, {HotkeyId::Prev, HotkeyId::PlayPause, HotkeyId::StopTrack, HotkeyId::Next},
         "Win+Z - Previous track", "Win+A - Minimize/Restore toggle"},
        {HelpBox::Additional, 7, {HotkeyId::Repeat, HotkeyId::Shuffle, HotkeyId::IncVol, HotkeyId::DecVol},
         "Win+N - Repeat toggle", "Win+Alt+S - Shuffle on"},
        {HelpBox::Service, 18, {HotkeyId::ID3v1, HotkeyId::ID3v2, HotkeyId::TAG, HotkeyId::TrackInfo},
         "Win+1 - ID3v1 Tag", "change a combination or pick a set."},
    };
    size_t actions = 0;
    for (const auto& b : boxes) {
        const std::vector<std::string> lines = BoxLines(b.Box);
        ASSERT_EQ(lines.size(), b.Count) << static_cast<int>(b.Box);
        EXPECT_EQ(lines.front(), b.First);
        EXPECT_EQ(lines.back(), b.Last);
        for (size_t i = 0; i < b.Ids.size(); ++i) EXPECT_EQ(HelpLineHotkey(b.Box, i), b.Ids[i]) << i;
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            EXPECT_FALSE(line.empty()) << i;
            EXPECT_EQ(line.find_first_of("\t\n"), std::string::npos) << line;
            EXPECT_NE(line.front(), ' ') << line;
            EXPECT_NE(line.back(), ' ') << line;
            const HotkeyId id = HelpLineHotkey(b.Box, i);
            if (id == HotkeyId::Unused) continue;
            ++actions;
            // Each line names its own action with its combination.
            EXPECT_EQ(line, CombinationText(HotkeySlotOf(static_cast<int32_t>(id)).Default) + " - " +
                                std::string(HotkeyActionName(id)));
        }
        EXPECT_EQ(HelpLineHotkey(b.Box, lines.size()), HotkeyId::Unused);
    }
    EXPECT_EQ(actions, static_cast<size_t>(kStoredHotkeyCount)) << "every action once";
    // The combination that really plays the next track in list order (Win+Alt+C does nothing).
    EXPECT_EQ(BoxLines(HelpBox::Playback)[5], "Win+Alt+V - Next track w/o Shuffle");
    EXPECT_EQ(BoxLines(HelpBox::Service)[11], "Win+Alt+R - Toggle file 'Read only' attribute");
    // The whole help: the three boxes, each led by a carriage return.
    std::string whole;
    for (HelpBox box : {HelpBox::Playback, HelpBox::Additional, HelpBox::Service}) {
        whole.append(1, '\r').append(HotkeyHelpText(box, DefaultHotkeys(), HotkeyStates{}));
    }
    EXPECT_EQ(HotkeyHelpText(), whole);
}

HotkeyStates OneState(HotkeyId id, HotkeyState state) {
    HotkeyStates states;
    states[id] = state;
    return states;
}

const HotkeyState kTaken{HotkeyHold::TakenByOther};

// Every id but 36 has its help line, which names the action after the default
// combination written as CombinationText writes it, and gets its mark there alone.
TEST(HotkeyTable, TakenCombinationsAreMarkedOnTheirHelpLine) {
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
        const std::string name(HotkeyActionName(static_cast<HotkeyId>(id)));
        ASSERT_FALSE(name.empty()) << id;
        const std::string marked = HotkeyHelpText(OneState(static_cast<HotkeyId>(id), kTaken));
        const size_t at = marked.find(CombinationText(HotkeySlotOf(id).Default) + " - " + name + " (taken)");
        ASSERT_NE(at, std::string::npos) << id;
        EXPECT_EQ(marked.find("(taken)"), marked.rfind("(taken)")) << id;
        EXPECT_TRUE(at == 0 || marked[at - 1] == '\r') << id;
    }
    EXPECT_TRUE(HotkeyActionName(HotkeyId::Unused).empty());
    EXPECT_EQ(HotkeyHelpText(OneState(HotkeyId::Unused, kTaken)), HotkeyHelpText());
}

// Each hold has its own mark, and only a hold that leaves the key doing nothing has one.
TEST(HotkeyTable, HelpMarksSayWhyAKeyDoesNothing) {
    const struct {
        HotkeyState State;
        const char* Line;  // the line of Next (id 4)
    } cases[] = {
        {{HotkeyHold::None}, "Win+V - Next track"},
        {{HotkeyHold::Held}, "Win+V - Next track"},
        {{HotkeyHold::TakenByOther}, "Win+V - Next track (taken)"},
        {{HotkeyHold::Duplicate, 3}, "Win+V - Next track (also Stop track)"},
        {{HotkeyHold::Duplicate, 36}, "Win+V - Next track (also another of the plug-in's hotkeys)"},
        {{HotkeyHold::NeedsModifier}, "Win+V - Next track (needs Win, Ctrl or Alt)"},
        {{HotkeyHold::Refused, 0, 1400}, "Win+V - Next track (refused by Windows)"},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> lines =
            BoxLines(HelpBox::Playback, DefaultHotkeys(), OneState(HotkeyId::Next, c.State));
        ASSERT_EQ(lines.size(), 12u);
        EXPECT_EQ(lines[3], c.Line);
        EXPECT_EQ(BoxLines(HelpBox::Additional, DefaultHotkeys(), OneState(HotkeyId::Next, c.State))[3],
                  "Win+Down - Volume down");
    }
}

// The help shows the combinations in effect, each beside its own action, with the
// marks as before; a long combination never moves another line.
TEST(HotkeyTable, HelpTextFollowsTheCombinationsInEffect) {
    HotkeyTable table = DefaultHotkeys();
    table[HotkeyId::Next] = {kModCtrl | kModAlt | kModShift, 0x87};
    table[HotkeyId::DecVol] = {kModCtrl, 0x22};
    table[HotkeyId::Prev] = {};
    table[HotkeyId::Quit] = {kModAlt, 0xB3};
    HotkeyStates states;
    states[HotkeyId::Next] = kTaken;
    const std::vector<std::string> playback = BoxLines(HelpBox::Playback, table, states);
    ASSERT_EQ(playback.size(), 12u);
    EXPECT_EQ(playback[3], "Ctrl+Alt+Shift+F24 - Next track (taken)");
    EXPECT_EQ(playback[0], "none - Previous track");
    EXPECT_EQ(playback[4], "Win+Alt+Z - Previous track w/o Shuffle");
    EXPECT_EQ(BoxLines(HelpBox::Additional, table, states)[3], "Ctrl+Page Down - Volume down");
    const std::vector<std::string> service = BoxLines(HelpBox::Service, table, states);
    ASSERT_EQ(service.size(), 18u);
    EXPECT_EQ(service[15], "Alt+Play/Pause - Exit Quavix");
    EXPECT_EQ(service[14], "Win+` - Toggle this window");
    EXPECT_EQ(HotkeyHelpText(DefaultHotkeys(), HotkeyStates{}), HotkeyHelpText());

    // Every id's line follows its own entry.
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
        HotkeyTable one = DefaultHotkeys();
        one[id] = {kModCtrl | kModShift, 0x86};
        const std::string text = HotkeyHelpText(one, HotkeyStates{});
        const std::string expected = "Ctrl+Shift+F23 - " + std::string(HotkeyActionName(static_cast<HotkeyId>(id)));
        EXPECT_NE(text.find(expected), std::string::npos) << id;
        EXPECT_EQ(text.find(CombinationText(HotkeySlotOf(id).Default) + " - "), std::string::npos) << id;
    }
}

// A line too wide for its box gives up the action's name, and a marked one at last its
// place in front, but never its mark: nothing is left for the box to cut.
TEST(HotkeyTable, MarkShowsWholeOnALineTooWideForItsBox) {
    HotkeyTable table = DefaultHotkeys();
    table[HotkeyId::Next] = {kModWin | kModCtrl | kModAlt | kModShift, 0x22};
    HotkeyStates states;
    states[HotkeyId::Prev] = kTaken;
    states[HotkeyId::Next] = {HotkeyHold::Duplicate, static_cast<int32_t>(HotkeyId::PrvWOShuffle)};
    const struct {
        int Width;  // in characters
        size_t Line;
        const char* Shown;
    } cases[] = {
        {30, 0, "Win+Z - Previous track (taken)"},
        {29, 0, "Win+Z - Previous t... (taken)"},
        {28, 0, "Win+Z - Previous... (taken)"},  // not "Previous ...": no gap before the dots
        {19, 0, "Win+Z - ... (taken)"},
        {18, 0, "(taken) Win+Z"},
        {75, 3, "Win+Ctrl+Alt+Shift+Page Down - Next track (also Previous track w/o Shuffle)"},
        {70, 3, "Win+Ctrl+Alt+Shift+Page Down - Ne... (also Previous track w/o Shuffle)"},
        {40, 3, "(also Previous track w/o Shuffle) Win+Ctrl+Alt+Shift+Page Down"},
        {25, 1, "Win+X - Play/Pause toggle"},
        {24, 1, "Win+X - Play/Pause to..."},
        {5, 1, "Win+X"},
    };
    for (const auto& c : cases) {
        const HelpLineFit fit{[](std::string_view line) { return static_cast<int>(line.size()); }, c.Width};
        const std::vector<std::string> lines = SplitAtCr(HotkeyHelpText(HelpBox::Playback, table, states, fit));
        ASSERT_EQ(lines.size(), 12u);
        EXPECT_EQ(lines[c.Line], c.Shown) << c.Width;
    }
}

// "(Defaults)" belongs to a box only while every one of its actions has its default.
TEST(HotkeyTable, BoxHasDefaultsWhileEachOfItsActionsHas) {
    const struct {
        HotkeyId Changed;  // Unused: none of the 35
        bool Playback, Additional, Service;
    } cases[] = {
        {HotkeyId::Unused, true, true, true},       {HotkeyId::Next, false, true, true},
        {HotkeyId::MinMax, false, true, true},      {HotkeyId::RptOn, true, false, true},
        {HotkeyId::Quit, true, true, false},        {HotkeyId::ID3v1, true, true, false},
    };
    for (const auto& c : cases) {
        HotkeyTable table = DefaultHotkeys();
        table[c.Changed] = {kModCtrl | kModAlt, 0x75};
        EXPECT_EQ(HelpBoxHasDefaults(HelpBox::Playback, table), c.Playback) << static_cast<int>(c.Changed);
        EXPECT_EQ(HelpBoxHasDefaults(HelpBox::Additional, table), c.Additional) << static_cast<int>(c.Changed);
        EXPECT_EQ(HelpBoxHasDefaults(HelpBox::Service, table), c.Service) << static_cast<int>(c.Changed);
    }
}

// Keys that type a character must not be taken from every program; keys that type
// nothing may stand alone.
TEST(HotkeyTable, OnlyKeysThatTypeACharacterNeedWinCtrlOrAlt) {
    const struct {
        int32_t Key;
        bool Types;
    } keys[] = {
        {'A', true},   {'Z', true},   {'0', true},   {'9', true},   {kVkSpace, true}, {0x0D, true}, {0x09, true},
        {0x60, true},  {0x69, true},  {0x6A, true},  {0x6F, true},  {0xBA, true},     {0xC0, true}, {0xDB, true},
        {0xDF, true},  {0xE2, true},  {0x70, false}, {0x87, false}, {0x13, false},    {0xB0, false}, {0xB3, false},
        {0xAD, false}, {kVkLeft, false}, {kVkDelete, false}, {0x1B, false}, {0x08, false}, {0, false}, {0x5B, false},
        {0x40, false}, {0x5A + 1, false}, {0x5F, false}, {0xC1, false}, {0xE0, false}, {-1, false},
    };
    for (const auto& k : keys) {
        EXPECT_EQ(TypesCharacter(k.Key), k.Types) << k.Key;
        EXPECT_EQ(NeedsCommandModifier({0, k.Key}), k.Types) << k.Key;
        EXPECT_EQ(NeedsCommandModifier({kModShift, k.Key}), k.Types) << "Shift still types " << k.Key;
        for (int32_t modifier : {kModWin, kModCtrl, kModAlt}) {
            EXPECT_FALSE(NeedsCommandModifier({modifier, k.Key})) << modifier << " " << k.Key;
        }
    }
    for (int32_t id = kFirstHotkeyId; id <= kHotkeyCount; ++id) {
        EXPECT_FALSE(NeedsCommandModifier(HotkeySlotOf(id).Default)) << "default of " << id;
    }
}

TEST(HotkeyTable, CombinationsAreTheSameByKeyAndTheFourModifiers) {
    EXPECT_TRUE(SameCombination({8, 'V'}, {8, 'V'}));
    EXPECT_TRUE(SameCombination({8, 'V'}, {0x4008, 'V'}));  // "no repeat" is not part of it
    EXPECT_FALSE(SameCombination({8, 'V'}, {9, 'V'}));
    EXPECT_FALSE(SameCombination({8, 'V'}, {12, 'V'}));
    EXPECT_FALSE(SameCombination({8, 'V'}, {8, 'W'}));
}

TEST(HotkeyTable, CombinationTexts) {
    const struct {
        HotkeyEntry entry;
        const char* text;
    } cases[] = {
        {{kModWin, 'V'}, "Win+V"},
        {{kModWin | kModAlt, kVkSpace}, "Win+Alt+Space"},
        {{kModWin | kModCtrl | kModAlt | kModShift, '7'}, "Win+Ctrl+Alt+Shift+7"},
        {{kModWin, kVkBackQuote}, "Win+`"},
        {{kModWin, kVkF6}, "Win+F6"},
        {{kModCtrl, 0x87}, "Ctrl+F24"},
        {{kModAlt, 0x63}, "Alt+Num 3"},
        {{kModShift, kVkDelete}, "Shift+Delete"},
        {{kModWin, 0x92}, "Win+Key 0x92"},
        {{0, -1}, "Key 0xFFFFFFFF"},
    };
    for (const auto& c : cases) EXPECT_EQ(CombinationText(c.entry), c.text);
}

TEST(HotkeyTable, NoticeNamesTheTakenCombinationsInIdOrder) {
    HotkeyTable table = DefaultHotkeys();
    table[HotkeyId::Shuffle] = {kModWin | kModCtrl, 'S'};  // as the settings file may have it
    HotkeyStates states;
    EXPECT_FALSE(HotkeyProblemNotice(table, states));
    states[HotkeyId::Unused] = kTaken;  // the unused slot is nobody's business
    states[HotkeyId::Prev] = {HotkeyHold::Held};
    EXPECT_FALSE(HotkeyProblemNotice(table, states));
    states[HotkeyId::Shuffle] = kTaken;
    std::optional<HotkeyNotice> one = HotkeyProblemNotice(table, states);
    ASSERT_TRUE(one);
    EXPECT_EQ(one->Caption, "1 hotkey is taken by another program:");
    EXPECT_EQ(one->Body, "\rWin+Ctrl+S (Shuffle toggle)\rChange them in the configuration window: Hotkeys");
    states[HotkeyId::PlayPause] = kTaken;
    states[HotkeyId::Next] = kTaken;
    std::optional<HotkeyNotice> three = HotkeyProblemNotice(table, states);
    ASSERT_TRUE(three);
    EXPECT_EQ(three->Caption, "3 hotkeys are taken by another program:");
    EXPECT_EQ(three->Body,
              "\rWin+X (Play/Pause toggle)\rWin+V (Next track)\rWin+Ctrl+S (Shuffle toggle)"
              "\rChange them in the configuration window: Hotkeys");
}

// The plug-in's own duplicate is not blamed on another program: the notice names the
// action of ours that has the combination, and each line says why.
TEST(HotkeyTable, NoticeSaysWhyWhenNotEveryKeyIsTakenElsewhere) {
    HotkeyTable table = DefaultHotkeys();
    table[HotkeyId::StopTrack] = {kModWin, 'V'};
    table[HotkeyId::Prev] = {0, 'Z'};
    table[HotkeyId::Quit] = {kModWin, 0x92};
    HotkeyStates states;
    states[HotkeyId::Prev] = {HotkeyHold::NeedsModifier};
    states[HotkeyId::Next] = {HotkeyHold::Duplicate, 3};
    states[HotkeyId::Quit] = {HotkeyHold::Refused, 0, 1400};
    states[HotkeyId::Shuffle] = kTaken;
    std::optional<HotkeyNotice> notice = HotkeyProblemNotice(table, states);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->Caption, "4 hotkeys do nothing:");
    EXPECT_EQ(notice->Body,
              "\rZ (Previous track): needs Win, Ctrl or Alt\rWin+V (Next track): also Stop track"
              "\rWin+Key 0x92 (Exit Quavix): refused by Windows (error 1400)"
              "\rWin+S (Shuffle toggle): taken by another program"
              "\rChange them in the configuration window: Hotkeys");
    std::optional<HotkeyNotice> one = HotkeyProblemNotice(table, OneState(HotkeyId::Next, {HotkeyHold::Duplicate, 3}));
    ASSERT_TRUE(one);
    EXPECT_EQ(one->Caption, "1 hotkey does nothing:");
    EXPECT_EQ(one->Body, "\rWin+V (Next track): also Stop track\rChange them in the configuration window: Hotkeys");
}

// More than a third taken, counted over the ids that have a combination; the first
// start's notice names the configuration window's key, or where else it opens when that
// key does nothing too, then what else does nothing.
TEST(HotkeyTable, FirstStartCountsTheTakenDefaultsAndNamesTheConfigurationKey) {
    const HotkeyTable defaults = DefaultHotkeys();
    HotkeyStates states;
    const int total = CountTakenCombinations(defaults, states).Total;
    int withKey = 0;
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) withKey += defaults[id].VirtualKey != 0;
    EXPECT_EQ(total, withKey);
    int taken = 0;
    for (int32_t id = kFirstHotkeyId; id <= kHotkeyCount && taken <= total / 3; ++id) {
        EXPECT_FALSE(CountTakenCombinations(defaults, states).TooMany()) << taken;
        if (defaults[id].VirtualKey == 0) continue;
        states[id] = kTaken;
        ++taken;
    }
    EXPECT_TRUE(CountTakenCombinations(defaults, states).TooMany());
    states[HotkeyId::Unused] = kTaken;
    EXPECT_EQ(CountTakenCombinations(defaults, states).Taken, taken) << "the unused slot does not count";
    // Exactly a third is not more than a third.
    EXPECT_FALSE((DefaultsTaken{11, 33}.TooMany()));
    EXPECT_TRUE((DefaultsTaken{12, 33}.TooMany()));

    const HotkeyTable noWin = HotkeySetTable(HotkeySet::NoWinKey);
    const DefaultsTaken count{24, 33};
    HotkeyNotice notice = FirstStartNotice(count, noWin, HotkeyStates{});
    EXPECT_EQ(notice.Caption, "The hotkeys are the \"No Win key\" set");
    EXPECT_EQ(notice.Body,
              "\r24 of the 33 Win+ keys are held by other programs."
              "\rCtrl+Alt+F12 opens the configuration window: Hotkeys");
    notice = FirstStartNotice(count, noWin, OneState(HotkeyId::Config, kTaken));
    EXPECT_EQ(notice.Body,
              "\r24 of the 33 Win+ keys are held by other programs."
              "\rThe configuration window opens from the player's plug-in settings: Hotkeys"
              "\r1 hotkey is taken by another program:\rCtrl+Alt+F12 (Toggle this window)"
              "\rChange them in the configuration window: Hotkeys");
}

}  // namespace
}  // namespace vemo
