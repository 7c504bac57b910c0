// Quit leaves nothing of the module that the system could still call, so the player
// may unload it; and loading it does nothing before the player's first call.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "plugin/frame_texts.h"
#include "plugin/lifecycle.h"
#include "plugin/plugin_record.h"
#include "support/plugin_fixture.h"
#include "text/file_access.h"
#include "win/module_state.h"
#include "win/player_link.h"
#include "win/shared_texts.h"

namespace vemo::test {
namespace {

const HotkeyEntry kWinV{kModWin, 'V'};

LONG_PTR WindowProcOf(HWND window) { return GetWindowLongPtrW(window, GWLP_WNDPROC); }

// Another plug-in that subclasses the player window after us.
WNDPROC gBelowOther = nullptr;
int gOtherCalls = 0;
LRESULT CALLBACK OtherPluginProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ++gOtherCalls;
    return CallWindowProcW(gBelowOther, window, message, wParam, lParam);
}

TEST_F(PluginTest, QuitPutsThePlayersProcedureBack) {
    LoadAndInit();
    PluginQuit();
    EXPECT_EQ(WindowProcOf(player_.Window()), reinterpret_cast<LONG_PTR>(FakePlayer::OwnProc()));
    EXPECT_FALSE(gPlugin.ModulePinned);
    gSongWatch.TitleChangeCount = 0;
    SetWindowTextA(player_.Window(), "2. Song - Quavix");
    EXPECT_EQ(player_.Count(WM_SETTEXT), 1u);
    EXPECT_EQ(gSongWatch.TitleChangeCount, 0);
}

TEST_F(PluginTest, QuitLeavesAChainOnTopIntactAndPinsTheModule) {
    LoadAndInit();
    gBelowOther = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(player_.Window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OtherPluginProc)));
    ASSERT_EQ(gBelowOther, PlayerHookProc);
    PluginQuit();
    EXPECT_EQ(WindowProcOf(player_.Window()), reinterpret_cast<LONG_PTR>(OtherPluginProc));
    EXPECT_TRUE(gPlugin.ModulePinned);
    // The chain still reaches the player, and our part of it now only passes messages on.
    gOtherCalls = 0;
    gSongWatch.TitleChangeCount = 0;
    player_.ClearMessages();
    SetWindowTextA(player_.Window(), "2. Song - Quavix");
    SendMessageA(player_.Window(), kPlayerTrayMessage, 0, WM_LBUTTONUP);
    EXPECT_EQ(gOtherCalls, 2);
    EXPECT_EQ(player_.Count(WM_SETTEXT), 1u);
    EXPECT_EQ(player_.Count(kPlayerTrayMessage), 1u);
    EXPECT_EQ(gSongWatch.TitleChangeCount, 0);
    // The other plug-in leaves; then ours can go too.
    SetWindowLongPtrW(player_.Window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gBelowOther));
    ResetStateForTests();
    EXPECT_EQ(WindowProcOf(player_.Window()), reinterpret_cast<LONG_PTR>(FakePlayer::OwnProc()));
}

TEST_F(PluginTest, QuitClosesOurWindowsWithoutMakingThePlayerExit) {
    LoadAndInit();
    const HWND windows[] = {gPlugin.MainPopup, gPlugin.InfoPopup, gPlugin.ConfigWindow};
    player_.ClearMessages();
    PluginQuit();
    for (HWND window : windows) EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(player_.Commands().empty());
    WNDCLASSW wc{};
    EXPECT_FALSE(GetClassInfoW(gPlugin.Module, kPopupClassName, &wc));
    EXPECT_FALSE(GetClassInfoW(gPlugin.Module, kConfigClassName, &wc));
    EXPECT_TRUE(gPlugin.Fonts.Empty());
}

TEST_F(PluginTest, QuitWhileDisabledStillReleasesEverything) {
    WriteSettingsFile("[Vemo Plugin]\r\nDisabled=1\r\n");
    LoadAndInit();
    PluginQuit();
    EXPECT_EQ(WindowProcOf(player_.Window()), reinterpret_cast<LONG_PTR>(FakePlayer::OwnProc()));
    EXPECT_TRUE(CombinationFree(kWinV));
}

TEST_F(PluginTest, CallsAfterQuitDoNothing) {
    GeneralPurposePlugin* record = Load();
    record->Init();
    record->Quit();
    player_.ClearMessages();
    record->Config();
    record->Quit();
    EXPECT_EQ(record->Init(), 0);
    EXPECT_TRUE(player_.Messages().empty());
    EXPECT_EQ(BeepCalls().size(), 2u);
}

