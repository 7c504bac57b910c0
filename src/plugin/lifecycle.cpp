#include "plugin/lifecycle.h"

#include "actions/hotkeys.h"
#include "actions/player_control.h"
#include "config/config_window.h"
#include "config/hotkeys_window.h"
#include "config/tray_icon.h"
#include "plugin/frame_texts.h"
#include "popup/popup_window.h"
#include "popup/track_watcher.h"
#include "settings/hotkey_table.h"
#include "settings/settings_file.h"
#include "text/file_access.h"
#include "text/text.h"
#include "win/module_state.h"
#include "win/outside_effects.h"
#include "win/player_link.h"
#include "win/settings_store.h"
#include "win/shared_texts.h"

namespace vemo {

namespace {

GeneralPurposePlugin gRecord = {
    kPluginRecordVersion, kPluginDescription, PluginInit, PluginConfig, PluginQuit, nullptr, nullptr,
};

// How long the version popup stays after init.
constexpr UINT kStartupPopupMs = 2000;
// How long the notice about combinations held by another program stays up.
constexpr UINT kTakenHotkeysNoticeMs = 6000;

void RunStartupOptions() {
    if (gSettings.OptLaunchMinimized() && IsWindowVisible(gPlugin.PlayerWindow)) {
        ShowWindow(gPlugin.PlayerWindow, SW_SHOWMINNOACTIVE);
    }
    if (gSettings.OptAutoplay()) {
        SendTransportCommand(CmdPlay);
    } else {
        ShowPopup(VersionPopupText(static_cast<uint32_t>(QueryPlayer(QueryVersion))));
    }
    if (gSettings.OptVisualization()) SendCommand(CmdVisualization);
}

// Keys that do nothing (another program holds the combination, another of our keys
// has it, it lacks Win, Ctrl or Alt) are named once, when the start popup has had its time;
// after a first start that chose the "No Win key" set, that is said first.
void TellOfHotkeyProblems() {
    const DefaultsTaken& taken = gPlugin.SettingsPlace.FirstStartTaken;
    std::optional<HotkeyNotice> notice;
    if (taken.Total > 0) {
        notice = FirstStartNotice(taken, gSettings.Hotkeys, HotkeyRegistration());
    } else {
        notice = HotkeyProblemNotice(gSettings.Hotkeys, HotkeyRegistration());
    }
    if (notice) ShowNoticeLater(notice->Body, notice->Caption, kStartupPopupMs, kTakenHotkeysNoticeMs);
}

// Keeps the module in memory until the process ends.
void PinModule() {
    HMODULE module = nullptr;
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                           reinterpret_cast<LPCWSTR>(&PlayerHookProc), &module)) {
        gPlugin.ModulePinned = true;
    }
}

void DestroyOwnWindow(HWND& window) {
    if (window) DestroyWindow(window);
    window = nullptr;
}

// After this nothing of the module is called by the system again, so the player may
// unload it: the hook leaves the player window (or, when another procedure sits on top
// of it, the module stays loaded), the timers stop, the windows and classes go.
void ReleaseForUnload() {
    if (!gPlugin.PlayerHook.Remove()) PinModule();
    StopAllTimers();
    UnregisterAllHotkeys();
    // The shell keeps an icon whose window is gone until the pointer passes over it.
    ReleaseTrayIcon();
    ReleaseConfigControls();
    gPlugin.ClosingOwnWindows = true;
    DestroyHotkeysWindow();
    DestroyOwnWindow(gPlugin.InfoPopup);
    DestroyOwnWindow(gPlugin.MainPopup);
    DestroyOwnWindow(gPlugin.ConfigWindow);
    gPlugin.ClosingOwnWindows = false;
    UnregisterPopupClass(gPlugin.Module);
    UnregisterConfigClass(gPlugin.Module);
    UnregisterHotkeysClass(gPlugin.Module);
    gPlugin.Fonts.Clear();
}

// The load-time set-up, step by step; the start benchmark times each step.
void RegisterClasses() {
    HINSTANCE module = OwnModule();
    gPlugin.Module = module;
    RegisterPopupClass(module);
    RegisterConfigClass(module);
    RegisterHotkeysClass(module);
}

void MakePopups() {
    gPopup.OnHotkey = DispatchHotkey;
    // InfoPopup is made at its first show.
    gPlugin.MainPopup = CreatePopupWindow(gPlugin.Module, gRecord.PlayerWindow);
    StartTimer(kTimerLiveTrack, kLiveTrackPeriodMs);
}

// Without its controls, which are made when it is first shown.
void MakeConfigWindow() { gPlugin.ConfigWindow = CreateConfigWindow(gPlugin.Module, gRecord.PlayerWindow); }

void PrepareTray() { PrepareTrayIcon(); }

constexpr LoadTimeStep kLoadTimeSteps[] = {
    {"classes", RegisterClasses},
    {"popups", MakePopups},
    {"configuration window", MakeConfigWindow},
    {"tray record", PrepareTray},
};

void LoadTimeSetup() {
    for (const LoadTimeStep& step : kLoadTimeSteps) step.Run();
    gPlugin.SetUpDone = true;
}

