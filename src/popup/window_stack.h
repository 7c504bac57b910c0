// Tests of the window stacking order that the popups use to stay out of the way.
#pragma once

#include <windows.h>

namespace vemo {

// True when a visible window above `window` covers the whole primary screen
// (a full-screen game or video): popups are not shown then.
bool FullScreenWindowAbove(HWND window);

// False when any visible window above `window` overlaps its rectangle.
bool WindowUncovered(HWND window);

}  // namespace vemo
