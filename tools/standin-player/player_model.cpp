#include "player_model.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "text/code_page.h"
#include "text/text.h"
#include "text/unicode.h"

namespace vemo::standin {

PlayerModel::PlayerModel(FactsReader reader, int version) : reader_(std::move(reader)), version_(version) {
    eq_.fill(kEqBandMiddle);
    eq_[kEqOnOffItem] = 0;
    eq_[kEqItemCount - 1] = 0;  // autoload
}


void PlayerModel::AnswerTexts(TextAnswers answers, ShortNamer shortName) {
    answers_ = answers;
    shortName_ = std::move(shortName);
}

intptr_t PlayerModel::NarrowText(const std::string& utf8) {
    narrowAnswer_ = Utf8ToCodePageLossy(utf8);
    return reinterpret_cast<intptr_t>(narrowAnswer_.c_str());
}

// An older player does not know the number, and answers 0 as to any other.
intptr_t PlayerModel::WideText(const std::string& utf8) {
    if (answers_ != TextAnswers::Current) return 0;
    wideAnswer_ = Utf8ToUtf16(utf8);
    return reinterpret_cast<intptr_t>(wideAnswer_.c_str());
}

void PlayerModel::ChangeCurrentFile(const std::string& path) {
    if (HasEntry(position_)) entries_[position_] = reader_(path);
}

void PlayerModel::Add(const std::string& path) {
    std::string before = WindowTitle();
    entries_.push_back(reader_(path));
    if (shuffle_) BuildShuffleOrder();
    if (WindowTitle() != before) Retitle();
}

// Both lists grow and shrink rarely, so a full rebuild on change is cheap and keeps the
// order a plain permutation of the current entries.
void PlayerModel::BuildShuffleOrder() {
    order_.resize(entries_.size());
    for (size_t i = 0; i < order_.size(); ++i) order_[i] = i;
    for (size_t i = order_.size(); i > 1; --i) {
        // xorshift32: reproducible runs, which the tests and the demo rely on.
        shuffleSeed_ ^= shuffleSeed_ << 13;
        shuffleSeed_ ^= shuffleSeed_ >> 17;
        shuffleSeed_ ^= shuffleSeed_ << 5;
        std::swap(order_[i - 1], order_[shuffleSeed_ % i]);
    }
}

bool PlayerModel::Following(size_t index, bool wrap, size_t& result) const {
    if (entries_.empty()) return false;
    if (!shuffle_) {
        if (index + 1 < entries_.size()) {
            result = index + 1;
            return true;
        }
        if (!wrap) return false;
        result = 0;
        return true;
    }
    auto at = std::find(order_.begin(), order_.end(), index);
    if (at == order_.end()) at = order_.begin();
    else ++at;
    if (at == order_.end()) {
        if (!wrap) return false;
        at = order_.begin();
    }
    result = *at;
    return true;
}

bool PlayerModel::Preceding(size_t index, bool wrap, size_t& result) const {
    if (entries_.empty()) return false;
    if (!shuffle_) {
        if (index > 0 && index <= entries_.size()) {
            result = index - 1;
            return true;
        }
        if (!wrap) return false;
        result = entries_.size() - 1;
        return true;
    }
    auto at = std::find(order_.begin(), order_.end(), index);
    if (at == order_.begin() || at == order_.end()) {
        if (!wrap) return false;
        result = order_.back();
        return true;
    }
    result = *(at - 1);
    return true;
}

void PlayerModel::Start(size_t index) {
    if (!HasEntry(index)) return;
    // Read again, as a player opening a file does: a tag written since shows in the title.
    entries_[index] = reader_(entries_[index].path);
    // Release the old file before taking the new one, as a player changing tracks does.
    held_.Close();
    heldPath_ = entries_[index].path;
    held_ = File::OpenRead(heldPath_, Share::Read);
    position_ = index;
    positionMs_ = 0;
    fadeLeftMs_ = 0;
    state_ = PlayState::Playing;
    Retitle();
}

void PlayerModel::Stop() {
    held_.Close();
    heldPath_.clear();
    positionMs_ = 0;
    fadeLeftMs_ = 0;
    state_ = PlayState::Stopped;
    Retitle();
}

void PlayerModel::Pause() {
    state_ = PlayState::Paused;
    Retitle();
}

void PlayerModel::Resume() {
    state_ = PlayState::Playing;
    Retitle();
}

void PlayerModel::EndOfTrack() {
    if (stopAfterCurrent_) {
        stopAfterCurrent_ = false;
        Stop();
        return;
    }
    size_t next = 0;
    if (Following(position_, repeat_, next)) Start(next);
    else Stop();
}

void PlayerModel::Advance(int64_t nowMs) {
    if (!clockStarted_) {
        clockStarted_ = true;
        lastTickMs_ = nowMs;
    }
    int64_t elapsed = std::max<int64_t>(0, nowMs - lastTickMs_);
    lastTickMs_ = nowMs;
    if (state_ != PlayState::Playing) return;

    positionMs_ += elapsed;
    if (fadeLeftMs_ > 0) {
        fadeLeftMs_ -= elapsed;
        if (fadeLeftMs_ <= 0) {
            Stop();
            return;
        }
    }
    // Short entries may end several times within one long tick; a list of empty entries
    // must not spin here forever.
    for (size_t guard = 0; guard <= entries_.size() && state_ == PlayState::Playing; ++guard) {
        int64_t length = LengthOf(position_);
        if (length < 0 || positionMs_ < length) break;
        int64_t overflow = positionMs_ - length;
        if (fadeLeftMs_ > 0) {
            Stop();
            break;
        }
        EndOfTrack();
        if (state_ == PlayState::Playing) positionMs_ = overflow;
    }
}

void PlayerModel::Tick(int64_t nowMs) { Advance(nowMs); }

void PlayerModel::Seek(int64_t positionMs) {
    int64_t length = LengthOf(position_);
    positionMs = std::max<int64_t>(0, positionMs);
    if (length >= 0) positionMs = std::min(positionMs, length);
    positionMs_ = positionMs;
}

bool PlayerModel::Command(int id, int64_t nowMs) {
    Advance(nowMs);
    size_t target = 0;
    switch (id) {
    case cmd::kExit:
        return true;  // the window layer closes the player
    case cmd::kPlay:
        if (state_ == PlayState::Paused) Resume();
        else Start(position_);  // a second Play starts the entry again
        return true;
    case cmd::kPause:
        if (state_ == PlayState::Playing) Pause();
        else if (state_ == PlayState::Paused) Resume();
        return true;
    case cmd::kStop:
        if (state_ != PlayState::Stopped) Stop();
        return true;
    case cmd::kNext:
    case cmd::kPrevious: {
        bool found = id == cmd::kNext ? Following(position_, true, target) : Preceding(position_, true, target);
        if (!found) return true;
        if (state_ == PlayState::Stopped) {
            position_ = target;
            Retitle();
        } else {
            Start(target);
        }
        return true;
    }
    case cmd::kRewind5s:
    case cmd::kForward5s:
        if (state_ != PlayState::Stopped) Seek(positionMs_ + (id == cmd::kForward5s ? kSeekStepMs : -kSeekStepMs));
        return true;
    case cmd::kStopFadeout:
        if (state_ == PlayState::Paused) Stop();
        else if (state_ == PlayState::Playing && fadeLeftMs_ <= 0) fadeLeftMs_ = kFadeOutMs;
        return true;
    case cmd::kStopAfterCurrent: stopAfterCurrent_ = !stopAfterCurrent_; return true;
    case cmd::kPreferences: preferences_ = !preferences_; return true;
    case cmd::kFileInfoBox: fileInfoBox_ = !fileInfoBox_; return true;
    case cmd::kVisualization: visualization_ = !visualization_; return true;
    case cmd::kJumpToFile: jumpToFile_ = !jumpToFile_; return true;
    default:
        return false;
    }
}

intptr_t PlayerModel::Query(int id, uintptr_t argument, int64_t nowMs) {
    Advance(nowMs);
    switch (id) {
    case query::kVersion: return version_;
    case query::kPlayState: return static_cast<intptr_t>(state_);
    case query::kOutputTime:
        if (argument == 0) return static_cast<intptr_t>(PositionMs());
        if (argument == 1) {
            int64_t length = LengthOf(position_);
            return length < 0 ? -1 : static_cast<intptr_t>(length / 1000);
        }
        return -1;
    case query::kJumpToTime: {
        if (state_ == PlayState::Stopped) return -1;
        int64_t wanted = static_cast<int64_t>(argument);
        Seek(wanted);
        int64_t length = LengthOf(position_);
        return length >= 0 && wanted >= length ? 1 : 0;
    }
    case query::kSetListPosition:
        // Moves the list's pointer only; the entry playing keeps playing until the next
        // Play, and the title stays, as the player's own list behaves.
        if (HasEntry(argument)) position_ = argument;
        return 0;
    case query::kSetVolume:
        if (static_cast<intptr_t>(argument) == kVolumeQueryArgument) return volume_;
        volume_ = static_cast<int>(std::clamp<intptr_t>(static_cast<intptr_t>(argument), 0, kMaxVolume));
        return 0;
    case query::kListLength: return static_cast<intptr_t>(entries_.size());
    case query::kListPosition: return static_cast<intptr_t>(position_);
    case query::kEqData:
        if (argument >= kEqItemCount) {
            eqSelected_ = -1;
            return 0;
        }
        eqSelected_ = static_cast<int>(argument);
        return eq_[argument];
    case query::kSetEqData:
        if (eqSelected_ >= 0) eq_[static_cast<size_t>(eqSelected_)] = static_cast<int>(argument & 0xFF);
        return 0;
    case query::kEntryFile:
        if (!HasEntry(argument)) return 0;
        if (answers_ == TextAnswers::OlderShortNames && shortName_) return NarrowText(shortName_(entries_[argument].path));
        return NarrowText(entries_[argument].path);
    case query::kEntryTitle: return HasEntry(argument) ? NarrowText(entries_[argument].title) : 0;
    case query::kEntryFileWide: return HasEntry(argument) ? WideText(entries_[argument].path) : 0;
    case query::kEntryTitleWide: return HasEntry(argument) ? WideText(entries_[argument].title) : 0;
    case query::kSettingsFolder:
        return settingsFolder_.empty() || answers_ != TextAnswers::Current ? 0 : NarrowText(settingsFolder_);
    case query::kSettingsFolderWide: return settingsFolder_.empty() ? 0 : WideText(settingsFolder_);
    case query::kChangeCurrentFile:
        if (argument != 0) ChangeCurrentFile(CodePageToUtf8(reinterpret_cast<const char*>(argument)));
        return 0;
    case query::kChangeCurrentFileWide:
        if (argument != 0 && answers_ == TextAnswers::Current) {
            ChangeCurrentFile(Utf16ToUtf8(reinterpret_cast<const char16_t*>(argument)));
        }
        return 0;
    case query::kShuffle: return shuffle_ ? 1 : 0;
    case query::kRepeat: return repeat_ ? 1 : 0;
    case query::kSetShuffle:
        if (argument != 0 && !shuffle_) {
            shuffle_ = true;
            BuildShuffleOrder();
        }
        shuffle_ = argument != 0;
        return 0;
    case query::kSetRepeat: repeat_ = argument != 0; return 0;
    default: return 0;
    }
}

size_t PlayerModel::RemoveDeadFiles(const std::function<bool(const std::string&)>& exists) {
    std::string before = WindowTitle();
    bool playing = state_ != PlayState::Stopped;
    bool currentGone = false;
    size_t removedBefore = 0;
    std::vector<Entry> kept;
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (exists(entries_[i].path)) {
            kept.push_back(std::move(entries_[i]));
            continue;
        }
        if (i < position_) ++removedBefore;
        if (i == position_) currentGone = true;
    }
    size_t removed = entries_.size() - kept.size();
    entries_ = std::move(kept);
    position_ -= removedBefore;
    if (position_ >= entries_.size()) position_ = entries_.empty() ? 0 : entries_.size() - 1;
    if (shuffle_) BuildShuffleOrder();
    if (playing && currentGone) {
        Stop();
        return removed;
    }
    if (WindowTitle() != before) Retitle();
    return removed;
}

int PlayerModel::AudibleVolume() const {
    if (fadeLeftMs_ <= 0) return volume_;
    return static_cast<int>(volume_ * fadeLeftMs_ / kFadeOutMs);
}

std::string PlayerModel::WindowTitle() const {
    if (!HasEntry(position_)) return kPlayerName;
    std::string title = NumToStr(false, static_cast<int64_t>(position_) + 1) + ". " + entries_[position_].title +
                        " - " + kPlayerName;
    if (state_ == PlayState::Paused) title += " [Paused]";
    if (state_ == PlayState::Stopped) title += " [Stopped]";
    return title;
}

}  // namespace vemo::standin
