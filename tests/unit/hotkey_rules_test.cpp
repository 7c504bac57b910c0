#include "settings/hotkey_rules.h"

#include <gtest/gtest.h>

#include "settings/hotkey_sets.h"
#include "settings/key_names.h"

namespace vemo {
namespace {

constexpr int32_t kWin = kModWin;
constexpr int32_t kCtrl = kModCtrl;
constexpr int32_t kAlt = kModAlt;
constexpr int32_t kShift = kModShift;
constexpr int32_t kF(int32_t n) { return kVkF1 + n - 1; }

using enum CombinationRule;

// One row per kind of key a user may press while the hotkeys window waits.
TEST(HotkeyRules, EachClassOfCombination) {
    const struct {
        HotkeyEntry Combination;
        CombinationRule Rule;
    } cases[] = {
        // Navigation alone or with Shift: every program moves and selects with these.
        {{0, kVkDown}, KeyAlone},        {{0, kVkUp}, KeyAlone},          {{0, 0x09}, KeyAlone},
        {{0, 0x0D}, KeyAlone},           {{0, kVkPageDown}, KeyAlone},    {{0, kVkHome}, KeyAlone},
        {{0, 0x1B}, KeyAlone},           {{kShift, kVkDown}, ShiftKey},   {{kShift, kVkEnd}, ShiftKey},
        {{kShift, 0x09}, ShiftKey},
        // Bare typing, and the keys programs rely on.
        {{0, 'A'}, KeyAlone},            {{0, '7'}, KeyAlone},            {{0, 0xBA}, KeyAlone},
        {{0, kVkSpace}, KeyAlone},       {{0, kF(1)}, KeyAlone},          {{0, kF(10)}, KeyAlone},
        {{0, kF(12)}, KeyAlone},         {{0, 0x14}, KeyAlone},           {{0, kVkNumpad0 + 5}, KeyAlone},
        {{0, 0x92}, KeyAlone},           {{kShift, 'A'}, ShiftKey},       {{kShift, '1'}, ShiftKey},
        {{kShift, kF(5)}, ShiftKey},
        // AltGr: Ctrl+Alt with a character key, with or without Shift.
        {{kCtrl | kAlt, 'E'}, AltGr},    {{kCtrl | kAlt, 'Q'}, AltGr},    {{kCtrl | kAlt, '2'}, AltGr},
        {{kCtrl | kAlt, 0xDB}, AltGr},   {{kCtrl | kAlt, 0xE2}, AltGr},   {{kCtrl | kAlt | kShift, 'A'}, AltGr},
        {{kCtrl | kAlt, kVkSpace}, AltGr}, {{kCtrl | kAlt, kVkNumpad0}, AltGr},
        {{kCtrl | kAlt, kF(4)}, Allowed}, {{kCtrl | kAlt, kVkPageUp}, Allowed},
        {{kWin | kCtrl | kAlt, 'E'}, Allowed},
        // What every program uses, and the system's own.
        {{kCtrl, 'C'}, CommonShortcut},  {{kCtrl, 'V'}, CommonShortcut},  {{kCtrl, 'X'}, CommonShortcut},
        {{kCtrl, 'Z'}, CommonShortcut},  {{kCtrl, 'Y'}, CommonShortcut},  {{kCtrl, 'A'}, CommonShortcut},
        {{kCtrl, 'S'}, CommonShortcut},  {{kCtrl, 'F'}, CommonShortcut},  {{kCtrl, 'P'}, CommonShortcut},
        {{kCtrl, 'N'}, CommonShortcut},  {{kCtrl, 'O'}, CommonShortcut},  {{kCtrl, 'W'}, CommonShortcut},
        {{kAlt, kF(4)}, CommonShortcut}, {{kAlt, 0x09}, CommonShortcut},  {{kAlt | kShift, 0x09}, CommonShortcut},
        {{kCtrl, 0x1B}, CommonShortcut}, {{kCtrl | kShift, 0x1B}, CommonShortcut},
        {{kCtrl | kAlt, kVkDelete}, SystemKey}, {{kCtrl | kAlt | kShift, kVkDelete}, SystemKey},
        {{kWin, 'L'}, SystemKey},
        // Near the listed ones but free: another modifier makes them the plug-in's.
        {{kCtrl | kShift, 'C'}, Allowed}, {{kWin | kCtrl, 'C'}, Allowed}, {{kCtrl, 'B'}, Allowed},
        {{kAlt, kF(5)}, Allowed},        {{kWin, kVkDelete}, Allowed},    {{kCtrl | kShift, kF(7)}, Allowed},
        // Media keys and the keys that type nothing may stand alone.
        {{0, kVkMediaNext}, Allowed},    {{0, kVkMediaPrevious}, Allowed}, {{0, kVkMediaStop}, Allowed},
        {{0, kVkMediaPlayPause}, Allowed}, {{0, kVkVolumeUp}, Allowed},   {{0, kVkVolumeDown}, Allowed},
        {{0, kVkVolumeMute}, Allowed},   {{0, kF(13)}, Allowed},          {{0, kF(24)}, Allowed},
        {{0, 0x13}, Allowed},            {{kShift, kF(13)}, Allowed},     {{0, kVkMediaPlayPause + 1}, KeyAlone},
        // Half a combination.
        {{kWin, 0}, NoKey},              {{kCtrl | kAlt, 0x11}, NoKey},   {{0, 0xA0}, NoKey},
        {{kWin, 0x5C}, NoKey},           {{}, Allowed},
    };
    for (const auto& c : cases) {
        const std::string name = CombinationText(c.Combination);
        EXPECT_EQ(RuleOf(c.Combination), c.Rule) << name;
        EXPECT_EQ(RuleReason(RuleOf(c.Combination)).empty(), c.Rule == Allowed) << name;
        // Bits beyond the four that tell combinations apart change nothing.
        EXPECT_EQ(RuleOf({c.Combination.Modifiers | 0x4000, c.Combination.VirtualKey}), c.Rule) << name;
    }
}

// What the plug-in ships and offers in one click is never refused, and nothing it
// refuses to register is let through.
TEST(HotkeyRules, ShippedCombinationsAreAllowedAndTypingKeysAreNot) {
    for (const HotkeySet set : kHotkeySets) {
        const HotkeyTable table = HotkeySetTable(set);
        for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
            EXPECT_EQ(RuleOf(table[id]), Allowed) << HotkeySetName(set) << " " << CombinationText(table[id]);
        }
    }
    for (const NamedKey& key : PickableKeys()) {
        for (int32_t mods = 0; mods <= (kWin | kCtrl | kAlt | kShift); ++mods) {
            const HotkeyEntry combination{mods, key.VirtualKey};
            if (NeedsCommandModifier(combination) || MayTypeCharacter(combination)) {
                EXPECT_NE(RuleOf(combination), Allowed) << CombinationText(combination);
            }
        }
    }
}

}  // namespace
}  // namespace vemo
