// Follows the player's title changes, which are its signal that a track started or
// changed state, and shows the song popup for them.
#pragma once

#include <windows.h>

namespace vemo {

// Called by the player-window hook for every WM_SETTEXT; passes the message on to the
// player's own procedure and returns its result.
LRESULT OnPlayerTitleChange(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace vemo
