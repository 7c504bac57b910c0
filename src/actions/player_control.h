// Hotkey actions that drive the player.
#pragma once

#include "win/player_link.h"

namespace vemo {

// Sends a command that changes the track, marked so that the title change it causes
// shows the song popup for the short time, even when the song popup is otherwise off.
void SendTransportCommand(PlayerCommand command);

void PreviousTrack();
// Pause while playing, otherwise play.
void PlayPause();
void StopTrack();
void NextTrack();

// Two points up or down from the louder channel's level, set on both channels, with the
// new level shown for 2 s.
void VolumeUp();
void VolumeDown();

}  // namespace vemo
