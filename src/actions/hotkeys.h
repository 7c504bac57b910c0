// Registration of the hotkey slots with the system, on MainPopup, and the routing of a
// hotkey message to its action.
#pragma once

// Before the hotkey ids: windows.h renames CopyFile and MoveFile, and every file must
// see them renamed alike.
#include <windows.h>

#include <cstdint>

#include "settings/hotkey_table.h"

namespace vemo {

// Every id 1..36 with its combination from HotkeyTable; a combination the system
// refuses (held elsewhere, invalid) leaves that id without effect. The system's answer
// for each id is kept in PluginState::HotkeyErrors.
void RegisterAllHotkeys();
// Ids 1..36 of MainPopup.
void UnregisterAllHotkeys();
// The ids whose combination another program holds, as the last registration found.
HotkeyFlags TakenHotkeys();

// Runs the action of a hotkey id; an id without an action does nothing.
void DispatchHotkey(int32_t id);

}  // namespace vemo
