// Texts of the hotkeys window, exactly as the user sees them.
#pragma once

namespace vemo {

constexpr wchar_t kHotkeysClassName[] = L"VemoHotkeys";
constexpr char kHotkeysCaption[] = "Hotkeys: pick an action, then its keys";
constexpr char kHotkeysButtonText[] = "Hotkeys";

// The editor below the list.
constexpr char kWinText[] = "Win";
constexpr char kCtrlText[] = "Ctrl";
constexpr char kAltText[] = "Alt";
constexpr char kShiftText[] = "Shift";
constexpr char kPressKeysText[] = "Press keys";
constexpr char kNoneText[] = "None";
constexpr char kReadySetsLabel[] = "Ready sets, tried on this computer at once:";
constexpr char kCloseText[] = "Close";

// The row waiting for a combination, in its combination column.
constexpr char kWaitingText[] = "press the keys (Esc: cancel)";

// The state column.
constexpr char kHeldText[] = "held";
constexpr char kNoneStateText[] = "none";
constexpr char kTakenText[] = "taken by another program";
constexpr char kAlsoUsedText[] = "also used by \"";
constexpr char kAlsoUsedEnd[] = "\"";
constexpr char kNotRegistered[] = "not registered";
constexpr char kNeedsModifierReason[] = ": needs Win, Ctrl or Alt";
constexpr char kRefusedReason[] = ": refused by Windows (error ";
constexpr char kRefusedEnd[] = ")";
constexpr char kDisabledReason[] = ": the plug-in is disabled";
// A change that could not be had: "kept (Ctrl+Alt+F4: taken by another program)".
constexpr char kKeptText[] = "kept (";
constexpr char kKeptSeparator[] = ": ";
constexpr char kKeptEnd[] = ")";

// The line below the editor. A combination refused: "Ctrl+C not taken: every program
// uses it"; one edited in the boxes or with the arrows, before a key is chosen:
// "Win+Shift+Z: choose the key to apply"; one pressed, while its keys are down.
constexpr char kNotTaken[] = " not taken: ";
constexpr char kChooseKey[] = ": choose the key in the list or press Enter there to apply";
constexpr char kReleaseKeys[] = ": release the keys to apply";

// The line below the editor, after a ready set: "Media keys: 35 of 35 held".
constexpr char kSetHeldOf[] = " of ";
constexpr char kSetHeld[] = " held";
constexpr char kSetWithoutKey[] = " without a key";
constexpr char kSetKept[] = "; kept the old keys of ";
constexpr char kSetSeparator[] = ": ";

}  // namespace vemo
