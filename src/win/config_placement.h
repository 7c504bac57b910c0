// Where the configuration window stands when it is shown: centred on the primary screen.
// Both the player's configuration call and the hotkey that toggles the window use it,
// so it lives below either of them.
#pragma once

#include <windows.h>

namespace vemo {

constexpr int kConfigWindowWidth = 464;
// Without the small caption, whose height the system decides. The row below the
// controls' original 490 holds the Hotkeys button and one more option; the frame takes
// 6 of these rows, so 522 leaves the 22-row button whole.
constexpr int kConfigWindowBaseHeight = 522;

// Top left corner that centres the window on a screen of the given size.
POINT ConfigWindowOrigin(int screenWidth, int screenHeight, int smallCaptionHeight);
// Centred on the primary screen, on top, shown and made the foreground window.
void ShowConfigWindowCentred();

}  // namespace vemo
