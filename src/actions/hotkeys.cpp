#include "actions/hotkeys.h"

#include <windows.h>

#include "actions/file_actions.h"
#include "actions/information.h"
#include "actions/player_control.h"
#include "actions/seek.h"
#include "actions/tag_actions.h"
#include "actions/action_texts.h"
#include "settings/hotkey_sets.h"
#include "settings/hotkey_table.h"
#include "settings/settings_file.h"
#include "text/file_access.h"
#include "win/outside_effects.h"
#include "win/module_state.h"
#include "win/settings_store.h"

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

HotkeyRegistrar gRegistrar = nullptr;

BOOL RegisterWithSystem(HWND window, int id, UINT modifiers, UINT virtualKey) {
    return gRegistrar ? gRegistrar(window, id, modifiers, virtualKey) : RegisterHotKey(window, id, modifiers, virtualKey);
}

// registerAs is the id the system keeps the combination under; action, whose it is.
HotkeyState AskSystem(int32_t registerAs, int32_t action, const HotkeyEntry& combination) {
    if (RegisterWithSystem(gPlugin.MainPopup, registerAs, RegisteredModifiers(action, combination),
                           static_cast<UINT>(combination.VirtualKey))) {
        return {HotkeyHold::Held};
    }
    // Only this answer means another program holds the combination.
    const DWORD error = GetLastError();
    if (error == ERROR_HOTKEY_ALREADY_REGISTERED) return {HotkeyHold::TakenByOther};
    return {HotkeyHold::Refused, 0, static_cast<uint32_t>(error)};
}

HotkeyState AskSystem(int32_t id, const HotkeyEntry& combination) { return AskSystem(id, id, combination); }

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
    const HotkeyState trial = AskSystem(kTrialId, id, combination);
    if (trial.Hold == HotkeyHold::Held) UnregisterHotKey(gPlugin.MainPopup, kTrialId);
    return trial;
}

// --- Held keys -------------------------------------------------------------------------

// The system's "no repeat" modifier (Windows 7 and later).
constexpr UINT kModNoRepeat = 0x4000;

// Set on MainPopup with a procedure of its own, so the popup's timers are not involved.
constexpr UINT_PTR kKeyReleaseTimer = 0x4B59;
// Well under the shortest press a hand makes, so a second press is not taken for a repeat.
constexpr UINT kKeyReleasePollMs = 20;

bool KeyDown(int32_t virtualKey) {
    return virtualKey > 0 && virtualKey < 256 && (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

void CALLBACK OnKeyReleasePoll(HWND window, UINT, UINT_PTR timer, DWORD) {
    bool waiting = false;
    for (int32_t id = kFirstHotkeyId; id <= kHotkeyCount; ++id) {
        bool& awaiting = gPlugin.HotkeyGuard.AwaitingRelease[static_cast<size_t>(id)];
        if (awaiting && !KeyDown(gSettings.Hotkeys[id].VirtualKey)) awaiting = false;
        waiting = waiting || awaiting;
    }
    if (!waiting) KillTimer(window, timer);
}

// Hotkeys of id are the keyboard's repeats until its key is seen up. A key already up
// (a quick press, or a message not sent by the keyboard) leaves the next one free.
void AwaitReleaseIfDown(int32_t id) {
    bool& awaiting = gPlugin.HotkeyGuard.AwaitingRelease[static_cast<size_t>(id)];
    awaiting = KeyDown(gSettings.Hotkeys[id].VirtualKey);
    if (awaiting && gPlugin.MainPopup) SetTimer(gPlugin.MainPopup, kKeyReleaseTimer, kKeyReleasePollMs, OnKeyReleasePoll);
}

// These open a window of the player's own, which may run its own message loop until it
// closes; the plug-in's keys keep working there as they always have.
bool OpensPlayerWindow(int32_t id) {
    switch (static_cast<HotkeyId>(id)) {
        case HotkeyId::TAG:
        case HotkeyId::Preferences:
        case HotkeyId::JumpTo: return true;
        default: return false;
    }
}

void RunAction(int32_t id);

// Counts an action as running for as long as it lives.
class RunningAction {
public:
    explicit RunningAction(bool counted) : counted_(counted) {
        if (counted_) ++gPlugin.HotkeyGuard.RunningActions;
    }
    ~RunningAction() {
        if (counted_) --gPlugin.HotkeyGuard.RunningActions;
    }
    RunningAction(const RunningAction&) = delete;
    RunningAction& operator=(const RunningAction&) = delete;

private:
    bool counted_;
};

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
        // Lost between the trial and now: the old combination goes back rather than none.
        if (result.Hold != HotkeyHold::Held && wasHeld) {
            state = AskSystem(id, entry);
            return {result, false};
        }
    } else if (wasHeld) {
        return {result, false};
    }
    entry = wanted;
    state = result;
    // A combination just captured is registered while its keys may still be down: their
    // repeats must not run the action.
    if (result.Hold == HotkeyHold::Held) AwaitReleaseIfDown(id);
    return {result, true};
}

