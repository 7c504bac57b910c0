// Texts of the player-control and seek actions, exactly as the user sees them.
#pragma once

namespace vemo {

// Prefix of the volume display; the suffix is kLevelPad, the percentage and kPercentSuffix.
constexpr char kVolumePrefix[] = " Volume ";
constexpr char kPercentSuffix[] = "% ";

// Prefix of the seek display; the suffix is "m:ss/M:SS" between two kLevelPad.
constexpr char kSeekPrefix[] = " Seek to ";
constexpr char kLevelPad[] = " ";
constexpr char kSeekColon[] = ":";
constexpr char kSeekSlash[] = "/";
// The position shown within the first five seconds.
constexpr char kSeekStartPosition[] = "0:00/";
// The length of a file whose length cannot be worked out.
constexpr char kUnknownLength[] = "undefined";

// Shown instead of seeking when nothing plays.
constexpr char kStoppedText[] = "Stopped";

// The switches, each named in its new state.
constexpr char kShuffleOn[] = "Shuffle on";
constexpr char kShuffleOff[] = "Shuffle off";
constexpr char kRepeatOn[] = "Repeat on";
constexpr char kRepeatOff[] = "Repeat off";
constexpr char kEqualizerOn[] = "Equalizer is on";
constexpr char kEqualizerOff[] = "Equalizer is off";

// The player's own title for a stopped player: "N. " + the entry's title + these two.
constexpr char kPlayerTitleSuffix[] = " - Quavix";
constexpr char kPlayerTitleStopped[] = " [Stopped]";

}  // namespace vemo
