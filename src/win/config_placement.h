// Where the configuration window stands when it is shown: centred on the primary screen.
// Both the player's configuration call and the hotkey that toggles the window use it,
// so it lives below either of them.
#pragma once

#include <windows.h>

namespace vemo {

constexpr int kConfigWindowWidth = 464;
// Without the small caption, whose height the system decides.
// 26 pixels below the title for a row of controls of its own.
constexpr int kConfigWindowBaseHeight = 516;

// Top left corner that centres the window on a screen of the given size.
POINT ConfigWindowOrigin(int screenWidth, int screenHeight, int smallCaptionHeight);
// Centred on the primary screen, on top, shown and made the foreground window.
void ShowConfigWindowCentred();

}  // namespace vemo
