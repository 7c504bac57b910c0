// The previous/next button in the notification area. It belongs to ConfigWindow, whose
// procedure receives its clicks and the taskbar's restart and hands them to the
// handlers below.
#pragma once

#include <windows.h>

namespace vemo {

// How the button reports mouse messages to ConfigWindow (lParam: the mouse message).
constexpr UINT kTrayIconMessage = WM_USER + 1;

// Fills the icon record once, after the settings are read and ConfigWindow exists; the
// picture is kept until quit.
void PrepareTrayIcon();
// Shows the button; nothing when it is shown already.
void AddTrayIcon();
// The same once the player's message loop runs again: the shell's answer takes several
// milliseconds, which the player's start need not wait for. The button counts as shown
// from now; taking it away before then means it never comes.
void AddTrayIconSoon();
// For kTrayAddMessage at ConfigWindow.
void OnTrayAddDue();
constexpr UINT kTrayAddMessage = WM_APP + 2;
// Takes the button away when it is shown, whoever added it, and does nothing otherwise,
// so it may be called without knowing.
void RemoveTrayIcon();
// Shown, or to be shown by AddTrayIconSoon.
bool TrayIconShown();
// At quit: the button taken away and its picture destroyed. Left to the module's static
// destructors, the picture would go under the loader's lock at unload.
void ReleaseTrayIcon();

// The message the shell sends every top-level window when the taskbar starts (again,
// after a crash): every tray icon is gone then. Registered on the first call.
UINT TaskbarCreatedMessage();
// For TaskbarCreatedMessage() at ConfigWindow: puts the button back when it is shown.
void OnTaskbarCreated();
// For kTrayIconMessage at ConfigWindow: left button up plays the previous track, right
// button up the next, as if by hotkey; other mouse messages do nothing.
void OnTrayNotify(LPARAM mouseMessage);

// The button's picture from a module: its second icon group, at the small-icon size of
// dpi (16 pixels at 96, 20 at 120, 24 at 144, 32 at 192). Null when the module has none
// (the test program, which carries no icons).
HICON LoadTrayPicture(HMODULE module, int dpi);

// The picture again at the DPI of ConfigWindow, and the shown button given it: for
// ConfigWindow's WM_DPICHANGED. The picture shown stays when none can be loaded.
void RefreshTrayPicture();
// The same from the given module (tests: the test program carries no icons).
void RefreshTrayPictureFrom(HMODULE module);

}  // namespace vemo
