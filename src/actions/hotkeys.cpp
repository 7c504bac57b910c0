#include "actions/hotkeys.h"

#include <windows.h>

#include "actions/player_control.h"
#include "plugin/plugin_state.h"
#include "settings/hotkey_table.h"

namespace vemo {

// Without MainPopup the calls would act on the thread's own hotkeys instead.
void RegisterAllHotkeys() {
    if (!gPlugin.MainPopup) return;
    for (int32_t id = kFirstHotkeyId; id <= kHotkeyCount; ++id) {
        const HotkeyEntry& entry = gSettings.Hotkeys[id];
        RegisterHotKey(gPlugin.MainPopup, id, static_cast<UINT>(entry.Modifiers), static_cast<UINT>(entry.VirtualKey));
    }
}

void UnregisterAllHotkeys() {
    if (!gPlugin.MainPopup) return;
    for (int32_t id = kFirstHotkeyId; id <= kHotkeyCount; ++id) UnregisterHotKey(gPlugin.MainPopup, id);
}

void DispatchHotkey(int32_t id) {
    if (!IsHotkeyId(id)) return;
    switch (static_cast<HotkeyId>(id)) {
        case HotkeyId::Prev: PreviousTrack(); break;
        case HotkeyId::PlayPause: PlayPause(); break;
        case HotkeyId::StopTrack: StopTrack(); break;
        case HotkeyId::Next: NextTrack(); break;
        default: break;
    }
}

}  // namespace vemo
