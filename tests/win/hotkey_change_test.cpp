// Changing the combinations while the plug-in runs: one id at a time or a ready set,
// tried at once, saved at once, and shown in the help.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "actions/hotkeys.h"
#include "config/config_window.h"
#include "plugin/lifecycle.h"
#include "popup/popup_window.h"
#include "settings/hotkey_sets.h"
#include "settings/key_names.h"
#include "settings/settings_file.h"
#include "support/plugin_fixture.h"
#include "support/temp_dir.h"
#include "win/module_state.h"
#include "win/player_link.h"

namespace vemo::test {
namespace {

const HotkeyEntry kWinV{kModWin, 'V'};
const HotkeyEntry kWinS{kModWin, 'S'};
const HotkeyEntry kCtrlAltF4{kModCtrl | kModAlt, VK_F4};

// Another program's window holding some combinations for as long as it lives.
class HeldElsewhere {
public:
    explicit HeldElsewhere(std::vector<HotkeyEntry> combinations) : combinations_(std::move(combinations)) {
        window_ = CreateWindowExA(0, "STATIC", "other program", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        for (size_t i = 0; i < combinations_.size(); ++i) {
            held_ = RegisterHotKey(window_, static_cast<int>(i + 1), static_cast<UINT>(combinations_[i].Modifiers),
                                   static_cast<UINT>(combinations_[i].VirtualKey)) &&
                    held_;
        }
    }
    ~HeldElsewhere() {
        for (size_t i = 0; i < combinations_.size(); ++i) UnregisterHotKey(window_, static_cast<int>(i + 1));
        DestroyWindow(window_);
    }
    HeldElsewhere(const HeldElsewhere&) = delete;
    HeldElsewhere& operator=(const HeldElsewhere&) = delete;
    bool Held() const { return held_; }

private:
    std::vector<HotkeyEntry> combinations_;
    HWND window_ = nullptr;
    bool held_ = true;
};

class HotkeyChangeTest : public PluginTest {
protected:
    void Start(const std::string& lines = "") {
        WriteSettingsFile("[Vemo Plugin]\r\nDisable vemos=1\r\n" + lines);
        LoadAndInit();
        KillTimer(gPlugin.MainPopup, kTimerNotice);
        player_.ClearMessages();
    }
    Settings Saved() {
        Settings saved = DefaultSettings();
        EXPECT_EQ(ReadSettings(settingsPath_, saved), SettingsStatus::Ok);
        return saved;
    }
    std::string Help() { return HelpShownInConfigWindow(); }
    // Presses a combination through the system's input and says whether Next was played.
    bool PlaysNext(const HotkeyEntry& combination) {
        std::vector<WORD> modifiers;
        if (combination.Modifiers & kModWin) modifiers.push_back(VK_LWIN);
        if (combination.Modifiers & kModCtrl) modifiers.push_back(VK_CONTROL);
        if (combination.Modifiers & kModAlt) modifiers.push_back(VK_MENU);
        if (combination.Modifiers & kModShift) modifiers.push_back(VK_SHIFT);
        player_.ClearMessages();
        const WORD key = static_cast<WORD>(combination.VirtualKey);
        bool sent = false;
        switch (modifiers.size()) {
            case 0: sent = PressKeys({}, key); break;
            case 1: sent = PressKeys({modifiers[0]}, key); break;
            case 2: sent = PressKeys({modifiers[0], modifiers[1]}, key); break;
            default: sent = PressKeys({modifiers[0], modifiers[1], modifiers[2]}, key); break;
        }
        EXPECT_TRUE(sent);
        PumpUntil([&] { return !player_.Commands().empty(); }, 1000);
        return player_.Commands() == std::vector<WPARAM>{CmdNext};
    }
};

// One id changed: what the new combination meets decides whether it replaces the old
// one, and a working old one is never given up for one that does nothing.
struct ChangeCase {
    const char* Name;
    HotkeyEntry Wanted;
    HotkeyEntry HeldByOther;  // {}: nothing
    HotkeyState Result;
    bool Applied;
};

class ChangeOneTest : public HotkeyChangeTest, public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(ChangeOneTest, NewCombinationReplacesTheOldOnlyWhenHad) {
    const ChangeCase& c = GetParam();
    HeldElsewhere other({c.HeldByOther.VirtualKey ? c.HeldByOther : HotkeyEntry{kModCtrl | kModShift, VK_F24}});
    ASSERT_TRUE(other.Held());
    Start();
    ASSERT_EQ(HotkeyRegistration()[HotkeyId::Next].Hold, HotkeyHold::Held);

