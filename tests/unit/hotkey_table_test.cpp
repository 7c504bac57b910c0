#include "settings/hotkey_table.h"

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

TEST(HotkeyTable, HelpTextLayout) {
    const std::string& text = HotkeyHelpText();
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.front(), '\r');
    EXPECT_EQ(text.find('\n'), std::string::npos);

    std::vector<std::string> lines = SplitAtCr(text);
    ASSERT_EQ(lines.size(), 34u);  // the empty part before the leading CR, lines 1 to 30, then where to change them
    const std::string indent(9, ' ');
    EXPECT_EQ(lines[1], " Win+Z - Previous track" + std::string(24, ' ') + "\t" + indent + "Win+N - Repeat toggle");
    EXPECT_EQ(lines[2], " Win+X - Play/Pause toggle" + std::string(12, ' ') + "\t" + indent + "Win+S - Shuffle toggle");
    EXPECT_EQ(lines[4], " Win+V - Next track" + std::string(24, ' ') + "\t" + indent + "Win+Down - Volume down");
    EXPECT_EQ(lines[5], " Win+Alt+Z - Previous track w/o Shuffle\t" + indent + "Win+Ctrl+N - EQ on/off toggle");
    // The combination that really plays the next track in list order (Win+Alt+C does nothing).
    EXPECT_EQ(lines[6], " Win+Alt+V - Next track w/o Shuffle\t" + indent + "Win+Alt+N - Repeat on");
    EXPECT_EQ(lines[8], " Win+Ctrl+C - Stop after current track");
    EXPECT_EQ(lines[12], "");
    EXPECT_EQ(lines[13], "");
    EXPECT_EQ(lines[26], " Win+Alt+R - Toggle file 'Read only' attribute");
    EXPECT_EQ(lines[29], " Win+` - Toggle this window");
    EXPECT_EQ(lines[30], " Win+Q - Exit Quavix");
    EXPECT_EQ(lines[31] + lines[32] + lines[33],
              " Combinations are changed in Plugin.ini, section [Vemo Plugin], under the key names of the user's guide "
              "(Next=8 86).");
    for (size_t i = 8; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].find('\t'), std::string::npos) << i;
        if (!lines[i].empty()) {
            EXPECT_EQ(lines[i].front(), ' ') << i;
        }
    }
}

// Every id but 36 has its help line, which names the action after the default
// combination written as CombinationText writes it, and gets its mark there alone.
TEST(HotkeyTable, TakenCombinationsAreMarkedOnTheirHelpLine) {
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
        const std::string name(HotkeyActionName(static_cast<HotkeyId>(id)));
        ASSERT_FALSE(name.empty()) << id;
        HotkeyFlags taken{};
        taken[static_cast<size_t>(id - 1)] = true;
        const std::string marked = HotkeyHelpText(taken);
        const size_t at = marked.find(CombinationText(HotkeySlotOf(id).Default) + " - " + name + " (taken)");
        ASSERT_NE(at, std::string::npos) << id;
        EXPECT_EQ(marked.find("(taken)"), marked.rfind("(taken)")) << id;
        EXPECT_TRUE(at == 0 || marked[at - 1] == ' ') << id;
    }
    EXPECT_TRUE(HotkeyActionName(HotkeyId::Unused).empty());
    HotkeyFlags onlyUnused{};
    onlyUnused[35] = true;
    EXPECT_EQ(HotkeyHelpText(onlyUnused), HotkeyHelpText());
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
    HotkeyFlags taken{};
    EXPECT_FALSE(TakenHotkeysNotice(table, taken));
    taken[35] = true;  // the unused slot is nobody's business
    EXPECT_FALSE(TakenHotkeysNotice(table, taken));
    taken[static_cast<size_t>(HotkeyId::Shuffle) - 1] = true;
    std::optional<HotkeyNotice> one = TakenHotkeysNotice(table, taken);
    ASSERT_TRUE(one);
    EXPECT_EQ(one->Caption, "1 hotkey is taken by another program:");
    EXPECT_EQ(one->Body, "\rWin+Ctrl+S (Shuffle toggle)\rChange them in Plugin.ini, section [Vemo Plugin]");
    taken[static_cast<size_t>(HotkeyId::PlayPause) - 1] = true;
    taken[static_cast<size_t>(HotkeyId::Next) - 1] = true;
    std::optional<HotkeyNotice> three = TakenHotkeysNotice(table, taken);
    ASSERT_TRUE(three);
    EXPECT_EQ(three->Caption, "3 hotkeys are taken by another program:");
    EXPECT_EQ(three->Body,
              "\rWin+X (Play/Pause toggle)\rWin+V (Next track)\rWin+Ctrl+S (Shuffle toggle)"
              "\rChange them in Plugin.ini, section [Vemo Plugin]");
}

}  // namespace
}  // namespace vemo
