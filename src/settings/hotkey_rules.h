// Which combinations the user may give an action. A hotkey is system-wide: whatever the
// plug-in registers, every other program stops receiving. So a combination is refused
// when taking it would cost the user a key they type or move with, or one that programs
// or the system rely on. Classes, checked in this order:
//   NoKey           modifiers only, or a modifier key as the key
//   SystemKey       the system's own: Ctrl+Alt+Delete (with or without Shift), Win+L
//   CommonShortcut  what every program uses: Ctrl+C, V, X, Z, Y, A, S, F, P, N, O, W;
//                   Alt+F4, Alt+Tab, Alt+Shift+Tab, Alt+Esc, Alt+Space; Ctrl+Esc,
//                   Ctrl+Shift+Esc
//   KeyAlone        a key without modifiers, unless it types nothing and no program
//                   relies on it: F13-F24, the media and volume keys, Pause are allowed
//   ShiftKey        Shift and such a key: Shift types capitals and extends selections
//   AltGr           Ctrl+Alt, with or without Shift and without Win, and a key that types
//                   (letters, digits, punctuation, Space, the number pad...): many
//                   European layouts type @, {, the euro sign with these
// Anything else, as Win+V, Ctrl+Alt+F4, Ctrl+Shift+F7 or Win+Ctrl+Alt+A, may be taken.
#pragma once

#include <cstdint>
#include <string_view>

#include "settings/hotkey_table.h"

namespace vemo {

enum class CombinationRule : uint8_t {
    Allowed,
    NoKey,
    SystemKey,
    CommonShortcut,
    KeyAlone,
    ShiftKey,
    AltGr,
};

// The class of a combination; Allowed when the user may take it. The entry without a
// key nor modifiers ("none") is Allowed: it takes nothing from anyone.
CombinationRule RuleOf(const HotkeyEntry& combination);

// Why a combination is refused, short enough for one line of a window ("types a
// character: add Win, Ctrl or Alt"); empty for Allowed.
std::string_view RuleReason(CombinationRule rule);

// Whether a key is one that only names a modifier (Shift, Ctrl, Alt, Win, left or right).
bool IsModifierKey(int32_t virtualKey);

// Keys that may be taken alone: they type nothing and no program relies on them.
bool IsFreeKey(int32_t virtualKey);

}  // namespace vemo
