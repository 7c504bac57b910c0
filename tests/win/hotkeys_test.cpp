// The 36 hotkey slots held by MainPopup, and the road from a hotkey to the player.
#include <gtest/gtest.h>

#include <cstdlib>

#include "actions/hotkeys.h"
#include "plugin/lifecycle.h"
#include "support/plugin_fixture.h"
#include "win/module_state.h"
#include "win/player_link.h"

namespace vemo::test {
namespace {

constexpr int32_t kUnusedId = kHotkeyCount;

TEST_F(PluginTest, AllIdsAreRegisteredAndReleased) {
    Load();
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
        EXPECT_FALSE(CombinationFree(gSettings.Hotkeys[id])) << "id " << id << " not held";
    }
    UnregisterAllHotkeys();
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
        EXPECT_TRUE(CombinationFree(gSettings.Hotkeys[id])) << "id " << id << " still held";
    }
    // The unused slot has no combination to compete for; its registration shows in
    // the release, which only succeeds for an id that is held.
    RegisterAllHotkeys();
    EXPECT_TRUE(UnregisterHotKey(gPlugin.MainPopup, kUnusedId));
    EXPECT_TRUE(UnregisterHotKey(gPlugin.MainPopup, 1));
    UnregisterAllHotkeys();
    EXPECT_FALSE(UnregisterHotKey(gPlugin.MainPopup, kUnusedId));
}

TEST_F(PluginTest, TwoIdsWithOneCombinationLeaveItToTheLowerId) {
    WriteSettingsFile("[Vemo Plugin]\r\nStopTrack=8 86\r\n");  // Win+V, also Next's
    Load();
    EXPECT_TRUE(UnregisterHotKey(gPlugin.MainPopup, static_cast<int>(HotkeyId::StopTrack)));
    EXPECT_FALSE(UnregisterHotKey(gPlugin.MainPopup, static_cast<int>(HotkeyId::Next)));
    // The refused id does not stop the ones after it.
    EXPECT_TRUE(UnregisterHotKey(gPlugin.MainPopup, static_cast<int>(HotkeyId::ModifyID3)));
}

TEST_F(PluginTest, NoMainPopupNoRegistration) {
    // Registering for no window would take the combinations for the whole thread.
    RegisterAllHotkeys();
    EXPECT_TRUE(CombinationFree({kModWin, 'V'}));
}

struct TransportCase {
    int32_t Id;
    LRESULT PlayState;
    std::vector<LPARAM> Queries;
    WPARAM Command;
};

class TransportTest : public PluginTest, public ::testing::WithParamInterface<TransportCase> {};

TEST_P(TransportTest, HotkeyMessageSendsTheCommandMarkedForTheSongPopup) {
    const TransportCase& c = GetParam();
    LoadAndInit();
    player_.Script().PlayState = c.PlayState;
    gSongWatch.TitleChangeCount = 5;
    gSongWatch.ForceSongPopup = false;
    player_.ClearMessages();
    SendMessageA(gPlugin.MainPopup, WM_HOTKEY, static_cast<WPARAM>(c.Id), 0);
    EXPECT_EQ(player_.Queries(), c.Queries);
    EXPECT_EQ(player_.Commands(), std::vector<WPARAM>{c.Command});
    EXPECT_EQ(gSongWatch.TitleChangeCount, -2);
    EXPECT_TRUE(gSongWatch.ForceSongPopup);
}

INSTANTIATE_TEST_SUITE_P(Ids, TransportTest,
                         ::testing::Values(TransportCase{1, 0, {}, CmdPrevious},
                                           TransportCase{2, kPlayStatePlaying, {QueryPlayState}, CmdPause},
                                           TransportCase{2, kPlayStatePaused, {QueryPlayState}, CmdPlay},
                                           TransportCase{2, 0, {QueryPlayState}, CmdPlay},
                                           TransportCase{3, kPlayStatePlaying, {}, CmdStop},
                                           TransportCase{4, 0, {}, CmdNext}));

TEST_F(PluginTest, IdsWithoutActionDoNothing) {
    LoadAndInit();
    player_.ClearMessages();
    gSongWatch.TitleChangeCount = 5;
    for (WPARAM id : {WPARAM{0}, WPARAM{36}, WPARAM{37}, static_cast<WPARAM>(-1)}) {
        SendMessageA(gPlugin.MainPopup, WM_HOTKEY, id, 0);
    }
    EXPECT_TRUE(player_.Messages().empty());
    EXPECT_EQ(gSongWatch.TitleChangeCount, 5);
}

// The whole road: a keystroke injected into the system reaches MainPopup as WM_HOTKEY.
TEST_F(PluginTest, WinVFromTheKeyboardPlaysTheNextTrack) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "keyboard input needs a display";
    LoadAndInit();
    player_.ClearMessages();
    ASSERT_TRUE(PressWinKey('V'));
    EXPECT_TRUE(PumpUntil([&] { return !player_.Commands().empty(); }));
    EXPECT_EQ(player_.Commands(), std::vector<WPARAM>{CmdNext});
}

}  // namespace
}  // namespace vemo::test
