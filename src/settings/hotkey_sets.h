// Ready-made sets of combinations for all 35 actions, applied with one click.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "settings/hotkey_table.h"

namespace vemo {

enum class HotkeySet : uint8_t {
    Defaults,   // as shipped: Windows-key combinations
    NoWinKey,   // for systems whose shell holds most Windows-key combinations
    MediaKeys,  // the keyboard's media keys for transport and volume, the rest as NoWinKey
};

inline constexpr HotkeySet kHotkeySets[] = {HotkeySet::Defaults, HotkeySet::NoWinKey, HotkeySet::MediaKeys};

// The set's name as its button shows it ("Defaults").
std::string_view HotkeySetName(HotkeySet set);

// The set's combinations for ids 1..35; entry 36 stays 0, 0.
HotkeyTable HotkeySetTable(HotkeySet set);

// A first start (no settings of the user's yet) keeps the defaults unless other programs
// hold more than a third of them, as the shell of newer systems holds many Win+ keys:
// then most keys would do nothing, and the "No Win key" set is taken instead.
struct DefaultsTaken {
    int Taken = 0;  // held by another program
    int Total = 0;  // ids with a combination
    bool TooMany() const { return 3 * Taken > Total; }
};
DefaultsTaken CountTakenCombinations(const HotkeyTable& table, const HotkeyStates& states);

// The start notice after a first start took the "No Win key" set: how many combinations
// were taken, the key that now opens the configuration window (or where else it opens),
// then whatever still does nothing, as HotkeyProblemNotice tells it.
HotkeyNotice FirstStartNotice(const DefaultsTaken& taken, const HotkeyTable& table, const HotkeyStates& states);

}  // namespace vemo
