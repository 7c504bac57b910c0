// The stand-in player's own state: playlist, transport, clock, volume, equalizer and
// switches, and the answers to the numbered commands and queries a plug-in sends.
// Nothing here knows about windows, so the behaviour can be checked without a screen;
// the window layer turns messages into calls and shows what changed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "text/file_access.h"

namespace vemo::standin {

// The player's numbers, written down here independently of the plug-in's own table so
// that a wrong number on either side shows up as a failure instead of agreeing.
namespace cmd {
constexpr int kExit = 40001;
constexpr int kPreferences = 40012;
constexpr int kPrevious = 40044;
constexpr int kPlay = 40045;
constexpr int kPause = 40046;
constexpr int kStop = 40047;
constexpr int kNext = 40048;
constexpr int kRewind5s = 40144;
constexpr int kStopFadeout = 40147;
constexpr int kForward5s = 40148;
constexpr int kStopAfterCurrent = 40157;
constexpr int kFileInfoBox = 40188;
constexpr int kVisualization = 40192;
constexpr int kJumpToFile = 40194;
constexpr int kRemoveDeadFiles = 40222;  // understood by the playlist editor window
}  // namespace cmd

namespace query {
constexpr int kVersion = 0;
constexpr int kPlayState = 104;
constexpr int kOutputTime = 105;
constexpr int kJumpToTime = 106;
constexpr int kSetListPosition = 121;
constexpr int kSetVolume = 122;
constexpr int kListLength = 124;
constexpr int kListPosition = 125;
constexpr int kEqData = 127;
constexpr int kSetEqData = 128;
constexpr int kEntryFile = 211;
constexpr int kEntryTitle = 212;
// The wide twins: same index, a UTF-16 answer (or argument).
constexpr int kEntryTitleWide = 213;
constexpr int kEntryFileWide = 214;
constexpr int kChangeCurrentFile = 245;
constexpr int kChangeCurrentFileWide = 1245;
// Where the player keeps its own settings: 8-bit and wide.
constexpr int kSettingsFolder = 335;
constexpr int kSettingsFolderWide = 1335;
constexpr int kShuffle = 250;
constexpr int kRepeat = 251;
constexpr int kSetShuffle = 252;
constexpr int kSetRepeat = 253;
}  // namespace query

enum class PlayState : int { Stopped = 0, Playing = 1, Paused = 3 };

// Which entry text queries the player answers. A current player answers the wide ones,
// and the 8-bit ones in its code page; an older one knows only the 8-bit ones, where it
// puts "?" for a character its code page lacks, or gives a file's short 8.3 name.
enum class TextAnswers { Current, OlderLossy, OlderShortNames };

constexpr int kDefaultVersion = 0x5123;
constexpr const char* kPlayerName = "Quavix";
constexpr int64_t kSeekStepMs = 5000;
constexpr int64_t kFadeOutMs = 1500;
constexpr int kMaxVolume = 255;
// Equalizer items: 0..9 bands, 10 preamp, 11 on/off, 12 autoload.
constexpr size_t kEqItemCount = 13;
constexpr size_t kEqOnOffItem = 11;
constexpr int kEqBandMiddle = 31;
// The value of SetVolume's argument that asks for the volume instead of setting it.
constexpr intptr_t kVolumeQueryArgument = -666;

struct Entry {
    std::string path;   // full path, as given, UTF-8
    std::string title;  // "Artist - Title" from the tag, else the file name; UTF-8
    int64_t lengthMs = -1;  // -1: unknown (such an entry plays until stopped)
};

// Reads the title and length of a file; replaceable so that tests need no files.
using FactsReader = std::function<Entry(const std::string& path)>;
// The short 8.3 form of an existing file's path (UTF-8); the path itself without one.
using ShortNamer = std::function<std::string(const std::string& path)>;

class PlayerModel {
public:
    explicit PlayerModel(FactsReader reader, int version = kDefaultVersion);
    // How the entry text queries are answered; shortName serves OlderShortNames.
    void AnswerTexts(TextAnswers answers, ShortNamer shortName = {});
    // The folder a current player names when asked where its settings are (UTF-8); empty,
    // or an older player, answers 0, as a player that keeps them in its program folder.
    void KeepSettingsIn(std::string folder) { settingsFolder_ = std::move(folder); }

