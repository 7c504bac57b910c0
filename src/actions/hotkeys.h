// Registration of the hotkey slots with the system, on MainPopup, and the routing of a
// hotkey message to its action.
#pragma once

#include <cstdint>

namespace vemo {

// Every id 1..36 with its combination from HotkeyTable; a combination the system
// refuses (held elsewhere, invalid) leaves that id without effect.
void RegisterAllHotkeys();
// Ids 1..36 of MainPopup.
void UnregisterAllHotkeys();

// Runs the action of a hotkey id; an id without an action does nothing.
void DispatchHotkey(int32_t id);

}  // namespace vemo
