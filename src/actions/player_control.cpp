#include "actions/player_control.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "actions/action_texts.h"
#include "popup/popup_texts.h"
#include "popup/popup_window.h"
#include "text/text.h"
#include "win/config_placement.h"
#include "win/module_state.h"
#include "win/outside_effects.h"
#include "win/player_link.h"

namespace vemo {

namespace {

// Two title changes follow a command of ours before the count reaches 0 again, so a
// single track change the user asked for is shown for the short time.
constexpr int8_t kCountAfterOwnCommand = -2;

// The wave-output volume: left channel in the low 16 bits, right in the high ones.
constexpr uint32_t kChannelMask = 0xFFFF;
constexpr int kRightChannelShift = 16;
constexpr uint64_t kChannelSteps = 65536;  // level x 100 / this = percent: level / 655.36
constexpr uint64_t kChannelMax = 65535;
constexpr uint64_t kPlayerVolumeMax = 255;  // SetVolume's scale
constexpr uint8_t kFullPercent = 100;
constexpr uint8_t kVolumeStep = 2;
constexpr UINT kVolumePopupMs = 2000;
constexpr UINT kSwitchPopupMs = 3000;

// The low byte of the equalizer's on/off item is its state; the new state is written
// as the old one with bit 0 flipped, within 7 bits.
constexpr uint8_t kEqStateFlip = 1;
constexpr uint8_t kEqStateMask = 127;

// GetVersion: bit 31 marks Windows 95/98/Me; the low byte is the major version. NT
// before 5 has no mixer-backed wave volume, so there the player sets it.
constexpr DWORD kNonNtBit = 0x80000000;
constexpr DWORD kMajorVersionMask = 0xFF;
constexpr DWORD kFirstMixerNtMajor = 5;

// numerator / denominator rounded to the nearest integer, halves to even. In integers,
// since factors such as 655.35 have no exact double and a level of 10 % lands exactly
// on a half.
uint64_t RoundedQuotient(uint64_t numerator, uint64_t denominator) {
    uint64_t quotient = numerator / denominator;
    const uint64_t twiceRemainder = (numerator % denominator) * 2;
    if (twiceRemainder > denominator || (twiceRemainder == denominator && quotient % 2 == 1)) ++quotient;
    return quotient;
}

// The louder channel in percent.
uint8_t CurrentVolumePercent() {
    DWORD volume = 0;  // stays silent when there is no device to ask
    Effects().GetWaveVolume(VolumeDevice(), &volume);
    const uint64_t left = volume & kChannelMask;
    const uint64_t right = (volume >> kRightChannelShift) & kChannelMask;
    const uint64_t percent = RoundedQuotient(std::max(left, right) * kFullPercent, kChannelSteps);
    return static_cast<uint8_t>(std::min<uint64_t>(percent, kFullPercent));
}

bool PlayerSetsVolume() {
    const DWORD version = Effects().SystemVersion();
    return (version & kNonNtBit) == 0 && (version & kMajorVersionMask) < kFirstMixerNtMajor;
}

void ChangeVolume(bool up) {
    gPopup.LiveRefresh = false;
    const uint8_t current = CurrentVolumePercent();
    const uint8_t percent = up ? static_cast<uint8_t>(std::min<int>(kFullPercent, current + kVolumeStep))
                               : static_cast<uint8_t>(std::max<int>(0, current - kVolumeStep));
    std::string suffix = kLevelPad;
    suffix += NumToStr(false, percent);
    suffix += kPercentSuffix;
    ShowLevelPopup(percent, kVolumePrefix, suffix);
    if (PlayerSetsVolume()) {
        QueryPlayer(SetVolume, static_cast<WPARAM>(RoundedQuotient(percent * kPlayerVolumeMax, kFullPercent)));
    } else {
        // One value for both channels: the balance is not kept.
        const uint64_t channel = std::min(RoundedQuotient(percent * kChannelMax, kFullPercent), kChannelMax);
        const auto level = static_cast<DWORD>(channel);
        Effects().SetWaveVolume(VolumeDevice(), level | (level << kRightChannelShift));
    }
    ArmHideTimer(kVolumePopupMs);
}

// A player switch with its query, its setting and the popups naming its two states.
struct PlayerSwitch {
    PlayerQuery Query;
    PlayerQuery Set;
    const char* OnText;
    const char* OffText;
};
constexpr PlayerSwitch kShuffleSwitch{QueryShuffle, SetShuffle, kShuffleOn, kShuffleOff};
constexpr PlayerSwitch kRepeatSwitch{QueryRepeat, SetRepeat, kRepeatOn, kRepeatOff};

// The popup goes up before the player is told, so it shows at once.
void SetSwitch(const PlayerSwitch& which, bool on) {
    gPopup.LiveRefresh = false;
    ShowPopup(on ? which.OnText : which.OffText);
    QueryPlayer(which.Set, on ? 1 : 0);
    ArmHideTimer(kSwitchPopupMs);
}

void ToggleSwitch(const PlayerSwitch& which) {
    SetSwitch(which, QueryPlayer(which.Query) != 1);
}

void OpenPlayerDialog(PlayerCommand command) {
    if (gPlugin.PlayerWindow) SetForegroundWindow(gPlugin.PlayerWindow);
    SendCommand(command);
}

// Where list order leads from position: one step on, round to the other end of the
// list from its edge. In 64 bits, as the player's answers may lie at the ends of its
// 32-bit range.
int64_t ListNeighbour(bool next, int64_t position, int64_t last) {
    if (next) return position == last ? 0 : position + 1;
    return position == 0 ? last : position - 1;
}

// A step past the ends of the player's 32-bit range is no entry: it must not reach the
// player wrapped round to the other end. False then, and nothing is sent.
bool MoveListPositionTo(int64_t position) {
    if (position < std::numeric_limits<int32_t>::min() || position > std::numeric_limits<int32_t>::max()) return false;
    QueryPlayer(SetListPosition, static_cast<WPARAM>(position));
    return true;
}

// The player's own title form for a stopped player, for the entry now current; the
// title change it causes brings the song popup for that entry.
void RetitleStoppedPlayer() {
    const int64_t number = int64_t{QueryPlayer(QueryListPosition)} + 1;
    const std::string title = QueryPlayerText(QueryEntryTitle, static_cast<WPARAM>(QueryPlayer(QueryListPosition)));
    SetPlayerTitle(NumToStr(false, number) + kTrackNumberSeparator + title + kPlayerTitleSuffix + kPlayerTitleStopped);
}

// With shuffle on, the player's own previous and next follow the shuffled order; these
// follow the list, keeping the play state. Without repeat they stop at the list's edge.
void MoveInListOrder(bool next) {
    if (QueryPlayer(QueryShuffle) != 1) {
        ForceSongPopupOnNextTitle();
        SendCommand(next ? CmdNext : CmdPrevious);
        return;
    }
    const int64_t last = int64_t{QueryPlayer(QueryListLength)} - 1;
    // An empty list has no entry to move to; its last position, -1, must not reach the
    // player as a list position. Nor must a negative length, however large.
    if (last < 0) return;
    ForceSongPopupOnNextTitle();
    const int64_t position = QueryPlayer(QueryListPosition);
    const int32_t state = QueryPlayer(QueryPlayState);
    const bool repeat = QueryPlayer(QueryRepeat) == 1;
    const bool atEdge = next ? (state == kPlayStatePaused ? position >= last : position == last) : position == 0;
    if (!repeat && atEdge) return;
    if (state == kPlayStatePlaying) {
        if (MoveListPositionTo(ListNeighbour(next, position, last))) SendCommand(CmdPlay);
    } else if (state == kPlayStatePaused) {
        // Resumed first: the player starts a new entry only from a running state.
        SendCommand(CmdPlay);
        if (MoveListPositionTo(ListNeighbour(next, QueryPlayer(QueryListPosition), last))) SendCommand(CmdPlay);
    } else {
        if (MoveListPositionTo(ListNeighbour(next, position, last))) RetitleStoppedPlayer();
    }
}

}  // namespace

void SendTransportCommand(PlayerCommand command) {
    gSongWatch.TitleChangeCount = kCountAfterOwnCommand;
    ForceSongPopupOnNextTitle();
    SendCommand(command);
}

void ForceSongPopupOnNextTitle() { gSongWatch.ForceSongPopup = true; }

void PreviousTrack() { SendTransportCommand(CmdPrevious); }

void PlayPause() { SendTransportCommand(QueryPlayer(QueryPlayState) == kPlayStatePlaying ? CmdPause : CmdPlay); }

void StopTrack() { SendTransportCommand(CmdStop); }

void NextTrack() { SendTransportCommand(CmdNext); }

void StopWithFadeout() { SendCommand(CmdStopFadeout); }

void StopAfterCurrent() { SendTransportCommand(CmdStopAfterCurrent); }

void VolumeUp() { ChangeVolume(true); }

void VolumeDown() { ChangeVolume(false); }

void ToggleShuffle() { ToggleSwitch(kShuffleSwitch); }

void ToggleRepeat() { ToggleSwitch(kRepeatSwitch); }

void ShuffleOn() { SetSwitch(kShuffleSwitch, true); }

void RepeatOn() { SetSwitch(kRepeatSwitch, true); }

// Unlike the other switches it leaves the live track display running.
void ToggleEqualizer() {
    const auto state = static_cast<uint8_t>(QueryPlayer(QueryEqData, kEqOnOffItem));
    ShowPopup(state == 0 ? kEqualizerOn : kEqualizerOff);
    QueryPlayer(SetEqData, static_cast<WPARAM>((state ^ kEqStateFlip) & kEqStateMask));
    ArmHideTimer(kSwitchPopupMs);
}

void MinimizeOrRestore() { MinimizeOrRestorePlayer(); }

void QuitPlayer() { SendCommand(CmdExit); }

void ToggleVisualization() { SendCommand(CmdVisualization); }

void OpenFileInfoBox() { OpenPlayerDialog(CmdFileInfoBox); }

void OpenPreferences() { OpenPlayerDialog(CmdPreferences); }

void OpenJumpToFile() { OpenPlayerDialog(CmdJumpToFile); }

void ToggleConfigWindow() {
    if (IsWindowVisible(gPlugin.ConfigWindow)) {
        ShowWindow(gPlugin.ConfigWindow, SW_HIDE);
    } else {
        ShowConfigWindowCentred();
    }
}

void PreviousInListOrder() { MoveInListOrder(false); }

void NextInListOrder() { MoveInListOrder(true); }

}  // namespace vemo