// The set-up that needs the player: it alone can say where its settings are, and it is
// known only from init on.
void ReadStoredSettings() {
    LoadSettings();
    // The configuration window's controls, with the help and its marks, are made when it
    // is first shown.
    ShowStoredDestinationFolder();
}

void ShowTrayButton() {
    if (!gSettings.OptDisabled() && gSettings.OptSystrayIcon()) AddTrayIconSoon();
}

void TakeHotkeys() {
    if (gSettings.OptDisabled()) return;
    RegisterAllHotkeys();
    if (gPlugin.SettingsPlace.FirstStart) TakeFirstStartHotkeys();
}

constexpr LoadTimeStep kPlayerSteps[] = {
    {"settings", ReadStoredSettings},
    {"tray icon", ShowTrayButton},
    {"hotkeys", TakeHotkeys},
};

// A left click on the player's own tray icon toggles the player between minimized and
// restored instead of whatever the player would do.
LRESULT OnPlayerTrayClick() {
    MinimizeOrRestorePlayer();
    return 0;
}

}  // namespace

std::span<const LoadTimeStep> LoadTimeSteps() { return kLoadTimeSteps; }
std::span<const LoadTimeStep> PlayerSetUpSteps() { return kPlayerSteps; }

void SetUpWithPlayer() {
    if (!gPlugin.SetUpDone || gPlugin.PlayerSetUpDone) return;
    gPlugin.PlayerWindow = gRecord.PlayerWindow;
    for (const LoadTimeStep& step : kPlayerSteps) step.Run();
    gPlugin.PlayerSetUpDone = true;
}

GeneralPurposePlugin* GetPluginRecord() {
    if (!gPlugin.SetUpDone) LoadTimeSetup();
    return &gRecord;
}

int __cdecl PluginInit() {
    if (!gPlugin.SetUpDone || gPlugin.QuitDone) return 0;
    SetUpWithPlayer();
    // A disabled plug-in leaves the system's settings as the user has them.
    if (!gSettings.OptDisabled()) {
        gPlugin.BeepWasOn = Effects().WarningBeep();
        Effects().SetWarningBeep(false);
        gPlugin.BeepTaken = true;
    }
    if (gPlugin.PlayerWindow && !gPlugin.PlayerHook.Installed()) gPlugin.PlayerHook.Install(gPlugin.PlayerWindow, PlayerHookProc);
    if (!gSettings.OptDisabled()) {
        RunStartupOptions();
        TellOfHotkeyProblems();
    }
    ArmHideTimer(kStartupPopupMs);
    CreateDrawingObjects();
    gPlugin.InitDone = true;
    return 0;
}

void __cdecl PluginConfig() {
    if (gPlugin.QuitDone) return;
    ShowConfigWindowCentred();
}

void __cdecl PluginQuit() {
    if (!gPlugin.SetUpDone || gPlugin.QuitDone) return;
    // Settings never read (no init) are only the defaults: they must not replace the user's.
    const SettingsSave saved = gPlugin.SettingsPlace.Read ? SaveSettings() : SettingsSave{};
    gPlugin.WaveOut.Close();
    DeleteDrawingObjects();
    // As init found it: a user who keeps the beep off keeps it off.
    if (gPlugin.BeepTaken) Effects().SetWarningBeep(gPlugin.BeepWasOn);
    if (!gSettings.OptDisabled()) UnregisterAllHotkeys();
    // Takes the tray button away whenever it is shown: also one the tray option added
    // while disabled.
    ReleaseForUnload();
    gPlugin.QuitDone = true;
    // Last, when nothing of ours can run any more inside the box's message loop.
    TellOfUnsavedSettings(gPlugin.PlayerWindow, saved, UnsavedLoss::AtQuit);
}

LRESULT CALLBACK PlayerHookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Still in the chain after quit only when something sits on top of us; then we
    // merely pass messages along.
    if (gPlugin.QuitDone) return PassToPlayer(window, message, wParam, lParam);
    switch (message) {
        case WM_SETTEXT: return OnPlayerTitleChange(window, message, wParam, lParam);
        case kPlayerTrayMessage:
            if (lParam == WM_LBUTTONUP && !gSettings.OptDisabled()) return OnPlayerTrayClick();
            break;
        default: break;
    }
    return PassToPlayer(window, message, wParam, lParam);
}

std::string VersionPopupText(uint32_t version) {
    return std::string(kVersionPopupPrefix) + NumToStr(false, version >> 12) + "." +
           NumToStr(false, (version >> 8) & 15) + NumToStr(false, version & 255);
}

void ResetStateForTests() {
    if (gPlugin.SetUpDone && !gPlugin.QuitDone) {
        ReleaseForUnload();
    } else {
        // A hook left in the chain at quit can go once the test took its own one off.
        gPlugin.PlayerHook.Remove();
    }
    gPlugin = PluginState{};
    gSettings = DefaultSettings();
    gPopup = PopupState{};
    gSongWatch = SongWatchState{};
    gTrack = TrackRecords{};
    gConfig = ConfigWindowState{};
    gHotkeysWindow = HotkeysWindowState{};
    gRecord.PlayerWindow = nullptr;
    gRecord.Instance = nullptr;
    SetSettingsPathForTests({});
    SetDpiForTests(0);
    ResetOutsideEffects();
}

}  // namespace vemo