    void Add(const std::string& path);

    // A WM_COMMAND id sent to the main window. False for ids the player does not know.
    bool Command(int id, int64_t nowMs);
    // A WM_USER query: id in lParam, argument in wParam. Texts come back as pointers to
    // this object's memory (UTF-16 for the wide queries), valid until the next text query.
    intptr_t Query(int id, uintptr_t argument, int64_t nowMs);
    // The clock: moves the position, ends tracks and fade-outs.
    void Tick(int64_t nowMs);
    // The playlist editor's clean-up: drops entries whose file is gone. The count dropped.
    size_t RemoveDeadFiles(const std::function<bool(const std::string&)>& exists);

    // "N. Title - Quavix", with " [Paused]" or " [Stopped]"; the name alone when empty.
    std::string WindowTitle() const;
    // Counts every change of track or state: each one makes the player retitle itself.
    uint32_t TitleSerial() const { return titleSerial_; }

    PlayState State() const { return state_; }
    int64_t PositionMs() const { return state_ == PlayState::Stopped ? 0 : positionMs_; }
    const std::vector<Entry>& Entries() const { return entries_; }
    size_t ListPosition() const { return position_; }
    int Volume() const { return volume_; }
    // The volume heard now: lower while fading out.
    int AudibleVolume() const;
    bool Shuffle() const { return shuffle_; }
    bool Repeat() const { return repeat_; }
    bool StopAfterCurrent() const { return stopAfterCurrent_; }
    bool FadingOut() const { return fadeLeftMs_ > 0; }
    int EqValue(size_t item) const { return item < kEqItemCount ? eq_[item] : 0; }
    bool PreferencesShown() const { return preferences_; }
    bool VisualizationOn() const { return visualization_; }
    bool FileInfoBoxShown() const { return fileInfoBox_; }
    bool JumpToFileShown() const { return jumpToFile_; }
    bool IsHoldingFile() const { return held_.IsOpen(); }
    const std::string& HeldPath() const { return heldPath_; }
    const std::vector<size_t>& ShuffleOrder() const { return order_; }

private:
    bool HasEntry(size_t index) const { return index < entries_.size(); }
    void Advance(int64_t nowMs);
    // Starts entry index from its beginning, holding its file open.
    void Start(size_t index);
    void Stop();
    void Pause();
    void Resume();
    // The entry after / before index in playing order (shuffle order when on);
    // wrap says whether the end of the list leads round to its other end.
    bool Following(size_t index, bool wrap, size_t& result) const;
    bool Preceding(size_t index, bool wrap, size_t& result) const;
    void EndOfTrack();
    void BuildShuffleOrder();
    void Retitle() { ++titleSerial_; }
    int64_t LengthOf(size_t index) const { return HasEntry(index) ? entries_[index].lengthMs : -1; }
    void Seek(int64_t positionMs);

    intptr_t NarrowText(const std::string& utf8);
    intptr_t WideText(const std::string& utf8);
    void ChangeCurrentFile(const std::string& path);

    FactsReader reader_;
    int version_;
    TextAnswers answers_ = TextAnswers::Current;
    ShortNamer shortName_;
    std::string settingsFolder_;
    std::string narrowAnswer_;
    std::u16string wideAnswer_;
    std::vector<Entry> entries_;
    size_t position_ = 0;
    PlayState state_ = PlayState::Stopped;
    int64_t positionMs_ = 0;
    int64_t lastTickMs_ = 0;
    bool clockStarted_ = false;
    int64_t fadeLeftMs_ = 0;
    int volume_ = 200;
    bool shuffle_ = false;
    bool repeat_ = false;
    bool stopAfterCurrent_ = false;
    bool preferences_ = false;
    bool visualization_ = false;
    bool fileInfoBox_ = false;
    bool jumpToFile_ = false;
    std::array<int, kEqItemCount> eq_{};
    int eqSelected_ = -1;
    std::vector<size_t> order_;
    uint32_t shuffleSeed_ = 0x5123;
    uint32_t titleSerial_ = 0;
    File held_;
    std::string heldPath_;
};

}  // namespace vemo::standin
