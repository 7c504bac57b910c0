// The stand-in player's behaviour: what a plug-in sees through commands and queries,
// and what the clock does, over a playlist whose facts come from a table.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "player_model.h"
#include "support/temp_dir.h"
#include "text/file_access.h"

namespace vemo::standin {
namespace {

// Entries "a".."e", each 10 s long except where a test sets otherwise.
class PlayerModelTest : public ::testing::Test {
protected:
    std::map<std::string, int64_t> lengths;
    int64_t now = 1000;

    PlayerModel Make(std::initializer_list<const char*> paths) {
        PlayerModel model([this](const std::string& path) {
            auto known = lengths.find(path);
            return Entry{path, "Title " + path, known == lengths.end() ? 10000 : known->second};
        });
        for (const char* p : paths) model.Add(p);
        return model;
    }
    bool Do(PlayerModel& m, int id) { return m.Command(id, now); }
    intptr_t Ask(PlayerModel& m, int id, uintptr_t arg = 0) { return m.Query(id, arg, now); }
    std::string Text(PlayerModel& m, int id, uintptr_t arg) {
        intptr_t p = Ask(m, id, arg);
        return p == 0 ? "<null>" : reinterpret_cast<const char*>(p);
    }
    void Run(PlayerModel& m, int64_t ms) {
        now += ms;
        m.Tick(now);
    }
};

TEST_F(PlayerModelTest, StartingAnEntryReadsItsFileAgain) {
    PlayerModel m = Make({"a"});
    lengths["a"] = 5000;  // the file changed since it was added
    ASSERT_EQ(Ask(m, query::kOutputTime, 1), 10);
    Do(m, cmd::kPlay);
    EXPECT_EQ(Ask(m, query::kOutputTime, 1), 5);
}

TEST_F(PlayerModelTest, TitlesFollowTheStateInThePlayersForm) {
    PlayerModel m = Make({});
    EXPECT_EQ(m.WindowTitle(), "Quavix");
    m.Add("a");
    m.Add("b");
    EXPECT_EQ(m.WindowTitle(), "1. Title a - Quavix [Stopped]");
    uint32_t serial = m.TitleSerial();
    Do(m, cmd::kPlay);
    EXPECT_EQ(m.WindowTitle(), "1. Title a - Quavix");
    Do(m, cmd::kPause);
    EXPECT_EQ(m.WindowTitle(), "1. Title a - Quavix [Paused]");
    Do(m, cmd::kNext);
    EXPECT_EQ(m.WindowTitle(), "2. Title b - Quavix");
    EXPECT_EQ(m.TitleSerial(), serial + 3);
    // Switches and dialogs are no track or state change.
    Do(m, cmd::kVisualization);
    Ask(m, query::kSetShuffle, 1);
    Ask(m, query::kSetVolume, 10);
    EXPECT_EQ(m.TitleSerial(), serial + 3);
}

TEST_F(PlayerModelTest, TransportCommands) {
    PlayerModel m = Make({"a", "b", "c"});
    Do(m, cmd::kNext);  // stopped: the pointer moves, playback does not start
    EXPECT_EQ(m.State(), PlayState::Stopped);
    EXPECT_EQ(m.WindowTitle(), "2. Title b - Quavix [Stopped]");
    Do(m, cmd::kPrevious);
    Do(m, cmd::kPrevious);  // a command wraps round the list
    EXPECT_EQ(m.ListPosition(), 2u);
    Do(m, cmd::kPlay);
    Run(m, 4000);
    Do(m, cmd::kPause);
    Run(m, 4000);
    EXPECT_EQ(m.PositionMs(), 4000);  // a paused clock stands
    Do(m, cmd::kPlay);                // resumes, does not restart
    EXPECT_EQ(m.State(), PlayState::Playing);
    EXPECT_EQ(m.PositionMs(), 4000);
    Do(m, cmd::kPlay);  // while playing: starts the entry again
    EXPECT_EQ(m.PositionMs(), 0);
    Do(m, cmd::kNext);
    EXPECT_EQ(m.ListPosition(), 0u);
    Do(m, cmd::kStop);
    EXPECT_EQ(m.State(), PlayState::Stopped);
    EXPECT_EQ(m.PositionMs(), 0);
    EXPECT_FALSE(Do(m, 12345));
}

TEST_F(PlayerModelTest, TheClockEndsTracksByRepeatAndStopAfterCurrent) {
    lengths = {{"a", 1000}, {"b", 1000}, {"c", 1000}};
    PlayerModel m = Make({"a", "b", "c"});
    Do(m, cmd::kPlay);
    Run(m, 2500);  // one long tick crosses two track ends
    EXPECT_EQ(m.ListPosition(), 2u);
    EXPECT_EQ(m.PositionMs(), 500);
    Run(m, 600);  // the end of the list without repeat: stopped on the last entry
    EXPECT_EQ(m.State(), PlayState::Stopped);
    EXPECT_EQ(m.WindowTitle(), "3. Title c - Quavix [Stopped]");

    Ask(m, query::kSetRepeat, 1);
    Do(m, cmd::kPlay);
    Run(m, 1100);
    EXPECT_EQ(m.ListPosition(), 0u);
    EXPECT_EQ(m.State(), PlayState::Playing);

    Do(m, cmd::kStopAfterCurrent);
    EXPECT_TRUE(m.StopAfterCurrent());
    Run(m, 1000);
    EXPECT_EQ(m.State(), PlayState::Stopped);
    EXPECT_EQ(m.ListPosition(), 0u);
    EXPECT_FALSE(m.StopAfterCurrent());  // used up
}

TEST_F(PlayerModelTest, EntriesWithoutLengthPlayOnAndEmptyOnesDoNotHang) {
    lengths = {{"a", -1}, {"b", 0}, {"c", 0}};
    PlayerModel m = Make({"a"});
    Do(m, cmd::kPlay);
    Run(m, 3600 * 1000);
    EXPECT_EQ(m.State(), PlayState::Playing);
    EXPECT_EQ(Ask(m, query::kOutputTime, 1), -1);

    PlayerModel empty = Make({"b", "c"});
    Ask(empty, query::kSetRepeat, 1);
    Do(empty, cmd::kPlay);
    Run(empty, 100);  // returns; where it stops does not matter
    SUCCEED();
}

TEST_F(PlayerModelTest, FadeOutLowersTheVolumeThenStops) {
    PlayerModel m = Make({"a"});
    Do(m, cmd::kStopFadeout);  // stopped: nothing to fade
    EXPECT_FALSE(m.FadingOut());
    Do(m, cmd::kPlay);
    Do(m, cmd::kStopFadeout);
    Run(m, kFadeOutMs / 2);
    EXPECT_EQ(m.State(), PlayState::Playing);
    EXPECT_LT(m.AudibleVolume(), m.Volume());
    EXPECT_GT(m.AudibleVolume(), 0);
    Run(m, kFadeOutMs / 2);
    EXPECT_EQ(m.State(), PlayState::Stopped);
    EXPECT_EQ(m.AudibleVolume(), m.Volume());

    Do(m, cmd::kPlay);
    Do(m, cmd::kPause);
    Do(m, cmd::kStopFadeout);  // paused: stops at once
    EXPECT_EQ(m.State(), PlayState::Stopped);
}

TEST_F(PlayerModelTest, SeekingStaysInsideTheTrack) {
    PlayerModel m = Make({"a"});
    Do(m, cmd::kForward5s);  // stopped: no position to move
    EXPECT_EQ(m.PositionMs(), 0);
    EXPECT_EQ(Ask(m, query::kJumpToTime, 3000), -1);
    Do(m, cmd::kPlay);
    Do(m, cmd::kRewind5s);
    EXPECT_EQ(m.PositionMs(), 0);
    EXPECT_EQ(Ask(m, query::kJumpToTime, 2500), 0);
    EXPECT_EQ(Ask(m, query::kOutputTime, 0), 2500);
    Do(m, cmd::kForward5s);
    Do(m, cmd::kForward5s);
    EXPECT_EQ(m.PositionMs(), 10000);  // held at the end...
    EXPECT_EQ(Ask(m, query::kPlayState), 0);  // ...which the clock then reaches
    Do(m, cmd::kPlay);
    EXPECT_EQ(Ask(m, query::kJumpToTime, 10000), 1);  // at or past the end
    Run(m, 1);
    EXPECT_EQ(m.State(), PlayState::Stopped);
}

TEST_F(PlayerModelTest, ShuffleFollowsAPermutation) {
    PlayerModel m = Make({"a", "b", "c", "d", "e"});
    Ask(m, query::kSetShuffle, 1);
    EXPECT_EQ(Ask(m, query::kShuffle), 1);
    std::vector<size_t> order = m.ShuffleOrder();
    std::vector<size_t> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<size_t>{0, 1, 2, 3, 4}));
    EXPECT_NE(order, sorted);

