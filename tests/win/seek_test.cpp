// The 5-second seek hotkeys: what is sent to the player and what the level display
// shows, at the start and the end of a track, while stopped, and with the length taken
// from the file when the player has none yet.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "popup/popup_window.h"
#include "settings/hotkey_table.h"
#include "support/plugin_fixture.h"
#include "win/module_state.h"
#include "win/outside_effects.h"
#include "win/player_link.h"

namespace vemo::test {
namespace {

// MPEG-1 Layer III, 128 kbit/s, 44100 Hz, joint stereo: 160 bytes a hundredth of a second.
constexpr char kFrameHeader[] = "\xFF\xFB\x90\x64";
// The same with bit-rate index 0 (free format): no length can be worked out.
constexpr char kFreeFormatHeader[] = "\xFF\xFB\x00\x64";

// How long the position and "Stopped" stay up.
constexpr UINT kSeekShownMs = 2000;
constexpr UINT kStoppedShownMs = 1500;

std::vector<std::string> gMessageBoxes;

int RecordMessageBox(HWND, const char* text, const char*, UINT) {
    gMessageBoxes.push_back(text);
    return IDOK;
}

class SeekTest : public PopupTest {
protected:
    void SetUp() override {
        PopupTest::SetUp();
        gMessageBoxes.clear();
        Effects().AskUser = RecordMessageBox;
        FakePlayerScript& s = player_.Script();
        s.PlayState = kPlayStatePlaying;
        s.LengthSeconds = 250;
        s.EntryTitles = {"One", "Two"};
        s.EntryFiles = {temp_.File("one.mp3"), temp_.File("two.mp3")};
        s.ListPosition = 1;
    }

    void Press(HotkeyId id) { SendMessageA(gPlugin.MainPopup, WM_HOTKEY, static_cast<WPARAM>(id), 0); }

    // A file of the current entry whose audio fills size bytes.
    void WriteCurrentFile(const char* header, size_t size) {
        std::string bytes(header, 4);
        bytes.resize(size, '\0');
        WriteAll(player_.Script().EntryFiles[1], bytes);
    }

