// The plug-in's life in a (fake) player: set-up at the first export call, init with
// its start-up options, config, quit, and the hook on the player's window.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "config/config_window.h"
#include "plugin/lifecycle.h"
#include "popup/popup_window.h"
#include "support/plugin_fixture.h"
#include "text/file_access.h"
#include "text/unicode.h"
#include "win/module_state.h"
#include "win/outside_effects.h"
#include "win/player_link.h"
#include "win/shared_texts.h"

namespace vemo::test {
namespace {

const HotkeyEntry kWinV{kModWin, 'V'};

TEST_F(PluginTest, ExportSetsUpOnceAndHandsOverTheRecord) {
    EXPECT_FALSE(gPlugin.SetUpDone);
    GeneralPurposePlugin* record = GetPluginRecord();
    EXPECT_EQ(record->Version, 0x10);
    EXPECT_STREQ(record->Description, "VEMO plug-in v1.605 [GEN_VEMO.DLL]");
    EXPECT_EQ(record->PlayerWindow, nullptr);
    const HWND mainPopup = gPlugin.MainPopup;
    // Later calls hand over the same record and build nothing more.
    EXPECT_EQ(GetPluginRecord(), record);
    EXPECT_EQ(gPlugin.MainPopup, mainPopup);
}

TEST_F(PluginTest, SetUpMakesClassesWindowsFontsTimerAndHotkeys) {
    Load();
    WNDCLASSW wc{};
    EXPECT_TRUE(GetClassInfoW(gPlugin.Module, kPopupClassName, &wc));
    EXPECT_TRUE(GetClassInfoW(gPlugin.Module, kConfigClassName, &wc));

    ASSERT_TRUE(IsWindow(gPlugin.MainPopup));
    EXPECT_FALSE(IsWindowVisible(gPlugin.MainPopup));
    EXPECT_EQ(GetWindowLongA(gPlugin.MainPopup, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW),
              WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    // The multi-line popup at its first show, on top as the other.
    EXPECT_EQ(gPlugin.InfoPopup, nullptr);
    ShowMultiLinePopup("one\rtwo", "", '\r');
    ASSERT_TRUE(IsWindow(gPlugin.InfoPopup));
    EXPECT_TRUE(IsWindowVisible(gPlugin.InfoPopup));
    EXPECT_EQ(GetWindowLongA(gPlugin.InfoPopup, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW),
              WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindow(gPlugin.InfoPopup, GW_OWNER), GetWindow(gPlugin.MainPopup, GW_OWNER));
    EXPECT_NE(gPlugin.MainPopup, gPlugin.InfoPopup);
    ASSERT_TRUE(IsWindow(gPlugin.ConfigWindow));
    EXPECT_FALSE(IsWindowVisible(gPlugin.ConfigWindow));
    RECT r{};
    GetWindowRect(gPlugin.ConfigWindow, &r);
    EXPECT_EQ(r.right - r.left, kConfigWindowWidth);
    EXPECT_EQ(r.bottom - r.top, kConfigWindowBaseHeight + GetSystemMetrics(SM_CYSMCAPTION));

    const FontSet& fonts = gPlugin.Fonts.At(kBaseDpi);
    EXPECT_NE(fonts.Title.Get(), nullptr);
    EXPECT_NE(fonts.Text.Get(), nullptr);
    EXPECT_NE(fonts.Bold.Get(), nullptr);
    EXPECT_NE(fonts.LevelBar.Get(), nullptr);

    EXPECT_TRUE(TakeTimer(gPlugin.MainPopup, kTimerLiveTrack));
    EXPECT_FALSE(CombinationFree(kWinV));
    // Before init the player is only asked where its settings are (wide first); it is
    // neither hooked nor sent anything else.
    EXPECT_EQ(GetWindowLongPtrW(player_.Window(), GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(FakePlayer::OwnProc()));
    EXPECT_TRUE(player_.Commands().empty());
    EXPECT_EQ(player_.Queries(), (std::vector<LPARAM>{QuerySettingsFolderWide, QuerySettingsFolder}));
}

TEST_F(PluginTest, SetUpReadsTheSettingsBeforeRegistering) {
    WriteSettingsFile("[Vemo Plugin]\r\nNext=10 86\r\n");
    Load();
    EXPECT_TRUE(CombinationFree(kWinV));
    EXPECT_FALSE(CombinationFree({kModWin | kModCtrl, 'V'}));
}

TEST_F(PluginTest, DisabledAtLoadRegistersNoHotkey) {
    WriteSettingsFile("[Vemo Plugin]\r\nDisabled=1\r\n");
    Load();
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
        EXPECT_TRUE(CombinationFree(gSettings.Hotkeys[id])) << "id " << id;
    }
}

TEST_F(PluginTest, InitHooksThePlayerAndShowsTheVersion) {
    player_.Script().Version = 0x2091;
    LoadAndInit();
    EXPECT_EQ(gPlugin.PlayerWindow, player_.Window());
    EXPECT_EQ(GetWindowLongPtrW(player_.Window(), GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(PlayerHookProc));
    EXPECT_EQ(OldPlayerProc(), FakePlayer::OwnProc());
    EXPECT_EQ(player_.Queries(), (std::vector<LPARAM>{QuerySettingsFolderWide, QuerySettingsFolder, QueryVersion}));
    EXPECT_TRUE(player_.Commands().empty());
    EXPECT_EQ(gPopup.CurrentPopupText, " Quavix VEMO Plug-in v1.605 @ Zelmoor Quavix v2.0145 ");
    EXPECT_TRUE(IsWindowVisible(gPlugin.MainPopup));
    EXPECT_EQ(TakeTimerPeriod(kTimerHideMainPopup), 2000u);
    EXPECT_EQ(BeepCalls(), std::vector<bool>{false});
    EXPECT_NE(gPlugin.Drawing.InfoTextPen.Get(), nullptr);
    EXPECT_NE(gPlugin.Drawing.ButtonShadowBrush.Get(), nullptr);
}

TEST_F(PluginTest, VersionPopupOfAnotherPlayerVersion) {
    player_.Script().Version = 0x5123;
    LoadAndInit();
    EXPECT_EQ(gPopup.CurrentPopupText, " Quavix VEMO Plug-in v1.605 @ Zelmoor Quavix v5.135 ");
}

TEST(VersionPopupText, DigitsOfTheLastTwoFieldsRunTogether) {
    EXPECT_EQ(VersionPopupText(0x2091), "Quavix VEMO Plug-in v1.605 @ Zelmoor Quavix v2.0145");
    EXPECT_EQ(VersionPopupText(0x5123), "Quavix VEMO Plug-in v1.605 @ Zelmoor Quavix v5.135");
    EXPECT_EQ(VersionPopupText(0), "Quavix VEMO Plug-in v1.605 @ Zelmoor Quavix v0.00");
    EXPECT_EQ(VersionPopupText(0xFFFFFFFFu), "Quavix VEMO Plug-in v1.605 @ Zelmoor Quavix v1048575.15255");
}

struct StartupCase {
    const char* Name;
    const char* Settings;
    bool PlayerVisible;
    std::vector<WPARAM> Commands;
    bool AsksVersion;
    bool Minimized;
};

class StartupOptionTest : public PluginTest, public ::testing::WithParamInterface<StartupCase> {};

TEST_P(StartupOptionTest, InitRunsTheStartupOptions) {
    const StartupCase& c = GetParam();
    WriteSettingsFile(c.Settings);
    if (c.PlayerVisible) ShowWindow(player_.Window(), SW_SHOWNOACTIVATE);
    LoadAndInit();
    EXPECT_EQ(player_.Commands(), c.Commands);
    const std::vector<LPARAM> queries = player_.Queries();
    EXPECT_EQ(std::count(queries.begin(), queries.end(), QueryVersion), c.AsksVersion ? 1 : 0);
    EXPECT_EQ(IsIconic(player_.Window()) != FALSE, c.Minimized);
    // Whatever the options, the hook is in place and the popup's hide timer runs.
    EXPECT_EQ(GetWindowLongPtrW(player_.Window(), GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(PlayerHookProc));
    EXPECT_TRUE(TakeTimer(gPlugin.MainPopup, kTimerHideMainPopup));
}

INSTANTIATE_TEST_SUITE_P(
    Options, StartupOptionTest,
    ::testing::Values(
        StartupCase{"Defaults", "", true, {}, true, false},
        StartupCase{"Autoplay", "[Vemo Plugin]\r\nAutoplay=1\r\n", false, {CmdPlay}, false, false},
        StartupCase{"Visualization", "[Vemo Plugin]\r\nVisualization=1\r\n", false, {CmdVisualization}, true, false},
        StartupCase{"AutoplayThenVisualization", "[Vemo Plugin]\r\nAutoplay=1\r\nVisualization=1\r\n", false,
                    {CmdPlay, CmdVisualization}, false, false},
        StartupCase{"LaunchMinimized", "[Vemo Plugin]\r\nLaunch minimized=1\r\n", true, {}, true, true},
        StartupCase{"LaunchMinimizedLeavesAHiddenPlayer", "[Vemo Plugin]\r\nLaunch minimized=1\r\n", false, {}, true,
                    false},
        StartupCase{"DisabledRunsNone",
                    "[Vemo Plugin]\r\nDisabled=1\r\nAutoplay=1\r\nVisualization=1\r\nLaunch minimized=1\r\n", true,
                    {}, false, false}),
    [](const ::testing::TestParamInfo<StartupCase>& param) { return std::string(param.param.Name); });

TEST_F(PluginTest, AutoplayMarksTheCommandForTheSongPopup) {
    WriteSettingsFile("[Vemo Plugin]\r\nAutoplay=1\r\n");
    LoadAndInit();
    EXPECT_EQ(gSongWatch.TitleChangeCount, -2);
    EXPECT_TRUE(gSongWatch.ForceSongPopup);
    EXPECT_TRUE(gPopup.CurrentPopupText.empty());
}

TEST_F(PluginTest, DisableVemosShowsNoVersionPopup) {
    WriteSettingsFile("[Vemo Plugin]\r\nDisable vemos=1\r\n");
    LoadAndInit();
    EXPECT_TRUE(gPopup.CurrentPopupText.empty());
    EXPECT_FALSE(IsWindowVisible(gPlugin.MainPopup));
}

TEST(ConfigWindowOrigin, CentresOnTheScreen) {
    EXPECT_EQ(ConfigWindowOrigin(1024, 768, {464, 540}).x, 280);
    EXPECT_EQ(ConfigWindowOrigin(1024, 768, {464, 540}).y, 114);
    EXPECT_EQ(ConfigWindowOrigin(800, 600, {464, 537}).y, 31);  // (600 - 537) / 2, truncated
    // A screen smaller than the window: truncated toward zero, not floored.
    EXPECT_EQ(ConfigWindowOrigin(463, 500, {464, 535}).x, 0);
    EXPECT_EQ(ConfigWindowOrigin(461, 532, {464, 535}).y, -1);
}

TEST_F(PluginTest, ConfigShowsTheWindowCentred) {
    LoadAndInit();
    PluginConfig();
    const POINT expected = ConfigWindowOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                              ConfigWindowSize(kBaseDpi));
    RECT r{};
    GetWindowRect(gPlugin.ConfigWindow, &r);
    EXPECT_EQ(r.left, expected.x);
    EXPECT_EQ(r.top, expected.y);
    EXPECT_EQ(r.right - r.left, kConfigWindowWidth);
    EXPECT_TRUE(IsWindowVisible(gPlugin.ConfigWindow));
    if (GetSystemMetrics(SM_CXSCREEN) == 1024 && GetSystemMetrics(SM_CYSCREEN) == 768 &&
        GetSystemMetrics(SM_CYSMCAPTION) == 18) {
        EXPECT_EQ(r.left, 280);
        EXPECT_EQ(r.top, 114);
    }
}

TEST_F(PluginTest, QuitWritesSettingsFirstThenBeepsThenReleasesHotkeys) {
    LoadAndInit();
    // The order shows in what has already happened when the beep is switched back on.
    static bool fileWrittenBeforeBeep;
    static bool hotkeyHeldAtBeep;
    static std::string path;
    path = settingsPath_;
    fileWrittenBeforeBeep = false;
    hotkeyHeldAtBeep = false;
    Effects().SetWarningBeep = [](bool on) {
        BeepCalls().push_back(on);
        if (!on) return;
        fileWrittenBeforeBeep = FileExists(path);
        hotkeyHeldAtBeep = !CombinationFree(kWinV);
    };
    PluginQuit();
    EXPECT_EQ(BeepCalls(), (std::vector<bool>{false, true}));
    EXPECT_TRUE(fileWrittenBeforeBeep);
    EXPECT_TRUE(hotkeyHeldAtBeep);
    EXPECT_TRUE(CombinationFree(kWinV));
    const std::string written = ReadAll(settingsPath_);
    EXPECT_EQ(written.rfind("[Vemo Plugin]\r\n", 0), 0u) << written;
    EXPECT_NE(written.find("\r\nNext=8 86\r\n"), std::string::npos);
    EXPECT_EQ(gPlugin.WaveOut.Get(), nullptr);
    EXPECT_EQ(gPlugin.Drawing.InfoTextPen.Get(), nullptr);
    EXPECT_TRUE(gPlugin.Fonts.Empty());
}

// Quit puts the warning beep back as init found it: it used to switch it on, so a user
// who keeps it off got it back after closing the player. A plug-in disabled at start
// leaves the beep alone altogether.
class WarningBeepTest : public PluginTest, public ::testing::WithParamInterface<bool> {};
class WarningBeepWhenTest : public PluginTest, public ::testing::WithParamInterface<std::tuple<bool, bool>> {};

TEST_P(WarningBeepWhenTest, IsOffFromInitToQuitThenAsBefore) {
    const auto [before, disabled] = GetParam();
    SetBeepFoundOn(before);
    WriteSettingsFile(disabled ? "[Vemo Plugin]\r\nDisabled=1\r\n" : "");
    LoadAndInit();
    PluginQuit();
    EXPECT_EQ(BeepCalls(), disabled ? std::vector<bool>{} : (std::vector<bool>{false, before}));
}

INSTANTIATE_TEST_SUITE_P(FoundOnOrOff, WarningBeepWhenTest, ::testing::Combine(::testing::Bool(), ::testing::Bool()),
                         [](const auto& param) {
                             return std::string(std::get<0>(param.param) ? "On" : "Off") +
                                    (std::get<1>(param.param) ? "Disabled" : "Enabled");
                         });

// The same with the system's own setting.
TEST_P(WarningBeepTest, TheSystemsSettingIsPutBack) {
    const bool before = GetParam();
    ResetOutsideEffects();
    Effects().AskUser = [](HWND, const char*, const char*, UINT) { return IDOK; };
    SystemParametersInfoA(SPI_SETBEEP, before, nullptr, 0);
    LoadAndInit();
    BOOL on = TRUE;
    SystemParametersInfoA(SPI_GETBEEP, 0, &on, 0);
    EXPECT_FALSE(on);
    PluginQuit();
    SystemParametersInfoA(SPI_GETBEEP, 0, &on, 0);
    SystemParametersInfoA(SPI_SETBEEP, TRUE, nullptr, 0);
    EXPECT_EQ(on != FALSE, before);
}

INSTANTIATE_TEST_SUITE_P(FoundOnOrOff, WarningBeepTest, ::testing::Bool(),
                         [](const auto& param) { return std::string(param.param ? "On" : "Off"); });

// A quit that cannot save the settings says so, naming the file and the system's
// reason; before, every option changed in the window was lost without a word.
struct UnsavedCase {
    const char* Name;
    // Readies the settings file (the fixture's path) and returns the path quit writes.
    std::string (*Prepare)(const std::string& path);
    int Error;                // the system's code whose text the box gives; 0: no box
    const char* FirstLine;
};

// Another program reading the file while the player quits.
HANDLE gHolder = INVALID_HANDLE_VALUE;

class UnsavedSettingsTest : public PluginTest, public ::testing::WithParamInterface<UnsavedCase> {
protected:
    void TearDown() override {
        FailFileOperationAt(0);
        if (gHolder != INVALID_HANDLE_VALUE) CloseHandle(gHolder);
        gHolder = INVALID_HANDLE_VALUE;
        PluginTest::TearDown();
    }
};

TEST_P(UnsavedSettingsTest, QuitTellsWhyTheSettingsWereNotSaved) {
    const UnsavedCase& c = GetParam();
    const std::string path = c.Prepare(settingsPath_);
    SetSettingsPathForTests(path);
    LoadAndInit();
    FailFileOperationAt(0);
    PluginQuit();
    if (c.Error == 0) {
        EXPECT_TRUE(ShownBoxes().empty());
        return;
    }
    ASSERT_EQ(ShownBoxes().size(), 1u);
    const ShownBox& box = ShownBoxes()[0];
    EXPECT_EQ(box.Owner, player_.Window());
    EXPECT_EQ(box.Caption, "VEMO plug-in");
    EXPECT_EQ(box.Type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(box.Text.rfind(std::string(c.FirstLine) + ":\r\n" + path + "\r\n\r\n" + FileErrorText(c.Error) +
                                 "\r\n\r\nOptions changed since the player started are lost.\r\n\r\nTo keep your settings,",
                             0),
              0u)
        << box.Text;
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnsavedSettingsTest,
    ::testing::Values(
        UnsavedCase{"Saved", [](const std::string& path) { return path; }, 0, ""},
        UnsavedCase{"NoFolder", [](const std::string& path) { return path + "-missing\\deeper\\Plugin.ini"; },
                    ERROR_PATH_NOT_FOUND, "The plug-in's settings could not be saved in"},
        // Another program may read it meanwhile, but not have it replaced.
        UnsavedCase{"HeldByAnotherProgram",
                    [](const std::string& path) {
                        WriteAll(path, "[Other]\r\n");
                        gHolder = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                              nullptr);
                        return path;
                    },
                    ERROR_SHARING_VIOLATION, "The plug-in's settings could not be saved in"},
        // Read half-way at load: the file is never replaced, so nothing is saved either.
        UnsavedCase{"UnreadableAtLoad",
                    [](const std::string& path) {
                        WriteAll(path, "[Vemo Plugin]\r\nAutoplay=1\r\n");
                        FailFileOperationAt(2);  // the open works, the first read fails
                        return path;
                    },
                    ERROR_GEN_FAILURE,
                    "The plug-in's settings were not saved: this file could not be read, and is left as it was"}),
    [](const auto& param) { return std::string(param.param.Name); });

TEST_F(PluginTest, SettingsWrittenAtQuitAreReadAtTheNextLoad) {
    WriteSettingsFile("[Other]\r\nkept=1\r\n[Vemo Plugin]\r\nNext=10 86\r\nTrack numbers=1\r\n");
    LoadAndInit();
    PluginQuit();
    ResetStateForTests();
    SetSettingsPathForTests(settingsPath_);
    Load();
    EXPECT_TRUE(gSettings.OptTrackNumbers());
    EXPECT_EQ(gSettings.Hotkeys[HotkeyId::Next], (HotkeyEntry{kModWin | kModCtrl, 'V'}));
    EXPECT_EQ(ReadAll(settingsPath_).rfind("[Other]\r\nkept=1\r\n", 0), 0u);
}

TEST_F(PluginTest, PlayerTrayClickTogglesMinimizedAndIsNotPassedOn) {
    ShowWindow(player_.Window(), SW_SHOWNOACTIVATE);
    LoadAndInit();
    player_.ClearMessages();
    SendMessageA(player_.Window(), kPlayerTrayMessage, 0, WM_LBUTTONUP);
    EXPECT_TRUE(IsIconic(player_.Window()));
    SendMessageA(player_.Window(), kPlayerTrayMessage, 0, WM_LBUTTONUP);
    EXPECT_FALSE(IsIconic(player_.Window()));
    EXPECT_EQ(player_.Count(kPlayerTrayMessage), 0u);
    // Other notifications of the player's icon are the player's.
    SendMessageA(player_.Window(), kPlayerTrayMessage, 0, WM_RBUTTONUP);
    SendMessageA(player_.Window(), kPlayerTrayMessage, 0, WM_LBUTTONDOWN);
    EXPECT_EQ(player_.Count(kPlayerTrayMessage), 2u);
    EXPECT_FALSE(IsIconic(player_.Window()));
    // A disabled plug-in leaves every click on it to the player.
    gSettings.Set(OptionId::Disabled, true);
    SendMessageA(player_.Window(), kPlayerTrayMessage, 0, WM_LBUTTONUP);
    EXPECT_EQ(player_.Count(kPlayerTrayMessage), 3u);
    EXPECT_FALSE(IsIconic(player_.Window()));
}

TEST_F(PluginTest, TitleChangesReachTheWatcherAndThePlayer) {
    LoadAndInit();
    gSongWatch.TitleChangeCount = 0;
    gSongWatch.ForceSongPopup = true;
    player_.ClearMessages();
    SetWindowTextA(player_.Window(), "2. Artist - Song - Quavix");
    EXPECT_EQ(gSongWatch.TitleChangeCount, 1);
    EXPECT_FALSE(gSongWatch.ForceSongPopup);
    ASSERT_EQ(player_.Count(WM_SETTEXT), 1u);
    char title[64] = {};
    GetWindowTextA(player_.Window(), title, sizeof(title));
    EXPECT_STREQ(title, "2. Artist - Song - Quavix");
    // The count stops at its top instead of wrapping round to a short display time.
    gSongWatch.TitleChangeCount = 127;
    SetWindowTextA(player_.Window(), "3. Next - Quavix");
    EXPECT_EQ(gSongWatch.TitleChangeCount, 127);
}

std::string TitleOf(HWND window) {
    wchar_t title[64] = {};
    GetWindowTextW(window, title, 64);
    return FromWide(title);
}

// A Unicode player window stays Unicode under the hook, and a title change passes
// through it whole: hooked with the 8-bit calls, "1. 日本語 Ж" read back "1. ??? ?".
TEST_F(PluginTest, HookLeavesAUnicodePlayerTitleWhole) {
    SetWindowTextW(player_.Window(), ToWide("1. 日本語 Ж").c_str());
    LoadAndInit();
    ASSERT_EQ(GetWindowLongPtrW(player_.Window(), GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(PlayerHookProc));
    EXPECT_TRUE(IsWindowUnicode(player_.Window()));
    EXPECT_EQ(TitleOf(player_.Window()), "1. 日本語 Ж");
    player_.ClearMessages();
    SetWindowTextW(player_.Window(), ToWide("2. Кино 😀 - Quavix").c_str());
    EXPECT_EQ(gSongWatch.TitleChangeCount, 1);
    ASSERT_EQ(player_.Count(WM_SETTEXT), 1u);
    EXPECT_EQ(player_.Messages().back().Text, "2. Кино 😀 - Quavix");
    EXPECT_EQ(TitleOf(player_.Window()), "2. Кино 😀 - Quavix");
}

TEST_F(PluginTest, TitleChangesReachTheWatcherWhenDisabled) {
    WriteSettingsFile("[Vemo Plugin]\r\nDisabled=1\r\n");
    LoadAndInit();
    SetWindowTextA(player_.Window(), "2. Song - Quavix");
    EXPECT_EQ(gSongWatch.TitleChangeCount, 1);
}

TEST_F(PluginTest, PlayerClosingOurWindowsMakesItExit) {
    LoadAndInit();
    player_.ClearMessages();
    DestroyWindow(gPlugin.ConfigWindow);
    EXPECT_EQ(player_.Commands(), std::vector<WPARAM>{CmdExit});
    player_.ClearMessages();
    DestroyWindow(gPlugin.MainPopup);
    EXPECT_EQ(player_.Commands(), std::vector<WPARAM>{CmdExit});
    EXPECT_TRUE(gPlugin.Fonts.Empty());
}

}  // namespace
}  // namespace vemo::test
