// The volume hotkeys: the level read from the louder channel, the step, the rounding,
// the level display, and where the new level goes on each kind of system.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "popup/popup_window.h"
#include "settings/hotkey_table.h"
#include "support/plugin_fixture.h"
#include "win/module_state.h"
#include "win/outside_effects.h"
#include "win/player_link.h"

namespace vemo::test {
namespace {

// GetVersion values: major version in the low byte, bit 31 for Windows 95/98/Me.
constexpr DWORD kWindowsNT4 = 0x05650004;
constexpr DWORD kWindowsNT351 = 0x04213303;
constexpr DWORD kWindows98 = 0xC0000A04;
constexpr DWORD kWindows2000 = 0x08930005;
constexpr DWORD kWindows7 = 0x1DB10106;

struct FakeMixer {
    DWORD Volume = 0;
    std::vector<UINT> Devices;
    std::vector<DWORD> Sets;
    DWORD Version = kWindows7;
};
FakeMixer gMixer;

MMRESULT FakeGetVolume(UINT device, DWORD* volume) {
    gMixer.Devices.push_back(device);
    *volume = gMixer.Volume;
    return MMSYSERR_NOERROR;
}
MMRESULT FakeSetVolume(UINT device, DWORD volume) {
    gMixer.Devices.push_back(device);
    gMixer.Sets.push_back(volume);
    gMixer.Volume = volume;
    return MMSYSERR_NOERROR;
}
DWORD FakeVersion() { return gMixer.Version; }

DWORD BothChannels(DWORD level) { return level | (level << 16); }

class VolumeTest : public PopupTest {
protected:
    void SetUp() override {
        PopupTest::SetUp();
        gMixer = FakeMixer{};
        Effects().GetWaveVolume = FakeGetVolume;
        Effects().SetWaveVolume = FakeSetVolume;
        Effects().SystemVersion = FakeVersion;
        gPlugin.VolumeDeviceId = 7;
        gPlugin.WaveOutAsked = true;
    }

    void Press(HotkeyId id) { SendMessageA(gPlugin.MainPopup, WM_HOTKEY, static_cast<WPARAM>(id), 0); }

