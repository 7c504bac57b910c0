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
#include "settings/settings_file.h"
#include "text/file_access.h"
#include "win/module_state.h"
#include "win/outside_effects.h"
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

// ---- Held keys and questions ----

// What the seams saw since the test started.
struct Seen {
    int Boxes = 0;
    int VolumeSets = 0;
    // A hotkey to send to MainPopup while the box is open, as the box's modal loop would
    // deliver one; 0: none.
    int32_t HotkeyDuringBox = 0;
};
Seen gSeen;

int CountBoxAndCancel(HWND, const char*, const char*, UINT) {
    ++gSeen.Boxes;
    if (const int32_t id = gSeen.HotkeyDuringBox) {
        gSeen.HotkeyDuringBox = 0;
        SendMessageA(gPlugin.MainPopup, WM_HOTKEY, static_cast<WPARAM>(id), 0);
    }
    return IDCANCEL;
}
MMRESULT QuietVolume(UINT, DWORD* volume) {
    *volume = 0x80008000;
    return MMSYSERR_NOERROR;
}
MMRESULT CountVolumeSet(UINT, DWORD) {
    ++gSeen.VolumeSets;
    return MMSYSERR_NOERROR;
}

void SendKey(WORD vk, bool up) {
    const bool extended = vk >= VK_PRIOR && vk <= VK_DELETE;
    INPUT one{};
    one.type = INPUT_KEYBOARD;
    one.ki.wVk = vk;
    one.ki.dwFlags = (extended ? KEYEVENTF_EXTENDEDKEY : 0) | (up ? KEYEVENTF_KEYUP : 0);
    ASSERT_EQ(SendInput(1, &one, sizeof(INPUT)), 1u);
}
void Deliver(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}
// The modifiers go down, the key goes down and comes again `repeats` times as the
// keyboard's repeat sends it, then everything goes up.
void Hold(const std::vector<WORD>& modifiers, WORD key, int repeats) {
    for (WORD m : modifiers) SendKey(m, false);
    SendKey(key, false);
    Deliver(60);
    for (int i = 0; i < repeats; ++i) {
        SendKey(key, false);
        Deliver(40);
    }
    SendKey(key, true);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) SendKey(*it, true);
    Deliver(120);
}

class HeldKeyTest : public PopupTest {
protected:
    void SetUp() override {
        PopupTest::SetUp();
        gSeen = Seen{};
        Effects().AskUser = CountBoxAndCancel;
        Effects().GetWaveVolume = QuietVolume;
        Effects().SetWaveVolume = CountVolumeSet;
        gPlugin.VolumeDeviceId = 1;
        gPlugin.WaveOutAsked = true;
        // A playing file, a copy of it in the destination folder (so that copy and move
        // ask before replacing it), and deletion asked about.
        file_ = temp_.File("song.mp3");
        WriteAll(file_, "not really audio");
        const std::string dest = temp_.File("dest");
        CreateDirectoryA(dest.c_str(), nullptr);
        WriteAll(dest + "\\song.mp3", "older");
        gSettings.DestinationFolder = dest;
        gSettings.Set(OptionId::PromptOnDeletion, true);
        FakePlayerScript& s = player_.Script();
        s.EntryFiles.assign(3, file_);
        s.EntryTitles.assign(3, "Song");
        s.PlayState = kPlayStatePlaying;
        s.PositionMs = 10000;
        s.LengthSeconds = 600;
        player_.ClearMessages();
    }
    std::string file_;
};

enum class Watch : uint8_t { Command, Boxes, VolumeSets, ReadOnly };

struct HeldCase {
    const char* Name;
    HotkeyId Id;
    std::vector<WORD> Modifiers;
    WORD Key;
    int Presses;  // each held with three repeats
    Watch What;
    WPARAM Command;  // Watch::Command
    int Expected;    // times the action ran (ReadOnly: 1 = the file ends read-only)
};

class HeldKeyCases : public HeldKeyTest, public ::testing::WithParamInterface<HeldCase> {};