    void ExpectSeekShown(uint8_t level, const std::string& suffix) {
        EXPECT_TRUE(gPopup.LevelShown);
        EXPECT_EQ(gPopup.LastLevelPrefix, " Seek to ");
        EXPECT_EQ(gPopup.LastLevelSuffix, suffix);
        EXPECT_EQ(gPopup.LastLevel, level);
        EXPECT_FALSE(gPopup.LiveRefresh);
        EXPECT_EQ(TakeTimerPeriod(kTimerHideMainPopup), kSeekShownMs);
    }
};

TEST_F(SeekTest, BackShowsTheNewPositionInTheTrack) {
    player_.Script().PositionMs = 65000;
    gPopup.LiveRefresh = true;
    Press(HotkeyId::SeekFwd);
    EXPECT_EQ(player_.Commands(), std::vector<WPARAM>{CmdRewind5s});
    ExpectSeekShown(24, " 1:00/4:10 ");  // 60000 / 2500
}

TEST_F(SeekTest, ForwardShowsTheNewPositionInTheTrack) {
    player_.Script().PositionMs = 60000;
    gPopup.LiveRefresh = true;
    Press(HotkeyId::SeekBkw);
    EXPECT_EQ(player_.Commands(), std::vector<WPARAM>{CmdForward5s});
    ExpectSeekShown(26, " 1:05/4:10 ");
}

TEST_F(SeekTest, PausedSeeksLikePlaying) {
    player_.Script().PlayState = kPlayStatePaused;
    player_.Script().PositionMs = 9000;
    Press(HotkeyId::SeekFwd);
    EXPECT_EQ(player_.Commands(), std::vector<WPARAM>{CmdRewind5s});
    ExpectSeekShown(1, " 0:04/4:10 ");
}

TEST_F(SeekTest, BackNearTheStartTakesTheLengthFromTheFile) {
    WriteCurrentFile(kFrameHeader, 1000000);  // 6250 hundredths: 1:02.50
    player_.Script().PositionMs = 3200;
    player_.Script().LengthSeconds = 0;  // not known yet
    Press(HotkeyId::SeekFwd);
    EXPECT_EQ(player_.Commands(), std::vector<WPARAM>{CmdRewind5s});
    ExpectSeekShown(0, " 0:00/1:02 ");
    EXPECT_TRUE(gMessageBoxes.empty());
}

TEST_F(SeekTest, BackAtExactlyFiveSecondsCountsAsTheStart) {
    WriteCurrentFile(kFrameHeader, 160 * 100 * 65);  // 65 s
    player_.Script().PositionMs = 5000;
    Press(HotkeyId::SeekFwd);
    ExpectSeekShown(0, " 0:00/1:05 ");
}

TEST_F(SeekTest, BackNearTheStartWithoutALengthSaysUndefined) {
    struct Case {
        const char* Name;
        const char* Header;  // null: no file written
    };
    for (const Case& c : {Case{"missing file", nullptr}, Case{"free format", kFreeFormatHeader}}) {
        SCOPED_TRACE(c.Name);
        if (c.Header) WriteCurrentFile(c.Header, 50000);
        player_.ClearMessages();
        player_.Script().PositionMs = 100;
        Press(HotkeyId::SeekFwd);
        EXPECT_EQ(player_.Commands(), std::vector<WPARAM>{CmdRewind5s});
        ExpectSeekShown(0, " 0:00/undefined ");
    }
    // An entry the player has no file for.
    player_.Script().EntryFiles.clear();
    Press(HotkeyId::SeekFwd);
    ExpectSeekShown(0, " 0:00/undefined ");
    EXPECT_TRUE(gMessageBoxes.empty());
}

// A player entry of another kind that cannot be opened (held by someone else): the
// display is quiet about it, since only the tag test reports files it opens, and it
// opens nothing that is not an MP3 file. A box on every press of the key was the fault.
TEST_F(SeekTest, BackNearTheStartOnAHeldFileOfAnotherKindIsQuiet) {
    const std::string path = temp_.File("two.ogg");
    WriteAll(path, "OggS");
    player_.Script().EntryFiles[1] = path;
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    player_.Script().PositionMs = 100;
    Press(HotkeyId::SeekFwd);
    Press(HotkeyId::SeekFwd);
    CloseHandle(held);
    EXPECT_TRUE(gMessageBoxes.empty());
    ExpectSeekShown(0, " 0:00/undefined ");
}

// The player answers in 32 bits; an unknown length of -1 arriving as 0xFFFFFFFF in a
// 64-bit result is still -1, not four billion seconds with room to seek.
TEST_F(SeekTest, PlayerResultsAreTakenAs32Bits) {
    player_.Script().PositionMs = 65000;
    player_.Script().LengthSeconds = static_cast<LRESULT>(0xFFFFFFFFu);
    Press(HotkeyId::SeekBkw);
    EXPECT_FALSE(IsWindowVisible(gPlugin.MainPopup));
    EXPECT_EQ(player_.Commands(), std::vector<WPARAM>{CmdForward5s});
}

TEST_F(SeekTest, ForwardWithLessThanFiveSecondsLeftShowsNothingButSeeks) {
    for (LRESULT position : {LRESULT{245000}, LRESULT{249999}}) {
        player_.ClearMessages();
        player_.Script().PositionMs = position;
        gPopup.LiveRefresh = true;
        Press(HotkeyId::SeekBkw);
        EXPECT_EQ(player_.Commands(), std::vector<WPARAM>{CmdForward5s});
        EXPECT_FALSE(IsWindowVisible(gPlugin.MainPopup));
        EXPECT_FALSE(gPopup.LevelShown);
        EXPECT_TRUE(gPopup.LiveRefresh);
        EXPECT_FALSE(TakeTimer(gPlugin.MainPopup, kTimerHideMainPopup));
    }
}

TEST_F(SeekTest, UnknownOrShortLengthsNeverDivideByZeroNorOverfillTheBar) {
    player_.Script().PositionMs = 65000;
    player_.Script().LengthSeconds = 0;
    Press(HotkeyId::SeekFwd);
    ExpectSeekShown(0, " 1:00/0:00 ");
    player_.Script().LengthSeconds = -1;  // a stream
    Press(HotkeyId::SeekFwd);
    EXPECT_EQ(gPopup.LastLevel, 0);
    EXPECT_EQ(player_.Commands(), (std::vector<WPARAM>{CmdRewind5s, CmdRewind5s}));
    player_.Script().LengthSeconds = 30;  // the player's position beyond its length
    Press(HotkeyId::SeekFwd);
    ExpectSeekShown(100, " 1:00/0:30 ");
}

TEST_F(SeekTest, StoppedShowsStoppedAndSeeksNot) {
    player_.Script().PlayState = 0;
    for (HotkeyId key : {HotkeyId::SeekFwd, HotkeyId::SeekBkw}) {
        SCOPED_TRACE(static_cast<int>(key));
        gPopup.CurrentPopupText.clear();
        gPopup.LiveRefresh = true;
        Press(key);
        EXPECT_EQ(player_.Commands(), std::vector<WPARAM>{});
        EXPECT_EQ(player_.Queries(), std::vector<LPARAM>{QueryPlayState});
        EXPECT_TRUE(IsWindowVisible(gPlugin.MainPopup));
        EXPECT_EQ(gPopup.CurrentPopupText, " Stopped ");
        EXPECT_FALSE(gPopup.LiveRefresh);
        EXPECT_EQ(TakeTimerPeriod(kTimerHideMainPopup), kStoppedShownMs);
        player_.ClearMessages();
    }
}

TEST_F(SeekTest, StoppedAgainWhileShowingOnlyRestartsItsTime) {
    player_.Script().PlayState = 0;
    Press(HotkeyId::SeekBkw);
    ASSERT_TRUE(TakeTimer(gPlugin.MainPopup, kTimerHideMainPopup));
    // Not shown again: the live display's flag, which a new show clears, stays as it is.
    gPopup.LiveRefresh = true;
    Press(HotkeyId::SeekFwd);
    EXPECT_TRUE(gPopup.LiveRefresh);
    EXPECT_EQ(TakeTimerPeriod(kTimerHideMainPopup), kStoppedShownMs);
    EXPECT_TRUE(player_.Commands().empty());
}

// The whole road from the keyboard: Win+Right reaches the forward seek.
TEST_F(SeekTest, WinRightFromTheKeyboardSeeksForward) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "keyboard input needs a display";
    player_.Script().PositionMs = 1000;
    ASSERT_TRUE(PressWinKey(VK_RIGHT));
    EXPECT_TRUE(PumpUntil([&] { return !player_.Commands().empty(); }));
    EXPECT_EQ(player_.Commands(), std::vector<WPARAM>{CmdForward5s});
    EXPECT_EQ(gPopup.LastLevelSuffix, " 0:06/4:10 ");
}

}  // namespace
}  // namespace vemo::test
