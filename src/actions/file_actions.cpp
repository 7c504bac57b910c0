#include "actions/file_actions.h"

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "actions/file_texts.h"
#include "actions/information.h"
#include "audio/audio_texts.h"
#include "audio/id3v1.h"
#include "audio/id3v2.h"
#include "popup/popup_window.h"
#include "text/file_access.h"
#include "text/file_ops.h"
#include "text/text.h"
#include "text/unicode.h"
#include "win/module_state.h"
#include "win/outside_effects.h"
#include "win/player_link.h"

namespace vemo {

namespace {

// Two title changes follow the player's change of entry before the count is back at 0.
constexpr int8_t kCountAfterFileAction = -2;
// The stop of a rename changes the title once; the restart (play, pause, jump) up to
// three times.
constexpr int32_t kSkipForStop = -1;
constexpr int32_t kSkipForRestart = -3;
constexpr char kMP3Extension[] = ".mp3";

void ShowOutcome(const std::string& text, unsigned milliseconds) {
    gPopup.LiveRefresh = false;
    ShowPopup(text);
    ArmHideTimer(milliseconds);
}

bool FileListed(const std::string& path) { return ListedFileSize(path).has_value(); }

// The player lets go of its file: the next entry plays, or, with no other entry, it stops.
void MakePlayerReleaseFile() {
    SendCommand(QueryPlayer(QueryListLength) - 1 > 0 ? CmdNext : CmdStop);
}

void ClearReadOnly(const std::string& path) {
    const std::optional<uint32_t> attributes = FileAttributes(path);
    if (attributes && (*attributes & kAttrReadOnly)) SetAttributes(path, *attributes & ~kAttrReadOnly);
}

void RemoveEmptiedFoldersIfWanted(const std::string& path) {
    if (gSettings.OptRemoveFolder()) RemoveEmptiedFolders(path);
}

// Whether the folder holds nothing at all, hidden and system files included; false when
// it cannot be listed.
bool FolderIsEmpty(const std::string& folder) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(ToWide(folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool empty = true;
    do {
        const std::wstring_view name = found.cFileName;
        if (name != L"." && name != L"..") empty = false;
    } while (empty && FindNextFileW(search, &found));
    FindClose(search);
    return empty;
}

// A drive's root, a share's or a mounted volume's; when it cannot be told, taken to be
// one, so that nothing is sent to the bin on a guess.
bool IsVolumeRoot(const std::string& folder) {
    const std::wstring wideFolder = ToWide(folder);
    wchar_t root[MAX_PATH] = {};
    if (!GetVolumePathNameW(wideFolder.c_str(), root, MAX_PATH)) return true;
    std::wstring bare = root;
    while (!bare.empty() && bare.back() == L'\\') bare.pop_back();
    return CompareStringW(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, bare.c_str(), -1, wideFolder.c_str(), -1) ==
           CSTR_EQUAL;
}

// The shell's delete takes a folder with all it holds: only an empty one, never a
// drive's root, goes into the bin, so the walk stops where the plain removal would.
bool RecycleEmptyFolder(const std::string& folder) {
    return FolderIsEmpty(folder) && !IsVolumeRoot(folder) &&
           Effects().Recycle(gPlugin.PlayerWindow, folder) == RecycleResult::Done && !DirectoryExists(folder);
}

// The file a copy or move replaces goes into the bin; only a file confirmed gone lets
// the new one take its place.
bool RecycleReplaced(const std::string& target) {
    return Effects().Recycle(gPlugin.PlayerWindow, target) == RecycleResult::Done && !FileAttributes(target) &&
           IsNotFoundError(LastFileError());
}

// How a confirmed Win+Delete takes the file away.
enum class DeleteWay : uint8_t {
    None,       // declined where the deletion would be final, or refused: nothing at all happens
    Cancelled,  // declined at the prompt: only the folder walk, which stops at once
    Recycle,    // into the Recycle Bin, the emptied folders after it
    Final,      // deleted for good, as without the bin
};

bool Confirmed(const std::string& start, const std::string& path, const char* end) {
    return AskUser(gPlugin.PlayerWindow, (start + path + end).c_str(), kSureCaption, kDeleteQuestionFlags) == IDOK;
}

DeleteWay ChooseDeleteWay(const std::string& path) {
    const bool prompt = gSettings.OptPromptOnDeletion();
    if (!gSettings.OptRecycleBin()) {
        return !prompt || Confirmed(kDeleteQuestionStart, path, kDeleteQuestionEnd) ? DeleteWay::Final
                                                                                       : DeleteWay::Cancelled;
    }
    // Refused rather than taken for a drive without a bin, which would offer to delete
    // for good a file the user meant to keep in the bin.
    if (!ShellPathOf(path)) {
        AskUser(gPlugin.PlayerWindow, (kBinPathTooLongStart + path + kBinPathTooLongEnd).c_str(), texts::kErrorCaption,
                kTopmostErrorFlags);
        return DeleteWay::None;
    }
    if (Effects().HasRecycleBin(path)) {
        return !prompt || Confirmed(kRecycleQuestionStart, path, kRecycleQuestionEnd) ? DeleteWay::Recycle
                                                                                       : DeleteWay::Cancelled;
    }
    // The shell would delete for good without a word; the user chose the bin, so asks
    // even with the prompt off, and this one question stands for the prompt too.
    const std::string question = kNoBinQuestionStart + path + kNoBinQuestionEnd;
    return AskUser(gPlugin.PlayerWindow, question.c_str(), kSureCaption, kNoBinQuestionFlags) == IDYES ? DeleteWay::Final
                                                                                                       : DeleteWay::None;
}

// The destination folder and one separator, then the file's own name (a folder given
// with its separator, such as a drive root, gets no second one).
std::string TargetIn(const std::string& folder, const std::string& path) {
    std::string target = folder;
    if (target.empty() || target.back() != PathSeparator()) target += PathSeparator();
    return target + path.substr(path.find_last_of(PathSeparator()) + 1);
}

// What copy and move share before either changes a file: the destination and the
// source exist and are not one file. Nothing when the action ends here.
struct CopyMoveJob {
    std::string Source;
    std::string Target;
};

std::optional<CopyMoveJob> PrepareCopyOrMove() {
    if (!PlaylistHasEntries()) return std::nullopt;
    const std::optional<std::string> file = FileToActOn();
    if (!file) return std::nullopt;
    const std::string& path = *file;
    const std::string& folder = gSettings.DestinationFolder;
    if (!DirectoryExists(folder)) {
        AskUser(gPlugin.ConfigWindow, kNoDestination, kPluginCaption, kErrorFlags);
        return std::nullopt;
    }
    if (!FileListed(path)) {
        AskUser(gPlugin.PlayerWindow, kNoFileToMove, texts::kErrorCaption, kErrorFlags);
        return std::nullopt;
    }
    std::string target = TargetIn(folder, path);
    // One file under two names (another spelling, another case): copying or moving it
    // onto itself would destroy it.
    if (IsSameFile(path, target).value_or(false)) {
        ShowOutcome(kAlreadyThere, kCopyMovePopupMs);
        return std::nullopt;
    }
    gSongWatch.TitleChangeCount = kCountAfterFileAction;
    return CopyMoveJob{path, std::move(target)};
}

// How a file already at the target is taken away; nothing when the user keeps it.
// Asked of every target not known to be absent; the question says whether the old file
// can be had back, and Enter keeps it. Nothing is touched before the answer.
std::optional<MakeWay> ReplacementAllowed(const std::string& target) {
    if (!FileAttributes(target) && IsNotFoundError(LastFileError())) return MakeWay{nullptr};
    const bool toBin = gSettings.OptRecycleBin() && ShellPathOf(target) && Effects().HasRecycleBin(target);
    const std::string question = kOverwriteStart + target + (toBin ? kOverwriteToBin : kOverwriteForGood);
    if (AskUser(gPlugin.PlayerWindow, question.c_str(), kPluginCaption, kOverwriteFlags) != IDOK) return std::nullopt;
    return toBin ? RecycleReplaced : nullptr;
}

// The name the tag gives: "Artist - Title", or the artist alone. The ID3v2 tag decides
// when there is one; the ID3v1 tag is asked only without it.
struct TagName {
    bool HasTag = false;
    bool FromID3v1 = false;
    std::string Artist;
    std::string Title;
};

TagName NameFromTag(const std::string& path) {
    gPopup.LiveRefresh = false;  // as the tag test does
    if (HasTag(path, kTagID3v2, ReportFileError)) {
        if (!ReadCurrentID3v2(path)) return {true, false, {}, {}};
        return {true, false, gTrack.CurrentID3v2.Artist, gTrack.CurrentID3v2.Title};
    }
    if (HasTag(path, kTagID3v1)) {
        if (!ReadCurrentID3v1(path)) return {true, true, {}, {}};
        return {true, true, gTrack.CurrentID3v1.Artist, gTrack.CurrentID3v1.Title};
    }
    return {};
}

}  // namespace

PlaybackSnapshot TakePlaybackSnapshot() {
    return {QueryPlayer(QueryOutputTime, kOutputPositionMs), QueryPlayer(QueryPlayState)};
}

// Only a stop that happens is made silent: a skip armed for a title change that never
// comes would swallow the song popup of the user's next track.
void StopForRewrite(const PlaybackSnapshot& snapshot) {
    if (!IsPlayingOrPaused(snapshot.State)) return;
    gSongWatch.SongPopupSkip = kSkipForStop;
    SendCommand(CmdStop);
}

void RestorePlayback(const PlaybackSnapshot& snapshot) {
    if (!IsPlayingOrPaused(snapshot.State)) return;
    gSongWatch.SongPopupSkip = kSkipForRestart;
    SendCommand(CmdPlay);
    if (snapshot.State == kPlayStatePaused) SendCommand(CmdPause);
    QueryPlayer(JumpToTime, static_cast<WPARAM>(snapshot.PositionMs));
}

bool RenameCurrentFile(const std::string& oldPath, const std::string& newPath) {
    const PlaybackSnapshot snapshot = TakePlaybackSnapshot();
    StopForRewrite(snapshot);
    const bool renamed = RenameWithoutReplacing(oldPath, newPath);
    if (renamed) TellPlayerCurrentFile(newPath);
    // Also after a failed rename: the music the user was hearing goes on.
    RestorePlayback(snapshot);
    return renamed;
}

void ToggleReadOnly() {
    if (!PlaylistHasEntries()) return;
    const std::optional<std::string> file = FileToActOn();
    if (!file) return;
    const std::string& path = *file;
    const std::optional<uint32_t> attributes = FileAttributes(path);
    const bool wasReadOnly = attributes && (*attributes & kAttrReadOnly);
    uint32_t wanted = attributes ? (*attributes ^ kAttrReadOnly) : 0;
    if (wanted == 0) wanted = kAttrNormal;  // no bit left: the form the system asks for
    if (attributes && SetAttributes(path, wanted)) {
        ShowOutcome(kReadOnlyStart + path + kReadOnlyMiddle + (wasReadOnly ? kNowWritable : kNowReadOnly),
                    kReadOnlyPopupMs);
    } else {
        ShowOutcome(kAttributesFailed, kReadOnlyPopupMs);
    }
}

void DeleteCurrentFile() {
    if (!PlaylistHasEntries()) return;
    const std::optional<std::string> file = FileToActOn();
    if (!file) return;
    const std::string& path = *file;
    if (!FileListed(path)) {
        AskUser(gPlugin.PlayerWindow, kNoFileToRemove, texts::kErrorCaption, kErrorFlags);
        return;
    }
    const DeleteWay way = ChooseDeleteWay(path);
    if (way == DeleteWay::None) return;
    if (way != DeleteWay::Cancelled) {
        gSongWatch.TitleChangeCount = kCountAfterFileAction;
        MakePlayerReleaseFile();
        // One look at the attributes serves both the clearing and the putting back, so
        // that a read-only bit is never cleared without being restored.
        const std::optional<uint32_t> attributes = FileAttributes(path);
        if (attributes && (*attributes & kAttrReadOnly)) SetAttributes(path, *attributes & ~kAttrReadOnly);
        bool removed = false;
        bool declined = false;
        if (way == DeleteWay::Recycle) {
            const RecycleResult result = Effects().Recycle(gPlugin.PlayerWindow, path);
            removed = result == RecycleResult::Done;
            declined = result == RecycleResult::Declined;
        } else {
            removed = RemoveFile(path);
        }
        // Only a file confirmed gone counts as deleted: a look-up that fails for another
        // reason than its absence proves nothing, unless the deletion said it was done.
        const bool gone = !FileAttributes(path) && (removed || IsNotFoundError(LastFileError()));
        if (gone) {
            RemoveDeadPlaylistEntries();
        } else {
            // The file stays as it was, read-only bit included; No to the shell's own
            // warning was the user's choice, not an error.
            if (attributes) SetAttributes(path, *attributes);
            if (!declined) {
                AskUser(gPlugin.PlayerWindow, (kDeleteErrorStart + path + kDeleteErrorEnd).c_str(),
                        texts::kErrorCaption, kTopmostErrorFlags);
            }
        }
    }
    // Also after a cancel: the walk then stops at once at the folder still holding the file.
    if (way == DeleteWay::Recycle) {
        if (gSettings.OptRemoveFolder()) RemoveEmptiedFolders(path, RecycleEmptyFolder);
    } else {
        RemoveEmptiedFoldersIfWanted(path);
    }
}

void CopyCurrentFile() {
    const std::optional<CopyMoveJob> job = PrepareCopyOrMove();
    if (!job) return;
    const std::optional<MakeWay> makeWay = ReplacementAllowed(job->Target);
    if (!makeWay) return;
    ClearReadOnly(job->Source);
    const FileOpStatus status = CopyFileReplacing(job->Source, job->Target, *makeWay);
    ShowOutcome(status == FileOpStatus::Done         ? kFileCopied
                : status == FileOpStatus::TargetGone ? kCopyFailedOldInBin
                                                     : kCopyFailed,
                kCopyMovePopupMs);
}

void MoveCurrentFile() {
    const std::optional<CopyMoveJob> job = PrepareCopyOrMove();
    if (!job) return;
    if (const std::optional<MakeWay> makeWay = ReplacementAllowed(job->Target)) {
        ClearReadOnly(job->Source);
        MakePlayerReleaseFile();
        const FileOpStatus status = MoveFileReplacing(job->Source, job->Target, *makeWay);
        RemoveDeadPlaylistEntries();
        ShowOutcome(status == FileOpStatus::Done         ? kFileMoved
                    : status == FileOpStatus::SourceKept ? kMoveSourceKept
                    : status == FileOpStatus::TargetGone ? kMoveFailedOldInBin
                                                         : kMoveFailed,
                    kCopyMovePopupMs);
    }
    RemoveEmptiedFoldersIfWanted(job->Source);
}

void RenameAfterTag() {
    if (!PlaylistHasEntries()) return;
    const std::optional<std::string> file = FileToActOn();
    if (!file) return;
    const std::string& path = *file;
    if (!IsMP3Name(path)) {
        ShowOutcome(texts::kNotMP3, kRenamePopupMs);
        return;
    }
    const TagName tag = NameFromTag(path);
    if (!tag.HasTag) {
        ShowOutcome(texts::kNoID3Any, kRenamePopupMs);
        return;
    }
    // A tag without an artist names nothing; its title alone is not used.
    if (tag.Artist.empty()) {
        if (tag.FromID3v1) ArmHideTimer(kRenamePopupMs);
        return;
    }
    const std::string name = TrackFileName(tag.Artist, tag.Title);
    if (name.empty()) {
        ShowOutcome(kNoValidName, kRenamePopupMs);
        return;
    }
    const std::string newPath = FolderOf(path) + PathSeparator() + name;
    if (!FitsPathLimit(newPath)) {
        ShowOutcome(kNameTooLong, kRenamePopupMs);
        return;
    }
    // Asked before anything changes: after the rename it would be too late to keep the
    // entry from pointing at a name that is gone.
    if (!PlayerCanTakeFileName(newPath)) {
        ShowOutcome(kNameNotForPlayer, kRenamePopupMs);
        return;
    }
    ShowOutcome(RenameCurrentFile(path, newPath) ? kFileRenamed : kRenameFailed, kRenamePopupMs);
}

}  // namespace vemo
