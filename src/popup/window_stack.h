// Tests of the window stacking order that the popups use to stay out of the way.
#pragma once

#include <windows.h>

namespace vemo {

// True when a visible window above `window` covers the whole primary screen
// (a full-screen game or video): popups are not shown then.
bool FullScreenWindowAbove(HWND window);

// True when `window` is visible, not minimised, and its rectangle holds the whole of
// its monitor. The desktop and the shell's own windows never count: they cover the
// monitor whenever nothing else is in front.
bool CoversItsMonitor(HWND window);

// True when no popup is to be shown over `popup`'s place: a full-screen window above
// it, a foreground window that covers its monitor whatever its z-order (a film or a
// game in full screen is seldom always-on-top), or the system reporting the user busy
// in a full-screen program or a presentation.
bool FullScreenInFront(HWND popup);

// False when any visible window above `window` overlaps its rectangle.
bool WindowUncovered(HWND window);

}  // namespace vemo
