// Registration of the hotkey slots with the system, on MainPopup, and the routing of a
// hotkey message to its action.
#pragma once

// Before the hotkey ids: windows.h renames CopyFile and MoveFile, and every file must
// see them renamed alike.
#include <windows.h>

#include <cstdint>

#include "settings/hotkey_table.h"

namespace vemo {

// Asks for every id 1..36 not held yet, with its combination from HotkeyTable, and
// records what became of each: held, taken by another program, a duplicate of another
// id of ours (which the system would refuse as taken), refused. A combination without
// Win, Ctrl or Alt on a key that types a character is never asked for. Ids already held
// stay as they are: asking again would only be refused as "already registered".
void RegisterAllHotkeys();
// Releases the ids that are held; the others are left alone.
void UnregisterAllHotkeys();
// What became of each id at the last registration; all None while released.
const HotkeyStates& HotkeyRegistration();

// Runs the action of a hotkey id; an id without an action does nothing.
void DispatchHotkey(int32_t id);

}  // namespace vemo
