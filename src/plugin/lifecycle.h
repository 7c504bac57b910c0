// The plug-in frame: the record handed to the player, the set-up that runs once before
// the player first uses it, the player's three calls (init, config, quit) and the hook
// on the player's main window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

#include "plugin/plugin_record.h"
#include "win/module_state.h"

namespace vemo {

// What the export returns. The first call runs the load-time set-up: it must not run
// inside the loader's notification, where creating windows and registering hotkeys can
// deadlock the player, and the player calls the export right after loading us.
GeneralPurposePlugin* GetPluginRecord();

// The load-time set-up in the order it runs, by name, for the start benchmark. The first
// export call runs them all; running them apart from it is for measuring only.
struct LoadTimeStep {
    const char* Name;
    void (*Run)();
};
std::span<const LoadTimeStep> LoadTimeSteps();
// The set-up that needs the player's window, which the player fills in before init:
// the settings (the player says where they are), the tray button and the hotkeys. Init
// runs it first; running it apart is for measuring, and for tests that stop before init.
std::span<const LoadTimeStep> PlayerSetUpSteps();
void SetUpWithPlayer();

int __cdecl PluginInit();
void __cdecl PluginConfig();
void __cdecl PluginQuit();

LRESULT CALLBACK PlayerHookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The start-up popup for a player version number (0x2091 gives "...v2.0145").
std::string VersionPopupText(uint32_t version);

// Tests: a return to the state before the first export call, releasing every window,
// hook, hotkey and timer without writing the settings (CurrentSettingsPath and
// SetSettingsPathForTests are in win/module_state.h).
void ResetStateForTests();

}  // namespace vemo
