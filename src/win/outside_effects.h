// Calls whose effects reach outside the player: the wave-output volume, the shell (with
// its Recycle Bin), the system's warning-beep setting, the modal questions to the user and the system version
// (which decides how the volume is set). Each is one replaceable function, so tests can
// run where there is no sound device and nobody to answer a message box. Every text and
// path they take or give is UTF-8; the system versions hand them to the wide calls.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <string>

namespace vemo {

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
    // progress or error boxes; false when the shell reports a failure or an abort.
    bool (*Recycle)(const std::string& path);
};

// The functions in use; tests replace members and call ResetOutsideEffects afterwards.
OutsideEffects& Effects();
void ResetOutsideEffects();

// Shorthand for the one place that shows message boxes.
inline int AskUser(HWND owner, const char* text, const char* caption, UINT type) {
    return Effects().AskUser(owner, text, caption, type);
}

}  // namespace vemo
