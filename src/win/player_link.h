// Everything the plug-in asks of the player goes through here, as synchronous messages
// to the player's main window: commands (WM_COMMAND with an id) and numbered queries
// (WM_USER with the number in lParam and the argument in wParam). Texts are UTF-8 here:
// the player's entry texts are asked in their wide form first, and an older player's
// 8-bit answers are converted from the system's code page.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace vemo {

enum PlayerCommand : uint16_t {
    CmdExit = 40001,
    CmdPreferences = 40012,
    CmdPrevious = 40044,
    CmdPlay = 40045,
    CmdPause = 40046,
    CmdStop = 40047,
    CmdNext = 40048,
    CmdRewind5s = 40144,
    CmdStopFadeout = 40147,
    CmdForward5s = 40148,
    CmdStopAfterCurrent = 40157,
    CmdFileInfoBox = 40188,
    CmdVisualization = 40192,
    CmdJumpToFile = 40194,
    CmdRemoveDeadFiles = 40222,  // for the playlist editor, not the main window
};

enum PlayerQuery : uint16_t {
    QueryVersion = 0,
    QueryPlayState = 104,
    QueryOutputTime = 105,
    JumpToTime = 106,
    SetListPosition = 121,
    SetVolume = 122,
    QueryListLength = 124,
    QueryListPosition = 125,
    QueryEqData = 127,
    SetEqData = 128,
    QueryEntryFile = 211,
    QueryEntryTitle = 212,
    // The wide twins: the same index argument, a const wchar_t* answer (or a wchar_t*
    // argument). An older player answers 0 to them, as to every number it does not know.
    QueryEntryTitleWide = 213,
    QueryEntryFileWide = 214,
    ChangeCurrentFile = 245,
    ChangeCurrentFileWide = 1245,
    // The folder that holds the player's own settings file, as a const char* in the code
    // page or, for the wide twin, a const wchar_t*. 0 from a player that keeps its
    // settings in its program folder without saying so.
    QuerySettingsFolder = 335,
    QuerySettingsFolderWide = 1335,
    QueryShuffle = 250,
    QueryRepeat = 251,
    SetShuffle = 252,
    SetRepeat = 253,
};

// Results of QueryPlayState; anything else means stopped.
constexpr int32_t kPlayStatePlaying = 1;
constexpr int32_t kPlayStatePaused = 3;
inline bool IsPlayingOrPaused(int32_t state) { return state == kPlayStatePlaying || state == kPlayStatePaused; }
// Arguments of QueryOutputTime.
constexpr WPARAM kOutputPositionMs = 0;
constexpr WPARAM kOutputLengthSeconds = 1;
// The QueryEqData item that holds the equalizer's on/off state.
constexpr WPARAM kEqOnOffItem = 11;

constexpr UINT kPlayerQueryMessage = WM_USER;
// The form in which the player's own tray icon reports its clicks to its main window.
constexpr UINT kPlayerTrayMessage = WM_USER + 1;

constexpr char kPlaylistEditorTitle[] = "Quavix Playlist Editor";

// The one place that sends to the player's windows; nothing when target is empty.
LRESULT SendPlayerMessage(HWND target, UINT message, WPARAM wParam, LPARAM lParam);

// To PlayerWindow.
LRESULT SendToPlayer(UINT message, WPARAM wParam, LPARAM lParam);
void SendCommand(PlayerCommand command);
// The player answers in 32 bits whatever the width of the message result: narrowed
// here, once for every query, so that -1 stays -1 on a 64-bit build.
int32_t QueryPlayer(PlayerQuery query, WPARAM argument = 0);

// An entry's title or file as the player gave it. Not whole when an older player put "?"
// for a character its code page lacks: such a name must never be acted on, for it names
// no file or another one.
struct PlayerText {
    std::string Text;
    bool Whole = true;
};
// QueryEntryTitle or QueryEntryFile for the entry at index: the wide twin first, else the
// 8-bit answer (a short 8.3 file name made long). The text lives in the player's memory
// and may change with the next message, so it is copied at once. Empty for null.
PlayerText QueryEntryText(PlayerQuery query, WPARAM index);
// The text alone, for showing.
std::string QueryPlayerText(PlayerQuery query, WPARAM argument);
// Whether the player can be pointed at this name: a player that answered the wide
// queries takes any name, an older one only a name its code page holds whole.
bool PlayerCanTakeFileName(const std::string& path);
// Points the current entry at path through the wide message or, for an older player,
// the 8-bit one. False, with nothing sent, when the player cannot take the name.
bool TellPlayerCurrentFile(const std::string& path);
// Where the player keeps its own settings (UTF-8): the wide answer, else the 8-bit one.
// Empty when the player does not say, or when its 8-bit answer lost characters to the
// code page and so names no folder.
std::string QueryPlayerSettingsFolder();
// The plug-ins' shared Plugin.ini: in the Plugins folder beside the player's own
// settings, or, for a player that does not say where those are, of its program folder
// (ProgramFolderSettingsFile).
std::string PlayerSettingsFile();

// Sets the player's window title, which passes through our own hook like the player's.
void SetPlayerTitle(const std::string& title);
// Restores the player's main window when it is minimized, else minimizes it.
void MinimizeOrRestorePlayer();
// Hands a message of the player's main window on to the player's own procedure (the
// one our hook replaced) and returns its result.
LRESULT PassToPlayer(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The first window of this thread whose title, read into a 23-character buffer, is the
// playlist editor's. Remembered in PlaylistEditorWindow, which keeps the last one found.
HWND FindPlaylistEditor();
// CmdRemoveDeadFiles to the playlist editor (found afresh).
void RemoveDeadPlaylistEntries();

}  // namespace vemo