    Ask(m, query::kSetListPosition, order[0]);
    Do(m, cmd::kPlay);
    for (size_t i = 1; i < order.size(); ++i) {
        Do(m, cmd::kNext);
        EXPECT_EQ(m.ListPosition(), order[i]);
    }
    Do(m, cmd::kPrevious);
    EXPECT_EQ(m.ListPosition(), order[3]);
    Ask(m, query::kSetShuffle, 0);
    EXPECT_EQ(Ask(m, query::kShuffle), 0);
}

TEST_F(PlayerModelTest, QueriesAnswerAsTheTableSays) {
    PlayerModel m = Make({"a", "b", "c"});
    EXPECT_EQ(Ask(m, query::kVersion), kDefaultVersion);
    EXPECT_EQ(Ask(m, query::kPlayState), 0);
    EXPECT_EQ(Ask(m, query::kListLength), 3);
    EXPECT_EQ(Ask(m, query::kOutputTime, 1), 10);
    EXPECT_EQ(Ask(m, query::kOutputTime, 7), -1);

    uint32_t serial = m.TitleSerial();
    Ask(m, query::kSetListPosition, 2);
    Ask(m, query::kSetListPosition, 3);  // out of range: ignored
    EXPECT_EQ(Ask(m, query::kListPosition), 2);
    EXPECT_EQ(m.TitleSerial(), serial);  // the player does not retitle for it

    Do(m, cmd::kPlay);
    EXPECT_EQ(Ask(m, query::kPlayState), 1);
    Do(m, cmd::kPause);
    EXPECT_EQ(Ask(m, query::kPlayState), 3);

    EXPECT_EQ(Text(m, query::kEntryFile, 1), "b");
    EXPECT_EQ(Text(m, query::kEntryTitle, 2), "Title c");
    EXPECT_EQ(Text(m, query::kEntryTitle, 3), "<null>");

    Ask(m, query::kSetVolume, 300);
    EXPECT_EQ(m.Volume(), 255);
    Ask(m, query::kSetVolume, static_cast<uintptr_t>(-5));
    EXPECT_EQ(m.Volume(), 0);
    Ask(m, query::kSetVolume, 128);
    EXPECT_EQ(Ask(m, query::kSetVolume, static_cast<uintptr_t>(kVolumeQueryArgument)), 128);

    EXPECT_EQ(Ask(m, query::kRepeat), 0);
    Ask(m, query::kSetRepeat, 1);
    EXPECT_EQ(Ask(m, query::kRepeat), 1);
    EXPECT_EQ(Ask(m, 999), 0);
}

