#include "actions/player_control.h"

#include "plugin/player_link.h"
#include "plugin/plugin_state.h"

namespace vemo {

namespace {

// Two title changes follow a command of ours before the count reaches 0 again, so a
// single track change the user asked for is shown for the short time.
constexpr int8_t kCountAfterOwnCommand = -2;

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

}  // namespace vemo
