// Names of keys and combinations as the user reads and types them ("Win+Alt+Space",
// "Ctrl+Shift+Page Up", "Play/Pause"), both ways. The settings file keeps numbers; the
// names are for the windows, the popups and the user's guide.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "settings/hotkey_table.h"

namespace vemo {

// Virtual-key codes named here besides those of the default combinations.
constexpr int32_t kVkPageUp = 0x21;
constexpr int32_t kVkPageDown = 0x22;
constexpr int32_t kVkEnd = 0x23;
constexpr int32_t kVkHome = 0x24;
constexpr int32_t kVkInsert = 0x2D;
constexpr int32_t kVkNumpad0 = 0x60;
constexpr int32_t kVkF1 = 0x70;
constexpr int32_t kFunctionKeyCount = 24;
constexpr int32_t kVkVolumeMute = 0xAD;
constexpr int32_t kVkVolumeDown = 0xAE;
constexpr int32_t kVkVolumeUp = 0xAF;
constexpr int32_t kVkMediaNext = 0xB0;
constexpr int32_t kVkMediaPrevious = 0xB1;
constexpr int32_t kVkMediaStop = 0xB2;
constexpr int32_t kVkMediaPlayPause = 0xB3;

struct NamedKey {
    int32_t VirtualKey;
    std::string_view Name;
};

// The keys a user may pick for a combination, in the order a list shows them: letters,
// digits, F1 to F24, arrows, the editing and paging keys, Space, the number pad, the
// punctuation keys (by their US names; a layout may name them otherwise), the media keys.
std::span<const NamedKey> PickableKeys();

// Whether a key is a punctuation key, whose character depends on the keyboard layout.
bool IsLayoutKey(int32_t virtualKey);

// The name of a key ("F5", "Page Up", "Num 3", "Volume Up"); a key without a name is
// given by its code ("Key 0x92").
std::string KeyName(int32_t virtualKey);
// The key of a name, whatever its case; also "Key 0x92" and the short names "PgUp" and
// "PgDn". Nothing for a name no key has.
std::optional<int32_t> KeyFromName(std::string_view name);

// What CombinationText writes for an entry without a key, and what the user picks to
// leave an action without a combination.
constexpr std::string_view kNoCombination = "none";

// "Win+Ctrl+Alt+Shift+Key" back to its entry; modifier names may come in any order and
// case, and "none" gives {0, 0}. Nothing for a text that names no combination.
std::optional<HotkeyEntry> ParseCombination(std::string_view text);

// Whether pressing a combination could type a character in some program on a common
// layout: a character key without Win, Ctrl or Alt, or with Ctrl+Alt and no Win, which
// many European layouts read as AltGr ("AltGr+E" types the euro sign).
bool MayTypeCharacter(const HotkeyEntry& combination);

}  // namespace vemo
