// Hotkey actions that move the playing position by 5 seconds and show where it now
// stands. The stored key names read the other way round: "SeekFwd" rewinds and
// "SeekBkw" fast-forwards.
#pragma once

namespace vemo {

// "SeekFwd": back 5 s. Within the first 5 s the display shows 0:00 and the length
// worked out from the file itself, since the player's own length may not be known yet.
void SeekBackward();
// "SeekBkw": forward 5 s; nothing is shown when less than 5 s are left.
void SeekForward();

}  // namespace vemo
