#include "actions/information.h"

#include <cstdint>
#include <optional>

#include "actions/file_texts.h"
#include "audio/audio_texts.h"
#include "audio/id3v1.h"
#include "audio/id3v2.h"
#include "audio/info_text.h"
#include "audio/mpeg.h"
#include "popup/popup_window.h"
#include "popup/track_watcher.h"
#include "text/file_access.h"
#include "win/module_state.h"
#include "win/outside_effects.h"
#include "win/player_link.h"

namespace vemo {

namespace {

constexpr char kInfoLineSeparator = '\r';

// Whether an information action of kind must draw, or whether the same information of
// the same file is up already (then the hide timer its caller restarted keeps it up
// longer). Another file counts as other information: without that, a second press
// after the track changed would keep the previous file's facts up under the new one.
bool InfoPopupNeedsDrawing(InfoKind kind, const std::string& path) {
    PopupState& p = gPopup;
    if (p.InfoPopupKind != kind || p.InfoPopupFile != path) p.InfoPopupStale = true;
    if (!p.InfoPopupStale && IsWindowVisible(gPlugin.InfoPopup)) return false;
    p.InfoPopupStale = false;
    return true;
}

// Shows info unless the box already holds it, and records what the box now stands for.
void ShowInformation(const InfoText& info, const std::string& path) {
    PopupState& p = gPopup;
    const bool alreadyUp = IsWindowVisible(gPlugin.InfoPopup) && p.InfoPopupKind == info.kind &&
                           info.body == p.LastInfoBody && info.caption == p.LastInfoTitle;
    if (!alreadyUp) ShowMultiLinePopup(info.body, info.caption, kInfoLineSeparator);
    p.InfoPopupKind = info.kind;
    p.InfoPopupFile = path;
}

void HideInfoPopupNow() {
    if (IsWindowVisible(gPlugin.InfoPopup)) SendMessageA(gPlugin.MainPopup, WM_TIMER, kTimerHideInfoPopup, 0);
}

std::optional<InfoText> ID3v1Text(const std::string& path) {
    if (!ReadCurrentID3v1(path)) return std::nullopt;
    return TagInfoText(gTrack.CurrentID3v1);
}

std::optional<InfoText> ID3v2Text(const std::string& path) {
    if (!ReadCurrentID3v2(path)) return std::nullopt;
    return TagInfoText(gTrack.CurrentID3v2);
}

InfoText MissingTagText(InfoKind kind, const char* text) { return InfoText{kind, false, "", text}; }

// The tag actions answer a file of another kind in MainPopup; nothing is opened.
void ShowNotMP3() { ShowPopup(texts::kNotMP3); }

}  // namespace

void ReportFileError(const std::string& message) {
    AskUser(gPlugin.PlayerWindow, message.c_str(), texts::kErrorCaption, MB_OK | MB_ICONSTOP);
}

bool ReadCurrentID3v1(const std::string& path) {
    std::optional<TID3v1Tag> tag = ReadID3v1(path);
    if (!tag) return false;
    gTrack.CurrentID3v1 = std::move(*tag);
    return true;
}

bool ReadCurrentID3v2(const std::string& path) {
    std::optional<TID3v2Tag> tag = ReadID3v2(path);
    if (!tag) {
        ReportFileError(texts::kCannotOpen);
        return false;
    }
    gTrack.CurrentID3v2 = std::move(*tag);
    return true;
}

bool PlaylistHasEntries() { return QueryPlayer(QueryListLength) > 0; }

std::string CurrentFile() {
    return QueryPlayerText(QueryEntryFile, static_cast<WPARAM>(QueryPlayer(QueryListPosition)));
}

std::optional<std::string> FileToActOn() {
    PlayerText file = QueryEntryText(QueryEntryFile, static_cast<WPARAM>(QueryPlayer(QueryListPosition)));
    if (!file.Whole) {
        AskUser(gPlugin.PlayerWindow, kNameNotWhole, texts::kErrorCaption, kErrorFlags);
        return std::nullopt;
    }
    return std::move(file.Text);
}

void ShowFileInfo() {
    if (!PlaylistHasEntries()) return;
    const std::optional<std::string> file = FileToActOn();
    if (!file) return;
    const std::string& path = *file;
    gPopup.HintArmed = false;
    ArmInfoHideTimer(kFileInfoMs);
    if (!InfoPopupNeedsDrawing(InfoKind::FileInfo, path)) return;
    gPopup.LiveRefresh = false;
    gPopup.InfoPopupKind = InfoKind::None;

    if (const std::optional<int64_t> size = ListedFileSize(path)) {
        // A record of another file never stands in for this one: a failed open or a
        // file of another kind leaves only zeros and this file's size in it.
        const bool mp3 = IsMP3Name(path);
        gTrack.CurrentMPEG = mp3 ? AnalyzeMPEG(path, ReportFileError) : TMPEG{};
        gTrack.CurrentMPEG.FileSize = *size;
        const int64_t playerLength = mp3 ? 0 : QueryPlayer(QueryOutputTime, kOutputLengthSeconds);
        ShowInformation(FileInfoText(path, *size, mp3 ? &gTrack.CurrentMPEG : nullptr, playerLength), path);
        return;
    }
    // Nothing to show for a file that is gone, and nothing of another file may stay up
    // under this key for the time just restarted.
    HideInfoPopupNow();
    gPopup.InfoPopupKind = InfoKind::FileInfo;
    gPopup.InfoPopupFile = path;
}

void ShowTrackInfo() {
    if (!PlaylistHasEntries()) return;
    gPopup.LiveRefresh = true;
    gPopup.TrackDisplayText = ComposeTrackDisplayText();
    if (!LiveTrackDisplayShown()) ShowPopup(gPopup.TrackDisplayText);
    ArmHideTimer(kTrackInfoMs);
}

void ShowID3v1Info() {
    if (!PlaylistHasEntries()) return;
    const std::optional<std::string> file = FileToActOn();
    if (!file) return;
    const std::string& path = *file;
    gPopup.LiveRefresh = false;
    if (IsMP3Name(path)) {
        gPopup.HintArmed = false;
        ArmInfoHideTimer(kID3v1InfoMs);
        StartTimer(kID3v1HintTimer, kID3v1HintMs);
        if (InfoPopupNeedsDrawing(InfoKind::ID3v1, path)) {
            // The ID3v1 test and read are quiet about a file they cannot open: "no tag" follows.
            const std::optional<InfoText> info = HasTag(path, kTagID3v1) ? ID3v1Text(path) : std::nullopt;
            ShowInformation(info.value_or(MissingTagText(InfoKind::ID3v1, texts::kNoID3v1)), path);
        }
    } else {
        ShowNotMP3();
    }
    ArmHideTimer(kTagActionMainMs);
}

void ShowID3v2Info() {
    if (!PlaylistHasEntries()) return;
    const std::optional<std::string> file = FileToActOn();
    if (!file) return;
    const std::string& path = *file;
    gPopup.LiveRefresh = false;
    if (IsMP3Name(path)) {
        gPopup.HintArmed = false;
        ArmInfoHideTimer(kID3v2InfoMs);
        if (InfoPopupNeedsDrawing(InfoKind::ID3v2, path)) {
            const std::optional<InfoText> info = HasTag(path, kTagID3v2, ReportFileError) ? ID3v2Text(path) : std::nullopt;
            ShowInformation(info.value_or(MissingTagText(InfoKind::ID3v2, texts::kNoID3v2)), path);
        }
    } else {
        ShowNotMP3();
    }
    ArmHideTimer(kTagActionMainMs);
}

void ShowID3AnyInfo() {
    if (!PlaylistHasEntries()) return;
    const std::optional<std::string> file = FileToActOn();
    if (!file) return;
    const std::string& path = *file;
    gPopup.LiveRefresh = false;
    if (IsMP3Name(path)) {
        gPopup.HintArmed = false;
        // The kind, and with it the time, depends on the tag found. A tag that cannot be
        // read counts as none: the next test follows. True when the tag's text is up.
        auto showTag = [&path](InfoKind kind, UINT hideMs, std::optional<InfoText> (*text)(const std::string&)) {
            ArmInfoHideTimer(hideMs);
            if (!InfoPopupNeedsDrawing(kind, path)) return true;
            const std::optional<InfoText> info = text(path);
            if (info) ShowInformation(*info, path);
            return info.has_value();
        };
        const bool tagShown =
            (HasTag(path, kTagID3v2, ReportFileError) && showTag(InfoKind::ID3v2, kID3v2InfoMs, ID3v2Text)) ||
            (HasTag(path, kTagID3v1) && showTag(InfoKind::ID3v1, kID3v1InfoMs, ID3v1Text));
        if (!tagShown) {
            ArmInfoHideTimer(kNoTagInfoMs);
            if (InfoPopupNeedsDrawing(InfoKind::None, path)) {
                ShowInformation(MissingTagText(InfoKind::None, texts::kNoID3Any), path);
            }
        }
    } else {
        ShowNotMP3();
    }
    ArmHideTimer(kTagActionMainMs);
}

}  // namespace vemo