TEST_F(PlayerModelTest, EqualizerItemsAreSelectedByTheQueryAndSetAfterIt) {
    PlayerModel m = Make({"a"});
    EXPECT_EQ(Ask(m, query::kEqData, kEqOnOffItem), 0);  // off at start
    Ask(m, query::kSetEqData, 1);
    EXPECT_EQ(Ask(m, query::kEqData, kEqOnOffItem), 1);
    EXPECT_EQ(Ask(m, query::kEqData, 3), kEqBandMiddle);
    Ask(m, query::kSetEqData, 40);
    EXPECT_EQ(m.EqValue(3), 40);
    EXPECT_EQ(m.EqValue(kEqOnOffItem), 1);
    // An item that does not exist selects nothing, so the next set changes nothing.
    EXPECT_EQ(Ask(m, query::kEqData, 99), 0);
    Ask(m, query::kSetEqData, 7);
    EXPECT_EQ(m.EqValue(3), 40);
}

TEST_F(PlayerModelTest, ChangeCurrentFileRenamesTheCurrentEntry) {
    PlayerModel m = Make({"a", "b"});
    Ask(m, query::kSetListPosition, 1);
    std::string renamed = "renamed";
    Ask(m, query::kChangeCurrentFile, reinterpret_cast<uintptr_t>(renamed.c_str()));
    EXPECT_EQ(Text(m, query::kEntryFile, 1), "renamed");
    EXPECT_EQ(Text(m, query::kEntryTitle, 1), "Title renamed");
    EXPECT_EQ(Ask(m, query::kChangeCurrentFile, 0), 0);  // a null path is ignored
    EXPECT_EQ(Text(m, query::kEntryFile, 1), "renamed");
}

