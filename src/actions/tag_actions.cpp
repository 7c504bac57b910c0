#include "actions/tag_actions.h"

#include <windows.h>

#include <optional>
#include <string>

#include "actions/file_actions.h"
#include "actions/file_texts.h"
#include "actions/information.h"
#include "audio/audio_texts.h"
#include "audio/tag_writer.h"
#include "popup/popup_window.h"
#include "text/text.h"
#include "win/module_state.h"
#include "win/outside_effects.h"
#include "win/player_link.h"

namespace vemo {

namespace {

void ShowTagOutcome(const std::string& text) {
    ShowPopup(text);
    ArmHideTimer(kTagPopupMs);
}

}  // namespace

void MakeTagFromFileName() {
    if (!PlaylistHasEntries()) return;
    const std::optional<std::string> file = FileToActOn();
    if (!file) return;
    const std::string& path = *file;
    if (!IsMP3Name(path)) {
        ShowTagOutcome(texts::kNotMP3);
        return;
    }
    gPopup.LiveRefresh = false;  // as the tag test does
    const PlaybackSnapshot snapshot = TakePlaybackSnapshot();
    StopForRewrite(snapshot);
    // A stopped player is told again: it must not hold the file in any state.
    if (!IsPlayingOrPaused(snapshot.State)) SendCommand(CmdStop);
    const TagWriteResult result = WriteTagFromFileName(path);
    if (result.Status == TagWriteStatus::UnknownVersion) {
        AskUser(gPlugin.PlayerWindow, result.Text.c_str(), kTagCaption, kTagVersionFlags);
    }
    // Whatever came of it, the music goes on where it was.
    RestorePlayback(snapshot);
    if (result.Status != TagWriteStatus::UnknownVersion) ShowTagOutcome(result.Text);
}

}  // namespace vemo