    // Percentage shown and what the suffix says about it.
    void ExpectShown(uint8_t level, const char* suffix) {
        EXPECT_TRUE(gPopup.LevelShown);
        EXPECT_EQ(gPopup.LastLevelPrefix, " Volume ");
        EXPECT_EQ(gPopup.LastLevelSuffix, suffix);
        EXPECT_EQ(gPopup.LastLevel, level);
    }
};

struct VolumeCase {
    HotkeyId Key;
    DWORD Before;  // left in the low word, right in the high one
    uint8_t Shown;
    const char* Suffix;
    DWORD After;  // each channel
};

class VolumeStepTest : public VolumeTest, public ::testing::WithParamInterface<VolumeCase> {};

TEST_P(VolumeStepTest, BothChannelsGetTheNewLevel) {
    const VolumeCase& c = GetParam();
    gMixer.Volume = c.Before;
    Press(c.Key);
    ExpectShown(c.Shown, c.Suffix);
    ASSERT_EQ(gMixer.Sets.size(), 1u);
    EXPECT_EQ(gMixer.Sets[0], BothChannels(c.After));
    EXPECT_TRUE(player_.Queries().empty()) << "the player is not asked on this system";
    EXPECT_EQ(TakeTimerPeriod(kTimerHideMainPopup), 2000u) << "the level stays up for 2 s, not a switch's 3 s";
}

INSTANTIATE_TEST_SUITE_P(
    Levels, VolumeStepTest,
    ::testing::Values(
        // 99 % (64881 / 655.36 = 99.0) up: held at the top.
        VolumeCase{HotkeyId::IncVol, BothChannels(64881), 100, " 100% ", 65535},
        VolumeCase{HotkeyId::IncVol, BothChannels(65535), 100, " 100% ", 65535},
        // 1 % down: held at the bottom.
        VolumeCase{HotkeyId::DecVol, BothChannels(655), 0, " 0% ", 0},
        VolumeCase{HotkeyId::DecVol, 0, 0, " 0% ", 0},
        // The louder channel counts: 30000 / 655.36 = 45.8 gives 46, then 48 x 655.35.
        VolumeCase{HotkeyId::IncVol, 30000 | (10000u << 16), 48, " 48% ", 31457},
        VolumeCase{HotkeyId::IncVol, 10000 | (30000u << 16), 48, " 48% ", 31457},
        // 8192 / 655.36 = 12.5 exactly: halves go to the even 12, so up gives 14.
        VolumeCase{HotkeyId::IncVol, BothChannels(8192), 14, " 14% ", 9175},
        // 10 x 655.35 = 6553.5 exactly: to the even 6554.
        VolumeCase{HotkeyId::DecVol, BothChannels(7864), 10, " 10% ", 6554}));

struct VersionCase {
    DWORD Version;
    bool ThroughPlayer;
};

class VolumeSystemTest : public VolumeTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(VolumeSystemTest, OldNtLetsThePlayerSetTheVolume) {
    const VersionCase& c = GetParam();
    gMixer.Version = c.Version;
    gMixer.Volume = BothChannels(31457);  // 48 %
    Press(HotkeyId::IncVol);
    ExpectShown(50, " 50% ");
    if (c.ThroughPlayer) {
        EXPECT_TRUE(gMixer.Sets.empty());
        EXPECT_EQ(player_.Queries(), std::vector<LPARAM>{SetVolume});
        EXPECT_EQ(player_.Script().Volume, 128);  // 50 x 2.55 = 127.5, to the even 128
    } else {
        EXPECT_EQ(gMixer.Sets, std::vector<DWORD>{BothChannels(32768)});  // 50 x 655.35 = 32767.5
        EXPECT_TRUE(player_.Queries().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Systems, VolumeSystemTest,
                         ::testing::Values(VersionCase{kWindowsNT351, true}, VersionCase{kWindowsNT4, true},
                                           VersionCase{kWindows98, false}, VersionCase{kWindows2000, false},
                                           VersionCase{kWindows7, false}));

TEST_F(VolumeTest, PlayerScaleRoundsHalvesToEven) {
    gMixer.Version = kWindowsNT4;
    gMixer.Volume = BothChannels(20972);  // 32 %
    Press(HotkeyId::DecVol);
    EXPECT_EQ(player_.Script().Volume, 76);  // 30 x 2.55 = 76.5
}

TEST_F(VolumeTest, UsesTheOpenedDeviceClearsTheLiveDisplayAndHidesAfterTwoSeconds) {
    gPopup.LiveRefresh = true;
    Press(HotkeyId::DecVol);
    EXPECT_EQ(gMixer.Devices, (std::vector<UINT>{7, 7}));
    EXPECT_FALSE(gPopup.LiveRefresh);
    EXPECT_EQ(TakeTimerPeriod(kTimerHideMainPopup), 2000u);
    EXPECT_TRUE(player_.Commands().empty());
}

TEST_F(VolumeTest, RepeatedPressesClimbFromWhatWasSet) {
    gMixer.Volume = BothChannels(0);
    for (int i = 0; i < 3; ++i) Press(HotkeyId::IncVol);
    ExpectShown(6, " 6% ");
    EXPECT_EQ(gMixer.Volume, BothChannels(3932));  // 6 x 655.35 = 3932.1
}

TEST_F(VolumeTest, DisabledVemosStillChangeTheVolume) {
    gSettings.Set(OptionId::DisableVemos, true);
    gMixer.Volume = BothChannels(31457);
    Press(HotkeyId::IncVol);
    EXPECT_FALSE(IsWindowVisible(gPlugin.MainPopup));
    EXPECT_EQ(gMixer.Sets, std::vector<DWORD>{BothChannels(32768)});
}

// The whole road from the keyboard: Win+Up reaches the volume action.
TEST_F(VolumeTest, WinUpFromTheKeyboardRaisesTheVolume) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "keyboard input needs a display";
    ASSERT_TRUE(PressWinKey(VK_UP));
    EXPECT_TRUE(PumpUntil([] { return !gMixer.Sets.empty(); }));
    EXPECT_EQ(gMixer.Sets, std::vector<DWORD>{BothChannels(1311)});  // 0 % + 2
}

}  // namespace
}  // namespace vemo::test
