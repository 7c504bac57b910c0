#include "actions/hotkeys.h"

#include <windows.h>

#include "actions/file_actions.h"
#include "actions/information.h"
#include "actions/player_control.h"
#include "actions/seek.h"
#include "actions/tag_actions.h"
#include "actions/action_texts.h"
#include "settings/hotkey_table.h"
#include "settings/settings_file.h"
#include "text/file_access.h"
#include "win/outside_effects.h"
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

// An action the user left without a combination is not asked for.
bool IsNone(int32_t id, const HotkeyEntry& combination) {
    return id != static_cast<int32_t>(HotkeyId::Unused) && combination == HotkeyEntry{};
}

HotkeyState AskSystem(int32_t id, const HotkeyEntry& combination) {
    if (RegisterHotKey(gPlugin.MainPopup, id, static_cast<UINT>(combination.Modifiers),
                       static_cast<UINT>(combination.VirtualKey))) {
        return {HotkeyHold::Held};
    }
    // Only this answer means another program holds the combination.
    const DWORD error = GetLastError();
    if (error == ERROR_HOTKEY_ALREADY_REGISTERED) return {HotkeyHold::TakenByOther};
    return {HotkeyHold::Refused, 0, static_cast<uint32_t>(error)};
}

HotkeyState Register(int32_t id, const HotkeyEntry& combination) {
    if (IsNone(id, combination)) return {};
    if (NeedsCommandModifier(combination)) return {HotkeyHold::NeedsModifier};
    if (const int32_t holder = HolderOf(combination, id)) return {HotkeyHold::Duplicate, holder};
    return AskSystem(id, combination);
}

// An id outside the table's: a new combination is tried under it while the old one is
// still held under the real id (the system would keep both under one id, or replace it).
constexpr int32_t kTrialId = 0xBFFE;

// What the system would make of combination for id, leaving nothing registered.
HotkeyState Try(int32_t id, const HotkeyEntry& combination) {
    if (NeedsCommandModifier(combination)) return {HotkeyHold::NeedsModifier};
    if (const int32_t holder = HolderOf(combination, id)) return {HotkeyHold::Duplicate, holder};
    const HotkeyState trial = AskSystem(kTrialId, combination);
    if (trial.Hold == HotkeyHold::Held) UnregisterHotKey(gPlugin.MainPopup, kTrialId);
    return trial;
}

bool Registering() { return gPlugin.MainPopup && !gSettings.OptDisabled(); }

HotkeyChange Change(int32_t id, const HotkeyEntry& wanted) {
    if (!IsHotkeyId(id) || id > kStoredHotkeyCount) return {};
    HotkeyEntry& entry = gSettings.Hotkeys[id];
    HotkeyState& state = gPlugin.Hotkeys[id];
    const bool wasHeld = state.Hold == HotkeyHold::Held;
    if (wasHeld && SameCombination(entry, wanted)) {
        entry = wanted;
        return {state, true};
    }
    if (wanted == HotkeyEntry{} || !Registering()) {
        if (wasHeld) UnregisterHotKey(gPlugin.MainPopup, id);
        entry = wanted;
        state = {};
        return {state, true};
    }
    HotkeyState result = Try(id, wanted);
    if (result.Hold == HotkeyHold::Held) {
        if (wasHeld) UnregisterHotKey(gPlugin.MainPopup, id);
        result = AskSystem(id, wanted);
    } else if (wasHeld) {
        return {result, false};
    }
    entry = wanted;
    state = result;
    return {result, true};
}

void TellOfUnsavedHotkeys(const std::string& path, int error) {
    const std::string text = std::string(kHotkeysNotSaved) + ":\r\n" + path + "\r\n\r\n" + FileErrorText(error) +
                             "\r\n\r\n" + kHotkeysUntilQuit;
    AskUser(gPlugin.ConfigWindow, text.c_str(), kHotkeysNotSavedCaption, MB_OK | MB_ICONERROR | MB_TOPMOST);
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

HotkeyChange ChangeHotkey(int32_t id, const HotkeyEntry& wanted) {
    const HotkeyEntry before = IsHotkeyId(id) ? gSettings.Hotkeys[id] : HotkeyEntry{};
    const HotkeyChange change = Change(id, wanted);
    if (change.Applied && !(before == wanted)) SaveHotkeys();
    return change;
}

HotkeyChanges ApplyHotkeyTable(const HotkeyTable& wanted) {
    const HotkeyTable before = gSettings.Hotkeys;
    HotkeyChanges changes{};
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) changes[id - 1] = Change(id, wanted[id]);
    // A duplicate may clear once the id holding its combination has moved on; each round
    // that mends one may mend another.
    for (bool mended = true; mended;) {
        mended = false;
        for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
            HotkeyChange& change = changes[id - 1];
            if (change.Result.Hold != HotkeyHold::Duplicate) continue;
            change = Change(id, wanted[id]);
            mended = mended || change.Result.Hold != HotkeyHold::Duplicate;
        }
    }
    if (!(gSettings.Hotkeys == before)) SaveHotkeys();
    return changes;
}

bool SaveHotkeys() {
    const std::string path = CurrentSettingsPath();
    if (WriteSettings(path, gSettings) == SettingsStatus::Ok) return true;
    TellOfUnsavedHotkeys(path, gSettings.KeepExistingFile ? gPlugin.SettingsReadError : LastFileError());
    return false;
}

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
