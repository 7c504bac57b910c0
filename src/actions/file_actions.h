// Hotkey actions that change the current entry's file on disk: its read-only bit,
// deletion (with the folders it empties), copy and move into the destination folder,
// and a rename after its tag. Where the player holds the file, it is made to let go
// first; every failure is said, never shown as success.
#pragma once

#include <cstdint>
#include <string>

namespace vemo {

// How long each outcome stays up.
constexpr unsigned kReadOnlyPopupMs = 3000;
constexpr unsigned kCopyMovePopupMs = 1000;
constexpr unsigned kRenamePopupMs = 2000;

void ToggleReadOnly();
void DeleteCurrentFile();
void CopyCurrentFile();
void MoveCurrentFile();
void RenameAfterTag();

// Where the player was before a file of it is rewritten, and the means to put it back
// there. SongPopupSkip keeps the title changes of the stop and the restart silent.
struct PlaybackSnapshot {
    int32_t PositionMs = 0;
    int32_t State = 0;
};
PlaybackSnapshot TakePlaybackSnapshot();
// Stops the player (so that it closes the file) when it plays or is paused.
void StopForRewrite(const PlaybackSnapshot& snapshot);
// Playing or paused again at the former position; a stopped player stays stopped.
void RestorePlayback(const PlaybackSnapshot& snapshot);

// Renames the file the player plays without losing its place: stop, rename, point the
// entry at the new name, play (and pause) again at the old position. A rename that
// fails leaves the entry on the old name and playback as it was. False when it failed.
bool RenameCurrentFile(const std::string& oldPath, const std::string& newPath);

}  // namespace vemo
