#include "settings/key_names.h"

#include <array>
#include <cctype>

namespace vemo {

namespace {

constexpr int32_t kVkNumpadDivide = 0x6F;
// The punctuation keys, whatever the layout puts on them.
constexpr int32_t kVkFirstPunctuation = 0xBA;
constexpr int32_t kVkLastPunctuation = 0xC0;
constexpr int32_t kVkFirstBracket = 0xDB;
constexpr int32_t kVkLastBracket = 0xDF;
constexpr int32_t kVkExtraPunctuation = 0xE2;  // the extra key beside left Shift on European keyboards

// Named keys other than letters, digits, function keys and the number pad's digits, in
// the order of the pick list. Keys after kPickableEnd are named but not offered: Tab,
// Enter and Esc move through windows, Backspace edits.
constexpr NamedKey kOtherKeys[] = {
    {kVkLeft, "Left"},
    {kVkUp, "Up"},
    {kVkRight, "Right"},
    {kVkDown, "Down"},
    {kVkInsert, "Insert"},
    {kVkDelete, "Delete"},
    {kVkHome, "Home"},
    {kVkEnd, "End"},
    {kVkPageUp, "Page Up"},
    {kVkPageDown, "Page Down"},
    {kVkSpace, "Space"},
    {0x13, "Pause"},
    {0x6A, "Num *"},
    {0x6B, "Num +"},
    {0x6D, "Num -"},
    {0x6E, "Num ."},
    {kVkNumpadDivide, "Num /"},
    {0xBA, ";"},
    {0xBB, "="},
    {0xBC, ","},
    {0xBD, "-"},
    {0xBE, "."},
    {0xBF, "/"},
    {kVkBackQuote, "`"},
    {0xDB, "["},
    {0xDC, "\\"},
    {0xDD, "]"},
    {0xDE, "'"},
    {0xDF, "Oem 8"},
    {kVkExtraPunctuation, "Oem 102"},
    {kVkMediaPlayPause, "Play/Pause"},
    {kVkMediaStop, "Stop"},
    {kVkMediaNext, "Next"},
    {kVkMediaPrevious, "Previous"},
    {kVkVolumeUp, "Volume Up"},
    {kVkVolumeDown, "Volume Down"},
    {kVkVolumeMute, "Mute"},
    // Named, not offered.
    {0x08, "Backspace"},
    {0x09, "Tab"},
    {0x0D, "Enter"},
    {0x1B, "Esc"},
};
constexpr size_t kPickableOthers = std::size(kOtherKeys) - 4;

// Older names that the parser still takes.
constexpr NamedKey kAliases[] = {{kVkPageUp, "PgUp"}, {kVkPageDown, "PgDn"}, {0x1B, "Escape"}};

constexpr std::string_view kNumPrefix = "Num ";
constexpr std::string_view kCodePrefix = "Key 0x";

constexpr size_t kNumberedKeys = 26 + 10 + kFunctionKeyCount + 10;  // letters, digits, F keys, pad digits
using PickArray = std::array<NamedKey, kNumberedKeys + kPickableOthers>;

// (An array, not a vector: the DLL carries no allocation-failure path for arrays.)
const PickArray& PickList() {
    static const PickArray keys = [] {
        // The views of numbered keys' names point into static storage.
        static std::array<std::string, kNumberedKeys> numbered;
        PickArray list{};
        size_t slot = 0;
        size_t at = 0;
        auto add = [&](int32_t vk) {
            numbered[slot] = KeyName(vk);
            list[at++] = {vk, numbered[slot++]};
        };
        for (int32_t vk = 'A'; vk <= 'Z'; ++vk) add(vk);
        for (int32_t vk = '0'; vk <= '9'; ++vk) add(vk);
        for (int32_t vk = kVkF1; vk < kVkF1 + kFunctionKeyCount; ++vk) add(vk);
        // The number pad's digits go with the rest of the pad, after Space and Pause.
        size_t i = 0;
        for (; i < kPickableOthers && kOtherKeys[i].VirtualKey != 0x6A; ++i) list[at++] = kOtherKeys[i];
        for (int32_t vk = kVkNumpad0; vk <= kVkNumpad0 + 9; ++vk) add(vk);
        for (; i < kPickableOthers; ++i) list[at++] = kOtherKeys[i];
        return list;
    }();
    return keys;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

bool StartsNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}

std::optional<int32_t> HexCode(std::string_view digits) {
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    uint32_t code = 0;
    for (char c : digits) {
        const int lower = std::tolower(static_cast<unsigned char>(c));
        uint32_t digit = 0;
        if (lower >= '0' && lower <= '9') digit = static_cast<uint32_t>(lower - '0');
        else if (lower >= 'a' && lower <= 'f') digit = static_cast<uint32_t>(lower - 'a' + 10);
        else return std::nullopt;
        code = code * 16 + digit;
    }
    return static_cast<int32_t>(code);
}

// The bits by which the system tells combinations apart.
struct ModifierName {
    int32_t Bit;
    std::string_view Name;
};
constexpr ModifierName kModifierNames[] = {{kModWin, "Win"}, {kModCtrl, "Ctrl"}, {kModAlt, "Alt"}, {kModShift, "Shift"}};

}  // namespace

std::span<const NamedKey> PickableKeys() { return PickList(); }

bool IsLayoutKey(int32_t vk) {
    return (vk >= kVkFirstPunctuation && vk <= kVkLastPunctuation) || (vk >= kVkFirstBracket && vk <= kVkLastBracket) ||
           vk == kVkExtraPunctuation;
}

std::string KeyName(int32_t vk) {
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return std::string(1, static_cast<char>(vk));
    // (Appended rather than added to a literal: GCC 12 at -O3 warns wrongly about that.)
    if (vk >= kVkF1 && vk < kVkF1 + kFunctionKeyCount) return std::string("F").append(std::to_string(vk - kVkF1 + 1));
    if (vk >= kVkNumpad0 && vk <= kVkNumpad0 + 9) return std::string(kNumPrefix).append(std::to_string(vk - kVkNumpad0));
    for (const NamedKey& key : kOtherKeys) {
        if (key.VirtualKey == vk) return std::string(key.Name);
    }
    constexpr char kHex[] = "0123456789ABCDEF";
    const uint32_t code = static_cast<uint32_t>(vk);
    std::string text(kCodePrefix);
    for (int shift = code > 0xFF ? 28 : 4; shift >= 0; shift -= 4) text += kHex[(code >> shift) & 0xF];
    return text;
}

std::optional<int32_t> KeyFromName(std::string_view name) {
    if (name.size() == 1) {
        const int upper = std::toupper(static_cast<unsigned char>(name[0]));
        if ((upper >= '0' && upper <= '9') || (upper >= 'A' && upper <= 'Z')) return upper;
    }
    if (name.size() >= 2 && name.size() <= 3 && (name[0] == 'F' || name[0] == 'f')) {
        int number = 0;
        for (char c : name.substr(1)) {
            if (c < '0' || c > '9') return std::nullopt;
            number = number * 10 + (c - '0');
        }
        if (name[1] == '0' || number < 1 || number > kFunctionKeyCount) return std::nullopt;
        return kVkF1 + number - 1;
    }
    if (StartsNoCase(name, kNumPrefix) && name.size() == kNumPrefix.size() + 1 && name.back() >= '0' &&
        name.back() <= '9') {
        return kVkNumpad0 + (name.back() - '0');
    }
    if (StartsNoCase(name, kCodePrefix)) return HexCode(name.substr(kCodePrefix.size()));
    for (const NamedKey& key : kOtherKeys) {
        if (EqualNoCase(key.Name, name)) return key.VirtualKey;
    }
    for (const NamedKey& key : kAliases) {
        if (EqualNoCase(key.Name, name)) return key.VirtualKey;
    }
    return std::nullopt;
}

std::string CombinationText(const HotkeyEntry& entry) {
    if (entry == HotkeyEntry{}) return std::string(kNoCombination);
    std::string text;
    for (const ModifierName& modifier : kModifierNames) {
        if (entry.Modifiers & modifier.Bit) text.append(modifier.Name).append("+");
    }
    return text + KeyName(entry.VirtualKey);
}

std::optional<HotkeyEntry> ParseCombination(std::string_view text) {
    if (EqualNoCase(text, kNoCombination)) return HotkeyEntry{};
    HotkeyEntry entry;
    // Modifiers lead, each with its "+"; the rest is the key, whose own name may hold a
    // "+" ("Ctrl+Num +").
    for (bool found = true; found;) {
        found = false;
        for (const ModifierName& modifier : kModifierNames) {
            if (text.size() > modifier.Name.size() + 1 && StartsNoCase(text, modifier.Name) &&
                text[modifier.Name.size()] == '+') {
                if (entry.Modifiers & modifier.Bit) return std::nullopt;  // "Ctrl+Ctrl+A"
                entry.Modifiers |= modifier.Bit;
                text.remove_prefix(modifier.Name.size() + 1);
                found = true;
            }
        }
    }
    const std::optional<int32_t> key = KeyFromName(text);
    if (!key || *key == 0) return std::nullopt;
    entry.VirtualKey = *key;
    return entry;
}

bool MayTypeCharacter(const HotkeyEntry& combination) {
    if (!TypesCharacter(combination.VirtualKey)) return false;
    const int32_t mods = combination.Modifiers;
    if ((mods & (kModWin | kModCtrl | kModAlt)) == 0) return true;
    return (mods & kModWin) == 0 && (mods & kModCtrl) != 0 && (mods & kModAlt) != 0;
}

}  // namespace vemo
