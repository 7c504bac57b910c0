// The module-wide state: one instance of each struct, alive from load to quit. Every
// part of the plug-in runs on the player's user-interface thread, so none of it is
// locked.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <array>
#include <cstdint>
#include <string>

#include "audio/id3v1.h"
#include "audio/id3v2.h"
#include "audio/info_text.h"
#include "audio/mpeg.h"
#include "settings/hotkey_sets.h"
#include "settings/settings_file.h"
#include "win/dpi_scale.h"
#include "win/scoped_win.h"

namespace vemo {

// Made from the system colours at init; made anew when the colours change.
struct DrawingSet {
    GdiObject<HPEN> InfoTextPen;
    GdiObject<HPEN> InfoBackgroundPen;
    GdiObject<HPEN> InactiveCaptionPen;
    GdiObject<HPEN> ButtonFacePen;
    GdiObject<HPEN> ButtonHighlightPen;
    GdiObject<HBRUSH> InactiveCaptionBrush;
    GdiObject<HBRUSH> InfoBackgroundBrush;
    GdiObject<HBRUSH> ButtonFaceBrush;
    GdiObject<HBRUSH> ButtonShadowBrush;
};

// The previous/next button in the notification area: one record, filled at load and
// used for every add and remove, and the picture it shows for the whole run.
struct TrayIconState {
    NOTIFYICONDATAW Record{};
    IconHandle Picture;
    // Added and not removed since. Also set when the shell refused the add (no taskbar
    // yet): the taskbar announces its start, and the button is added then.
    bool Shown = false;
    // Asked for at load and added when the player's start is over (see AddTrayIconSoon).
    bool AddPending = false;
};

// Keeps a held key from running its action again with each of the keyboard's repeats,
// and an action from starting inside another action's question.
struct HotkeyGuardState {
    // Actions running now. A hotkey that arrives while one runs came through the modal
    // loop of its question (a message box, a dialog): answering one question by starting
    // another action would nest them.
    int RunningActions = 0;
    // Indexed by id: its key was down when it fired or was registered and has not been
    // seen up since, so a hotkey of that id now is the keyboard's repeat.
    std::array<bool, kHotkeyCount + 1> AwaitingRelease{};
};

// Where the settings are kept this run, asked of the player at init.
struct SettingsPlaceState {
    std::string Path;
    // Read at init: only settings that were read may be written over the user's file.
    bool Read = false;
    // A failed save was told this run.
    bool FailureTold = false;
    // The system's reason when the settings file could not be read.
    int ReadError = 0;
    // No settings of the user's were found at init.
    bool FirstStart = false;
    // What the first start found taken when it chose the "No Win key" set; Total is 0
    // when it kept the defaults.
    DefaultsTaken FirstStartTaken;
};

struct PluginState {
    HINSTANCE Module = nullptr;
    HWND PlayerWindow = nullptr;
    HWND PlaylistEditorWindow = nullptr;  // the last one found; kept when a search finds none
    HWND MainPopup = nullptr;             // receives every hotkey and every timer
    HWND InfoPopup = nullptr;             // made at its first show
    HWND ConfigWindow = nullptr;
    WindowSubclass PlayerHook;            // PlayerHookProc on PlayerWindow
    FontCache Fonts;  // by DPI
    DrawingSet Drawing;
    WaveOutHandle WaveOut;
    TrayIconState Tray;
    UINT VolumeDeviceId = 0;
    bool WaveOutAsked = false;  // VolumeDeviceId holds the answer of the wave output
    bool SetUpDone = false;
    bool PlayerSetUpDone = false;  // SetUpWithPlayer ran
    bool InitDone = false;
    bool QuitDone = false;
    // Set while quit takes our own windows down: that is not the player closing, so it
    // must not make the player exit.
    bool ClosingOwnWindows = false;
    // Another program subclassed the player window on top of our hook; the module then
    // stays loaded for the life of the process, since the chain still calls into it.
    bool ModulePinned = false;
    // What became of each hotkey id's combination; all None while the hotkeys are released.
    HotkeyStates Hotkeys;
    HotkeyGuardState HotkeyGuard;
    // The warning beep as init found it, put back at quit.
    bool BeepWasOn = true;
    // Init switched the beep off (it leaves it alone while the plug-in is disabled).
    bool BeepTaken = false;
    SettingsPlaceState SettingsPlace;
};

// One hover-hint timer per option check box of the configuration window.
constexpr size_t kHintTimerCount = 11;

// Runs the action of a hotkey id; handed to the popup procedure, which receives the
// hotkeys, by the frame at set-up.
using HotkeyHandler = void (*)(int32_t id);

// Shown text of the popups; filled by the popup operations.
struct PopupState {
    HotkeyHandler OnHotkey = nullptr;
    std::string CurrentPopupText;
    std::string TrackDisplayText;
    bool LiveRefresh = false;
    bool LevelShown = false;
    std::string LastLevelPrefix;
    std::string LastLevelSuffix;
    uint8_t LastLevel = 0;
    std::string LastInfoBody;
    std::string LastInfoTitle;
    char LastInfoSeparator = '\r';
    bool PendingLeftClick = false;
    bool PendingMiddleClick = false;
    bool PendingRightClick = false;
    bool EraseAllowed = false;
    bool HintArmed = false;
    // The check boxes that the hover-hint timers watch, in the order of their ids.
    std::array<HWND, kHintTimerCount> HintCheckBoxes{};
    // What the information actions last put into InfoPopup, and of which file. Stale:
    // something else was drawn there since (a hint), so the next information action
    // must draw again even when InfoPopup is still up.
    InfoKind InfoPopupKind = InfoKind::None;
    bool InfoPopupStale = false;
    std::string InfoPopupFile;
    // The notice ShowNoticeLater keeps until its timer fires.
    std::string NoticeBody;
    std::string NoticeTitle;
    UINT NoticeShowMs = 0;
};

// The last analysis and tags read from the current file, by the information actions
// and the tag actions.
struct TrackRecords {
    TMPEG CurrentMPEG;
    TID3v1Tag CurrentID3v1;
    TID3v2Tag CurrentID3v2;
};

// The song popup that follows the player's title changes.
struct SongWatchState {
    int8_t TitleChangeCount = 0;
    bool ForceSongPopup = false;
    int32_t SongPopupSkip = 0;
    std::string SongTitleText;
};

extern PluginState gPlugin;
extern Settings gSettings;  // options, destination folder and HotkeyTable
extern PopupState gPopup;
extern SongWatchState gSongWatch;
extern TrackRecords gTrack;

// The player's own procedure, which our hook passes messages on to.
inline WNDPROC OldPlayerProc() { return gPlugin.PlayerHook.Previous(); }

// Pens and brushes from the current system colours; made at init and made anew when
// the colours change.
// The mixer id of the wave output whose volume the volume keys read and set. The wave
// output is opened at the first call, not at load: opening one starts the system's
// audio stack, which the player's start need not wait for, and the answer is the same.
// It stays open until quit.
UINT VolumeDevice();

void CreateDrawingObjects();
void DeleteDrawingObjects();

// This run's Plugin.ini, found at init; before init, ProgramFolderSettingsFile.
std::string CurrentSettingsPath();
// The Plugins\Plugin.ini of the player's program folder, found from the command line:
// where older copies kept the settings, and where a player that does not say keeps them.
std::string ProgramFolderSettingsFile();
// Tests: the program folder's file instead of the one beside the test program (empty:
// that one); with a player that does not say where its settings are, the settings file.
void SetSettingsPathForTests(const std::string& path);

// The module the plug-in's code lives in: the DLL in the player, the program in tests.
HINSTANCE OwnModule();
// Called from the loader notification with the DLL's handle.
void RecordModuleHandle(HINSTANCE module);

}  // namespace vemo