// The real DLL, loaded as the player loads it. It writes its settings at quit into
// Plugins\Plugin.ini beside the program it runs in, and says so in a message box when it
// cannot: the folder is made for the test, as a player has it.
class DllTest : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        plugins_ = FolderOf(ProgramPath()) + "\\Plugins";
        madePlugins_ = CreateDirectoryA(plugins_.c_str(), nullptr) != FALSE;
        ASSERT_TRUE(madePlugins_ || DirectoryExists(plugins_));
        module_ = LoadLibraryA("Gen_vemo.dll");
        ASSERT_NE(module_, nullptr) << "Gen_vemo.dll beside the test program";
        getRecord_ = reinterpret_cast<GetPluginProc>(reinterpret_cast<void*>(GetProcAddress(module_, kExportName)));
        ASSERT_NE(getRecord_, nullptr);
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
        if (madePlugins_) {
            DeleteFileA((plugins_ + "\\Plugin.ini").c_str());
            RemoveDirectoryA(plugins_.c_str());
        }
        PluginTest::TearDown();
    }
    bool Loaded() const { return GetModuleHandleA("Gen_vemo.dll") != nullptr; }

    HMODULE module_ = nullptr;
    GetPluginProc getRecord_ = nullptr;
    std::string plugins_;
    bool madePlugins_ = false;
};

// Tests of this suite run in this order: the last one leaves the DLL pinned.
TEST_F(DllTest, LoadingDoesNothingUntilTheExportIsCalled) {
    WNDCLASSW wc{};
    EXPECT_FALSE(GetClassInfoW(module_, kPopupClassName, &wc));
    EXPECT_TRUE(CombinationFree(kWinV));
    GeneralPurposePlugin* record = getRecord_();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->Version, kPluginRecordVersion);
    EXPECT_STREQ(record->Description, kPluginDescription);
    EXPECT_TRUE(GetClassInfoW(module_, kPopupClassName, &wc));
    EXPECT_TRUE(GetClassInfoW(module_, kConfigClassName, &wc));
    // The hotkeys wait for init, when the player says where the settings are.
    EXPECT_TRUE(CombinationFree(kWinV));
    EXPECT_EQ(getRecord_(), record);
    record->PlayerWindow = player_.Window();
    record->Instance = module_;
    record->Init();
    EXPECT_FALSE(CombinationFree(kWinV));
    record->Quit();
    EXPECT_TRUE(CombinationFree(kWinV));
}

TEST_F(DllTest, UnloadedAfterQuitThePlayerRunsOn) {
    GeneralPurposePlugin* record = getRecord_();
    record->PlayerWindow = player_.Window();
    record->Instance = module_;
    record->Init();
    EXPECT_NE(WindowProcOf(player_.Window()), reinterpret_cast<LONG_PTR>(FakePlayer::OwnProc()));
    record->Quit();
    FreeLibrary(std::exchange(module_, nullptr));
    EXPECT_FALSE(Loaded());
    // Would call into the unloaded module if anything of it were left on the window.
    player_.ClearMessages();
    SetWindowTextA(player_.Window(), "2. Song - Quavix");
    SendMessageA(player_.Window(), kPlayerTrayMessage, 0, WM_LBUTTONUP);
    EXPECT_EQ(player_.Count(WM_SETTEXT), 1u);
    EXPECT_EQ(player_.Count(kPlayerTrayMessage), 1u);
    PumpUntil([] { return false; }, 600);  // long enough for the live-track timer to have fired
}

TEST_F(DllTest, PinnedWhenAnotherProcedureSitsOnTop) {
    GeneralPurposePlugin* record = getRecord_();
    record->PlayerWindow = player_.Window();
    record->Instance = module_;
    record->Init();
    gBelowOther = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(player_.Window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OtherPluginProc)));
    record->Quit();
    FreeLibrary(std::exchange(module_, nullptr));
    EXPECT_TRUE(Loaded());
    player_.ClearMessages();
    SetWindowTextA(player_.Window(), "2. Song - Quavix");
    EXPECT_EQ(player_.Count(WM_SETTEXT), 1u);
    // The fake player goes before the pinned module; its chain stays valid to the end.
}

}  // namespace
}  // namespace vemo::test