// Retries the ids left as duplicates: one may clear once the id holding its combination
// has moved on, and each round that mends one may mend another.
void MendDuplicates(HotkeyChanges& changes, const HotkeyTable& wanted) {
    for (bool mended = true; mended;) {
        mended = false;
        for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
            HotkeyChange& change = changes[id - 1];
            if (change.Result.Hold != HotkeyHold::Duplicate) continue;
            change = Change(id, wanted[id]);
            mended = mended || change.Result.Hold != HotkeyHold::Duplicate;
        }
    }
}

// An id that still holds a combination and waits for one that another id holds, which
// waits for another..., back to the first: a cycle no retry can close. 0 when none.
int32_t CycleMember(const HotkeyChanges& changes, const std::array<bool, kHotkeyCount + 1>& opened) {
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
        if (opened[static_cast<size_t>(id)] || gPlugin.Hotkeys[id].Hold != HotkeyHold::Held) continue;
        int32_t next = id;
        for (int32_t step = 0; step < kStoredHotkeyCount; ++step) {
            const HotkeyState& waiting = changes[next - 1].Result;
            if (waiting.Hold != HotkeyHold::Duplicate || waiting.Owner < kFirstHotkeyId ||
                waiting.Owner > kStoredHotkeyCount) {
                break;
            }
            next = waiting.Owner;
            if (next == id) return id;
        }
    }
    return 0;
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
    if (gPlugin.MainPopup) KillTimer(gPlugin.MainPopup, kKeyReleaseTimer);
    gPlugin.HotkeyGuard.AwaitingRelease = {};
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
    // Ids that swap combinations wait for each other for ever: one of the cycle lets go of
    // its own, the others move on in turn, and it takes the last one freed.
    std::array<bool, kHotkeyCount + 1> opened{};
    for (MendDuplicates(changes, wanted); const int32_t id = CycleMember(changes, opened);
         MendDuplicates(changes, wanted)) {
        opened[static_cast<size_t>(id)] = true;
        UnregisterHotKey(gPlugin.MainPopup, id);
        gPlugin.Hotkeys[id] = {};
    }
    // One that let go and still has nothing gets its old combination back.
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
        if (!opened[static_cast<size_t>(id)] || gPlugin.Hotkeys[id].Hold == HotkeyHold::Held) continue;
        const HotkeyState wantedResult = changes[id - 1].Result;
        Change(id, before[id]);
        changes[id - 1] = {wantedResult, false};
    }
    if (!(gSettings.Hotkeys == before)) SaveHotkeys();
    return changes;
}

bool SaveHotkeys() {
    const SettingsSave save = SaveSettings();
    TellOfUnsavedSettings(gPlugin.ConfigWindow, save, UnsavedLoss::UntilQuit);
    return !save.Failed();
}

bool TakeFirstStartHotkeys() {
    const DefaultsTaken taken = CountTakenCombinations(gSettings.Hotkeys, HotkeyRegistration());
    if (!taken.TooMany()) return false;
    gPlugin.SettingsPlace.FirstStartTaken = taken;
    ApplyHotkeyTable(HotkeySetTable(HotkeySet::NoWinKey));
    return true;
}

bool RepeatsWhileHeld(int32_t id) {
    switch (static_cast<HotkeyId>(id)) {
        case HotkeyId::IncVol:
        case HotkeyId::DecVol:
        case HotkeyId::SeekFwd:
        case HotkeyId::SeekBkw: return true;
        default: return false;
    }
}

UINT RegisteredModifiers(int32_t id, const HotkeyEntry& combination) {
    const UINT stored = static_cast<UINT>(combination.Modifiers);
    const DWORD version = Effects().SystemVersion();
    const bool windows9x = (version & 0x80000000u) != 0;
    const DWORD major = version & 0xFF;
    const DWORD minor = (version >> 8) & 0xFF;
    const bool knowsNoRepeat = !windows9x && (major > 6 || (major == 6 && minor >= 1));
    if (!knowsNoRepeat) return stored & ~kModNoRepeat;
    // The unused slot has no key to repeat; it is asked for as it always was.
    if (RepeatsWhileHeld(id) || combination.VirtualKey == 0) return stored;
    return stored | kModNoRepeat;
}

void SetHotkeyRegistrarForTests(HotkeyRegistrar registrar) { gRegistrar = registrar; }

void DispatchHotkey(int32_t id) {
    if (!IsHotkeyId(id)) return;
    HotkeyGuardState& guard = gPlugin.HotkeyGuard;
    if (guard.RunningActions > 0) return;
    if (guard.AwaitingRelease[static_cast<size_t>(id)]) return;
    if (!RepeatsWhileHeld(id)) AwaitReleaseIfDown(id);
    const RunningAction running(!OpensPlayerWindow(id));
    RunAction(id);
}

namespace {

void RunAction(int32_t id) {
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

}  // namespace

}  // namespace vemo
