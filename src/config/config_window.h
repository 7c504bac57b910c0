// The configuration window, class CFW: created hidden at load, without controls (it
// receives the tray button's clicks and owns the hotkeys window from the start); its
// controls are made at its DPI when it is first shown, centred, by the player's
// configuration call or by its hotkey (see win/config_placement.h), and laid out anew
// when its DPI changes. Hidden by OK, Enter or Escape. A self-drawn caption and frame
// in a region with cut corners; the hotkeys as a help text; eleven option check boxes with
// hover hints, which take effect the moment they flip; the destination folder with a
// folder browser. It also receives the tray button's clicks.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "settings/hotkey_table.h"
#include "settings/settings_file.h"
#include "win/config_placement.h"
#include "win/scoped_win.h"

namespace vemo {

// The ten check boxes, OK, the edit field, Browse, Hotkeys.
constexpr size_t kConfigTabStopCount = kOptionCount + 4;

// The controls, in the order they are made, and what the window remembers of them.
struct ConfigWindowState {
    std::array<HWND, 3> TitleLayers{};  // shadow (the mail link), highlight, face
    // The help, one static inside each hotkey box: playback, additional, service.
    std::array<HWND, kHelpBoxCount> HelpTexts{};
    HWND FolderLabel = nullptr;
    std::array<HWND, 4> GroupBoxes{};
    std::array<HWND, kOptionCount> CheckBoxes{};  // by row, top to bottom
    HWND OkButton = nullptr;
    HWND FolderEdit = nullptr;  // the destination folder of copy and move
    HWND BrowseButton = nullptr;
    HWND HotkeysButton = nullptr;  // opens the hotkeys window
    std::array<HWND, kOptionCount> ShadowLabels{};
    std::array<HWND, kOptionCount> FaceLabels{};
    // Our procedures on the check boxes, OK, the edit field, Browse and Hotkeys.
    std::array<WindowSubclass, kConfigTabStopCount> ControlProcs;
    // Whether each check box was last drawn pressed, by row: an option flips on the
    // change into the pressed state only, not on every repaint in it.
    std::array<bool, kOptionCount> DrawnPressed{};
    bool Active = false;  // the frame is drawn active
    int Dpi = 0;  // the controls are laid out at; 0 until they are made
};
extern ConfigWindowState gConfig;

bool RegisterConfigClass(HINSTANCE instance);
void UnregisterConfigClass(HINSTANCE instance);
// Hidden, at its initial place, without controls: kPrepareWindowMessage makes them.
HWND CreateConfigWindow(HINSTANCE instance, HWND owner);

// The stored destination folder into the edit field; before the field is made, the
// folder kept as the field will show it (in lower case).
void ShowStoredDestinationFolder();

LRESULT CALLBACK ConfigWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The help text anew with the combinations in effect, each hotkey that does nothing
// marked with why, as the last registration found. Nothing before the controls are made.
void ShowHotkeyMarks();

// At quit, before the window goes: our procedures off the controls. Left to the
// module's static destructors, they would run under the loader's lock at unload, on
// handles that may name other windows by then.
void ReleaseConfigControls();

}  // namespace vemo
