// The hotkeys window, class VemoHotkeys: every action with its combination in effect and
// what became of it; the selected action's combination changed through the modifier
// boxes and the key list, by pressing it, or to none; the ready sets. The boxes only
// edit: a change is tried and saved when the combination is whole (a key chosen in the
// list, or a combination pressed and released), and never for a combination that
// settings/hotkey_rules.h refuses. Opened from the configuration window; made at the
// first opening, hidden by Close or Escape, destroyed at quit.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "actions/hotkeys.h"
#include "settings/hotkey_table.h"
#include "win/dpi_scale.h"
#include "win/module_state.h"
#include "win/scoped_win.h"

namespace vemo {

constexpr size_t kModifierBoxCount = 4;  // Win, Ctrl, Alt, Shift
constexpr size_t kReadySetCount = 3;
// The list, the four boxes, the key list, Press keys, None, the three sets, Close.
constexpr size_t kHotkeysTabStopCount = 1 + kModifierBoxCount + 1 + 2 + kReadySetCount + 1;

// What the last change asked for an id made of it, shown in its row until the next.
struct TriedCombination {
    bool Tried = false;
    HotkeyEntry Wanted;
    HotkeyChange Change;
};

struct HotkeysWindowState {
    HWND Window = nullptr;
    // The DPI the controls are placed and given fonts at: the window's when it was made,
    // or the last one it was told of. (0 before: a zero start keeps the state out of the
    // DLL's initialised data.)
    int Dpi = 0;
    HWND List = nullptr;  // one row per action, the item data is the id
    std::array<HWND, kModifierBoxCount> ModifierBoxes{};
    HWND KeyList = nullptr;  // the pickable keys, the item data is the virtual key
    HWND PressButton = nullptr;
    HWND NoneButton = nullptr;
    HWND ResultLine = nullptr;
    HWND SetsLabel = nullptr;
    std::array<HWND, kReadySetCount> SetButtons{};
    HWND CloseButton = nullptr;
    std::array<WindowSubclass, kHotkeysTabStopCount> ControlProcs;
    // The editor's combination: the selected row's, or what the user is putting together.
    HotkeyEntry Editing;
    // The id whose row waits for a combination to be pressed; 0 when none waits. The
    // hotkey handler is borrowed meanwhile, so a combination of ours that is pressed is
    // taken as the one wanted instead of running its action.
    int32_t WaitingId = 0;
    HotkeyHandler LentHandler = nullptr;
    // A pressed combination for PendingId, applied once its keys are all up: registered
    // while they are down, its first auto-repeat would run the action at once.
    int32_t PendingId = 0;
    HotkeyEntry Pending;
    // Whether a key is down now; null: as the keyboard has it (tests put in their own).
    bool (*KeyIsDown)(int32_t virtualKey) = nullptr;
    // The key list is open, and a key was chosen in it before it closed.
    bool KeyListOpen = false;
    bool KeyChosen = false;
    std::array<TriedCombination, kHotkeyCount> Tried{};
    bool Active = false;
};
extern HotkeysWindowState gHotkeysWindow;

bool RegisterHotkeysClass(HINSTANCE instance);
void UnregisterHotkeysClass(HINSTANCE instance);

// Shows the window centred, made at the first call, with the row of id selected
// (1..35; anything else selects the first).
void OpenHotkeysWindow(int32_t id);
// At quit: the control procedures off and the window destroyed.
void DestroyHotkeysWindow();

// A row's state column: "held", "taken by another program", "also used by "Next
// track"", "not registered: needs Win, Ctrl or Alt", "none"...; after a change that
// could not be had, "kept (Ctrl+Alt+F4: taken by another program)".
std::string HotkeyStateText(int32_t id);

// Puts the row of id in the waiting state, as Press keys does.
void WaitForCombination(int32_t id);
// A combination pressed while a row waits, as the list's key handler reads it: refused
// with the reason shown, or applied as soon as its keys are up.
void TakePressedCombination(const HotkeyEntry& combination);
// The timer that waits for a pressed combination's keys to be released.
constexpr UINT_PTR kReleaseTimerId = 1;
constexpr UINT kReleasePollMs = 25;

// A line of the list at dpi: the scaled row, or the list font's height where that is
// taller.
int HotkeyRowHeight(int dpi);
// Where a row's texts (action, combination, state) go, line being the row's first line
// and dc holding the list's font: each in its column when the combination and the state
// fit theirs; else the row takes two lines: the combination with the room of both its
// column and the state's, the state on the second line, across the row.
constexpr size_t kHotkeyColumnCount = 3;
struct HotkeyRowPlaces {
    std::array<RECT, kHotkeyColumnCount> Texts{};
    bool TwoLines = false;
};
HotkeyRowPlaces PlaceHotkeyRow(HDC dc, const RECT& line, int dpi,
                               const std::array<std::string_view, kHotkeyColumnCount>& texts);
// Where a modifier box draws its label at dpi, the box being its client rectangle.
RECT ModifierBoxLabel(const RECT& box, int dpi);

LRESULT CALLBACK HotkeysWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace vemo
