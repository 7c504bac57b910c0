// Where the configuration window stands when it is shown: centred on the primary screen,
// at the size its DPI gives it. Both the player's configuration call and the hotkey that
// toggles the window use it, so it lives below either of them.
#pragma once

#include <windows.h>

namespace vemo {

// At 96 DPI.
constexpr int kConfigWindowWidth = 464;
// Without the small caption, whose height the system decides. The row below the
// controls' original 490 holds the Hotkeys button and one more option; the frame takes
// 6 of these rows, so 522 leaves the 22-row button whole.
constexpr int kConfigWindowBaseHeight = 522;

// Sent to the configuration window (and the hotkeys window) before it is shown: it makes
// what it lacks (its controls) and takes the size of its DPI.
constexpr UINT kPrepareWindowMessage = WM_APP + 1;

// The outer size of the configuration and the hotkeys window at dpi.
SIZE ConfigWindowSize(int dpi);
// Top left corner that centres a window of the given size on a screen of the given size.
POINT ConfigWindowOrigin(int screenWidth, int screenHeight, SIZE window);
// Prepared, centred on the primary screen, on top, shown and made the foreground window.
void ShowConfigWindowCentred();

}  // namespace vemo