TEST_P(HeldKeyCases, FileActionsRunOncePerPressVolumeAndSeekingRepeat) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "keyboard input needs a display";
    const HeldCase& c = GetParam();
    ASSERT_EQ(HotkeyRegistration()[c.Id].Hold, HotkeyHold::Held);
    for (int i = 0; i < c.Presses; ++i) Hold(c.Modifiers, c.Key, 3);
    switch (c.What) {
        case Watch::Command: EXPECT_EQ(CountOf(player_.Commands(), c.Command), static_cast<size_t>(c.Expected)); break;
        case Watch::Boxes: EXPECT_EQ(gSeen.Boxes, c.Expected); break;
        case Watch::VolumeSets: EXPECT_EQ(gSeen.VolumeSets, c.Expected); break;
        case Watch::ReadOnly: EXPECT_EQ((*FileAttributes(file_) & kAttrReadOnly) != 0, c.Expected == 1); break;
    }
    SetAttributes(file_, kAttrNormal);
    EXPECT_FALSE(gPlugin.HotkeyGuard.AwaitingRelease[static_cast<size_t>(c.Id)]) << "seen up again";
}

INSTANTIATE_TEST_SUITE_P(
    Keys, HeldKeyCases,
    ::testing::Values(
        HeldCase{"Next", HotkeyId::Next, {VK_LWIN}, 'V', 1, Watch::Command, CmdNext, 1},
        HeldCase{"NextPressedTwice", HotkeyId::Next, {VK_LWIN}, 'V', 2, Watch::Command, CmdNext, 2},
        HeldCase{"Delete", HotkeyId::PhysDelete, {VK_LWIN}, VK_DELETE, 1, Watch::Boxes, 0, 1},
        HeldCase{"Copy", HotkeyId::CopyFile, {VK_LWIN}, VK_F5, 1, Watch::Boxes, 0, 1},
        HeldCase{"Move", HotkeyId::MoveFile, {VK_LWIN}, VK_F6, 1, Watch::Boxes, 0, 1},
        // Four runs would leave the file as it was.
        HeldCase{"ReadOnly", HotkeyId::ReadOnlyToggle, {VK_LWIN, VK_MENU}, 'R', 1, Watch::ReadOnly, 0, 1},
        HeldCase{"VolumeUpRepeats", HotkeyId::IncVol, {VK_LWIN}, VK_UP, 1, Watch::VolumeSets, 0, 4},
        HeldCase{"FastForwardRepeats", HotkeyId::SeekBkw, {VK_LWIN}, VK_RIGHT, 1, Watch::Command, CmdForward5s, 4}),
    [](const auto& param) { return std::string(param.param.Name); });

// A combination registered while its keys are still down (as right after capturing it)
// does not fire on the keyboard's repeats, only on the next press.
TEST_F(HeldKeyTest, NewCombinationWaitsForItsKeysToComeUp) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "keyboard input needs a display";
    for (HotkeyId id : {HotkeyId::Next, HotkeyId::IncVol}) {
        SCOPED_TRACE(static_cast<int>(id));
        ChangeHotkey(static_cast<int32_t>(id), {});
        player_.ClearMessages();
        gSeen = Seen{};
        SendKey(VK_CONTROL, false);
        SendKey(VK_MENU, false);
        SendKey(VK_F4, false);
        Deliver(60);
        ASSERT_EQ(ChangeHotkey(static_cast<int32_t>(id), {kModCtrl | kModAlt, VK_F4}).Result.Hold, HotkeyHold::Held);
        for (int i = 0; i < 3; ++i) {
            SendKey(VK_F4, false);
            Deliver(40);
        }
        SendKey(VK_F4, true);
        SendKey(VK_MENU, true);
        SendKey(VK_CONTROL, true);
        Deliver(120);
        EXPECT_EQ(CountOf(player_.Commands(), CmdNext) + static_cast<size_t>(gSeen.VolumeSets), 0u);
        Hold({VK_CONTROL, VK_MENU}, VK_F4, 0);
        EXPECT_EQ(CountOf(player_.Commands(), CmdNext) + static_cast<size_t>(gSeen.VolumeSets), 1u);
        ChangeHotkey(static_cast<int32_t>(id), {});
    }
}