std::u16string WideAnswer(intptr_t answer) {
    return answer == 0 ? u"<null>" : std::u16string(reinterpret_cast<const char16_t*>(answer));
}

// A current player gives every name whole in the wide queries; an older one answers 0
// to them and only the 8-bit ones, in its code page with "?" for what it lacks (one for
// each UTF-16 unit), or with a file's short name.
TEST_F(PlayerModelTest, EntryTextsAreWholeOnlyInTheWideQueries) {
    PlayerModel m = Make({"Кино 😀 é"});
    EXPECT_EQ(WideAnswer(Ask(m, query::kEntryFileWide, 0)), u"Кино 😀 é");
    EXPECT_EQ(WideAnswer(Ask(m, query::kEntryTitleWide, 0)), u"Title Кино 😀 é");
    EXPECT_EQ(WideAnswer(Ask(m, query::kEntryTitleWide, 1)), u"<null>");
    EXPECT_EQ(Text(m, query::kEntryFile, 0), "???? ?? \xE9");
    m.AnswerTexts(TextAnswers::OlderLossy);
    EXPECT_EQ(Ask(m, query::kEntryFileWide, 0), 0);
    EXPECT_EQ(Ask(m, query::kEntryTitleWide, 0), 0);
    EXPECT_EQ(Text(m, query::kEntryTitle, 0), "Title ???? ?? \xE9");
    m.AnswerTexts(TextAnswers::OlderShortNames, [](const std::string&) { return std::string("KINO~1.MP3"); });
    EXPECT_EQ(Text(m, query::kEntryFile, 0), "KINO~1.MP3");
    EXPECT_EQ(Text(m, query::kEntryTitle, 0), "Title ???? ?? \xE9");
}

// The settings folder, when it has one: wide whole, 8-bit in the code page; 0 without
// one and from an older player, which keeps its settings in its program folder.
TEST_F(PlayerModelTest, SettingsFolderIsNamedOnlyByACurrentPlayerThatHasOne) {
    PlayerModel m = Make({"a"});
    EXPECT_EQ(Ask(m, query::kSettingsFolderWide, 0), 0);
    EXPECT_EQ(Ask(m, query::kSettingsFolder, 0), 0);
    m.KeepSettingsIn("C:\\Users\\Ана\\Caf\xC3\xA9");
    EXPECT_EQ(WideAnswer(Ask(m, query::kSettingsFolderWide, 0)), u"C:\\Users\\Ана\\Café");
    EXPECT_EQ(Text(m, query::kSettingsFolder, 0), "C:\\Users\\???\\Caf\xE9");
    m.AnswerTexts(TextAnswers::OlderLossy);
    EXPECT_EQ(Ask(m, query::kSettingsFolderWide, 0), 0);
    EXPECT_EQ(Ask(m, query::kSettingsFolder, 0), 0);
}

