// Calls whose effects reach outside the player: the wave-output volume, the shell (with
// its Recycle Bin), the system's warning-beep setting, the modal questions to the user and the system version
// (which decides how the volume is set). Each is one replaceable function, so tests can
// run where there is no sound device and nobody to answer a message box. Every text and
// path they take or give is UTF-8; the system versions hand them to the wide calls.
#pragma once

#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <cstdint>
#include <optional>
#include <string>

namespace vemo {

// How a move into the Recycle Bin ended.
enum class RecycleResult : uint8_t {
    Done,
    Declined,     // the user answered No to the shell's own question: nothing changed
    Failed,
    PathTooLong,  // the shell takes no path this long: nothing was tried
};

// What the system says of the user's activity (its notification state); 0 where the
// system cannot tell.
constexpr int kUserStateUnknown = 0;
constexpr int kUserBusy = 2;              // a full-screen program that is not a game
constexpr int kUserRunningFullScreen = 3; // a full-screen game (Direct3D)
constexpr int kUserPresenting = 4;        // presentation settings switched on

struct OutsideEffects {
    MMRESULT (*GetWaveVolume)(UINT device, DWORD* volume);
    MMRESULT (*SetWaveVolume)(UINT device, DWORD volume);
    HINSTANCE (*ShellOpen)(HWND owner, const char* verb, const char* file, const char* parameters,
                           const char* directory, int show);
    void (*SetWarningBeep)(bool on);
    bool (*WarningBeep)();
    // Every message box of the plug-in; returns the button pressed (IDYES, IDOK...).
    int (*AskUser)(HWND owner, const char* text, const char* caption, UINT type);
    // In the form of GetVersion: bit 31 set on Windows 95/98/Me, major version in the
    // low byte.
    DWORD (*SystemVersion)();
    // The shell's folder browser, rooted at the desktop, file-system folders only; false
    // when the user cancelled or there is no shell allocator.
    bool (*BrowseForFolder)(std::string& folder);
    // Whether the drive that holds path keeps a Recycle Bin; where it does not, the
    // shell's delete with undo deletes for good without a word.
    bool (*HasRecycleBin)(const std::string& path);
    // The file or folder at path into the Recycle Bin, without the shell's questions,
    // progress or error boxes, save its warning that the bin cannot take it after all,
    // which owner then owns.
    RecycleResult (*Recycle)(HWND owner, const std::string& path);
    // The two system calls under the two above, so that tests see what they are given.
    UINT (*DriveType)(const wchar_t* root);
    int (*ShellFileOperation)(SHFILEOPSTRUCTW* operation);
    // The notification state; kUserStateUnknown where the system has none (before
    // Vista) or cannot tell.
    int (*UserNotificationState)();
};

// The functions in use; tests replace members and call ResetOutsideEffects afterwards.
OutsideEffects& Effects();
void ResetOutsideEffects();

// The full path the shell is to be handed for path: a relative one makes its delete
// ignore the undo flag. Nothing when it cannot be made or is too long for the shell
// (MAX_PATH with its ending zero).
std::optional<std::wstring> ShellPathOf(const std::string& path);

// Shorthand for the one place that shows message boxes.
inline int AskUser(HWND owner, const char* text, const char* caption, UINT type) {
    return Effects().AskUser(owner, text, caption, type);
}

}  // namespace vemo
