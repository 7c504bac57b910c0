// Follows the player's title changes, which are its signal that a track started or
// changed state, and shows the song popup for them.
#pragma once

#include <windows.h>

#include <string>

namespace vemo {

// How long MainPopup stays after a title change: short for the first changes, long
// once they come in a run.
constexpr UINT kSongPopupShortMs = 3000;
constexpr UINT kSongPopupLongMs = 8000;

// Called by the player-window hook for every WM_SETTEXT; passes the message on to the
// player's own procedure and returns its result.
LRESULT OnPlayerTitleChange(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The current entry's title (with its number when "Track numbers" is on), its position
// and length while playing or paused, and the play state, as the live track display
// shows them.
std::string ComposeTrackDisplayText();

}  // namespace vemo
