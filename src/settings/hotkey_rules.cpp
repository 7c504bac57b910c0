#include "settings/hotkey_rules.h"

#include <algorithm>
#include <iterator>
#include <span>

#include "settings/key_names.h"

namespace vemo {

namespace {

constexpr int32_t kVkTab = 0x09;
constexpr int32_t kVkPause = 0x13;
constexpr int32_t kVkEscape = 0x1B;
constexpr int32_t kVkF4 = kVkF1 + 3;
constexpr int32_t kVkF13 = kVkF1 + 12;
constexpr int32_t kVkLastFunction = kVkF1 + kFunctionKeyCount - 1;
constexpr int32_t kModifierKeys[] = {0x10, 0x11, 0x12, 0x5B, 0x5C, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5};
constexpr int32_t kCtrlAlt = kModCtrl | kModAlt;

struct Combination {
    int32_t Modifiers;
    int32_t VirtualKey;
};

constexpr Combination kSystemKeys[] = {
    {kCtrlAlt, kVkDelete},
    {kCtrlAlt | kModShift, kVkDelete},
    {kModWin, 'L'},  // locks the computer
};

constexpr Combination kCommonShortcuts[] = {
    {kModCtrl, 'C'},  {kModCtrl, 'V'},       {kModCtrl, 'X'},           {kModCtrl, 'Z'},   {kModCtrl, 'Y'},
    {kModCtrl, 'A'},  {kModCtrl, 'S'},       {kModCtrl, 'F'},           {kModCtrl, 'P'},   {kModCtrl, 'N'},
    {kModCtrl, 'O'},  {kModCtrl, 'W'},       {kModAlt, kVkF4},          {kModAlt, kVkTab}, {kModAlt | kModShift, kVkTab},
    {kModAlt, kVkEscape}, {kModAlt, kVkSpace}, {kModCtrl, kVkEscape}, {kModCtrl | kModShift, kVkEscape},
};

// The texts the hotkeys window shows after a refused combination.
constexpr std::string_view kNoKeyReason = "no key yet: pick one besides Win, Ctrl, Alt and Shift";
constexpr std::string_view kSystemKeyReason = "the system's own combination";
constexpr std::string_view kCommonReason = "every program uses it";
constexpr std::string_view kKeyAloneReason = "a key alone would be lost to every program: add Win, Ctrl or Alt";
constexpr std::string_view kShiftReason = "Shift with it types or selects in every program: add Win, Ctrl or Alt";
constexpr std::string_view kAltGrReason = "Ctrl+Alt is AltGr on many layouts, which types @, { or the euro sign";

constexpr int32_t kRuleModifiers = kModWin | kModCtrl | kModAlt | kModShift;

bool Listed(std::span<const Combination> list, int32_t modifiers, int32_t vk) {
    return std::any_of(list.begin(), list.end(),
                       [&](const Combination& c) { return c.Modifiers == modifiers && c.VirtualKey == vk; });
}

}  // namespace

bool IsModifierKey(int32_t vk) { return std::find(std::begin(kModifierKeys), std::end(kModifierKeys), vk) != std::end(kModifierKeys); }

bool IsFreeKey(int32_t vk) {
    return (vk >= kVkF13 && vk <= kVkLastFunction) || (vk >= kVkVolumeMute && vk <= kVkMediaPlayPause) || vk == kVkPause;
}

CombinationRule RuleOf(const HotkeyEntry& combination) {
    const int32_t mods = combination.Modifiers & kRuleModifiers;
    const int32_t vk = combination.VirtualKey;
    if (vk == 0 && mods == 0) return CombinationRule::Allowed;
    if (vk == 0 || IsModifierKey(vk)) return CombinationRule::NoKey;
    if (Listed(kSystemKeys, mods, vk)) return CombinationRule::SystemKey;
    if (Listed(kCommonShortcuts, mods, vk)) return CombinationRule::CommonShortcut;
    if (mods == 0 && !IsFreeKey(vk)) return CombinationRule::KeyAlone;
    if (mods == kModShift && !IsFreeKey(vk)) return CombinationRule::ShiftKey;
    if ((mods & kCtrlAlt) == kCtrlAlt && (mods & kModWin) == 0 && TypesCharacter(vk)) return CombinationRule::AltGr;
    return CombinationRule::Allowed;
}

std::string_view RuleReason(CombinationRule rule) {
    switch (rule) {
        case CombinationRule::Allowed: return {};
        case CombinationRule::NoKey: return kNoKeyReason;
        case CombinationRule::SystemKey: return kSystemKeyReason;
        case CombinationRule::CommonShortcut: return kCommonReason;
        case CombinationRule::KeyAlone: return kKeyAloneReason;
        case CombinationRule::ShiftKey: return kShiftReason;
        case CombinationRule::AltGr: return kAltGrReason;
    }
    return {};
}

}  // namespace vemo
