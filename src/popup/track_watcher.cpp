#include "popup/track_watcher.h"

#include <cstdint>
#include <limits>

#include "popup/popup_texts.h"
#include "popup/popup_window.h"
#include "text/text.h"
#include "win/module_state.h"
#include "win/player_link.h"

namespace vemo {

namespace {

// From this many title changes in a row on, the song popup stays the long time.
constexpr int8_t kLongDisplayCount = 3;

constexpr int32_t kMsPerSecond = 1000;
constexpr int32_t kSecondsPerMinute = 60;

// The entry's title, led by its 1-based number when "Track numbers" is on.
std::string EntryTitleText() {
    const int32_t position = QueryPlayer(QueryListPosition);
    std::string title = QueryPlayerText(QueryEntryTitle, static_cast<WPARAM>(position));
    if (!gSettings.OptTrackNumbers()) return title;
    return NumToStr(false, int64_t{position} + 1) + kTrackNumberSeparator + title;
}

void ShowSongPopup() {
    SongWatchState& s = gSongWatch;
    s.SongTitleText = EntryTitleText();
    if (gSettings.OptDisabled()) return;
    // Title changes that a rename of the playing file causes stay silent.
    if (s.SongPopupSkip < 0) {
        ++s.SongPopupSkip;
        return;
    }
    ShowPopup(s.SongTitleText);
}

}  // namespace

LRESULT OnPlayerTitleChange(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    SongWatchState& s = gSongWatch;
    // Counts up and stays at the top rather than wrapping into a short display time.
    if (s.TitleChangeCount < std::numeric_limits<int8_t>::max()) ++s.TitleChangeCount;
    // The live track display stays; it shows the new entry at its next refresh.
    if (!LiveTrackDisplayShown()) {
        gPopup.LiveRefresh = false;
        if (gSettings.OptVemoOnSongStart() || s.ForceSongPopup) ShowSongPopup();
    }
    // Also when nothing was shown: this sets the time left of whatever is up.
    ArmHideTimer(s.TitleChangeCount >= kLongDisplayCount ? kSongPopupLongMs : kSongPopupShortMs);
    s.ForceSongPopup = false;
    return PassToPlayer(window, message, wParam, lParam);
}

std::string ComposeTrackDisplayText() {
    std::string text = EntryTitleText();
    if (IsPlayingOrPaused(QueryPlayer(QueryPlayState))) {
        const int32_t positionSeconds = QueryPlayer(QueryOutputTime, kOutputPositionMs) / kMsPerSecond;
        const int32_t lengthSeconds = QueryPlayer(QueryOutputTime, kOutputLengthSeconds);
        text += kTimeOpen + NumToStr(false, positionSeconds / kSecondsPerMinute) + kTimeColon +
                NumToStr(true, positionSeconds % kSecondsPerMinute) + kTimeSlash +
                NumToStr(false, lengthSeconds / kSecondsPerMinute) + kTimeColon +
                NumToStr(true, lengthSeconds % kSecondsPerMinute) + kTimeClose;
    }
    // Asked again: the state may have changed while the times were asked.
    const int32_t state = QueryPlayer(QueryPlayState);
    if (state == kPlayStatePaused) {
        text += kStatePaused;
    } else if (state != kPlayStatePlaying) {
        text += kStateStopped;
    }
    return text;
}

}  // namespace vemo
