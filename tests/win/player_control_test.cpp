// The player-control hotkeys beyond transport and volume: what the player receives, in
// order, what the popup says, and the marks that decide the next song popup.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "popup/popup_window.h"
#include "settings/hotkey_table.h"
#include "support/plugin_fixture.h"
#include "win/config_placement.h"
#include "win/module_state.h"
#include "win/player_link.h"

namespace vemo::test {
namespace {

using Log = std::vector<std::string>;

// Which marks an action leaves for the next title change: none, only the forced song
// popup, or that and the count of a command of ours.
enum class Marks { None, Force, Both };

class PlayerControlTest : public PopupTest {
protected:
    void SetUp() override {
        PopupTest::SetUp();
        gSongWatch.TitleChangeCount = 5;
        gPopup.LiveRefresh = true;
        FakePlayerScript& s = player_.Script();
        s.EntryTitles = {"One", "Two", "Three", "Four", "Five"};
        s.EntryFiles = {"1.mp3", "2.mp3", "3.mp3", "4.mp3", "5.mp3"};
    }

    void Press(HotkeyId id) { SendMessageA(gPlugin.MainPopup, WM_HOTKEY, static_cast<WPARAM>(id), 0); }

    void ExpectMarks(Marks marks) {
        EXPECT_EQ(gSongWatch.ForceSongPopup, marks != Marks::None);
        EXPECT_EQ(gSongWatch.TitleChangeCount, marks == Marks::Both ? -2 : 5);
    }
};

struct ActionCase {
    const char* Name;
    HotkeyId Id;
    bool Shuffle;
    bool Repeat;
    LRESULT Equalizer;
    Log Sent;
    const char* Popup;  // what MainPopup shows afterwards; "" for nothing
    UINT HideMs;        // timer 1's period afterwards; 0 when not armed
    Marks Marks;
    bool KeepsLiveDisplay;
};

class PlayerActionTest : public PlayerControlTest, public ::testing::WithParamInterface<ActionCase> {};

TEST_P(PlayerActionTest, SendsThePlayerItsMessagesAndShowsTheOutcome) {
    const ActionCase& c = GetParam();
    FakePlayerScript& s = player_.Script();
    s.Shuffle = c.Shuffle;
    s.Repeat = c.Repeat;
    s.EqData[kEqOnOffItem] = c.Equalizer;
    Press(c.Id);
    EXPECT_EQ(player_.Log(), c.Sent);
    EXPECT_EQ(gPopup.CurrentPopupText, c.Popup);
    EXPECT_EQ(IsWindowVisible(gPlugin.MainPopup) != FALSE, *c.Popup != '\0');
    EXPECT_EQ(TakeTimerPeriod(kTimerHideMainPopup), c.HideMs);
    EXPECT_EQ(gPopup.LiveRefresh, c.KeepsLiveDisplay);
    ExpectMarks(c.Marks);
}

INSTANTIATE_TEST_SUITE_P(
    Ids, PlayerActionTest,
    ::testing::Values(
        ActionCase{"Quit", HotkeyId::Quit, false, false, 0, {"cmd 40001"}, "", 0, Marks::None, true},
        ActionCase{"ShuffleOffToOn", HotkeyId::Shuffle, false, false, 0, {"query 250 0", "query 252 1"},
                   " Shuffle on ", 3000, Marks::None, false},
        ActionCase{"ShuffleOnToOff", HotkeyId::Shuffle, true, false, 0, {"query 250 0", "query 252 0"},
                   " Shuffle off ", 3000, Marks::None, false},
        ActionCase{"RepeatOffToOn", HotkeyId::Repeat, false, false, 0, {"query 251 0", "query 253 1"}, " Repeat on ",
                   3000, Marks::None, false},
        ActionCase{"RepeatOnToOff", HotkeyId::Repeat, false, true, 0, {"query 251 0", "query 253 0"}, " Repeat off ",
                   3000, Marks::None, false},
        // The "on" keys ask nothing: on stays on.
        ActionCase{"ShuffleOn", HotkeyId::ShflOn, true, false, 0, {"query 252 1"}, " Shuffle on ", 3000, Marks::None,
                   false},
        ActionCase{"RepeatOn", HotkeyId::RptOn, false, false, 0, {"query 253 1"}, " Repeat on ", 3000, Marks::None,
                   false},
        // The popup names the new state; the live display goes on under it.
        ActionCase{"EqualizerOffToOn", HotkeyId::EQ, false, false, 0, {"query 127 11", "query 128 1"},
                   " Equalizer is on ", 3000, Marks::None, true},
        ActionCase{"EqualizerOnToOff", HotkeyId::EQ, false, false, 1, {"query 127 11", "query 128 0"},
                   " Equalizer is off ", 3000, Marks::None, true},
        // Only the low byte is the state; bit 0 flips within 7 bits.
        ActionCase{"EqualizerHighBitsIgnored", HotkeyId::EQ, false, false, 0x1FF, {"query 127 11", "query 128 126"},
                   " Equalizer is off ", 3000, Marks::None, true},
        ActionCase{"FileInfoBox", HotkeyId::TAG, false, false, 0, {"cmd 40188"}, "", 0, Marks::None, true},
        ActionCase{"Preferences", HotkeyId::Preferences, false, false, 0, {"cmd 40012"}, "", 0, Marks::None, true},
        ActionCase{"JumpToFile", HotkeyId::JumpTo, false, false, 0, {"cmd 40194"}, "", 0, Marks::None, true},
        ActionCase{"Visualization", HotkeyId::VisPlug, false, false, 0, {"cmd 40192"}, "", 0, Marks::None, true},
        ActionCase{"StopWithFadeout", HotkeyId::StopWFadeout, false, false, 0, {"cmd 40147"}, "", 0, Marks::None,
                   true},
        ActionCase{"StopAfterCurrent", HotkeyId::StopAfterCurr, false, false, 0, {"cmd 40157"}, "", 0, Marks::Both,
                   true},
        // Without shuffle the list order is the player's own order.
        ActionCase{"PreviousWithoutShuffle", HotkeyId::PrvWOShuffle, false, false, 0, {"query 250 0", "cmd 40044"},
                   "", 0, Marks::Force, true},
        ActionCase{"NextWithoutShuffle", HotkeyId::NxtWOShuffle, false, false, 0, {"query 250 0", "cmd 40048"}, "",
                   0, Marks::Force, true}),
    [](const ::testing::TestParamInfo<ActionCase>& each) { return std::string(each.param.Name); });

// The list-order keys with shuffle on: the entry before or after in the list, in the
// play state the player was in.
struct ListOrderCase {
    const char* Name;
    HotkeyId Id;
    LRESULT PlayState;
    LRESULT Position;
    bool Repeat;
    Log SentAfterReads;  // what follows the reads every list-order key begins with
};

// Shuffle, list length, position, play state, repeat: asked before every move.
const Log kAsked = {"query 250 0", "query 124 0", "query 125 0", "query 104 0", "query 251 0"};

Log AskedThen(const Log& more) {
    Log sent = kAsked;
    sent.insert(sent.end(), more.begin(), more.end());
    return sent;
}

class ListOrderTest : public PlayerControlTest, public ::testing::WithParamInterface<ListOrderCase> {};

TEST_P(ListOrderTest, MovesInListOrderKeepingThePlayState) {
    const ListOrderCase& c = GetParam();
    FakePlayerScript& s = player_.Script();
    s.Shuffle = true;
    s.Repeat = c.Repeat;
    s.PlayState = c.PlayState;
    s.ListPosition = c.Position;
    Press(c.Id);
    EXPECT_EQ(player_.Log(), AskedThen(c.SentAfterReads));
    ExpectMarks(Marks::Force);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ListOrderTest,
    ::testing::Values(
        // The first entry without repeat: asked, nothing moves.
        ListOrderCase{"FirstEntryRepeatOff", HotkeyId::PrvWOShuffle, kPlayStatePlaying, 0, false,
                      {}},
        // With repeat it goes round to the last entry and plays it.
        ListOrderCase{"FirstEntryRepeatOn", HotkeyId::PrvWOShuffle, kPlayStatePlaying, 0, true,
                      {"query 121 4",
                       "cmd 40045"}},
        ListOrderCase{"LastEntryRepeatOn", HotkeyId::NxtWOShuffle, kPlayStatePlaying, 4, true,
                      {"query 121 0",
                       "cmd 40045"}},
        ListOrderCase{"LastEntryRepeatOff", HotkeyId::NxtWOShuffle, kPlayStatePlaying, 4, false,
                      {}},
        // Paused: resumed, the position read again, then the neighbour started.
        ListOrderCase{"Paused", HotkeyId::NxtWOShuffle, kPlayStatePaused, 1, false,
                      {"cmd 40045",
                       "query 125 0", "query 121 2", "cmd 40045"}},
        ListOrderCase{"PausedPrevious", HotkeyId::PrvWOShuffle, kPlayStatePaused, 3, false,
                      {"cmd 40045",
                       "query 125 0", "query 121 2", "cmd 40045"}},
        // Paused without repeat, the next key stops at the last entry and at any the
        // player reports beyond it: nothing is resumed.
        ListOrderCase{"PausedAtLastEntryRepeatOff", HotkeyId::NxtWOShuffle, kPlayStatePaused, 4, false,
                      {}},
        ListOrderCase{"PausedPastLastEntryRepeatOff", HotkeyId::NxtWOShuffle, kPlayStatePaused, 6, false,
                      {}},
        ListOrderCase{"PausedFirstEntryRepeatOff", HotkeyId::PrvWOShuffle, kPlayStatePaused, 0, false,
                      {}},
        // Paused with repeat: resumed, then round to the other end of the list.
        ListOrderCase{"PausedLastEntryRepeatOn", HotkeyId::NxtWOShuffle, kPlayStatePaused, 4, true,
                      {"cmd 40045",
                       "query 125 0", "query 121 0", "cmd 40045"}},
        ListOrderCase{"PausedFirstEntryRepeatOn", HotkeyId::PrvWOShuffle, kPlayStatePaused, 0, true,
                      {"cmd 40045",
                       "query 125 0", "query 121 4", "cmd 40045"}},
        ListOrderCase{"PlayingPrevious", HotkeyId::PrvWOShuffle, kPlayStatePlaying, 3, false,
                      {"query 121 2",
                       "cmd 40045"}},
        // Stopped at an edge without repeat: the player is neither moved nor retitled.
        ListOrderCase{"StoppedLastEntryRepeatOff", HotkeyId::NxtWOShuffle, 0, 4, false,
                      {}},
        ListOrderCase{"StoppedFirstEntryRepeatOff", HotkeyId::PrvWOShuffle, 0, 0, false,
                      {}}),
    [](const ::testing::TestParamInfo<ListOrderCase>& each) { return std::string(each.param.Name); });

// Stopped, the player is not started: it is given its own stopped title for the new
// entry, and that title change brings the song popup.
TEST_F(PlayerControlTest, NextInListOrderWhileStoppedRetitlesThePlayer) {
    FakePlayerScript& s = player_.Script();
    s.Shuffle = true;
    s.ListPosition = 2;
    gSettings.Set(OptionId::VemoOnSongStart, false);
    Press(HotkeyId::NxtWOShuffle);
    const Log sent = player_.Log();
    ASSERT_GE(sent.size(), 6u);
    EXPECT_EQ(Log(sent.begin(), sent.begin() + 6), AskedThen({"query 121 3"}));
    EXPECT_EQ(sent.back(), "settext 4. Four - Quavix [Stopped]");
    EXPECT_EQ(s.ListPosition, 3);
    EXPECT_EQ(s.PlayState, 0);
    char title[64] = {};
    GetWindowTextA(player_.Window(), title, sizeof title);
    EXPECT_STREQ(title, "4. Four - Quavix [Stopped]");
    EXPECT_EQ(gPopup.CurrentPopupText, " Four ");
    EXPECT_TRUE(IsWindowVisible(gPlugin.MainPopup));
    EXPECT_FALSE(gSongWatch.ForceSongPopup) << "used up by the title change";
}

// Stopped, each key moves the player's list position and gives the player its stopped
// title for the new entry; playback does not start.
struct StoppedCase {
    const char* Name;
    HotkeyId Id;
    LRESULT Position;
    bool Repeat;
    LRESULT NewPosition;
    const char* Title;  // the player's title afterwards
    const char* Popup;  // the song popup for the new entry
};

class StoppedListOrderTest : public PlayerControlTest, public ::testing::WithParamInterface<StoppedCase> {};

TEST_P(StoppedListOrderTest, MovesAndRetitlesTheStoppedPlayer) {
    const StoppedCase& c = GetParam();
    FakePlayerScript& s = player_.Script();
    s.Shuffle = true;
    s.Repeat = c.Repeat;
    s.ListPosition = c.Position;
    Press(c.Id);
    EXPECT_EQ(s.ListPosition, c.NewPosition);
    EXPECT_EQ(s.PlayState, 0);
    EXPECT_EQ(player_.Count(WM_SETTEXT), 1u);
    char title[64] = {};
    GetWindowTextA(player_.Window(), title, sizeof title);
    EXPECT_STREQ(title, c.Title);
    EXPECT_EQ(gPopup.CurrentPopupText, c.Popup);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoppedListOrderTest,
    ::testing::Values(
        StoppedCase{"Previous", HotkeyId::PrvWOShuffle, 2, false, 1, "2. Two - Quavix [Stopped]", " Two "},
        StoppedCase{"PreviousRoundToLast", HotkeyId::PrvWOShuffle, 0, true, 4, "5. Five - Quavix [Stopped]", " Five "},
        StoppedCase{"NextRoundToFirst", HotkeyId::NxtWOShuffle, 4, true, 0, "1. One - Quavix [Stopped]", " One "}),
    [](const ::testing::TestParamInfo<StoppedCase>& each) { return std::string(each.param.Name); });

// Answers at the ends of the player's 32-bit range: one step past them neither wraps
// round to the other end nor reaches the player, and a negative length is no list.
struct ExtremeCase {
    const char* Name;
    HotkeyId Id;
    LRESULT PlayState;
    int32_t Position;
    int32_t Length;
    bool Repeat;
    Log Sent;
};

constexpr int32_t kMaxAnswer = std::numeric_limits<int32_t>::max();
constexpr int32_t kMinAnswer = std::numeric_limits<int32_t>::min();

class ExtremeAnswerTest : public PlayerControlTest, public ::testing::WithParamInterface<ExtremeCase> {};

TEST_P(ExtremeAnswerTest, ListOrderKeysNeverWrapAPosition) {
    const ExtremeCase& c = GetParam();
    FakePlayerScript& s = player_.Script();
    s.Shuffle = true;
    s.Repeat = c.Repeat;
    s.PlayState = c.PlayState;
    s.ListPosition = c.Position;
    s.ListLength = c.Length;
    Press(c.Id);
    EXPECT_EQ(player_.Log(), c.Sent);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtremeAnswerTest,
    ::testing::Values(
        // length - 1 must not wrap round to the largest position.
        ExtremeCase{"NegativeLength", HotkeyId::NxtWOShuffle, kPlayStatePlaying, 0, kMinAnswer, true,
                    {"query 250 0", "query 124 0"}},
        ExtremeCase{"NextFromTheLargestPosition", HotkeyId::NxtWOShuffle, kPlayStatePlaying, kMaxAnswer, 5, true,
                    kAsked},
        ExtremeCase{"PreviousFromTheSmallestPosition", HotkeyId::PrvWOShuffle, kPlayStatePlaying, kMinAnswer, 5,
                    false, kAsked},
        // Paused, the player is resumed before the step turns out to lead nowhere.
        ExtremeCase{"PausedNextFromTheLargestPosition", HotkeyId::NxtWOShuffle, kPlayStatePaused, kMaxAnswer,
                    kMaxAnswer, true, AskedThen({"cmd 40045", "query 125 0"})},
        ExtremeCase{"StoppedPreviousFromTheSmallestPosition", HotkeyId::PrvWOShuffle, 0, kMinAnswer, 5, true, kAsked},
        // The longest list the player can report: its last entry and the way round.
        ExtremeCase{"LongestListLastEntryRepeatOff", HotkeyId::NxtWOShuffle, kPlayStatePlaying, kMaxAnswer - 1,
                    kMaxAnswer, false, kAsked},
        ExtremeCase{"LongestListLastEntryRepeatOn", HotkeyId::NxtWOShuffle, kPlayStatePlaying, kMaxAnswer - 1,
                    kMaxAnswer, true, AskedThen({"query 121 0", "cmd 40045"})},
        ExtremeCase{"LongestListFirstEntryRepeatOn", HotkeyId::PrvWOShuffle, kPlayStatePlaying, 0, kMaxAnswer, true,
                    AskedThen({"query 121 2147483646", "cmd 40045"})}),
    [](const ::testing::TestParamInfo<ExtremeCase>& each) { return std::string(each.param.Name); });

// The stopped title numbers the entry from 1 in 64 bits, as the song popup does: the
// largest position is entry 2147483648, not a negative one.
TEST_F(PlayerControlTest, StoppedTitleOfTheLargestPositionIsNotNegative) {
    FakePlayerScript& s = player_.Script();
    s.Shuffle = true;
    s.ListPosition = kMaxAnswer - 1;
    Press(HotkeyId::NxtWOShuffle);
    EXPECT_EQ(s.ListPosition, kMaxAnswer);
    ASSERT_FALSE(player_.Log().empty());
    EXPECT_EQ(player_.Log().back(), "settext 2147483648.  - Quavix [Stopped]");
}

// With an empty list the last position is -1, which must never reach the player.
TEST_F(PlayerControlTest, ListOrderKeysDoNothingOnAnEmptyList) {
    FakePlayerScript& s = player_.Script();
    s.EntryTitles.clear();
    s.EntryFiles.clear();
    s.Shuffle = true;
    s.Repeat = true;
    for (HotkeyId id : {HotkeyId::PrvWOShuffle, HotkeyId::NxtWOShuffle}) Press(id);
    EXPECT_EQ(player_.Log(), (Log{"query 250 0", "query 124 0", "query 250 0", "query 124 0"}));
    ExpectMarks(Marks::None);
}

TEST_F(PlayerControlTest, DialogsBringThePlayerToTheFront) {
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 600, 300, 50, 50, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    for (HotkeyId id : {HotkeyId::TAG, HotkeyId::Preferences, HotkeyId::JumpTo}) {
        SetForegroundWindow(other);
        ASSERT_EQ(GetForegroundWindow(), other);
        Press(id);
        EXPECT_EQ(GetForegroundWindow(), player_.Window()) << static_cast<int>(id);
    }
    DestroyWindow(other);
}

TEST_F(PlayerControlTest, MinMaxTogglesThePlayerWindow) {
    ShowWindow(player_.Window(), SW_SHOWNOACTIVATE);
    Press(HotkeyId::MinMax);
    EXPECT_TRUE(IsIconic(player_.Window()));
    Press(HotkeyId::MinMax);
    EXPECT_FALSE(IsIconic(player_.Window()));
    EXPECT_TRUE(player_.Log().empty());
}

// Centred on the screen when hidden, on top and in front; hidden by the next press.
TEST_F(PlayerControlTest, ConfigKeyShowsTheWindowCentredThenHidesIt) {
    HWND config = gPlugin.ConfigWindow;
    ASSERT_FALSE(IsWindowVisible(config));
    Press(HotkeyId::Config);
    ASSERT_TRUE(IsWindowVisible(config));
    RECT r{};
    GetWindowRect(config, &r);
    const int caption = GetSystemMetrics(SM_CYSMCAPTION);
    const POINT expected =
        ConfigWindowOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), ConfigWindowSize(kBaseDpi));
    EXPECT_EQ(r.left, expected.x);
    EXPECT_EQ(r.top, expected.y);
    if (GetSystemMetrics(SM_CXSCREEN) == 1024 && GetSystemMetrics(SM_CYSCREEN) == 768 && caption == 18) {
        EXPECT_EQ(expected.x, 280);
        EXPECT_EQ(expected.y, 114);
    }
    EXPECT_EQ(r.right - r.left, kConfigWindowWidth) << "the size is kept";
    EXPECT_EQ(GetForegroundWindow(), config);
    Press(HotkeyId::Config);
    EXPECT_FALSE(IsWindowVisible(config));
}

}  // namespace
}  // namespace vemo::test
