// Hotkey actions that drive the player: transport, volume, the shuffle, repeat and
// equalizer switches, the player's window and its dialogs.
#pragma once

#include "win/player_link.h"

namespace vemo {

// Sends a command that changes the track, marked so that the title change it causes
// shows the song popup for the short time, even when the song popup is otherwise off.
void SendTransportCommand(PlayerCommand command);
// Only the mark that makes the next title change show the song popup.
void ForceSongPopupOnNextTitle();

void PreviousTrack();
// Pause while playing, otherwise play.
void PlayPause();
void StopTrack();
void NextTrack();
void StopWithFadeout();
void StopAfterCurrent();

// Two points up or down from the louder channel's level, set on both channels, with the
// new level shown for 2 s.
void VolumeUp();
void VolumeDown();

// The switches: the popup names the new state for 3 s.
void ToggleShuffle();
void ToggleRepeat();
void ShuffleOn();
void RepeatOn();
void ToggleEqualizer();

// The player's window and functions.
void MinimizeOrRestore();
void QuitPlayer();
void ToggleVisualization();
// These bring the player to the front first, so the dialog opens where the user looks.
void OpenFileInfoBox();
void OpenPreferences();
void OpenJumpToFile();
// The configuration window: shown centred when hidden, hidden when shown.
void ToggleConfigWindow();

// Previous / next entry in list order while shuffle is on (plain previous / next
// otherwise), playing, paused or stopped as the player was.
void PreviousInListOrder();
void NextInListOrder();

}  // namespace vemo
