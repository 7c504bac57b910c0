#include "actions/seek.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "actions/information.h"
#include "actions/action_texts.h"
#include "audio/mpeg.h"
#include "popup/popup_window.h"
#include "text/file_access.h"
#include "text/text.h"
#include "win/module_state.h"
#include "win/player_link.h"

namespace vemo {

namespace {

constexpr int64_t kSeekStepMs = 5000;
constexpr int64_t kMsPerSecond = 1000;
constexpr int64_t kSecondsPerMinute = 60;
constexpr int64_t kHundredthsPerSecond = 100;
constexpr int64_t kHundredthsPerMinute = 6000;
// Position in ms / (length in s x this) is the position in percent.
constexpr int64_t kMsPerPercentOfSecond = 10;
constexpr int64_t kFullLevel = 100;
constexpr UINT kStoppedPopupMs = 1500;
constexpr UINT kSeekPopupMs = 2000;

// "Stopped" is not drawn again while it is up; each press only restarts its time.
void ShowStopped() {
    const std::string shown = std::string(kLevelPad) + kStoppedText + kLevelPad;
    if (!(IsWindowVisible(gPlugin.MainPopup) && gPopup.CurrentPopupText == shown)) {
        gPopup.LiveRefresh = false;
        ShowPopup(kStoppedText);
    }
    ArmHideTimer(kStoppedPopupMs);
}

// "m:ss/M:SS" for a position in ms and a length in seconds.
std::string PositionText(int64_t positionMs, int64_t lengthSeconds) {
    const int64_t seconds = positionMs / kMsPerSecond;
    return NumToStr(false, seconds / kSecondsPerMinute) + kSeekColon + NumToStr(true, seconds % kSecondsPerMinute) +
           kSeekSlash + NumToStr(false, lengthSeconds / kSecondsPerMinute) + kSeekColon +
           NumToStr(true, lengthSeconds % kSecondsPerMinute);
}

// The position in percent of the length. A stream or an unknown length (0 or less)
// shows an empty bar; a position the player reports beyond the length, a full one.
uint8_t PositionLevel(int64_t positionMs, int64_t lengthSeconds) {
    if (lengthSeconds <= 0) return 0;
    const int64_t level = positionMs / (lengthSeconds * kMsPerPercentOfSecond);
    return static_cast<uint8_t>(std::clamp<int64_t>(level, 0, kFullLevel));
}

// The current entry's length from its own MPEG data, "M:SS", or "undefined" when the
// file is gone or gives no bit rate.
std::string LengthFromFile() {
    const std::string path = CurrentFile();
    if (path.empty() || !FileExists(path)) return kUnknownLength;
    const TMPEG& mpeg = gTrack.CurrentMPEG = AnalyzeMPEG(path, ReportFileError);
    if (mpeg.Bitrate == 0) return kUnknownLength;
    const int64_t duration = MPEGDuration(mpeg.AudioBytes, mpeg.Bitrate);
    return NumToStr(false, duration / kHundredthsPerMinute) + kSeekColon +
           NumToStr(true, (duration % kHundredthsPerMinute) / kHundredthsPerSecond);
}

void ShowSeekLevel(uint8_t level, const std::string& text) {
    gPopup.LiveRefresh = false;
    std::string suffix = kLevelPad;
    suffix += text;
    suffix += kLevelPad;
    ShowLevelPopup(level, kSeekPrefix, suffix);
    ArmHideTimer(kSeekPopupMs);
}

}  // namespace

void SeekBackward() {
    if (!IsPlayingOrPaused(QueryPlayer(QueryPlayState))) {
        ShowStopped();
        return;
    }
    const int64_t position = QueryPlayer(QueryOutputTime, kOutputPositionMs);
    uint8_t level = 0;
    std::string text;
    if (position - kSeekStepMs > 0) {
        const int64_t target = position - kSeekStepMs;
        const int64_t length = QueryPlayer(QueryOutputTime, kOutputLengthSeconds);
        text = PositionText(target, length);
        level = PositionLevel(target, length);
    } else {
        // The player may not know the length yet this close to the start.
        text = kSeekStartPosition;
        text += LengthFromFile();
    }
    SendCommand(CmdRewind5s);
    ShowSeekLevel(level, text);
}

void SeekForward() {
    if (!IsPlayingOrPaused(QueryPlayer(QueryPlayState))) {
        ShowStopped();
        return;
    }
    const int64_t position = QueryPlayer(QueryOutputTime, kOutputPositionMs);
    const int64_t length = QueryPlayer(QueryOutputTime, kOutputLengthSeconds);
    if (position + kSeekStepMs < length * kMsPerSecond) {
        const int64_t target = position + kSeekStepMs;
        ShowSeekLevel(PositionLevel(target, length), PositionText(target, length));
    }
    SendCommand(CmdForward5s);
}

}  // namespace vemo