// A hotkey that arrives while an action's question is open is dropped, whichever action
// it is for; once the question is answered the keys work again.
TEST_F(HeldKeyTest, NoActionStartsWhileAnotherOnesQuestionIsOpen) {
    for (HotkeyId during : {HotkeyId::PhysDelete, HotkeyId::Next, HotkeyId::MoveFile}) {
        SCOPED_TRACE(static_cast<int>(during));
        gSeen = Seen{};
        gSeen.HotkeyDuringBox = static_cast<int32_t>(during);
        player_.ClearMessages();
        SendMessageA(gPlugin.MainPopup, WM_HOTKEY, static_cast<WPARAM>(HotkeyId::PhysDelete), 0);
        EXPECT_EQ(gSeen.Boxes, 1) << "no second question";
        EXPECT_EQ(CountOf(player_.Commands(), CmdNext), 0u);
        EXPECT_EQ(gPlugin.HotkeyGuard.RunningActions, 0);
    }
    SendMessageA(gPlugin.MainPopup, WM_HOTKEY, static_cast<WPARAM>(HotkeyId::Next), 0);
    EXPECT_EQ(player_.Commands(), std::vector<WPARAM>{CmdNext});
    SendMessageA(gPlugin.MainPopup, WM_HOTKEY, static_cast<WPARAM>(HotkeyId::CopyFile), 0);
    EXPECT_EQ(gSeen.Boxes, 2);
}

// The "no repeat" flag goes with every action but volume and seeking, and only to
// systems that know it; a flag from the settings file is not passed to older ones.
DWORD gVersion = 0;
DWORD ReportedVersion() { return gVersion; }
std::vector<std::pair<int, UINT>> gAsked;
BOOL WINAPI RecordRegistration(HWND window, int id, UINT modifiers, UINT key) {
    gAsked.emplace_back(id, modifiers);
    return RegisterHotKey(window, id, modifiers, key);
}

TEST_F(PluginTest, NoRepeatFlagWhereTheSystemHasIt) {
    const struct {
        const char* Name;
        DWORD Version;
        bool Flag;
    } cases[] = {
        {"Windows 98", 0xC0000A04, false}, {"Windows XP", 0x0A280105, false}, {"Vista", 0x17700006, false},
        {"Windows 7", 0x1DB10106, true},   {"Windows 8", 0x23F00206, true},   {"Windows 10", 0x4A61000A, true},
    };
    WriteSettingsFile("[Vemo Plugin]\r\nNext=16392 86\r\n");  // Win+V with the flag stored
    Load();
    Effects().SystemVersion = ReportedVersion;
    SetHotkeyRegistrarForTests(RecordRegistration);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        gVersion = c.Version;
        UnregisterAllHotkeys();
        gAsked.clear();
        RegisterAllHotkeys();
        ASSERT_EQ(gAsked.size(), static_cast<size_t>(kHotkeyCount));
        for (const auto& [id, modifiers] : gAsked) {
            const bool repeats = id == 5 || id == 6 || id == 8 || id == 9 || id == kUnusedId;
            EXPECT_EQ((modifiers & 0x4000) != 0, c.Flag && !repeats) << id;
            EXPECT_EQ(modifiers & 0xF, static_cast<UINT>(gSettings.Hotkeys[id].Modifiers & 0xF)) << id;
        }
        EXPECT_EQ(HotkeyRegistration()[HotkeyId::Next].Hold, HotkeyHold::Held);
    }
    SetHotkeyRegistrarForTests(nullptr);
}

// The new combination is tried first, but can still be lost before it is registered:
// the action then keeps its old one, held, rather than none.
int gFailId = 0;
UINT gFailKey = 0;
BOOL WINAPI FailOneId(HWND window, int id, UINT modifiers, UINT key) {
    if (id == gFailId && key == gFailKey) {
        SetLastError(ERROR_HOTKEY_ALREADY_REGISTERED);
        return FALSE;
    }
    return RegisterHotKey(window, id, modifiers, key);
}

TEST_F(PluginTest, ChangeLostAtTheLastStepKeepsTheOldCombination) {
    Load();
    const HotkeyEntry ctrlAltF4{kModCtrl | kModAlt, VK_F4};
    gFailId = static_cast<int>(HotkeyId::Next);
    gFailKey = VK_F4;
    SetHotkeyRegistrarForTests(FailOneId);
    const HotkeyChange change = ChangeHotkey(static_cast<int32_t>(HotkeyId::Next), ctrlAltF4);
    SetHotkeyRegistrarForTests(nullptr);
    EXPECT_EQ(change.Result.Hold, HotkeyHold::TakenByOther);
    EXPECT_FALSE(change.Applied);
    EXPECT_EQ(gSettings.Hotkeys[HotkeyId::Next], kWinV);
    EXPECT_EQ(HotkeyRegistration()[HotkeyId::Next].Hold, HotkeyHold::Held);
    EXPECT_FALSE(CombinationFree(kWinV));
    EXPECT_TRUE(CombinationFree(ctrlAltF4));
}

}  // namespace
}  // namespace vemo::test