TEST_F(PlayerModelTest, CurrentFileChangesInTheWideAndTheCodePageForm) {
    PlayerModel m = Make({"a"});
    const std::u16string wide = u"Звезда 😀.mp3";
    Ask(m, query::kChangeCurrentFileWide, reinterpret_cast<uintptr_t>(wide.c_str()));
    EXPECT_EQ(m.Entries()[0].path, "Звезда 😀.mp3");
    const std::string bytes = "Caf\xE9.mp3";
    Ask(m, query::kChangeCurrentFile, reinterpret_cast<uintptr_t>(bytes.c_str()));
    EXPECT_EQ(m.Entries()[0].path, "Café.mp3");
    // An older player does not know the wide message.
    m.AnswerTexts(TextAnswers::OlderLossy);
    Ask(m, query::kChangeCurrentFileWide, reinterpret_cast<uintptr_t>(wide.c_str()));
    EXPECT_EQ(m.Entries()[0].path, "Café.mp3");
}

TEST_F(PlayerModelTest, RemoveDeadFilesKeepsTheCurrentEntryInPlace) {
    PlayerModel m = Make({"a", "b", "c", "d"});
    Ask(m, query::kSetListPosition, 2);
    Do(m, cmd::kPlay);
    uint32_t serial = m.TitleSerial();
    auto alive = [](const std::string& p) { return p != "a" && p != "d"; };
    EXPECT_EQ(m.RemoveDeadFiles(alive), 2u);
    EXPECT_EQ(Ask(m, query::kListLength), 2);
    EXPECT_EQ(m.ListPosition(), 1u);  // still "c"
    EXPECT_EQ(m.State(), PlayState::Playing);
    EXPECT_EQ(m.WindowTitle(), "2. Title c - Quavix");
    EXPECT_EQ(m.TitleSerial(), serial + 1);  // renumbered
    EXPECT_EQ(m.RemoveDeadFiles(alive), 0u);
    EXPECT_EQ(m.TitleSerial(), serial + 1);

    // The playing entry itself gone: playback stops on the entry that took its place.
    EXPECT_EQ(m.RemoveDeadFiles([](const std::string& p) { return p != "c"; }), 1u);
    EXPECT_EQ(m.State(), PlayState::Stopped);
    EXPECT_EQ(m.WindowTitle(), "1. Title b - Quavix [Stopped]");
    m.RemoveDeadFiles([](const std::string&) { return false; });
    EXPECT_EQ(m.WindowTitle(), "Quavix");
    Do(m, cmd::kPlay);
    Do(m, cmd::kNext);
    EXPECT_EQ(m.State(), PlayState::Stopped);
}

TEST(PlayerModelFiles, TheCurrentFileIsHeldWhilePlayingOrPaused) {
    test::TempDir dir;
    std::string first = dir.File("one.mp3");
    std::string second = dir.File("two.mp3");
    test::WriteAll(first, "x");
    test::WriteAll(second, "y");
    PlayerModel m([](const std::string& p) { return Entry{p, p, 10000}; });
    m.Add(first);
    m.Add(second);
    EXPECT_FALSE(m.IsHoldingFile());
    m.Command(cmd::kPlay, 0);
    EXPECT_TRUE(m.IsHoldingFile());
    EXPECT_EQ(m.HeldPath(), first);
    m.Command(cmd::kPause, 0);
    EXPECT_TRUE(m.IsHoldingFile());
#ifdef _WIN32
    // Read sharing only: another open for deletion is refused.
    EXPECT_FALSE(RemoveFile(first));
#endif
    m.Command(cmd::kNext, 0);
    EXPECT_EQ(m.HeldPath(), second);
    EXPECT_TRUE(RemoveFile(first));  // released on the change of entry
    m.Command(cmd::kStop, 0);
    EXPECT_FALSE(m.IsHoldingFile());
    EXPECT_TRUE(RemoveFile(second));
}

}  // namespace
}  // namespace vemo::standin
