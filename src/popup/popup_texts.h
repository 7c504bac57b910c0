// Texts of the popups and of the live track display, exactly as the user sees them.
#pragma once

namespace vemo {

// Every one-line popup and every line of a multi-line popup stands between one blank
// on each side.
constexpr char kPopupPad[] = " ";

// The level bar: black squares for the level reached, white ones for the rest.
constexpr wchar_t kLevelSquareFull = 0x25A0;
constexpr wchar_t kLevelSquareEmpty = 0x25A1;

// Between the entry number and the title, when "Track numbers" is on.
constexpr char kTrackNumberSeparator[] = ". ";

// The live track display: " (m:ss/M:SS)" while playing or paused, then the state.
constexpr char kTimeOpen[] = " (";
constexpr char kTimeColon[] = ":";
constexpr char kTimeSlash[] = "/";
constexpr char kTimeClose[] = ")";
constexpr char kStatePaused[] = " [Paused]";
constexpr char kStateStopped[] = " [Stopped]";

}  // namespace vemo
