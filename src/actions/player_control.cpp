#include "actions/player_control.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "actions/level_texts.h"
#include "popup/popup_window.h"
#include "text/text.h"
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
    Effects().GetWaveVolume(gPlugin.VolumeDeviceId, &volume);
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
        Effects().SetWaveVolume(gPlugin.VolumeDeviceId, level | (level << kRightChannelShift));
    }
    ArmHideTimer(kVolumePopupMs);
}

}  // namespace

void SendTransportCommand(PlayerCommand command) {
    gSongWatch.TitleChangeCount = kCountAfterOwnCommand;
    gSongWatch.ForceSongPopup = true;
    SendCommand(command);
}

void PreviousTrack() { SendTransportCommand(CmdPrevious); }

void PlayPause() { SendTransportCommand(QueryPlayer(QueryPlayState) == kPlayStatePlaying ? CmdPause : CmdPlay); }

void StopTrack() { SendTransportCommand(CmdStop); }

void NextTrack() { SendTransportCommand(CmdNext); }

void VolumeUp() { ChangeVolume(true); }

void VolumeDown() { ChangeVolume(false); }

}  // namespace vemo
