// The 36 hotkey slots held by MainPopup, and the road from a hotkey to the player.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "actions/hotkeys.h"
#include "config/config_window.h"
#include "popup/popup_window.h"
#include "plugin/lifecycle.h"
#include "support/plugin_fixture.h"
#include "win/module_state.h"
#include "win/player_link.h"

namespace vemo::test {
namespace {

constexpr int32_t kUnusedId = kHotkeyCount;
const HotkeyEntry kWinV{kModWin, 'V'};

size_t CountOf(const std::vector<WPARAM>& commands, WPARAM command) {
    return static_cast<size_t>(std::count(commands.begin(), commands.end(), command));
}

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

// Asking again for what is held is no request at all, and releasing what is not held
// none either. (The system refuses a second registration as "already registered", which
// marked every line of the help "(taken)".)
TEST_F(PluginTest, RegisteringWhatIsHeldChangesNothing) {
    Load();
    const HotkeyStates held = HotkeyRegistration();
    for (int32_t id = kFirstHotkeyId; id <= kHotkeyCount; ++id) ASSERT_EQ(held[id].Hold, HotkeyHold::Held) << id;
    RegisterAllHotkeys();
    EXPECT_EQ(HotkeyRegistration(), held);
    UnregisterAllHotkeys();
    UnregisterAllHotkeys();
    EXPECT_EQ(HotkeyRegistration(), HotkeyStates{});
    EXPECT_TRUE(CombinationFree(kWinV));
    RegisterAllHotkeys();
    EXPECT_EQ(HotkeyRegistration(), held);
}

// Only "already registered" means another program holds a combination. Any other
// refusal (here the window the keys are asked for is gone) is told as what it is.
TEST_F(PluginTest, OtherRegistrationErrorsAreNotCountedAsTaken) {
    WriteSettingsFile("[Vemo Plugin]\r\nDisabled=1\r\n");
    Load();
    const HWND mainPopup = gPlugin.MainPopup;
    HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    gPlugin.MainPopup = gone;
    RegisterAllHotkeys();
    gPlugin.MainPopup = mainPopup;
    const HotkeyState refused{HotkeyHold::Refused, 0, ERROR_INVALID_WINDOW_HANDLE};
    for (int32_t id = kFirstHotkeyId; id <= kHotkeyCount; ++id) EXPECT_EQ(HotkeyRegistration()[id], refused) << id;
    EXPECT_EQ(HotkeyHelpText(HotkeyRegistration()).find("(taken)"), std::string::npos);
    const std::optional<HotkeyNotice> notice = HotkeyProblemNotice(gSettings.Hotkeys, HotkeyRegistration());
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->Caption, "35 hotkeys do nothing:");
    EXPECT_NE(notice->Body.find("\rWin+V (Next track): refused by Windows (error 1400)\r"), std::string::npos);
    EXPECT_EQ(notice->Body.find("another program"), std::string::npos);
}

// The virtual keys a combination's modifiers are held down with.
std::vector<WORD> ModifierKeys(int32_t modifiers) {
    std::vector<WORD> keys;
    if (modifiers & kModWin) keys.push_back(VK_LWIN);
    if (modifiers & kModCtrl) keys.push_back(VK_CONTROL);
    if (modifiers & kModAlt) keys.push_back(VK_MENU);
    if (modifiers & kModShift) keys.push_back(VK_SHIFT);
    return keys;
}

bool Press(const HotkeyEntry& combination) {
    const std::vector<WORD> modifiers = ModifierKeys(combination.Modifiers);
    switch (modifiers.size()) {
        case 0: return PressKeys({}, static_cast<WORD>(combination.VirtualKey));
        case 1: return PressKeys({modifiers[0]}, static_cast<WORD>(combination.VirtualKey));
        default: return PressKeys({modifiers[0], modifiers[1]}, static_cast<WORD>(combination.VirtualKey));
    }
}

// Next's line in Plugin.ini, what the plug-in makes of it, and what the keyboard then does.
struct NextLineCase {
    const char* Name;
    const char* Line;
    HotkeyState State;
    HotkeyEntry Plays;       // the combination that now plays the next track; none: {}
    HotkeyEntry LeftAlone;   // a combination the plug-in must not take
    const char* HelpLine;    // Next's line of the help, with the combination in effect
    const char* NoticeLine;  // Next's line of the notice; none: ""
};

class NextLineTest : public PopupTest, public ::testing::WithParamInterface<NextLineCase> {
protected:
    void SetUp() override {
        startSettings_ = std::string(GetParam().Line) + "\r\n";
        PopupTest::SetUp();
    }
};

TEST_P(NextLineTest, TheKeyboardDoesWhatTheHelpAndTheNoticeSay) {
    const NextLineCase& c = GetParam();
    EXPECT_EQ(HotkeyRegistration()[HotkeyId::Next], c.State);
    EXPECT_EQ(HotkeyRegistration()[HotkeyId::ModifyID3].Hold, HotkeyHold::Held) << "the ids after it are still asked for";
    EXPECT_TRUE(CombinationFree(c.LeftAlone)) << CombinationText(c.LeftAlone);

    const std::string help = HelpShownInConfigWindow();
    EXPECT_NE(help.find(std::string("\r") + c.HelpLine + "\r"), std::string::npos) << help;
    const bool noticed = TakeTimer(gPlugin.MainPopup, kTimerNotice);
    EXPECT_EQ(noticed, *c.NoticeLine != 0);
    if (noticed) {
        SendMessageA(gPlugin.MainPopup, WM_TIMER, kTimerNotice, 0);
        EXPECT_NE(gPopup.LastInfoBody.find(std::string("\r") + c.NoticeLine + "\r"), std::string::npos)
            << gPopup.LastInfoBody;
        KillTimer(gPlugin.MainPopup, kTimerHideInfoPopup);
    }

    if (!std::getenv("DISPLAY")) return;
    if (c.Plays.VirtualKey != 0) {
        ASSERT_TRUE(Press(c.Plays));
        EXPECT_TRUE(PumpUntil([&] { return !player_.Commands().empty(); }));
    }
    ASSERT_TRUE(Press(c.LeftAlone));
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(CountOf(player_.Commands(), CmdNext), c.Plays.VirtualKey != 0 && c.State.Hold == HotkeyHold::Held ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, NextLineTest,
    ::testing::Values(
        // Blanks around the "=" used to give Modifiers 0: a bare V, taken from every program.
        NextLineCase{"BlanksAroundTheEquals", "Next = 10 86", {HotkeyHold::Held}, {kModWin | kModCtrl, 'V'}, {0, 'V'},
                     "Win+Ctrl+V - Next track", ""},
        NextLineCase{"BareLetter", "Next=0 86", {HotkeyHold::NeedsModifier}, {}, {0, 'V'},
                     "V - Next track (needs Win, Ctrl or Alt)", "V (Next track): needs Win, Ctrl or Alt"},
        NextLineCase{"ShiftAndLetter", "Next=4 86", {HotkeyHold::NeedsModifier}, {}, {kModShift, 'V'},
                     "Shift+V - Next track (needs Win, Ctrl or Alt)", "Shift+V (Next track): needs Win, Ctrl or Alt"},
        NextLineCase{"BareNumberPadKey", "Next=0 97", {HotkeyHold::NeedsModifier}, {}, {0, 0x61},
                     "Num 1 - Next track (needs Win, Ctrl or Alt)", "Num 1 (Next track): needs Win, Ctrl or Alt"},
        // A key that types nothing may stand alone.
        NextLineCase{"BareFunctionKey", "Next=0 120", {HotkeyHold::Held}, {0, VK_F9}, kWinV, "F9 - Next track",
                     ""},
        // Two ids with one combination: the lower id has it, and the other is told as
        // ours, where it used to be blamed on another program.
        NextLineCase{"SameAsStop", "StopTrack=8 86", {HotkeyHold::Duplicate, 3}, kWinV, {0, 'C'},
                     "Win+V - Next track (also Stop track)", "Win+V (Next track): also Stop track"}),
    [](const auto& param) { return std::string(param.param.Name); });

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