    const HotkeyChange change = ChangeHotkey(static_cast<int32_t>(HotkeyId::Next), c.Wanted);
    EXPECT_EQ(change.Result, c.Result);
    EXPECT_EQ(change.Applied, c.Applied);
    EXPECT_EQ(gSettings.Hotkeys[HotkeyId::Next], c.Applied ? c.Wanted : kWinV);
    EXPECT_EQ(HotkeyRegistration()[HotkeyId::Next], c.Applied ? c.Result : HotkeyState{HotkeyHold::Held});
    // The old combination is still ours exactly when it was kept.
    const bool moved = c.Applied && !SameCombination(c.Wanted, kWinV);
    EXPECT_EQ(CombinationFree(kWinV), moved);
    if (c.Result.Hold == HotkeyHold::Held) {
        EXPECT_FALSE(CombinationFree(c.Wanted));
    }
    // Saved at once when it changed; nothing written when it did not.
    EXPECT_EQ(Saved().Hotkeys[HotkeyId::Next], c.Applied ? c.Wanted : kWinV);
    EXPECT_TRUE(ShownBoxes().empty());
    // The other ids are untouched.
    EXPECT_EQ(HotkeyRegistration()[HotkeyId::StopTrack].Hold, HotkeyHold::Held);

    if (std::getenv("DISPLAY") && c.Result.Hold == HotkeyHold::Held) {
        EXPECT_TRUE(PlaysNext(c.Wanted));
        EXPECT_EQ(PlaysNext(kWinV), !moved);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChangeOneTest,
    ::testing::Values(ChangeCase{"Free", kCtrlAltF4, {}, {HotkeyHold::Held}, true},
                      ChangeCase{"MediaKeyAlone", {0, VK_MEDIA_NEXT_TRACK}, {}, {HotkeyHold::Held}, true},
                      ChangeCase{"TakenByAnotherWindow", kCtrlAltF4, kCtrlAltF4, {HotkeyHold::TakenByOther}, false},
                      ChangeCase{"SameAsStop", {kModWin, 'C'}, {}, {HotkeyHold::Duplicate, 3}, false},
                      ChangeCase{"TypesACharacter", {kModShift, 'N'}, {}, {HotkeyHold::NeedsModifier}, false},
                      ChangeCase{"None", {}, {}, {HotkeyHold::None}, true},
                      // The same key with "no repeat" added is the combination held already.
                      ChangeCase{"SameCombination", {kModWin | 0x4000, 'V'}, {}, {HotkeyHold::Held}, true}),
    [](const auto& param) { return std::string(param.param.Name); });

// Refused for another reason than another holder: the old key is kept and the reason told.
TEST_F(HotkeyChangeTest, RefusedKeepsTheOldCombination) {
    Start();
    const HWND mainPopup = gPlugin.MainPopup;
    HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    gPlugin.MainPopup = gone;
    const HotkeyChange change = ChangeHotkey(static_cast<int32_t>(HotkeyId::Next), kCtrlAltF4);
    gPlugin.MainPopup = mainPopup;
    EXPECT_EQ(change.Result, (HotkeyState{HotkeyHold::Refused, 0, ERROR_INVALID_WINDOW_HANDLE}));
    EXPECT_FALSE(change.Applied);
    EXPECT_FALSE(CombinationFree(kWinV));
    EXPECT_TRUE(CombinationFree(kCtrlAltF4));
}

// When the old combination did nothing either, the user's choice is kept with its state,
// and a disabled plug-in stores a change without asking the system for anything.
TEST_F(HotkeyChangeTest, ChoiceIsKeptWhenNothingWorkingIsLost) {
    HeldElsewhere other({kWinV, kCtrlAltF4});
    ASSERT_TRUE(other.Held());
    Start();
    ASSERT_EQ(HotkeyRegistration()[HotkeyId::Next].Hold, HotkeyHold::TakenByOther);
    const HotkeyChange taken = ChangeHotkey(static_cast<int32_t>(HotkeyId::Next), kCtrlAltF4);
    EXPECT_EQ(taken.Result.Hold, HotkeyHold::TakenByOther);
    EXPECT_TRUE(taken.Applied);
    EXPECT_EQ(Saved().Hotkeys[HotkeyId::Next], kCtrlAltF4);

    gSettings.Set(OptionId::Disabled, true);
    UnregisterAllHotkeys();
    const HotkeyEntry ctrlAltF5{kModCtrl | kModAlt, VK_F5};
    const HotkeyChange stored = ChangeHotkey(static_cast<int32_t>(HotkeyId::Next), ctrlAltF5);
    EXPECT_EQ(stored.Result.Hold, HotkeyHold::None);
    EXPECT_TRUE(stored.Applied);
    EXPECT_TRUE(CombinationFree(ctrlAltF5));
    EXPECT_EQ(Saved().Hotkeys[HotkeyId::Next], ctrlAltF5);
}

// Another program holds two defaults. Every ready set is applied on top of another one
// and checked on this machine; per action the result says what became of it.
struct SetCase {
    const char* Name;
    HotkeySet From;
    HotkeySet To;
    HotkeyHold NextAndShuffle;  // what the set's Next and Shuffle meet
    bool Applied;               // whether they replaced what was there
};

class ReadySetTest : public HotkeyChangeTest, public ::testing::WithParamInterface<SetCase> {};

TEST_P(ReadySetTest, AppliedAndCheckedPerAction) {
    const SetCase& c = GetParam();
    HeldElsewhere other({kWinV, kWinS});
    ASSERT_TRUE(other.Held());
    Start();
    ApplyHotkeyTable(HotkeySetTable(c.From));
    const HotkeyTable before = gSettings.Hotkeys;
    const HotkeyTable wanted = HotkeySetTable(c.To);

    const HotkeyChanges changes = ApplyHotkeyTable(wanted);
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
        const HotkeyChange& change = changes[id - 1];
        const bool nextOrShuffle = id == static_cast<int32_t>(HotkeyId::Next) || id == static_cast<int32_t>(HotkeyId::Shuffle);
        const HotkeyHold meets = wanted[id] == HotkeyEntry{} ? HotkeyHold::None : HotkeyHold::Held;
        EXPECT_EQ(change.Result.Hold, nextOrShuffle ? c.NextAndShuffle : meets) << id;
        EXPECT_EQ(change.Applied, nextOrShuffle ? c.Applied : true) << id;
        EXPECT_EQ(gSettings.Hotkeys[id], change.Applied ? wanted[id] : before[id]) << id;
        EXPECT_EQ(HotkeyRegistration()[id].Hold, change.Applied ? change.Result.Hold : HotkeyHold::Held) << id;
    }
    EXPECT_EQ(Saved().Hotkeys, gSettings.Hotkeys);
    if (std::getenv("DISPLAY")) {
        EXPECT_TRUE(PlaysNext(gSettings.Hotkeys[HotkeyId::Next]));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sets, ReadySetTest,
    ::testing::Values(SetCase{"NoWinKey", HotkeySet::Defaults, HotkeySet::NoWinKey, HotkeyHold::Held, true},
                      SetCase{"MediaKeys", HotkeySet::Defaults, HotkeySet::MediaKeys, HotkeyHold::Held, true},
                      // Back to the defaults: the two taken ones keep their working keys.
                      SetCase{"Defaults", HotkeySet::NoWinKey, HotkeySet::Defaults, HotkeyHold::TakenByOther, false},
                      SetCase{"MediaToNoWin", HotkeySet::MediaKeys, HotkeySet::NoWinKey, HotkeyHold::Held, true}),
    [](const auto& param) { return std::string(param.param.Name); });

// Ids that take over each other's combinations: a chain (each wants what the next still
// holds, the last moves on), and cycles (two or three ids swapping), which no order of
// retries closes. Each set comes out whole; where one member cannot move (another
// program holds what it wants), every id keeps a working combination.
struct Move {
    HotkeyId Id;
    HotkeyEntry To;
};
struct TakeOverCase {
    const char* Name;
    const char* Start;  // settings lines
    std::vector<Move> Moves;
    std::vector<HotkeyId> Kept;  // keep their combination from before
};

class TakeOverTest : public HotkeyChangeTest, public ::testing::WithParamInterface<TakeOverCase> {};

TEST_P(TakeOverTest, EveryIdEndsWithAWorkingCombination) {
    const TakeOverCase& c = GetParam();
    HeldElsewhere other({kCtrlAltF4});
    ASSERT_TRUE(other.Held());
    Start(c.Start);
    const HotkeyTable before = gSettings.Hotkeys;
    HotkeyTable wanted = before;
    for (const Move& m : c.Moves) wanted[m.Id] = m.To;

    const HotkeyChanges changes = ApplyHotkeyTable(wanted);
    HotkeyTable expected = wanted;
    for (HotkeyId id : c.Kept) expected[id] = before[id];
    EXPECT_EQ(gSettings.Hotkeys, expected);
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
        const bool kept = std::find(c.Kept.begin(), c.Kept.end(), static_cast<HotkeyId>(id)) != c.Kept.end();
        EXPECT_EQ(changes[id - 1].Applied, !kept) << id;
        EXPECT_EQ(HotkeyRegistration()[id].Hold, HotkeyHold::Held) << id;
    }
    EXPECT_EQ(Saved().Hotkeys, gSettings.Hotkeys);
    if (std::getenv("DISPLAY")) {
        EXPECT_TRUE(PlaysNext(gSettings.Hotkeys[HotkeyId::Next]));
    }
}

const HotkeyEntry kWinZ{kModWin, 'Z'};
const HotkeyEntry kWinX{kModWin, 'X'};
const HotkeyEntry kWinC{kModWin, 'C'};

INSTANTIATE_TEST_SUITE_P(
    Cases, TakeOverTest,
    ::testing::Values(
        TakeOverCase{"Chain", "",
                     {{HotkeyId::Prev, kWinX}, {HotkeyId::PlayPause, kWinC},
                      {HotkeyId::StopTrack, {kModCtrl | kModAlt, VK_F3}}},
                     {}},
        TakeOverCase{"Swap", "", {{HotkeyId::Prev, kWinV}, {HotkeyId::Next, kWinZ}}, {}},
        TakeOverCase{"ThreeInACircle", "",
                     {{HotkeyId::Prev, kWinX}, {HotkeyId::PlayPause, kWinV}, {HotkeyId::Next, kWinZ}},
                     {}},
        // The user swapped Previous and Next; the defaults put them back.
        TakeOverCase{"DefaultsOverASwap", "Prev=8 86\r\nNext=8 90\r\n",
                     {{HotkeyId::Prev, kWinZ}, {HotkeyId::Next, kWinV}}, {}},
        TakeOverCase{"ChainBlockedByAnotherProgram", "",
                     {{HotkeyId::Prev, kWinX}, {HotkeyId::PlayPause, kCtrlAltF4}},
                     {HotkeyId::Prev, HotkeyId::PlayPause}}),
    [](const auto& param) { return std::string(param.param.Name); });

// What was saved is what a later start reads, in the section's old format.
TEST_F(HotkeyChangeTest, SavedSetIsReadBackAtTheNextStart) {
    Start("Remove folder=0\r\n");
    ApplyHotkeyTable(HotkeySetTable(HotkeySet::NoWinKey));
    ChangeHotkey(static_cast<int32_t>(HotkeyId::Quit), {});
    const std::string file = ReadAll(settingsPath_);
    EXPECT_NE(file.find("\r\nNext=3 115\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("\r\nQuit=0 0\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("Remove folder=0"), std::string::npos) << "the options are kept as they are";

    ResetStateForTests();
    SetSettingsPathForTests(settingsPath_);
    Load();
    HotkeyTable expected = HotkeySetTable(HotkeySet::NoWinKey);
    expected[HotkeyId::Quit] = {};
    EXPECT_EQ(gSettings.Hotkeys, expected);
    EXPECT_EQ(HotkeyRegistration()[HotkeyId::Next].Hold, HotkeyHold::Held);
    EXPECT_EQ(HotkeyRegistration()[HotkeyId::Quit].Hold, HotkeyHold::None) << "none is not asked for";
    EXPECT_NE(Help().find("\rnone - Exit Quavix"), std::string::npos);
}

// A change that cannot be saved works all the same, and the user is told where and why.
TEST_F(HotkeyChangeTest, FailureToSaveIsTold) {
    Start();
    const std::string nowhere = temp_.File("no such folder") + "\\deeper\\Plugin.ini";
    gPlugin.SettingsPlace.Path = nowhere;
    const HotkeyChange change = ChangeHotkey(static_cast<int32_t>(HotkeyId::Next), kCtrlAltF4);
    EXPECT_TRUE(change.Applied);
    ASSERT_EQ(ShownBoxes().size(), 1u);
    EXPECT_NE(ShownBoxes()[0].Text.find("The plug-in's settings could not be saved in:\r\n" + nowhere), std::string::npos)
        << ShownBoxes()[0].Text;
    EXPECT_EQ(ShownBoxes()[0].Type & MB_ICONERROR, static_cast<UINT>(MB_ICONERROR));
    // Told once a run: neither the next change nor quit tells it again.
    ChangeHotkey(static_cast<int32_t>(HotkeyId::Next), {kModCtrl | kModAlt, VK_F5});
    PluginQuit();
    EXPECT_EQ(ShownBoxes().size(), 1u);
}

// The help shows the combinations in effect with their marks, also when the plug-in
// starts disabled.
TEST_F(HotkeyChangeTest, HelpTextFollowsTheCombinationsInEffect) {
    HeldElsewhere other({kCtrlAltF4});
    Start("Prev=3 112\r\n");
    EXPECT_NE(Help().find("\rCtrl+Alt+F1 - Previous track"), std::string::npos);
    ChangeHotkey(static_cast<int32_t>(HotkeyId::Prev), {});
    ChangeHotkey(static_cast<int32_t>(HotkeyId::StopTrack), kCtrlAltF4);
    ShowHotkeyMarks();
    EXPECT_NE(Help().find("\rnone - Previous track"), std::string::npos);
    EXPECT_NE(Help().find("\rWin+C - Stop track"), std::string::npos) << "kept: the new one is taken";
    ChangeHotkey(static_cast<int32_t>(HotkeyId::StopTrack), {kModCtrl | kModAlt, VK_F3});
    ShowHotkeyMarks();
    EXPECT_NE(Help().find("\rCtrl+Alt+F3 - Stop track"), std::string::npos) << Help();

    ResetStateForTests();
    SetSettingsPathForTests(settingsPath_);
    WriteSettingsFile("[Vemo Plugin]\r\nDisabled=1\r\nNext=3 115\r\n");
    Load();
    EXPECT_NE(Help().find("\rCtrl+Alt+F4 - Next track"), std::string::npos);
}

// A first start (no section of ours) keeps the defaults unless other programs hold more
// than a third of them; then the "No Win key" set is taken and saved at once, and the
// start notice says so with the key of the configuration window. Saved combinations are
// never replaced, however many are taken.
struct FirstStartCase {
    const char* Name;
    int HeldBeyondAThird;  // how many defaults another program holds, from a third of them
    bool Saved;
    bool Switched;
};

class FirstStartTest : public HotkeyChangeTest, public ::testing::WithParamInterface<FirstStartCase> {};

TEST_P(FirstStartTest, TakesTheNoWinKeySetOnlyWhenMostDefaultsAreTaken) {
    const FirstStartCase& c = GetParam();
    const HotkeyTable defaults = DefaultHotkeys();
    const int total = CountTakenCombinations(defaults, HotkeyStates{}).Total;
    const int held = std::max(0, total / 3 + c.HeldBeyondAThird);
    std::vector<HotkeyEntry> taken;
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount && static_cast<int>(taken.size()) < held; ++id) {
        if (defaults[id].VirtualKey != 0) taken.push_back(defaults[id]);
    }
    HeldElsewhere other(taken);
    ASSERT_TRUE(other.Held());
    WriteSettingsFile(c.Saved ? "[Vemo Plugin]\r\nAutoplay=0\r\n" : "[Other]\r\nx=1\r\n");
    LoadAndInit();

    const HotkeyTable expected = c.Switched ? HotkeySetTable(HotkeySet::NoWinKey) : defaults;
    EXPECT_EQ(gSettings.Hotkeys, expected);
    const std::string file = ReadAll(settingsPath_);
    EXPECT_EQ(file.find("\r\nNext=3 115\r\n") != std::string::npos, c.Switched) << "saved at once";
    EXPECT_EQ(gPopup.NoticeTitle == "The hotkeys are the \"No Win key\" set", c.Switched) << gPopup.NoticeTitle;
    if (c.Switched) {
        EXPECT_EQ(file.rfind("[Other]\r\nx=1\r\n", 0), 0u);
        const std::string counted = std::to_string(held) + " of the " + std::to_string(total) + " Win+ keys";
        EXPECT_NE(gPopup.NoticeBody.find(counted), std::string::npos) << gPopup.NoticeBody;
        EXPECT_NE(gPopup.NoticeBody.find("\rCtrl+Alt+F12 opens the configuration window"), std::string::npos);
        EXPECT_TRUE(PlaysNext({kModCtrl | kModAlt, VK_F4}));
    }
}

INSTANTIATE_TEST_SUITE_P(Defaults, FirstStartTest,
                         ::testing::Values(FirstStartCase{"AllFree", -100, false, false},
                                           FirstStartCase{"AThirdTaken", 0, false, false},
                                           FirstStartCase{"MoreThanAThirdTaken", 1, false, true},
                                           FirstStartCase{"SavedCombinationsStay", 1, true, false}),
                         [](const auto& param) { return std::string(param.param.Name); });

}  // namespace
}  // namespace vemo::test
