#include "actions/hotkeys.h"

#include <windows.h>

#include "actions/file_actions.h"
#include "actions/information.h"
#include "actions/player_control.h"
#include "actions/seek.h"
#include "actions/tag_actions.h"
#include "settings/hotkey_table.h"
#include "win/module_state.h"

namespace vemo {

namespace {

// Another id of ours that holds the same combination, or 0: the system would refuse
// this one as "already registered", which is no other program's doing.
int32_t HolderOf(const HotkeyEntry& combination, int32_t asking) {
    for (int32_t id = kFirstHotkeyId; id <= kHotkeyCount; ++id) {
        if (id != asking && gPlugin.Hotkeys[id].Hold == HotkeyHold::Held &&
            SameCombination(gSettings.Hotkeys[id], combination)) {
            return id;
        }
    }
    return 0;
}

HotkeyState Register(int32_t id, const HotkeyEntry& combination) {
    if (NeedsCommandModifier(combination)) return {HotkeyHold::NeedsModifier};
    if (const int32_t holder = HolderOf(combination, id)) return {HotkeyHold::Duplicate, holder};
    if (RegisterHotKey(gPlugin.MainPopup, id, static_cast<UINT>(combination.Modifiers),
                       static_cast<UINT>(combination.VirtualKey))) {
        return {HotkeyHold::Held};
    }
    // Only this answer means another program holds the combination.
    const DWORD error = GetLastError();
    if (error == ERROR_HOTKEY_ALREADY_REGISTERED) return {HotkeyHold::TakenByOther};
    return {HotkeyHold::Refused, 0, static_cast<uint32_t>(error)};
}

}  // namespace

// Without MainPopup the calls would act on the thread's own hotkeys instead.
void RegisterAllHotkeys() {
    if (!gPlugin.MainPopup) return;
    for (int32_t id = kFirstHotkeyId; id <= kHotkeyCount; ++id) {
        HotkeyState& state = gPlugin.Hotkeys[id];
        if (state.Hold != HotkeyHold::Held) state = Register(id, gSettings.Hotkeys[id]);
    }
}

void UnregisterAllHotkeys() {
    for (int32_t id = kFirstHotkeyId; id <= kHotkeyCount; ++id) {
        if (gPlugin.Hotkeys[id].Hold == HotkeyHold::Held && gPlugin.MainPopup) UnregisterHotKey(gPlugin.MainPopup, id);
    }
    gPlugin.Hotkeys = HotkeyStates{};
}

const HotkeyStates& HotkeyRegistration() { return gPlugin.Hotkeys; }

void DispatchHotkey(int32_t id) {
    if (!IsHotkeyId(id)) return;
    switch (static_cast<HotkeyId>(id)) {
        case HotkeyId::Prev: PreviousTrack(); break;
        case HotkeyId::PlayPause: PlayPause(); break;
        case HotkeyId::StopTrack: StopTrack(); break;
        case HotkeyId::Next: NextTrack(); break;
        case HotkeyId::IncVol: VolumeUp(); break;
        case HotkeyId::DecVol: VolumeDown(); break;
        case HotkeyId::MinMax: MinimizeOrRestore(); break;
        case HotkeyId::SeekFwd: SeekBackward(); break;
        case HotkeyId::SeekBkw: SeekForward(); break;
        case HotkeyId::MPEGInfo: ShowFileInfo(); break;
        case HotkeyId::Quit: QuitPlayer(); break;
        case HotkeyId::Shuffle: ToggleShuffle(); break;
        case HotkeyId::Repeat: ToggleRepeat(); break;
        case HotkeyId::Config: ToggleConfigWindow(); break;
        case HotkeyId::PrvWOShuffle: PreviousInListOrder(); break;
        case HotkeyId::NxtWOShuffle: NextInListOrder(); break;
        case HotkeyId::TrackInfo: ShowTrackInfo(); break;
        case HotkeyId::ShflOn: ShuffleOn(); break;
        case HotkeyId::RptOn: RepeatOn(); break;
        case HotkeyId::TAG: OpenFileInfoBox(); break;
        case HotkeyId::ID3v1: ShowID3v1Info(); break;
        case HotkeyId::Preferences: OpenPreferences(); break;
        case HotkeyId::VisPlug: ToggleVisualization(); break;
        case HotkeyId::StopWFadeout: StopWithFadeout(); break;
        case HotkeyId::ID3v2: ShowID3v2Info(); break;
        case HotkeyId::ID3Any: ShowID3AnyInfo(); break;
        case HotkeyId::StopAfterCurr: StopAfterCurrent(); break;
        case HotkeyId::ReadOnlyToggle: ToggleReadOnly(); break;
        case HotkeyId::PhysDelete: DeleteCurrentFile(); break;
        case HotkeyId::EQ: ToggleEqualizer(); break;
        case HotkeyId::CopyFile: CopyCurrentFile(); break;
        case HotkeyId::MoveFile: MoveCurrentFile(); break;
        case HotkeyId::JumpTo: OpenJumpToFile(); break;
        case HotkeyId::RenameFile: RenameAfterTag(); break;
        case HotkeyId::ModifyID3: MakeTagFromFileName(); break;
        default: break;
    }
}

}  // namespace vemo
