// The song popup on the player's title changes, its 3 s / 8 s display times, and the
// live track display that timer 2 keeps current.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/player_control.h"
#include "popup/popup_window.h"
#include "popup/track_watcher.h"
#include "support/plugin_fixture.h"
#include "text/code_page.h"
#include "win/module_state.h"
#include "win/player_link.h"

namespace vemo::test {
namespace {

// Appended rather than added up: the i686 compiler warns wrongly about "literal" + string.
std::string SongTitle(int number) {
    std::string title = "Artist - Song ";
    title += std::to_string(number);
    return title;
}

class TrackWatcherTest : public PopupTest {
protected:
    void SetUp() override {
        PopupTest::SetUp();
        for (int i = 1; i <= 12; ++i) player_.Script().EntryTitles.push_back(SongTitle(i));
    }
    // What the player does when it starts another entry.
    void PlayerStarts(LRESULT position) {
        player_.Script().ListPosition = position;
        SetWindowTextA(player_.Window(), "Quavix");
    }
    bool Shown() const { return IsWindowVisible(gPlugin.MainPopup) != FALSE; }
};

TEST_F(TrackWatcherTest, EachTitleChangeShowsTheEntryAndPassesTheMessageOn) {
    PlayerStarts(1);
    EXPECT_EQ(gSongWatch.SongTitleText, "Artist - Song 2");
    EXPECT_EQ(gPopup.CurrentPopupText, " Artist - Song 2 ");
    EXPECT_TRUE(Shown());
    EXPECT_TRUE(TakeTimer(gPlugin.MainPopup, kTimerHideMainPopup));
    EXPECT_EQ(player_.Count(WM_SETTEXT), 1u);
    char title[32] = {};
    GetWindowTextA(player_.Window(), title, sizeof(title));
    EXPECT_STREQ(title, "Quavix");
}

// The song popup shows the entry's title in any script from a player that answers the
// wide query; an older player's 8-bit title is read in the code page, "?" and all.
TEST_F(TrackWatcherTest, SongPopupShowsTitlesInAnyScript) {
    if (CurrentCodePage() != 1252) GTEST_SKIP() << "the older player's answers are read as Western";
    const struct {
        PlayerAge Age;
        const char* Title;
        const char* Shown;
    } cases[] = {
        {PlayerAge::Current, "Кино - Группа крови", " Кино - Группа крови "},
        {PlayerAge::Current, "坂本九 - 上を向いて歩こう 😀", " 坂本九 - 上を向いて歩こう 😀 "},
        {PlayerAge::OlderLossy, "Motörhead - Beyoncé", " Motörhead - Beyoncé "},
        {PlayerAge::OlderLossy, "Кино 😀", " ???? ?? "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Title);
        player_.Script().Age = c.Age;
        player_.Script().EntryTitles[3] = c.Title;
        PlayerStarts(3);
        EXPECT_EQ(gPopup.CurrentPopupText, c.Shown);
    }
}

TEST_F(TrackWatcherTest, TrackNumbersLeadTheTitle) {
    gSettings.Set(OptionId::TrackNumbers, true);
    PlayerStarts(11);
    EXPECT_EQ(gPopup.CurrentPopupText, " 12. Artist - Song 12 ");
}

TEST_F(TrackWatcherTest, DisplayTimeIsShortAtFirstAndLongInARun) {
    // The count decides: 3 s up to the second change, 8 s from the third.
    std::vector<int> counts;
    std::vector<UINT> periods;
    for (int i = 0; i < 4; ++i) {
        PlayerStarts(i);
        counts.push_back(gSongWatch.TitleChangeCount);
        periods.push_back(TakeTimerPeriod(kTimerHideMainPopup));
    }
    EXPECT_EQ(counts, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(periods, (std::vector<UINT>{3000, 3000, 8000, 8000}));
    // After a command of ours the count starts lower, so one change is shown briefly.
    SendTransportCommand(CmdNext);
    PlayerStarts(5);
    EXPECT_EQ(gSongWatch.TitleChangeCount, -1);

    // Measured: a first change hides after about 3 s; the count is 0 again afterwards.
    gSongWatch.TitleChangeCount = 0;
    PlayerStarts(6);
    const DWORD start = GetTickCount();
    ASSERT_TRUE(PumpUntil([this] { return !Shown(); }, 5000));
    const DWORD shortTime = GetTickCount() - start;
    EXPECT_GE(shortTime, 2700u);
    EXPECT_LE(shortTime, 4000u);
    EXPECT_EQ(gSongWatch.TitleChangeCount, 0);

    // The third change in a row keeps the popup past 3 s.
    PlayerStarts(7);
    PlayerStarts(8);
    PlayerStarts(9);
    EXPECT_FALSE(PumpUntil([this] { return !Shown(); }, 3500));
    EXPECT_TRUE(TakeTimer(gPlugin.MainPopup, kTimerHideMainPopup));
}

TEST_F(TrackWatcherTest, CountStopsAtItsTop) {
    gSettings.Set(OptionId::VemoOnSongStart, false);
    gSongWatch.TitleChangeCount = 126;
    PlayerStarts(0);
    PlayerStarts(0);
    PlayerStarts(0);
    EXPECT_EQ(gSongWatch.TitleChangeCount, 127);
    EXPECT_TRUE(TakeTimer(gPlugin.MainPopup, kTimerHideMainPopup));
}

TEST_F(TrackWatcherTest, WithSongPopupOffOnlyOurCommandShowsTheNextTitle) {
    gSettings.Set(OptionId::VemoOnSongStart, false);
    gPopup.LiveRefresh = true;
    PlayerStarts(0);
    EXPECT_FALSE(Shown());
    EXPECT_FALSE(gPopup.LiveRefresh);
    // Re-armed also when nothing was shown.
    EXPECT_TRUE(TakeTimer(gPlugin.MainPopup, kTimerHideMainPopup));

    NextTrack();
    PlayerStarts(1);
    EXPECT_EQ(gPopup.CurrentPopupText, " Artist - Song 2 ");
    EXPECT_FALSE(gSongWatch.ForceSongPopup);
    PlayerStarts(2);
    EXPECT_EQ(gPopup.CurrentPopupText, " Artist - Song 2 ");
    EXPECT_EQ(gSongWatch.TitleChangeCount, 0);
}

TEST_F(TrackWatcherTest, SkipSilencesTheNextSongPopups) {
    gSongWatch.SongPopupSkip = -3;
    for (int i = 0; i < 3; ++i) {
        PlayerStarts(i);
        EXPECT_FALSE(Shown()) << i;
        EXPECT_EQ(gSongWatch.SongTitleText, SongTitle(i + 1));
    }
    EXPECT_EQ(gSongWatch.SongPopupSkip, 0);
    PlayerStarts(3);
    EXPECT_EQ(gPopup.CurrentPopupText, " Artist - Song 4 ");
}

TEST_F(TrackWatcherTest, DisabledShowsNoSongPopupAndKeepsTheSkip) {
    gSettings.Set(OptionId::Disabled, true);
    gSongWatch.SongPopupSkip = -1;
    gSongWatch.ForceSongPopup = true;
    PlayerStarts(0);
    EXPECT_FALSE(Shown());
    EXPECT_EQ(gSongWatch.SongPopupSkip, -1);
    EXPECT_FALSE(gSongWatch.ForceSongPopup);
    EXPECT_TRUE(TakeTimer(gPlugin.MainPopup, kTimerHideMainPopup));
}

TEST_F(TrackWatcherTest, AnEmptyTitleShowsNothingButStillArmsTheTimer) {
    player_.Script().EntryTitles[0] = "";
    gSongWatch.ForceSongPopup = true;
    PlayerStarts(0);
    EXPECT_FALSE(Shown());
    EXPECT_FALSE(gSongWatch.ForceSongPopup);
    EXPECT_TRUE(TakeTimer(gPlugin.MainPopup, kTimerHideMainPopup));
}

TEST_F(TrackWatcherTest, LiveDisplayIsLeftAloneAndRefreshedByItsTimer) {
    player_.Script().PlayState = kPlayStatePlaying;
    player_.Script().PositionMs = 65000;
    player_.Script().LengthSeconds = 245;
    gPopup.TrackDisplayText = ComposeTrackDisplayText();
    EXPECT_EQ(gPopup.TrackDisplayText, "Artist - Song 1 (1:05/4:05)");
    gPopup.LiveRefresh = true;
    ShowPopup(gPopup.TrackDisplayText);

    PlayerStarts(4);
    EXPECT_EQ(gPopup.CurrentPopupText, " Artist - Song 1 (1:05/4:05) ");
    EXPECT_TRUE(gPopup.LiveRefresh);
    EXPECT_TRUE(TakeTimer(gPlugin.MainPopup, kTimerHideMainPopup));

    // Its next refresh shows the new entry.
    ASSERT_TRUE(PumpUntil([] { return gPopup.CurrentPopupText == " Artist - Song 5 (1:05/4:05) "; }, 1500));
    EXPECT_EQ(gPopup.TrackDisplayText, "Artist - Song 5 (1:05/4:05)");
    // Without LiveRefresh the timer changes nothing.
    gPopup.LiveRefresh = false;
    player_.Script().ListPosition = 6;
    EXPECT_FALSE(PumpUntil([] { return gPopup.TrackDisplayText.find("Song 7") != std::string::npos; }, 1000));
}

TEST_F(TrackWatcherTest, TrackDisplayTextFollowsThePlayState) {
    FakePlayerScript& s = player_.Script();
    s.ListPosition = 11;
    s.PositionMs = 9999;
    s.LengthSeconds = 3600;
    s.PlayState = kPlayStatePaused;
    EXPECT_EQ(ComposeTrackDisplayText(), "Artist - Song 12 (0:09/60:00) [Paused]");
    s.PlayState = 0;
    EXPECT_EQ(ComposeTrackDisplayText(), "Artist - Song 12 [Stopped]");
    s.PlayState = 7;
    gSettings.Set(OptionId::TrackNumbers, true);
    EXPECT_EQ(ComposeTrackDisplayText(), "12. Artist - Song 12 [Stopped]");
}

}  // namespace
}  // namespace vemo::test
