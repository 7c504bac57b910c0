// Registration of the hotkey slots with the system, on MainPopup, and the routing of a
// hotkey message to its action.
#pragma once

// Before the hotkey ids: windows.h renames CopyFile and MoveFile, and every file must
// see them renamed alike.
#include <windows.h>

#include <array>
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

// What became of a new combination asked for one id.
struct HotkeyChange {
    // The state of the combination asked for: held, taken by another program, ... None
    // when the user chose none, or when the plug-in is disabled and registers nothing.
    HotkeyState Result;
    // The id has the new combination now. When it could not be had and the old one was
    // held, the old one stays in effect: a working key is never given up for one that
    // does nothing.
    bool Applied = false;
};
// Indexed by id - 1, like HotkeyTable::Entries.
using HotkeyChanges = std::array<HotkeyChange, kHotkeyCount>;

// Gives id 1..35 the combination wanted ({0, 0}: none). The new combination is tried at
// once; the old one is released only when the new one is had or the user chose none.
// A change is saved at once (SaveHotkeys).
HotkeyChange ChangeHotkey(int32_t id, const HotkeyEntry& wanted);
// The same for ids 1..35 of wanted as a whole (a ready set), saved once. An id whose
// combination another id of ours still holds is tried again once that one has moved.
HotkeyChanges ApplyHotkeyTable(const HotkeyTable& wanted);
// Writes the settings section now. The first failure of a run is told in a message box
// that names the file, the reason and what to do; false then.
bool SaveHotkeys();
// At a first start, after the defaults were asked for: when other programs hold more
// than a third of them, the "No Win key" set in their place, saved at once (what was
// taken is kept in gPlugin.SettingsPlace for the start notice). Whether it was taken.
bool TakeFirstStartHotkeys();

// Runs the action of a hotkey id; an id without an action does nothing. Dropped (not
// queued): a hotkey that arrives while another action waits for the user's answer, and
// the keyboard's repeats of a key held down, except for the actions that repeat.
void DispatchHotkey(int32_t id);

// Volume and seeking go on while their key is held; every other action runs once per
// press, so that a held key cannot delete or move one file after another.
bool RepeatsWhileHeld(int32_t id);

// The modifiers id is registered with: the stored ones, plus "no repeat" for the actions
// that do not repeat on systems that know it (Windows 7 and later). Older systems refuse
// the flag, so it is never passed to them, not even from the settings file.
UINT RegisteredModifiers(int32_t id, const HotkeyEntry& combination);

// Tests: the system's registration call, to make a registration fail and to see what is
// asked for; nullptr puts RegisterHotKey back.
using HotkeyRegistrar = BOOL(WINAPI*)(HWND window, int id, UINT modifiers, UINT virtualKey);
void SetHotkeyRegistrarForTests(HotkeyRegistrar registrar);

}  // namespace vemo
