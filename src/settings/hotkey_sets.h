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

}  // namespace vemo
